#include "projectmanager.h"

#include "helpcollection.h"
#include "helpdata.h"
#include "helpset.h"
#include "projectfile.h"
#include "searchpathfile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>

#include <utility>

namespace ZkHelp {

namespace {

// Two folder names count as the same "Path" entry when they are equal after
// cleaning, letter case aside. Case-folding once per line lets a set find a
// match, so a long "Path" and a deep project never meet line by line.
QString entryKey(const QString &cleanedFolder)
{
    return cleanedFolder.toCaseFolded();
}

} // namespace

ProjectManager::ProjectManager(const QString &searchPathFile)
    : searchPathFile(searchPathFile)
{}

bool ProjectManager::createProject(const QString &folder, const QString &name)
{
    projectDir = folder;
    projectName = name;
    projectFile = QDir(folder).filePath(name + projectFileExtension);
    registerOrWarn();
    refreshFileList();
    return saveProject();
}

bool ProjectManager::openProject(const QString &path)
{
    // Only the name is taken from the file: the members come from the folder.
    const std::optional<ProjectFileContent> content = readProjectFile(path, &lastError);
    if (!content)
        return false;
    projectFile = path;
    projectDir = QFileInfo(path).absolutePath();
    if (content->named)
        projectName = content->name;

    registerOrWarn();
    refreshFileList();
    return true;
}

bool ProjectManager::saveProject()
{
    return writeProjectFile(projectFile, projectName, files, &lastError);
}
void ProjectManager::refreshFileList()
{
    files.clear();
    // An empty folder name would mean the working folder, which is no project.
    if (projectDir.isEmpty())
        return;
    const QDir dir(projectDir);
    QDirIterator it(projectDir, {u'*' + helpFileExtension}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(dir.relativeFilePath(it.next()));
    files.sort(Qt::CaseSensitive);
}

void ProjectManager::addFileToProject(const QString &path)
{
    const QString entry =
        QFileInfo(path).isRelative() ? path : QDir(projectDir).relativeFilePath(path);
    if (!files.contains(entry, Qt::CaseSensitive)) {
        files.append(entry);
        saveProject();
    }
    registerOrWarn();
}

void ProjectManager::removeFileFromProject(const QString &path, bool deleteFromDisk)
{
    files.removeOne(QDir(projectDir).relativeFilePath(path));
    saveProject();
    if (deleteFromDisk)
        QFile::remove(path);
}

bool ProjectManager::registerPathInGlobalConfig()
{
    // Without a project the walk below would register the working folder.
    if (projectDir.isEmpty())
        return true;

    QSet<QString> known;
    for (const QString &line : readSearchPathFile(searchPathFile))
        known.insert(entryKey(QDir::cleanPath(line)));

    QStringList candidates{QDir::cleanPath(projectDir)};
    QDirIterator it(projectDir, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        candidates.append(QDir::cleanPath(it.next()));

    QStringList added;
    for (const QString &candidate : std::as_const(candidates)) {
        if (known.contains(entryKey(candidate)))
            continue;
        known.insert(entryKey(candidate));
        added.append(candidate);
    }
    if (!appendToSearchPathFile(searchPathFile, added, &lastError))
        return false;
    for (const QString &folder : std::as_const(added))
        qDebug() << "Registriere Unterordner:" << folder;
    return true;
}

QString ProjectManager::referenceLanguage() const
{
    return QSettings(QSettings::UserScope, QStringLiteral("zkhelp"),
                     QStringLiteral("zkhelp_editor"))
        .value(referenceKey())
        .toString();
}

void ProjectManager::setReferenceLanguage(const QString &key)
{
    QSettings(QSettings::UserScope, QStringLiteral("zkhelp"), QStringLiteral("zkhelp_editor"))
        .setValue(referenceKey(), key);
}

// One entry per project folder, named by a hash: a path holds characters a
// settings key may not.
QString ProjectManager::referenceKey() const
{
    const QByteArray folder = QDir(projectDir).absolutePath().toUtf8();
    return QStringLiteral("referenceLanguage/") +
           QString::fromLatin1(
               QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16));
}

QList<QString> ProjectManager::linkFolders() const
{
    return folderLinkFolders(
        projectDir,
        HelpCollection::fromPathFile(searchPathFile, QCoreApplication::applicationDirPath()));
}

QString ProjectManager::globalPathFile()
{
    return QDir(programPathFolder(QCoreApplication::applicationDirPath()))
        .filePath(QStringLiteral("Path"));
}

// Opening or changing a project must not fail because "Path" cannot take
// the folders; the log says why the help files cannot be found by name.
void ProjectManager::registerOrWarn()
{
    if (!registerPathInGlobalConfig())
        qWarning() << "Projektordner nicht in Pfad-Datei eingetragen:" << searchPathFile;
}

} // namespace ZkHelp
