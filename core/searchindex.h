// The full-text index over help files: one SQLite file shared by every
// program and every set of search folders, brought up to date from the files
// on disk before it answers.
#pragma once

#include "helpcollection.h"
#include "searchchanges.h"
#include "searchhits.h"

#include <QDeadlineTimer>
#include <QList>
#include <QString>

#include <memory>

namespace ZkHelp {

class SearchIndex
{
public:
    // "zkhelp/search.sqlite" in the user's generic cache folder.
    static QString defaultFile();

    // Opens indexFile, creating it when missing. An index that cannot be
    // used (unwritable folder, a file that is no database, one held locked
    // by another program) never fails a search: a damaged file is rebuilt,
    // otherwise this run keeps its index in memory; either is said once on
    // the message log.
    explicit SearchIndex(const QString &indexFile = defaultFile());
    ~SearchIndex();
    SearchIndex(const SearchIndex &) = delete;
    SearchIndex &operator=(const SearchIndex &) = delete;

    // Compares the files of collection with the index: forgets the files of
    // its folders that are gone and queues the new and changed ones (size or
    // modification time), which continueUpdate() then reads.
    void beginUpdate(const HelpCollection &collection);
    // The same with listing, the collection's files listed beforehand
    // (FileListing(collection.fileStates()), on another thread), so that
    // searches are answered meanwhile.
    void beginUpdate(const HelpCollection &collection, const FileListing &listing);
    // Searches answer from the files of collection's folders as far as
    // they are indexed, before the update that lists them begins.
    void answerFrom(const HelpCollection &collection);
    // Indexes queued files, then tidies the index, until deadline; true
    // when nothing is left to do. Other programs updating the same file
    // meanwhile wait at most a moment.
    bool continueUpdate(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
    void update(const HelpCollection &collection);

    // update() and search() in one, for a single search: quicker than the
    // two when nothing changed.
    QList<SearchHit> updateAndSearch(const HelpCollection &collection, const QString &query,
                                     int limit = 50);

    // Files of the last beginUpdate(), and those of them still to be read.
    qsizetype fileCount() const;
    qsizetype pendingCount() const;
    // Files still to be read, or the tidying after writing them (merging
    // what was written, giving back freed space) that continueUpdate()
    // does in steps.
    bool hasPendingWork() const;

    // At most limit hits among the files of the last beginUpdate() (as far
    // as they are indexed), section title hits first, then the best. A file
    // whose name an earlier search folder holds too gives none: its name
    // opens the other file. An index found damaged is rebuilt empty, its
    // files queued for continueUpdate() as for a first index.
    QList<SearchHit> search(const QString &query, int limit = 50);

    bool isInMemory() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace ZkHelp
