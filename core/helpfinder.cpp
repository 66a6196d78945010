#include "helpfinder.h"

#include "searchpathfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace ZkHelp {

namespace {

const QString helpExtension = QStringLiteral(".zkhelp");

// Only a regular file counts: a folder that happens to be called "Path" must
// not hide the program folder's file, and a FIFO or device would block or
// never end. An empty result means there is no file to read.
QString locatePathFile(const QString &pathFileName, const QString &programFolder)
{
    if (QFileInfo(pathFileName).isFile())
        return pathFileName;
    const QString inProgramFolder = programFolder + u'/' + pathFileName;
    if (QFileInfo(inProgramFolder).isFile())
        return inProgramFolder;
    return QString();
}

// The name pattern for a filter. Wildcards in the filter act as wildcards, but
// a "[" without its "]" would make the whole pattern invalid, and every file
// would then be refused with a warning of its own: such a filter is taken
// with its brackets as plain characters.
QString namePattern(const QString &filter)
{
    if (filter.isEmpty())
        return u'*' + helpExtension;
    const QString pattern = u'*' + filter + u'*' + helpExtension;
    if (QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive).isValid())
        return pattern;
    return u'*' + QString(filter).replace(u'[', QStringLiteral("[[]")) + u'*' + helpExtension;
}

} // namespace

void HelpFinder::ensurePathFile(const QString &pathFileName) const
{
    if (QFileInfo::exists(pathFileName))
        return;
    writeSearchPathFile(pathFileName, {QDir::currentPath()});
}

QList<QString> HelpFinder::getSearchPaths(const QString &pathFileName,
                                          const QString &programFolder) const
{
    QStringList paths{programFolder};
    const QString located = locatePathFile(pathFileName, programFolder);
    if (!located.isEmpty()) {
        const QDir base(programFolder);
        for (const QString &folder : readSearchPathFile(located))
            paths.append(QDir::isRelativePath(folder) ? base.filePath(folder) : folder);
    }
    paths.removeDuplicates();
    return paths;
}

QString HelpFinder::findHelpFile(const QList<QString> &searchPaths, const QString &fileName) const
{
    const QString name = fileName.endsWith(helpExtension) ? fileName : fileName + helpExtension;
    for (const QString &folder : searchPaths) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QList<QString> HelpFinder::findAllFiles(const QList<QString> &searchPaths,
                                        const QString &filter) const
{
    const QStringList pattern{namePattern(filter)};
    QList<QString> result;
    QSet<QString> seen;
    for (const QString &folder : searchPaths) {
        const QFileInfoList entries =
            QDir(folder).entryInfoList(pattern, QDir::Files, QDir::NoSort);
        for (const QFileInfo &entry : entries) {
            // A link to a FIFO or a device passes the filter, but is no help
            // file: it could only be "not found" once chosen.
            if (!entry.isFile())
                continue;
            QString path = entry.absoluteFilePath();
            if (!seen.contains(path)) {
                seen.insert(path);
                result.append(std::move(path));
            }
        }
    }
    return result;
}

} // namespace ZkHelp
