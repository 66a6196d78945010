#include "helpset.h"

#include "helpcollection.h"
#include "helpdata.h"

#include <QDir>
#include <QDirIterator>

namespace ZkHelp {

namespace {

// root first, then every folder below it, sorted.
QList<QString> foldersFrom(const QString &root)
{
    QList<QString> folders;
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        folders.append(it.next());
    std::sort(folders.begin(), folders.end());
    folders.prepend(root);
    return folders;
}

} // namespace

HelpSet searchFolderSet(const HelpCollection &collection)
{
    return HelpSet{collection.files(), collection.searchPaths(), true,
                   HelpFinder().findUndecodableFiles(collection.searchPaths())};
}

HelpSet folderSet(const QString &folder, const HelpCollection &collection)
{
    const QString root = QDir::cleanPath(QDir(folder).absolutePath());
    HelpSet set;
    QDirIterator it(root, {u'*' + helpFileExtension}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        set.files.append(it.next());
    std::sort(set.files.begin(), set.files.end());
    const QList<QString> folders = foldersFrom(root);
    set.linkFolders = folders + collection.searchPaths();
    set.undecodable = HelpFinder().findUndecodableFiles(folders);
    return set;
}

QList<QString> folderLinkFolders(const QString &folder, const HelpCollection &collection)
{
    return foldersFrom(QDir::cleanPath(QDir(folder).absolutePath())) + collection.searchPaths();
}

} // namespace ZkHelp
