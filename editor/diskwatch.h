// The files of the documents held against what another program may have
// written since the editor read or wrote them: looked at whenever the window
// becomes active, and before every write, so that another program's version
// is never overwritten unasked.
#pragma once

#include "editorsession.h"

#include <QObject>
#include <QString>

#include <functional>

namespace ZkHelp {

class DiskWatch : public QObject
{
    Q_OBJECT

public:
    // The user's word on another program's version of a file whose document
    // holds edits: write ours over it, take theirs, or neither for now.
    enum class Answer { Save, Discard, Cancel };
    // What the write asked about may do next: go on; stop, as the document
    // is the file's now; or stop, keeping the edits unwritten.
    enum class Decision { Write, Discarded, Abandon };
    using Prompt = std::function<Answer(const QString &path)>;

    // Looks at the files whenever window, its parent, becomes active.
    DiskWatch(EditorSession &session, Prompt prompt, QObject *window);

    // A file another program changed is read anew when its document holds
    // no edits, and asked about when it does, unless the user kept the edits
    // over that very version before.
    void check();

    // Asks before the editor writes path over another program's version.
    Decision confirmBeforeWrite(const QString &path);

signals:
    // A check begins: edits typed but not yet in the session must reach it
    // now to count as edits.
    void aboutToCheck();
    // The document of path is the file's again, its edits dropped.
    void reloaded(const QString &path);
    // Coming back to the window, the user chose to write the editor's
    // version of path over the other one.
    void overwriteChosen(const QString &path);
    // News for the status bar.
    void message(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reload(const QString &path);

    EditorSession &session;
    Prompt prompt;
    bool checking = false;
};

} // namespace ZkHelp
