#include "recoverycontroller.h"

#include <QDir>

#include <utility>

namespace ZkHelp {

RecoveryController::RecoveryController(EditorSession &session, const QString &root, Prompt prompt,
                                       Typed typed, QObject *parent)
    : QObject(parent)
    , session(session)
    , store(root)
    , prompt(std::move(prompt))
    , typed(std::move(typed))
{
    timer.setSingleShot(true);
    timer.setInterval(1000);
    connect(&timer, &QTimer::timeout, this, &RecoveryController::keep);
}

void RecoveryController::setProject(const QString &projectDir)
{
    this->projectDir = projectDir;
    store.setProject(projectDir);
    schedule();
}

void RecoveryController::schedule()
{
    if (!timer.isActive())
        timer.start();
}

void RecoveryController::keep()
{
    store.keep(session.unsaved(typed()));
}

void RecoveryController::offer()
{
    // Read before asking: the timer may run while the question is open.
    const RecoveredEdits kept = store.read();
    if (kept.documents.isEmpty() && kept.damaged.isEmpty())
        return;
    const QDir project(projectDir);
    Offer offer{!kept.documents.isEmpty(), {}};
    for (auto it = kept.documents.cbegin(); it != kept.documents.cend(); ++it)
        offer.lines.append(project.relativeFilePath(it.key()));
    for (const QString &path : kept.damaged)
        offer.lines.append(
            tr("%1 (beschädigt, nicht wiederhergestellt)").arg(project.relativeFilePath(path)));
    if (!kept.damaged.isEmpty())
        offer.lines.append(
            tr("Beschädigte Kopien liegen in %1").arg(QDir::toNativeSeparators(store.folder())));
    // Damaged copies alone are only told of, whatever the answer.
    if (!prompt(offer) || !offer.restorable) {
        store.clear();
        return;
    }
    for (auto it = kept.documents.cbegin(); it != kept.documents.cend(); ++it)
        session.recover(it.key(), it->document, it->baseHash);
    emit restored();
    schedule();
}

void RecoveryController::discard()
{
    store.clear();
}

void RecoveryController::finish()
{
    timer.stop();
    store.clear();
}

} // namespace ZkHelp
