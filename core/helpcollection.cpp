#include "helpcollection.h"

#include "searchpathfile.h"

#include <QDir>
#include <QFileInfo>

namespace ZkHelp {

HelpCollection::HelpCollection(const QList<QString> &searchPaths)
    : folders(searchPaths)
{}

HelpCollection HelpCollection::fromPathFile(const QString &pathFile, const QString &programFolder)
{
    const HelpFinder finder;
    const QList<QString> folders = finder.getSearchPaths(pathFile, programFolder);
    return HelpCollection(folders + finder.installedHelpFolders(folders));
}

HelpCollection HelpCollection::forWorkingFolder(const QString &programFolder)
{
    const QString pathFile = QStringLiteral("Path");
    // An installed program serves every folder it is started in: it must not
    // leave a file in each of them.
    if (!isInstalledProgram(programFolder))
        HelpFinder().ensurePathFile(pathFile);
    return fromPathFile(pathFile, programFolder);
}

QString HelpCollection::workingPathFile(const QString &programFolder)
{
    const QString inWorkingFolder = QStringLiteral("Path");
    if (!isInstalledProgram(programFolder) || QFileInfo(inWorkingFolder).isFile())
        return inWorkingFolder;
    return QDir(programPathFolder(programFolder)).filePath(inWorkingFolder);
}

QString HelpCollection::findFile(const QString &name) const
{
    return finder.findHelpFile(folders, name);
}

QString HelpCollection::nameOf(const QString &path) const
{
    const QFileInfo file(path);
    for (const QString &folder : folders) {
        const QString relative = QDir(folder).relativeFilePath(file.absoluteFilePath());
        if (relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative) ||
            !relative.endsWith(helpFileExtension))
            continue;
        const QString name = relative.chopped(helpFileExtension.size());
        if (QFileInfo(findFile(name)) == file)
            return name;
    }
    return QString();
}

QList<QString> HelpCollection::files(const QString &filter) const
{
    return finder.findAllFiles(folders, filter);
}

QList<HelpFileState> HelpCollection::fileStates() const
{
    return finder.findAllFileStates(folders);
}

HelpData HelpCollection::fileData(const QString &path, QString *errorString) const
{
    return parser.parse(path, errorString);
}

} // namespace ZkHelp
