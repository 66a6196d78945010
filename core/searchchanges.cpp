#include "searchchanges.h"

#include <QByteArray>
#include <QtEndian>

namespace ZkHelp {

namespace {

// 32-bit FNV-1a: defined byte for byte, so that a stamp stays the same
// across Qt releases and machines (qHash is free to change with either, and
// then every folder of every index would differ for good).
constexpr quint32 fnvOffset = 2166136261u;
constexpr quint32 fnvPrime = 16777619u;

quint32 fnv1a(quint32 hash, const char *bytes, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        hash ^= quint8(bytes[i]);
        hash *= fnvPrime;
    }
    return hash;
}

// Whether path names a file directly in folder. Tells a file of the folder
// before it, without making the path's folder anew; false for the root.
bool isDirectlyIn(QStringView path, QStringView folder)
{
    return path.size() > folder.size() && path.at(folder.size()) == u'/' &&
           path.startsWith(folder) && path.lastIndexOf(u'/') == folder.size();
}

// Where the files of the listing's last folder begin: a listing holds each
// folder's files together.
qsizetype lastFolderStart(const QList<HelpFileState> &files)
{
    if (files.isEmpty())
        return 0;
    const QString last = folderOf(files.last().path);
    qsizetype start = files.size() - 1;
    while (start > 0 && isDirectlyIn(files.at(start - 1).path, last))
        --start;
    return start;
}

} // namespace

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// The path's UTF-8 bytes, then size and time as 8 little-endian bytes each.
qint64 fileStamp(const HelpFileState &file)
{
    const QByteArray path = file.path.toUtf8();
    quint32 hash = fnv1a(fnvOffset, path.constData(), path.size());
    for (const qint64 number : {file.size, file.modified}) {
        char bytes[sizeof(number)];
        qToLittleEndian(number, bytes);
        hash = fnv1a(hash, bytes, sizeof(bytes));
    }
    return qint64(hash);
}

QHash<QString, FolderTotals> folderTotals(const QList<HelpFileState> &files)
{
    QHash<QString, FolderTotals> totals;
    QString folder;
    FolderTotals *folderTotal = nullptr;
    // A listing holds each folder's files together, so the folder is looked
    // up once per run of them.
    for (const HelpFileState &file : files) {
        if (!folderTotal || !isDirectlyIn(file.path, folder)) {
            folder = folderOf(file.path);
            folderTotal = &totals[folder];
        }
        ++folderTotal->files;
        folderTotal->stamps += fileStamp(file);
    }
    return totals;
}

FileListing::FileListing(QList<HelpFileState> listed)
    : files(std::move(listed))
    , totals(folderTotals(files))
{
    // The last folder's names shadow nothing, so a set of one folder, the
    // usual one, takes no names at all.
    const qsizetype last = lastFolderStart(files);
    QSet<QString> names;
    for (qsizetype i = 0; i < files.size() && (i < last || !names.isEmpty()); ++i) {
        const QString &path = files.at(i).path;
        const QString name = path.mid(path.lastIndexOf(u'/') + 1);
        if (names.contains(name))
            shadowed.insert(path);
        else if (i < last)
            names.insert(name);
    }
}

QSet<QString> changedFolders(const QSet<QString> &folders, const FileListing &listing,
                             const QHash<QString, FolderTotals> &stored)
{
    QSet<QString> changed;
    for (const QString &folder : folders) {
        if (!(listing.totals.value(folder) == stored.value(folder)))
            changed.insert(folder);
    }
    return changed;
}

UpdatePlan planUpdate(const QList<HelpFileState> &listed, const QSet<QString> &changed,
                      QHash<QString, StoredFile> known)
{
    UpdatePlan plan;
    if (changed.isEmpty())
        return plan;
    for (const HelpFileState &file : listed) {
        const auto stored = known.constFind(file.path);
        if (stored == known.cend()) {
            if (changed.contains(folderOf(file.path)))
                plan.read.append(file);
            continue;
        }
        if (stored->size != file.size || stored->modified != file.modified)
            plan.read.append(file);
        known.erase(stored);
    }
    // What is left is gone from disk.
    plan.forget = std::move(known);
    return plan;
}

} // namespace ZkHelp
