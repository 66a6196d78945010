// The context menu of a tree node and the questions its entries ask. Each
// entry ends in one file's document as it is to be written, or in a member
// file to be removed; the window does either.
#pragma once

#include "editorsession.h"
#include "helpdata.h"
#include "projecttree.h"

#include <QObject>
#include <QString>

class QPoint;
class QWidget;

class NodeMenu : public QObject
{
    Q_OBJECT

public:
    // window is the parent of the menu and of its dialogs.
    NodeMenu(ZkHelp::EditorSession &session, QWidget *window);

    // Shows node's entries at pos (global); a folder has none.
    void popup(const ProjectTree::NodeRef &node, const QPoint &pos);

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
    // The document of path is to become changed and be written.
    void structureEdited(const QString &path, const ZkHelp::HelpData &changed);
    // The user confirmed that the member file path is to be deleted.
    void fileRemovalConfirmed(const QString &path);

private:
    void edit(const QString &path, const std::optional<ZkHelp::HelpData> &changed);

    ZkHelp::EditorSession &session;
    QWidget *window;
};
