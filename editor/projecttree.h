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

// The node below fileNode that stands for node, or the nearest one above it
// that is there (the language of a section gone, the file of a language).
QTreeWidgetItem *findIn(QTreeWidgetItem *fileNode, const NodeRef &node);

// Appends to fileNode a node for each language of doc, the document of
// path, each with its section nodes.
void fill(QTreeWidgetItem *fileNode, const QString &path, const ZkHelp::HelpData &doc);

// Fills the empty tree with a node for each member (relative to projectDir)
// that session holds a document for, below the nodes of its folders. The
// language and section nodes come along while the whole tree has at most
// maxNodes nodes; beyond that a file node only shows that it has some, and
// fill() makes them when they are needed: a million nodes up front cost
// seconds and most of a gigabyte. Returns whether they came along.
bool build(QTreeWidget *tree, const QString &projectDir, const QStringList &members,
           const ZkHelp::EditorSession &session, int maxNodes);

// Marks the language and section nodes below fileNode that findings (in
// doc) name with warning and the reason in words as tool tip, and fileNode
// itself (its icon otherwise fileIcon) when anything is off; a missing
// language has no node and is named in the file node's tool tip. Texts stay
// as they are.
void markStatus(QTreeWidgetItem *fileNode, const QList<ZkHelp::Finding> &findings,
                const ZkHelp::HelpData &doc, const QIcon &warning, const QIcon &fileIcon);

// Shows fileNode's text in bold while its file has unsaved edits.
void markUnsaved(QTreeWidgetItem *fileNode, bool unsaved);

// Hides the file nodes whose texts do not contain text (in any letter case)
// and the folders left without a file shown; an empty text shows all.
void filter(QTreeWidget *tree, const QString &text);

// The first node with a mark after the current one (before it when not
// forward), going round at the end; hidden ones are passed over. nullptr
// when no node shown has a mark.
QTreeWidgetItem *nextMarked(QTreeWidget *tree, bool forward);

} // namespace ProjectTree
