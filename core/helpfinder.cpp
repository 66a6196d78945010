#include "helpfinder.h"

#include "helpdata.h"
#include "searchpathfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string_view>
#include <vector>

namespace ZkHelp {

namespace {

// Only a regular file counts: a folder that happens to be called "Path" must
// not hide the program's own file, and a FIFO or device would block or
// never end. An empty result means there is no file to read.
QString locatePathFile(const QString &pathFileName, const QString &programFolder)
{
    if (QFileInfo(pathFileName).isFile())
        return pathFileName;
    const QString programsOwn = programPathFolder(programFolder) + u'/' + pathFileName;
    if (QFileInfo(programsOwn).isFile())
        return programsOwn;
    return QString();
}

// The name pattern for a filter. Wildcards in the filter act as wildcards, but
// a "[" without its "]" would make the whole pattern invalid, and every file
// would then be refused with a warning of its own: such a filter is taken
// with its brackets as plain characters.
QString namePattern(const QString &filter)
{
    if (filter.isEmpty())
        return u'*' + helpFileExtension;
    const QString pattern = u'*' + filter + u'*' + helpFileExtension;
    if (QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive).isValid())
        return pattern;
    return u'*' + QString(filter).replace(u'[', QStringLiteral("[[]")) + u'*' + helpFileExtension;
}

// What findAllFiles' name filter lets through without a filter of its own:
// a name ending in the extension in any letter case, hidden names left out.
bool isListedHelpFileName(const char *name)
{
    static const QByteArray extension = helpFileExtension.toLatin1();
    const size_t length = std::strlen(name);
    return name[0] != '.' && length > size_t(extension.size()) &&
           ::strcasecmp(name + length - extension.size(), extension.constData()) == 0;
}

// Calls take(folderFd, entry) for every entry of folder, the folder opened
// once, so that its path is walked once and not once per file.
template <typename Take>
void forEachEntry(const QString &folder, Take take)
{
    const int folderFd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return;
    DIR *entries = ::fdopendir(folderFd);
    if (!entries) {
        ::close(folderFd);
        return;
    }
    while (const dirent *entry = ::readdir(entries))
        take(folderFd, *entry);
    ::closedir(entries);
}

// Names and stats come from one open folder: a listing with plain stats, or
// QFileInfo's, cost the full-text search several times the listing itself.
// take(name, info) is called for every help file that is a regular file or
// a link to one, with its name as the folder holds it.
template <typename Take>
void listHelpFiles(const QString &folder, Take take)
{
    forEachEntry(folder, [&](int folderFd, const dirent &entry) {
        struct stat info;
        if (isListedHelpFileName(entry.d_name) &&
            ::fstatat(folderFd, entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode))
            take(QByteArray(entry.d_name), info);
    });
}

// A folder's files are listed in the order of their names in lower case, as
// the programs always listed them, names alike in lower case as the folder
// holds them. The keys are compared inline and the sort moves no strings: a
// listing of many names spends most of its time sorting them.
struct NameInOrder
{
    std::u16string_view key;
    qsizetype index;

