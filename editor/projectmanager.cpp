#include "projectmanager.h"

#include "savefile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

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

bool ProjectManager::createProject(const QString &folder, const QString &name)
{
    projectDir = folder;
    projectName = name;
    projectFile = QDir(folder).filePath(name + QStringLiteral(".zkproject"));
    registerOrWarn();
    refreshFileList();
    return saveProject();
}

bool ProjectManager::openProject(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    projectFile = path;
    projectDir = QFileInfo(path).absolutePath();

    // Only the name is taken from the file: the members come from the folder.
    QXmlStreamReader xml(&file);
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"zkproject") {
            projectName = xml.attributes().value(QLatin1String("name")).toString();
            break;
        }
    }
    file.close();

    registerOrWarn();
    refreshFileList();
    return true;
}

bool ProjectManager::saveProject()
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("zkproject"));
    xml.writeAttribute(QStringLiteral("name"), projectName);
    for (const QString &file : std::as_const(files))
        xml.writeTextElement(QStringLiteral("file"), file);
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError() && saveFile(projectFile, bytes);
}

void ProjectManager::refreshFileList()
{
    files.clear();
    // An empty folder name would mean the working folder, which is no project.
    if (projectDir.isEmpty())
        return;
    const QDir dir(projectDir);
    QDirIterator it(projectDir, {QStringLiteral("*.zkhelp")}, QDir::Files,
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
    const QString pathFile = globalPathFile();

    QSet<QString> known;
    bool endsWithLineFeed = true;
    QFile existing(pathFile);
    if (existing.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QByteArray bytes = existing.readAll();
        endsWithLineFeed = bytes.isEmpty() || bytes.endsWith('\n');
        QTextStream in(bytes);
        QString line;
        while (in.readLineInto(&line)) {
            line = line.trimmed();
            if (!line.isEmpty())
                known.insert(entryKey(QDir::cleanPath(line)));
        }
    }

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
    if (added.isEmpty())
        return true;

    QFile file(pathFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    // A last line without its line feed would otherwise swallow the first entry.
    QByteArray lines = endsWithLineFeed ? QByteArray() : QByteArrayLiteral("\n");
    for (const QString &folder : std::as_const(added))
        lines += QDir::toNativeSeparators(folder).toUtf8() + '\n';
    if (file.write(lines) != lines.size() || !file.flush())
        return false;
    for (const QString &folder : std::as_const(added))
        qDebug() << "Registriere Unterordner:" << folder;
    return true;
}

QString ProjectManager::globalPathFile()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Path"));
}

// Opening or changing a project must not fail because "Path" cannot take
// the folders; the log says why the help files cannot be found by name.
void ProjectManager::registerOrWarn()
{
    if (!registerPathInGlobalConfig())
        qWarning() << "Projektordner nicht in Pfad-Datei eingetragen:" << globalPathFile();
}

} // namespace ZkHelp
