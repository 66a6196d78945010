#include "helpset.h"

#include "helpcollection.h"
#include "helpdata.h"

#include <QDir>
#include <QDirIterator>

namespace ZkHelp {

HelpSet searchFolderSet(const HelpCollection &collection)
{
    return HelpSet{collection.files(), collection.searchPaths(), true,
                   HelpFinder().findUndecodableFiles(collection.searchPaths()),
                   collection.searchPaths()};
}

HelpSet folderSet(const QString &folder, const HelpCollection &collection)
{
    const QString root = QDir::cleanPath(QDir(folder).absolutePath());
    HelpSet set;
    QDirIterator it(root, {u'*' + helpFileExtension}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        set.files.append(it.next());
    std::sort(set.files.begin(), set.files.end());
    const QList<QString> folders = HelpFinder().folderTree(root);
    set.linkFolders = folders + collection.searchPaths();
    set.undecodable = HelpFinder().findUndecodableFiles(folders);
    set.nameFolders = {root};
    return set;
}

QString memberName(const HelpSet &set, const QString &path)
{
    for (const QString &folder : set.nameFolders) {
        const QString relative = QDir(folder).relativeFilePath(path);
        if (relative.startsWith(QStringLiteral("../")) || QDir::isAbsolutePath(relative))
            continue;
        return relative.endsWith(helpFileExtension) ? relative.chopped(helpFileExtension.size())
                                                    : relative;
    }
    return QString();
}

QList<QString> folderLinkFolders(const QString &folder, const HelpCollection &collection)
{
    return HelpFinder().folderTree(QDir::cleanPath(QDir(folder).absolutePath())) +
           collection.searchPaths();
}

} // namespace ZkHelp
