#include "diskwatch.h"

#include <QEvent>
#include <QFileInfo>
#include <QTimer>

#include <utility>

namespace ZkHelp {

DiskWatch::DiskWatch(EditorSession &session, Prompt prompt, QObject *window)
    : QObject(window)
    , session(session)
    , prompt(std::move(prompt))
{
    window->installEventFilter(this);
}

bool DiskWatch::eventFilter(QObject *watched, QEvent *event)
{
    // Deferred: the boxes it may show must not open inside the activation.
    if (event->type() == QEvent::WindowActivate)
        QTimer::singleShot(0, this, &DiskWatch::check);
    return QObject::eventFilter(watched, event);
}

void DiskWatch::check()
{
    // A box of its own activates the window again when it closes.
    if (checking)
        return;
    checking = true;
    emit aboutToCheck();
    const QStringList edited = session.changedFiles();
    for (const QString &path : session.paths()) {
        if (session.diskChange(path) != EditorSession::DiskChange::Changed)
            continue;
        if (!edited.contains(path)) {
            reload(path);
            emit message(tr("Neu geladen: %1").arg(QFileInfo(path).fileName()));
        } else if (!session.diskVersionIgnored(path) &&
                   confirmBeforeWrite(path) == Decision::Write) {
            emit overwriteChosen(path);
        }
    }
    checking = false;
}

DiskWatch::Decision DiskWatch::confirmBeforeWrite(const QString &path)
{
    if (session.diskChange(path) != EditorSession::DiskChange::Changed)
        return Decision::Write;
    switch (prompt(path)) {
    case Answer::Save:
        return Decision::Write;
    case Answer::Discard:
        reload(path);
        return Decision::Discarded;
    case Answer::Cancel:
        break;
    }
    session.ignoreDiskVersion(path);
    return Decision::Abandon;
}

void DiskWatch::reload(const QString &path)
{
    session.reload(path);
    emit reloaded(path);
}

} // namespace ZkHelp
