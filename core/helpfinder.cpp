#include "helpfinder.h"

#include "savefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

namespace ZkHelp {

namespace {

const QString helpExtension = QStringLiteral(".zkhelp");

// Only a plain file counts: a folder that happens to be called "Path" must not
// hide the application folder's file.
QString locatePathFile(const QString &pathFileName, const QString &appDir)
{
    if (QFileInfo(pathFileName).isFile())
        return pathFileName;
    const QString inAppDir = appDir + u'/' + pathFileName;
    if (QFileInfo(inAppDir).isFile())
        return inAppDir;
    return pathFileName;
}

} // namespace

void HelpFinder::ensurePathFile(const QString &pathFileName) const
{
    if (QFileInfo::exists(pathFileName))
        return;
    saveFile(pathFileName, QDir::currentPath().toUtf8() + '\n');
}

QList<QString> HelpFinder::getSearchPaths(const QString &pathFileName) const
{
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList paths{appDir};

    QFile file(locatePathFile(pathFileName, appDir));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream stream(&file);
        stream.setEncoding(QStringConverter::Utf8);
        const QDir base(appDir);
        QString line;
        while (stream.readLineInto(&line)) {
            const QString folder = line.trimmed();
            if (folder.isEmpty())
                continue;
            paths.append(QDir::isRelativePath(folder) ? base.filePath(folder) : folder);
        }
    }
    paths.removeDuplicates();
    return paths;
}

QString HelpFinder::findHelpFile(const QList<QString> &searchPaths, const QString &fileName) const
{
    const QString name = fileName.endsWith(helpExtension) ? fileName : fileName + helpExtension;
    for (const QString &folder : searchPaths) {
        const QDir dir(folder);
        if (dir.exists(name))
            return dir.filePath(name);
    }
    return QString();
}

QList<QString> HelpFinder::findAllFiles(const QList<QString> &searchPaths,
                                        const QString &filter) const
{
    const QStringList pattern{filter.isEmpty() ? u'*' + helpExtension
                                               : u'*' + filter + u'*' + helpExtension};
    QList<QString> result;
    QSet<QString> seen;
    for (const QString &folder : searchPaths) {
        const QFileInfoList entries =
            QDir(folder).entryInfoList(pattern, QDir::Files, QDir::NoSort);
        for (const QFileInfo &entry : entries) {
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
