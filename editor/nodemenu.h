// The commands on a tree node, in its context menu and in the window's
// menu, and the questions they ask. Each ends in one file's document as it
// is to be written, or in a member file to be removed; the window does
// either.
#pragma once

#include "editorsession.h"
#include "helpdata.h"
#include "projecttree.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

class QAction;
class QPoint;
class QWidget;

class NodeMenu : public QObject
{
    Q_OBJECT

public:
    enum class Command { AddLanguage, AddSection, Confirm, Remove };

    // A structural edit: the document as it is to be written, the node to
    // show afterwards and what the status bar says was done.
    struct Edit
    {
        ZkHelp::HelpData changed;
        ProjectTree::NodeRef place;
        QString message;
    };

    // window is the parent of the menu and of its dialogs.
    NodeMenu(ZkHelp::EditorSession &session, QWidget *window);

    // Shows node's entries at pos (global); a folder has none.
    void popup(const ProjectTree::NodeRef &node, const QPoint &pos);

    // Lets action run command on the node last given to setNode, enabled
    // when the context menu of that node offers the command. With keyScope,
    // its keys work only while keyScope has the focus: Ins and Del belong to
    // a text field that has it.
    void bind(Command command, QAction *action, QWidget *keyScope = nullptr);
    void setNode(const ProjectTree::NodeRef &node);

    // The entries, each asking what it needs first.
    void addLanguage(const QString &path);
    void addSection(const QString &path, const QString &key);
    // Confirms a language's sections, or only node's, as translations of
    // the reference text as it is now.
    void confirm(const ProjectTree::NodeRef &node);
    void remove(const ProjectTree::NodeRef &node);

signals:
    // An entry was chosen: the page's fields must reach the session first.
    void aboutToEdit();
    // The document of path is to become edit.changed and be written.
    void structureEdited(const QString &path, const NodeMenu::Edit &edit);
    // The user confirmed that the member file path is to be deleted.
    void fileRemovalConfirmed(const QString &path);

private:
    struct Entry
    {
        Command command;
        QString text;
    };
    QList<Entry> entries(const ProjectTree::NodeRef &node) const;
    void run(Command command, const ProjectTree::NodeRef &node);
    void edit(const QString &path, const std::optional<ZkHelp::HelpData> &changed,
              const ProjectTree::NodeRef &place, const QString &message);

    ZkHelp::EditorSession &session;
    QWidget *window;
    QMap<Command, QAction *> actions;
    ProjectTree::NodeRef current;
};
