#include "projectview.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace ProjectTree;

ProjectView::ProjectView(QTreeWidget *tree, const ZkHelp::EditorSession &session, int maxNodes)
    : tree(tree)
    , session(session)
    , maxNodes(maxNodes)
    , warningIcon(tree->style()->standardIcon(QStyle::SP_MessageBoxWarning))
    , fileIcon(tree->style()->standardIcon(QStyle::SP_FileIcon))
{
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    // All rows are one line high; saying so spares the view measuring 26,000
    // of them after each rebuild of a large project.
    tree->setUniformRowHeights(true);
    QObject::connect(tree, &QTreeWidget::itemExpanded, tree, [this](QTreeWidgetItem *item) {
        if (kindOf(item) == KindFile)
            fillFile(item);
    });
}

void ProjectView::bindControls(QLineEdit *filter, QAction *next, QAction *previous)
{
    QObject::connect(filter, &QLineEdit::textChanged, tree,
                     [this](const QString &text) { setFilter(text); });
    for (QAction *action : {next, previous}) {
        QObject::connect(action, &QAction::triggered, tree, [this, forward = action == next] {
            if (QTreeWidgetItem *item = nextMark(forward))
                tree->setCurrentItem(item);
        });
    }
}

QTreeWidgetItem *ProjectView::redraw(const QString &projectDir, const QStringList &members,
                                     const NodeRef &place)
{
    {
        const QSignalBlocker quiet(tree);
        tree->clear();
    }
    fileNodes.clear();
    bold.clear();
    const bool whole = build(tree, projectDir, members, session, maxNodes);
    setLanguages = session.languages();
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (kindOf(*it) == KindFile) {
            fileNodes.insert(nodeOf(*it).path, *it);
            markStatus(*it);
        } else if (!whole) {
            (*it)->setExpanded(true);
        }
    }
    if (whole)
        tree->expandAll();
    if (!filterText.isEmpty())
        filter(tree, filterText);
    return select(place);
}

// The file node stays, and with it its place, the filter's verdict and the
// bold mark: in a project of thousands of files, a rebuild of the whole tree
// takes seconds.
QTreeWidgetItem *ProjectView::redrawFile(const QString &path, const NodeRef &place)
{
    QTreeWidgetItem *fileNode = fileNodes.value(path);
    const ZkHelp::HelpData *doc = session.document(path);
    if (!fileNode || !doc)
        return nullptr;
    // Collapsed while its nodes change, and handed the new ones at once, the
    // file node costs the view a few passes over its rows instead of one per
    // node: a redraw of one file took 85 ms in a project of 5,000, now 65.
    fileNode->setExpanded(false);
    {
        const QSignalBlocker quiet(tree);
        qDeleteAll(fileNode->takeChildren());
    }
    fillFile(fileNode);
    fileNode->setExpanded(true);
    markAllWhenLanguagesChange();
    return select(place);
}

QTreeWidgetItem *ProjectView::removeFile(const QString &path)
{
    QTreeWidgetItem *fileNode = fileNodes.take(path);
    bold.remove(path);
    QTreeWidgetItem *parent = fileNode ? fileNode->parent() : nullptr;
    {
        const QSignalBlocker quiet(tree);
        delete fileNode;
        while (parent && parent->childCount() == 0) {
            QTreeWidgetItem *above = parent->parent();
            delete parent;
            parent = above;
        }
    }
    markAllWhenLanguagesChange();
    return makeCurrent(parent);
}

QTreeWidgetItem *ProjectView::select(const NodeRef &node)
{
    return makeCurrent(nodeFor(node));
}

void ProjectView::refresh(const NodeRef &node)
{
    QTreeWidgetItem *item = nodeFor(node);
    const ZkHelp::HelpData *doc = session.document(node.path);
    if (!item || !doc)
        return;
    if (node.kind == KindSection && kindOf(item) == KindSection)
        item->setText(0, doc->languages.value(node.language).sections.value(node.section).name);
    markStatus(fileNodes.value(node.path));
}

void ProjectView::markUnsaved(const QStringList &changed)
{
    const QSet<QString> now(changed.cbegin(), changed.cend());
    for (const QString &path : bold + now) {
        if (QTreeWidgetItem *fileNode = fileNodes.value(path))
            ProjectTree::markUnsaved(fileNode, now.contains(path));
    }
    bold = now;
}

void ProjectView::setFilter(const QString &text)
{
    filterText = text;
    filter(tree, text);
}

void ProjectView::markStatus(QTreeWidgetItem *fileNode)
{
    const QString path = nodeOf(fileNode).path;
    const ZkHelp::HelpData *doc = session.document(path);
    ProjectTree::markStatus(fileNode, session.findings(path, setLanguages),
                            doc ? *doc : ZkHelp::HelpData(), warningIcon, fileIcon);
}

// Gives a file node without language nodes those of its document, all
// expanded as the rest of the tree, and their marks.
void ProjectView::fillFile(QTreeWidgetItem *fileNode)
{
    const QString path = nodeOf(fileNode).path;
    const ZkHelp::HelpData *doc = session.document(path);
    if (fileNode->childCount() > 0 || !doc)
        return;
    // Handed the new nodes at once, the file node costs the view a few
    // passes over its rows instead of one per node.
    QTreeWidgetItem staging;
    fill(&staging, path, *doc);
    fileNode->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    fileNode->addChildren(staging.takeChildren());
    for (int l = 0; l < fileNode->childCount(); ++l) {
        QTreeWidgetItem *langNode = fileNode->child(l);
        langNode->setExpanded(true);
        for (int i = 0; i < langNode->childCount(); ++i)
            langNode->child(i)->setExpanded(true);
    }
    markStatus(fileNode);
}

// The node standing for node, its file node filled first when node lies
// below it; nullptr when the file has no node.
QTreeWidgetItem *ProjectView::nodeFor(const NodeRef &node)
{
    QTreeWidgetItem *fileNode = fileNodes.value(node.path);
    if (!fileNode)
        return nullptr;
    if (node.kind != KindFile)
        fillFile(fileNode);
    return findIn(fileNode, node);
}

// The marks below a file node exist once it is filled: the current file
// node is filled before going forward into it, and a file node reached going
// backward before looking again for its last mark.
QTreeWidgetItem *ProjectView::nextMark(bool forward)
{
    if (QTreeWidgetItem *current = tree->currentItem(); current && kindOf(current) == KindFile)
        fillFile(current);
    QTreeWidgetItem *item = nextMarked(tree, forward);
    if (!forward && item && kindOf(item) == KindFile && item->childCount() == 0) {
        fillFile(item);
        item = nextMarked(tree, forward);
    }
    return item;
}

// A language added to or gone from the project is missing, or no longer,
// in every other file.
void ProjectView::markAllWhenLanguagesChange()
{
    const QStringList now = session.languages();
    if (now == setLanguages)
        return;
    setLanguages = now;
    for (QTreeWidgetItem *fileNode : std::as_const(fileNodes))
        markStatus(fileNode);
}

QTreeWidgetItem *ProjectView::makeCurrent(QTreeWidgetItem *item)
{
    const QSignalBlocker quiet(tree);
    tree->setCurrentItem(item);
    if (item)
        tree->scrollToItem(item);
    return item;
}
