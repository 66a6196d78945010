#include "projecttree.h"

#include "editorsession.h"

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

namespace {

// Built before it joins the tree, so that the view hears of the whole
// subtree once.
QTreeWidgetItem *makeFileNode(const QString &name, const QString &path, const ZkHelp::HelpData &doc,
                              const QIcon &icon)
{
    auto *fileNode = new QTreeWidgetItem({name});
    fileNode->setIcon(0, icon);
    fileNode->setData(0, RoleKind, KindFile);
    fileNode->setData(0, RoleFilePath, path);
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
    return fileNode;
}

} // namespace

void build(QTreeWidget *tree, const QString &projectDir, const QStringList &members,
           const ZkHelp::EditorSession &session)
{
    const QDir dir(projectDir);
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
        const QString name = folders.takeLast();
        QTreeWidgetItem *parent = &staging;
        for (const QString &folder : std::as_const(folders))
            parent = getFolderItem(tree, parent, folder);
        parent->addChild(makeFileNode(name, path, *doc, fileIcon));
    }
    tree->addTopLevelItems(staging.takeChildren());
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
                const QIcon &warning, const QIcon &fileIcon)
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
            const QString reason =
                ZkHelp::findingKindName(finding.kind) + QStringLiteral(": ") + finding.detail;
            if (finding.section < 0)
                langReasons.append(reason);
            else if (finding.section < sectionReasons.size())
                sectionReasons[finding.section].append(reason);
        }
        for (int i = 0; i < langNode->childCount(); ++i)
            setMark(langNode->child(i), sectionReasons.at(i), warning, QIcon());
        setMark(langNode, langReasons, warning, QIcon());
    }
    for (const ZkHelp::Finding &finding : findings) {
        fileReasons.append((finding.language.isEmpty() ? QString() : finding.language + u' ') +
                           ZkHelp::findingKindName(finding.kind) + QStringLiteral(": ") +
                           finding.detail);
    }
    setMark(fileNode, fileReasons, warning, fileIcon);
}

} // namespace ProjectTree
