// The nodes of the editor's project tree: what each carries, and how a
// member file becomes a node with its languages and sections.
#pragma once

#include "helpcheck.h"
#include "helpdata.h"

#include <QString>
#include <QStringList>

class QIcon;

class QTreeWidget;
class QTreeWidgetItem;

namespace ZkHelp {
class EditorSession;
}

// Returns the folder node called name under parent (the top level when parent
// is null), appending a new one when there is none yet.
QTreeWidgetItem *getFolderItem(QTreeWidget *tree, QTreeWidgetItem *parent, const QString &name);

namespace ProjectTree {

// The data a node carries (MainWindow::Role), read back.
int kindOf(const QTreeWidgetItem *item);
QString filePathOf(const QTreeWidgetItem *item);
QString langKeyOf(const QTreeWidgetItem *item);
int sectionIndexOf(const QTreeWidgetItem *item);

// Fills the empty tree with a node for each member (relative to projectDir)
// that session holds a document for, below the nodes of its folders, each
// with its language and section nodes.
void build(QTreeWidget *tree, const QString &projectDir, const QStringList &members,
           const ZkHelp::EditorSession &session);

// The file node of path, or nullptr.
QTreeWidgetItem *fileNode(QTreeWidget *tree, const QString &path);

// Marks the language and section nodes below fileNode that findings name
// with warning and the reason as tool tip, and fileNode itself (its icon
// otherwise fileIcon) when anything is off; a missing language has no node
// and is named in the file node's tool tip. Texts stay as they are.
void markStatus(QTreeWidgetItem *fileNode, const QList<ZkHelp::Finding> &findings,
                const QIcon &warning, const QIcon &fileIcon);

} // namespace ProjectTree
