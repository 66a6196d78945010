#include "searchpathfile.h"

#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace ZkHelp {

namespace {

QByteArray linesOf(const QList<QString> &folders)
{
    QByteArray lines;
    for (const QString &folder : folders)
        lines += QDir::toNativeSeparators(folder).toUtf8() + '\n';
    return lines;
}

QString canonicalFolder(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
}

bool endsWithLineFeed(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() == 0)
        return true;
    return file.seek(file.size() - 1) && file.read(1) == "\n";
}

} // namespace

QList<QString> readSearchPathFile(const QString &path)
{
    // A FIFO or device named "Path" would block the read or never end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    // Every line end counts as one, a lone CR of an old Mac file included,
    // as in the help files; a text-mode read would glue such lines together.
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    QList<QString> folders;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QStringView folder = line.trimmed();
        if (!folder.isEmpty())
            folders.append(folder.toString());
    }
    return folders;
}

bool writeSearchPathFile(const QString &path, const QList<QString> &folders, QString *errorString)
{
    return saveFile(path, linesOf(folders), errorString);
}

bool appendToSearchPathFile(const QString &path, const QList<QString> &folders,
                            QString *errorString)
{
    if (folders.isEmpty())
        return true;
    const QByteArray lines = (endsWithLineFeed(path) ? QByteArray() : "\n") + linesOf(folders);
    // A folder that cannot be made fails the open below, which says why.
    QFileInfo(path).dir().mkpath(QStringLiteral("."));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text) &&
        file.write(lines) == lines.size() && file.flush())
        return true;
    if (errorString)
        *errorString = file.errorString();
    return false;
}

bool isInstalledProgramFolder(const QString &programFolder, const QString &installedBinFolder)
{
    return canonicalFolder(programFolder) == canonicalFolder(installedBinFolder);
}

bool isInstalledProgram(const QString &programFolder)
{
    return isInstalledProgramFolder(programFolder, QStringLiteral(ZKHELP_INSTALLED_BINDIR));
}

QString programPathFolder(const QString &programFolder)
{
    if (!isInstalledProgram(programFolder))
        return programFolder;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zkhelp");
}

} // namespace ZkHelp
