// Which help files an update of the full-text index reads and which it
// forgets, decided from the listing of the search folders and what the index
// holds for them: no database, no disk.
#pragma once

#include "helpfinder.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace ZkHelp {

// A file's folder as the index stores it: its path up to the last slash.
QString folderOf(const QString &path);

// Changes with a file's path, size or time. The number of a folder's files
// and the sum of their stamps, on disk and in the index, tell whether
// anything in it changed without reading back a row per file. 32 bits, so
// that SQLite's sum over any number of files stays exact.
qint64 fileStamp(const HelpFileState &file);

// How many files of a folder there are and the sum of their stamps.
struct FolderTotals
{
    qint64 files = 0;
    qint64 stamps = 0;
    bool operator==(const FolderTotals &other) const
    {
        return files == other.files && stamps == other.stamps;
    }
};

// The totals of files, by folder.
QHash<QString, FolderTotals> folderTotals(const QList<HelpFileState> &files);

// The help files of the search folders as an update compares them with the
// index. Listing a large set takes a while, so it is made on any thread.
struct FileListing
{
    FileListing() = default;
    explicit FileListing(QList<HelpFileState> listed);

    QList<HelpFileState> files;
    QHash<QString, FolderTotals> totals;
    // Files whose name an earlier search folder holds too: the name opens
    // that one, so they answer no search.
    QSet<QString> shadowed;
};

// The folders whose listed files differ in number or stamps from the
// index's totals for them (stored).
QSet<QString> changedFolders(const QSet<QString> &folders, const FileListing &listing,
                             const QHash<QString, FolderTotals> &stored);

// A file as the index holds it.
struct StoredFile
{
    qint64 id = 0;
    qint64 size = -1;
    qint64 modified = -1;
};

struct UpdatePlan
{
    // New and changed files, in the order listed.
    QList<HelpFileState> read;
    // Indexed files gone from disk, by path.
    QHash<QString, StoredFile> forget;
};

// Compares the listed files of the changed folders with known, the index's
// files of those folders by path. Files of the other folders are left as
// they are indexed.
UpdatePlan planUpdate(const QList<HelpFileState> &listed, const QSet<QString> &changed,
                      QHash<QString, StoredFile> known);

} // namespace ZkHelp
