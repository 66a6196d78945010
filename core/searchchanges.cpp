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
    for (const HelpFileState &file : files) {
        FolderTotals &folder = totals[folderOf(file.path)];
        ++folder.files;
        folder.stamps += fileStamp(file);
    }
    return totals;
}

FileListing::FileListing(QList<HelpFileState> listed)
    : files(std::move(listed))
    , totals(folderTotals(files))
{
    QSet<QString> names;
    for (const HelpFileState &file : std::as_const(files)) {
        const QString name = file.path.mid(file.path.lastIndexOf(u'/') + 1);
        if (names.contains(name))
            shadowed.insert(file.path);
        else
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
