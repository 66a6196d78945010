// The project tree as the window shows it: drawn from the session's
// documents, one file at a time after a structural edit, marked with what is
// off and what is unsaved, filtered by name. It moves the current node
// without a signal: the window shows the node it gets back.
#pragma once

#include "editorsession.h"
#include "projecttree.h"

#include <QHash>
#include <QIcon>
#include <QSet>
#include <QString>
#include <QStringList>

class QAction;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

class ProjectView
{
public:
    // A project of up to maxNodes nodes opens with all of them, expanded; in
    // a larger one the file nodes open collapsed, and each gets its nodes
    // when it is expanded or one of them is wanted.
    ProjectView(QTreeWidget *tree, const ZkHelp::EditorSession &session, int maxNodes = 50000);

    // filter keeps the files whose names contain its text shown; next and
    // previous make the next or previous node with a mark current, with the
    // tree's signal, as the user moving there would.
    void bindControls(QLineEdit *filter, QAction *next, QAction *previous);

    // Draws every member (relative to projectDir) anew; place becomes
    // current when it is still there. Returns the current node or nullptr.
    QTreeWidgetItem *redraw(const QString &projectDir, const QStringList &members,
                            const ProjectTree::NodeRef &place);

    // Draws the nodes below path's file node anew from its document and
    // makes place, or the nearest node above it, current.
    QTreeWidgetItem *redrawFile(const QString &path, const ProjectTree::NodeRef &place);

    // Takes path's file node out, with the folders it leaves empty; the
    // folder above it becomes current (nullptr at the top level).
    QTreeWidgetItem *removeFile(const QString &path);

    // Makes node, or the nearest node above it, current.
    QTreeWidgetItem *select(const ProjectTree::NodeRef &node);

    // Shows node's section name and its file's marks as its document has
    // them now.
    void refresh(const ProjectTree::NodeRef &node);

    // Shows the files of changed in bold, the others plain.
    void markUnsaved(const QStringList &changed);

    // Keeps the files whose names contain text shown, also after a redraw.
    void setFilter(const QString &text);

    // The languages of the whole project, which the marks are judged by.
    const QStringList &languages() const { return setLanguages; }

private:
    void markStatus(QTreeWidgetItem *fileNode);
    void fillFile(QTreeWidgetItem *fileNode);
    QTreeWidgetItem *nodeFor(const ProjectTree::NodeRef &node);
    QTreeWidgetItem *nextMark(bool forward);
    void markAllWhenLanguagesChange();
    QTreeWidgetItem *makeCurrent(QTreeWidgetItem *item);

    QTreeWidget *tree;
    const ZkHelp::EditorSession &session;
    int maxNodes;
    QStringList setLanguages;
    QIcon warningIcon;
    QIcon fileIcon;
    QHash<QString, QTreeWidgetItem *> fileNodes;
    QSet<QString> bold;
    QString filterText;
};
