// Writes help files into the full-text index, in short transactions, while
// worker threads read the next ones.
#pragma once

#include "searchchanges.h"
#include "searchrows.h"

#include <QDeadlineTimer>
#include <QFuture>
#include <QHash>
#include <QList>
#include <QThreadPool>

namespace ZkHelp {

class SearchDatabase;

class SearchWriter
{
public:
    // readers are the worker threads the files are read on.
    SearchWriter(SearchDatabase &database, QThreadPool &readers);
    // Reads not yet begun are dropped: a closing program waits at most for
    // the one group being read.
    ~SearchWriter();
    SearchWriter(const SearchWriter &) = delete;
    SearchWriter &operator=(const SearchWriter &) = delete;

    // Makes files, in this order, the ones to write, instead of the queued.
    void queue(const QList<HelpFileState> &files);
    qsizetype pendingCount() const { return pending.size() - nextPending; }
    // Files to write, or the upkeep due after writing: merging the
    // full-text segments written and giving back the pages freed.
    bool hasWork() const { return pendingCount() > 0 || upkeepDue; }

    // One transaction until the batch time or deadline is up: the upkeep
    // due, else queued files (at least one of them). On failure the
    // transaction is rolled back, the queue emptied (the caller lists the
    // files anew) and the reason kept by the database.
    bool writeBatch(QDeadlineTimer deadline);
    // Removes files and their rows in one transaction.
    bool forget(const QHash<QString, StoredFile> &files);

private:
    bool writeFiles(QDeadlineTimer batchEnd);
    bool keepUp(QDeadlineTimer batchEnd);
    bool mergeStep(bool *merged);
    bool giveBackPages(QDeadlineTimer batchEnd, bool *done);
    void startReads();
    void dropReads();

    SearchDatabase &db;
    // Between calls, 0 <= nextPending <= nextRead <= pending.size(): the
    // files before nextPending are written; group holds the files read
    // last, those from nextInGroup on not yet written; reads holds the
    // files after them up to nextRead in order, a group of them per read,
    // and those from nextRead on are still to be handed to a read.
    QList<HelpFileState> pending;
    qsizetype nextPending = 0;
    qsizetype nextRead = 0;
    QList<PreparedFile> group;
    qsizetype nextInGroup = 0;
    QList<QFuture<QList<PreparedFile>>> reads;
    QThreadPool &readers;
    bool upkeepDue = false;
};

} // namespace ZkHelp
