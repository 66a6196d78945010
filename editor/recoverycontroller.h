// Crash recovery for the open project: the unsaved edits reach the recovery
// folder within a second of every change, and come back, when the user
// wants them, the next time the project opens after a session that never
// closed.
#pragma once

#include "editorsession.h"
#include "helpdata.h"
#include "recoverystore.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace ZkHelp {

class RecoveryController : public QObject
{
    Q_OBJECT

public:
    // What a project opening finds kept: whether any copy can come back,
    // and a line for each file, damaged copies named as such.
    struct Offer
    {
        bool restorable = false;
        QStringList lines;
    };
    // Shows offer; true when the edits are to come back.
    using Prompt = std::function<bool(const Offer &offer)>;
    // The documents as typed but not yet moved into the session, by path.
    using Typed = std::function<QMap<QString, HelpData>()>;

    // root holds one recovery folder per project.
    RecoveryController(EditorSession &session, const QString &root, Prompt prompt, Typed typed,
                       QObject *parent = nullptr);

    // The project whose edits are kept from now on, within a second.
    void setProject(const QString &projectDir);

    // Keeps the edits within a second, unless that is pending already.
    void schedule();

    // Writes every unsaved document, typed fields included, now.
    void keep();

    // Offers the edits kept from an earlier session. Those taken come back
    // as unsaved edits; the files on disk stay untouched until the user
    // saves. A damaged copy is only named, so that it can never be saved
    // over its file. What is not taken is dropped.
    void offer();

    // Drops what is kept: the user chose to lose the edits.
    void discard();

    // The session ends: nothing more is kept, and what was is dropped.
    void finish();

signals:
    // Edits came back into the session.
    void restored();

private:
    EditorSession &session;
    RecoveryStore store;
    Prompt prompt;
    Typed typed;
    QString projectDir;
    QTimer timer;
};

} // namespace ZkHelp