    bool operator<(const NameInOrder &other) const
    {
        return key != other.key ? key < other.key : index < other.index;
    }
};

std::vector<NameInOrder> sortedByKey(const QList<QString> &keys)
{
    std::vector<NameInOrder> order;
    order.reserve(size_t(keys.size()));
    for (qsizetype i = 0; i < keys.size(); ++i)
        order.push_back(
            {{reinterpret_cast<const char16_t *>(keys.at(i).utf16()), size_t(keys.at(i).size())},
             i});
    std::sort(order.begin(), order.end());
    return order;
}

// Whether entry is a regular file or a link to one. The folder tells the
// type of most entries: only a link, or a file system that keeps no types,
// costs a stat.
bool isRegularFile(int folderFd, const dirent &entry)
{
    if (entry.d_type == DT_REG)
        return true;
    struct stat info;
    return (entry.d_type == DT_LNK || entry.d_type == DT_UNKNOWN) &&
           ::fstatat(folderFd, entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

// A name whose bytes are no UTF-8 has no file path in Qt: decoded, it names
// another file or none.
bool isDecodable(const QByteArray &name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

QString filePath(const QString &folder, const QString &name)
{
    return (folder.endsWith(u'/') ? folder : folder + u'/') + name;
}

QString filePath(const QString &folder, const QByteArray &name)
{
    return filePath(folder, QFile::decodeName(name));
}

void appendFileStates(const QString &folder, QList<HelpFileState> &states)
{
    listHelpFiles(folder, [&](const QByteArray &name, const struct stat &info) {
        if (isDecodable(name))
            states.append({filePath(folder, name), qint64(info.st_size),
                           qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec});
    });
}

QString cleanFolder(const QString &folder)
{
    return QDir::cleanPath(QDir(folder).absolutePath());
}

// Each folder once, as its clean absolute path.
QList<QString> distinctFolders(const QList<QString> &searchPaths)
{
    QList<QString> folders;
    QSet<QString> seen;
    for (const QString &searchPath : searchPaths) {
        QString folder = cleanFolder(searchPath);
        if (!seen.contains(folder)) {
            seen.insert(folder);
            folders.append(std::move(folder));
        }
    }
    return folders;
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

QList<QString> HelpFinder::folderTree(const QString &root) const
{
    QList<QString> folders;
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        folders.append(it.next());
    std::sort(folders.begin(), folders.end());
    folders.prepend(root);
    return folders;
}

QList<QString> HelpFinder::installedHelpFolders(const QList<QString> &searched) const
{
    QSet<QString> seen;
    for (const QString &folder : searched)
        seen.insert(cleanFolder(folder));
    QList<QString> folders;
    for (const QString &dataFolder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString root = cleanFolder(dataFolder + QStringLiteral("/zkhelp"));
        if (!QFileInfo(root).isDir())
            continue;
        // A data folder named twice, or one below another's zkhelp, must
        // not list its help folders twice.
        for (const QString &folder : folderTree(root)) {
            if (!seen.contains(folder)) {
                seen.insert(folder);
                folders.append(folder);
            }
        }
    }
    return folders;
}

QString HelpFinder::findHelpFile(const QList<QString> &searchPaths, const QString &fileName) const
{
    const QString name =
        fileName.endsWith(helpFileExtension) ? fileName : fileName + helpFileExtension;
    for (const QString &folder : searchPaths) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

// Names are matched before anything is asked of the file, as a listing of
// the folder by name would; a link to a FIFO or a device passes the names,
// but is no help file: it could only be "not found" once chosen.
QList<QString> HelpFinder::findAllFiles(const QList<QString> &searchPaths,
                                        const QString &filter) const
{
    const QRegularExpression pattern =
        QRegularExpression::fromWildcard(namePattern(filter), Qt::CaseInsensitive);
    QList<QString> result;
    for (const QString &folder : distinctFolders(searchPaths)) {
        QList<QString> names;
        QList<QString> keys;
        forEachEntry(folder, [&](int folderFd, const dirent &entry) {
            const QByteArray name = entry.d_name;
            if (!isListedHelpFileName(entry.d_name) || !isDecodable(name))
                return;
            QString decoded = QFile::decodeName(name);
            if ((filter.isEmpty() || pattern.match(decoded).hasMatch()) &&
                isRegularFile(folderFd, entry)) {
                keys.append(decoded.toLower());
                names.append(std::move(decoded));
            }
        });
        for (const NameInOrder &name : sortedByKey(keys))
            result.append(filePath(folder, names.at(name.index)));
    }
    return result;
}

QList<HelpFileState> HelpFinder::findAllFileStates(const QList<QString> &searchPaths) const
{
    QList<HelpFileState> states;
    for (const QString &folder : distinctFolders(searchPaths))
        appendFileStates(folder, states);
    return states;
}

QList<QString> HelpFinder::findUndecodableFiles(const QList<QString> &folders) const
{
    QList<QString> paths;
    for (const QString &folder : distinctFolders(folders)) {
        // Nearly every name is UTF-8: asked first, it spares the stat.
        forEachEntry(folder, [&](int folderFd, const dirent &entry) {
            const QByteArray name = entry.d_name;
            if (isListedHelpFileName(entry.d_name) && !isDecodable(name) &&
                isRegularFile(folderFd, entry))
                paths.append(filePath(folder, name));
        });
    }
    return paths;
}

} // namespace ZkHelp
