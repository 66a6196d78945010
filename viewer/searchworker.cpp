#include "searchworker.h"

#include <QtConcurrent>

namespace {

// Between two slices the thread takes the searches asked for meanwhile.
constexpr int indexSliceMilliseconds = 50;

} // namespace

SearchWorker::SearchWorker(const ZkHelp::HelpCollection &collection, const QString &indexFile)
    : collection(collection)
    , indexFile(indexFile)
    , listing(this)
    , indexTimer(this)
{
    connect(&listing, &QFutureWatcher<ZkHelp::FileListing>::finished, this,
            &SearchWorker::compareListing);
    connect(&indexTimer, &QTimer::timeout, this, &SearchWorker::writeSome);
}

void SearchWorker::openIndex()
{
    index = std::make_unique<ZkHelp::SearchIndex>(indexFile);
    // Until the files are listed, searches answer from the index as it is.
    index->answerFrom(collection);
}

void SearchWorker::bringUpToDate()
{
    if (indexTimer.isActive() || listing.isRunning())
        return;
    // Listing a large set takes a while, and the searches typed meanwhile
    // are answered from the index as it is.
    listing.setFuture(QtConcurrent::run(
        [listed = collection] { return ZkHelp::FileListing(listed.fileStates()); }));
}

void SearchWorker::compareListing()
{
    index->beginUpdate(collection, listing.result());
    if (index->hasPendingWork())
        indexTimer.start(0);
    else
        emit upToDate(false);
}

void SearchWorker::findHits(quint64 ticket, const QString &query, int limit)
{
    emit hitsFound(ticket, index->search(query, limit));
    // An index the search found damaged is rebuilt in slices too.
    if (index->hasPendingWork() && !indexTimer.isActive())
        indexTimer.start(0);
}

void SearchWorker::writeSome()
{
    if (!index->continueUpdate(QDeadlineTimer(indexSliceMilliseconds))) {
        emit filesWritten(index->fileCount() - index->pendingCount(), index->fileCount());
        return;
    }
    indexTimer.stop();
    emit upToDate(true);
}
