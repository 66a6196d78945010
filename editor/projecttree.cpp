#include "projecttree.h"

#include "editorsession.h"
#include "findingtext.h"

#include <QDir>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

QTreeWidgetItem *getFolderItem(QTreeWidget *tree, QTreeWidgetItem *parent, const QString &name)
{
    const int count = parent ? parent->childCount() : tree->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem *child = parent ? parent->child(i) : tree->topLevelItem(i);
        if (child->text(0) == name && ProjectTree::kindOf(child) == ProjectTree::KindFolder)
            return child;
    }
    auto *folder = new QTreeWidgetItem({name});
    folder->setIcon(0, tree->style()->standardIcon(QStyle::SP_DirIcon));
    folder->setData(0, ProjectTree::RoleKind, ProjectTree::KindFolder);
    if (parent)
        parent->addChild(folder);
    else
        tree->addTopLevelItem(folder);
    return folder;
}

namespace ProjectTree {

Kind kindOf(const QTreeWidgetItem *item)
{
    return Kind(item->data(0, RoleKind).toInt());
}

NodeRef nodeOf(const QTreeWidgetItem *item)
{
    return {kindOf(item), item->data(0, RoleFilePath).toString(),
            item->data(0, RoleLangKey).toString(), item->data(0, RoleSectionIndex).toInt()};
}

// The kind is compared first: it is the one role read cheaply from every
// node of a large tree.
QTreeWidgetItem *find(QTreeWidget *tree, const NodeRef &node)
{
    for (QTreeWidgetItemIterator it(tree); node.kind != KindNone && *it; ++it) {
        if (kindOf(*it) == node.kind && nodeOf(*it) == node)
            return *it;
    }
    return nullptr;
}

QTreeWidgetItem *findIn(QTreeWidgetItem *fileNode, const NodeRef &node)
{
    if (node.kind == KindFile)
        return fileNode;
    for (int l = 0; l < fileNode->childCount(); ++l) {
        QTreeWidgetItem *langNode = fileNode->child(l);
        if (nodeOf(langNode).language != node.language)
            continue;
        const bool inRange = node.section >= 0 && node.section < langNode->childCount();
        return node.kind == KindSection && inRange ? langNode->child(node.section) : langNode;
    }
    return fileNode;
}

void fill(QTreeWidgetItem *fileNode, const QString &path, const ZkHelp::HelpData &doc)
{
    for (auto lang = doc.languages.cbegin(); lang != doc.languages.cend(); ++lang) {
        auto *langNode = new QTreeWidgetItem(fileNode, {lang.key()});
        langNode->setData(0, RoleKind, KindLanguage);
        langNode->setData(0, RoleFilePath, path);
        langNode->setData(0, RoleLangKey, lang.key());
        for (int i = 0; i < lang->sections.size(); ++i) {
            auto *sectionNode = new QTreeWidgetItem(langNode, {lang->sections.at(i).name});
            sectionNode->setData(0, RoleKind, KindSection);
            sectionNode->setData(0, RoleFilePath, path);
            sectionNode->setData(0, RoleLangKey, lang.key());
            sectionNode->setData(0, RoleSectionIndex, i);
        }
    }
}

namespace {

int nodesBelow(const ZkHelp::HelpData &doc)
{
    int nodes = 0;
    for (const ZkHelp::HelpLanguage &lang : doc.languages)
        nodes += 1 + int(lang.sections.size());
    return nodes;
}

} // namespace

bool build(QTreeWidget *tree, const QString &projectDir, const QStringList &members,
           const ZkHelp::EditorSession &session, int maxNodes)
{
    const QDir dir(projectDir);
    qint64 nodes = 0;
    for (const QString &member : members) {
        const ZkHelp::HelpData *doc = session.document(dir.filePath(member));
        nodes += doc ? 1 + nodesBelow(*doc) : 0;
    }
    const bool withChildren = nodes <= maxNodes;
    const QIcon fileIcon = tree->style()->standardIcon(QStyle::SP_FileIcon);
    // Built apart from the view, which then takes the whole tree at once
    // instead of hearing of every node.
    QTreeWidgetItem staging;
    for (const QString &member : members) {
        const QString path = dir.filePath(member);
        const ZkHelp::HelpData *doc = session.document(path);
        if (!doc)
            continue;
        QStringList folders = member.split(u'/');
        auto *fileNode = new QTreeWidgetItem({folders.takeLast()});
        fileNode->setIcon(0, fileIcon);
        fileNode->setData(0, RoleKind, KindFile);
        fileNode->setData(0, RoleFilePath, path);
        if (withChildren)
            fill(fileNode, path, *doc);
        else if (!doc->languages.isEmpty())
            fileNode->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        QTreeWidgetItem *parent = &staging;
        for (const QString &folder : std::as_const(folders))
            parent = getFolderItem(tree, parent, folder);
        parent->addChild(fileNode);
    }
    tree->addTopLevelItems(staging.takeChildren());
    return withChildren;
}

namespace {

// Touches a node only when its mark changes: every change of a shown node is
// news for the view, and most nodes of a large project stay unmarked.
void setMark(QTreeWidgetItem *node, const QStringList &reasons, const QIcon &warning,
             const QIcon &plain)
{
    const QString tip = reasons.join(u'\n');
    if (node->toolTip(0) == tip)
        return;
    node->setIcon(0, reasons.isEmpty() ? plain : warning);
    node->setToolTip(0, tip);
}

} // namespace

void markStatus(QTreeWidgetItem *fileNode, const QList<ZkHelp::Finding> &findings,
                const ZkHelp::HelpData &doc, const QIcon &warning, const QIcon &fileIcon)
{
    QStringList fileReasons;
    for (int l = 0; l < fileNode->childCount(); ++l) {
        QTreeWidgetItem *langNode = fileNode->child(l);
        const QString key = nodeOf(langNode).language;
        QStringList langReasons;
        QList<QStringList> sectionReasons(langNode->childCount());
        for (const ZkHelp::Finding &finding : findings) {
            if (finding.language != key)
                continue;
            const QString reason = ZkHelp::findingText(finding, doc);
            if (finding.section < 0)
                langReasons.append(reason);
            else if (finding.section < sectionReasons.size())
                sectionReasons[finding.section].append(reason);
        }
        for (int i = 0; i < langNode->childCount(); ++i)
            setMark(langNode->child(i), sectionReasons.at(i), warning, QIcon());
        setMark(langNode, langReasons, warning, QIcon());
    }
    for (const ZkHelp::Finding &finding : findings)
        fileReasons.append(ZkHelp::findingText(finding, doc, true));
    setMark(fileNode, fileReasons, warning, fileIcon);
}

void markUnsaved(QTreeWidgetItem *fileNode, bool unsaved)
{
    QFont font = fileNode->font(0);
    if (font.bold() == unsaved)
        return;
    font.setBold(unsaved);
    fileNode->setFont(0, font);
}

namespace {

// Only file and folder nodes are touched: below a file, nodes follow it.
bool filterBelow(QTreeWidgetItem *item, const QString &text)
{
    bool shown = false;
    if (kindOf(item) == KindFile) {
        shown = item->text(0).contains(text, Qt::CaseInsensitive);
    } else {
        for (int i = 0; i < item->childCount(); ++i)
            shown = filterBelow(item->child(i), text) || shown;
    }
    if (item->isHidden() == shown)
        item->setHidden(!shown);
    return shown;
}

bool shownWithMark(const QTreeWidgetItem *item)
{
    if (item->toolTip(0).isEmpty())
        return false;
    for (; item; item = item->parent()) {
        if (item->isHidden())
            return false;
    }
    return true;
}

} // namespace

void filter(QTreeWidget *tree, const QString &text)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        filterBelow(tree->topLevelItem(i), text);
}

QTreeWidgetItem *nextMarked(QTreeWidget *tree, bool forward)
{
    const QTreeWidgetItem *current = tree->currentItem();
    QTreeWidgetItem *first = nullptr, *last = nullptr, *before = nullptr, *after = nullptr;
    bool passed = !current;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (*it == current) {
            passed = true;
        } else if (shownWithMark(*it)) {
            first = first ? first : *it;
            last = *it;
            before = passed ? before : *it;
            after = !passed || after ? after : *it;
        }
    }
    return forward ? (after ? after : first) : (before ? before : last);
}

} // namespace ProjectTree
