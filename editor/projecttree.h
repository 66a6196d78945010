// The nodes of the editor's project tree: what each carries, and how a
// member file becomes a node with its languages and sections.
#pragma once

#include "helpcheck.h"
#include "helpdata.h"

#include <QString>
#include <QStringList>
#include <Qt>

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

// The data every node carries in column 0.
enum Role {
    RoleKind = Qt::UserRole + 1,
    RoleFilePath,
    RoleLangKey,
    RoleSectionIndex,
};
enum Kind {
    KindNone = 0,
    KindFolder = 100,
    KindFile = 200,
    KindLanguage = 300,
    KindSection = 400,
};

// What a node stands for, read from its item once, so that the page and the
// commands need no item and outlive a rebuild of the tree.
struct NodeRef
{
    Kind kind = KindNone;
    QString path;     // the file's full path; empty for a folder
    QString language; // language and section nodes
    int section = 0;  // section nodes

    bool operator==(const NodeRef &other) const
    {
        return kind == other.kind && path == other.path && language == other.language &&
               section == other.section;
    }
};

// The kind alone, for walks over every node.
Kind kindOf(const QTreeWidgetItem *item);
NodeRef nodeOf(const QTreeWidgetItem *item);

// The node of tree that stands for node, or nullptr (always for KindNone).
QTreeWidgetItem *find(QTreeWidget *tree, const NodeRef &node);

// Fills the empty tree with a node for each member (relative to projectDir)
// that session holds a document for, below the nodes of its folders, each
// with its language and section nodes.
void build(QTreeWidget *tree, const QString &projectDir, const QStringList &members,
           const ZkHelp::EditorSession &session);

// Marks the language and section nodes below fileNode that findings name
// with warning and the reason as tool tip, and fileNode itself (its icon
// otherwise fileIcon) when anything is off; a missing language has no node
// and is named in the file node's tool tip. Texts stay as they are.
void markStatus(QTreeWidgetItem *fileNode, const QList<ZkHelp::Finding> &findings,
                const QIcon &warning, const QIcon &fileIcon);

} // namespace ProjectTree
