#include "searchindex.h"

#include "searchchanges.h"
#include "searchdatabase.h"
#include "searchhits.h"
#include "searchquery.h"
#include "searchrows.h"
#include "searchwriter.h"

#include <QDir>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThreadPool>
#include <QVariant>
#include <QtConcurrent>
#include <QtDebug>

namespace ZkHelp {

struct SearchIndex::Private
{
    explicit Private(const QString &file);

    void adoptListing(const HelpCollection &collection, const FileListing &listing);
    void takeListing(const HelpCollection &collection, const FileListing &listing);
    void setFolders(const HelpCollection &collection);
    bool fillScope();
    bool readStoredTotals(QHash<QString, FolderTotals> &stored);
    bool loadKnown(const QSet<QString> &changed, QHash<QString, StoredFile> &known);
    QList<SearchHit> runSearch(const SearchQuery &parsed, int limit, bool *ok)
    {
        return findHits(db, parsed, limit, !shadowed.isEmpty(), ok);
    }

    SearchDatabase db;
    // Files are read and prepared on every core the program may use, while
    // this thread writes them: the writing alone must stay on one thread.
    QThreadPool readers;
    SearchWriter writer;

    HelpCollection current;
    qsizetype listedCount = 0;
    QSet<QString> folders;
    QSet<QString> shadowed;
};

SearchIndex::Private::Private(const QString &file)
    : db(file)
    , writer(db, readers)
{
    readers.setMaxThreadCount(QThreadPool::globalInstance()->maxThreadCount());
}

QString SearchIndex::defaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/zkhelp/search.sqlite");
}

SearchIndex::SearchIndex(const QString &indexFile)
    : d(std::make_unique<Private>(indexFile))
{}

SearchIndex::~SearchIndex() = default;

void SearchIndex::beginUpdate(const HelpCollection &collection)
{
    d->adoptListing(collection, FileListing(collection.fileStates()));
}

void SearchIndex::beginUpdate(const HelpCollection &collection, const FileListing &listing)
{
    d->adoptListing(collection, listing);
}

void SearchIndex::answerFrom(const HelpCollection &collection)
{
    d->setFolders(collection);
    // Which files the listing shadows is known only once it is done.
    d->shadowed.clear();
}

bool SearchIndex::continueUpdate(QDeadlineTimer deadline)
{
    while (hasPendingWork()) {
        if (deadline.hasExpired())
            return false;
        // A failed batch leaves nothing queued: the files are compared anew
        // with the index recovered.
        if (!d->writer.writeBatch(deadline) && d->db.recover())
            beginUpdate(d->current);
    }
    return true;
}

void SearchIndex::update(const HelpCollection &collection)
{
    beginUpdate(collection);
    continueUpdate();
}

QList<SearchHit> SearchIndex::updateAndSearch(const HelpCollection &collection,
                                              const QString &query, int limit)
{
    // The index is searched as it stands while the folders are listed: when
    // nothing changed, as on most searches, that answer stands, and the
    // listing cost the search nothing. No read queued before goes first.
    d->writer.queue({});
    const QFuture<FileListing> listing = QtConcurrent::run(
        &d->readers, [collection] { return FileListing(collection.fileStates()); });
    answerFrom(collection);
    const SearchQuery parsed(query);
    bool answered = false;
    QList<SearchHit> hits;
    QHash<QString, FolderTotals> searched;
    // One read transaction: the answer and the totals it is checked against
    // come from one state of the index, even while another program writes.
    if (!parsed.isEmpty() && limit > 0 && d->fillScope() && d->db.run(QStringLiteral("BEGIN"))) {
        hits = d->runSearch(parsed, limit, &answered);
        answered = answered && d->readStoredTotals(searched);
        d->db.run(QStringLiteral("COMMIT"));
    }
    const FileListing listed = listing.result();
    // The totals read with the answer tell that the index holds the files
    // as listed: nothing to read back.
    if (answered && changedFolders(d->folders, listed, searched).isEmpty() &&
        std::none_of(hits.cbegin(), hits.cend(), [&listed](const SearchHit &hit) {
            return listed.shadowed.contains(hit.path);
        })) {
        d->takeListing(collection, listed);
        // Later searches leave out what the listing shadows; the tables
        // were filled with nothing shadowed for the answer.
        if (listed.shadowed.isEmpty() || d->fillScope())
            return hits;
    }
    d->adoptListing(collection, listed);
    continueUpdate();
    hits = search(query, limit);
    // With no event loop to rebuild it in slices, an index the search found
    // damaged is rebuilt at once.
    if (pendingCount() == 0)
        return hits;
    continueUpdate();
    return search(query, limit);
}

qsizetype SearchIndex::fileCount() const
{
    return d->listedCount;
}

qsizetype SearchIndex::pendingCount() const
{
    return d->writer.pendingCount();
}

bool SearchIndex::hasPendingWork() const
{
    return d->writer.hasWork();
}

QList<SearchHit> SearchIndex::search(const QString &query, int limit)
{
    const SearchQuery parsed(query);
    if (parsed.isEmpty() || limit <= 0)
        return {};
    bool ok = false;
    QList<SearchHit> hits = d->runSearch(parsed, limit, &ok);
    // A bad query is no reason to give up the index; a damaged one is. The
    // rebuilt index answers from what is indexed so far: rebuilding it here
    // at once would hold the viewer as long as a first index.
    if (!ok && !d->db.failedOnStatement() && d->db.recover()) {
        beginUpdate(d->current);
        hits = d->runSearch(parsed, limit, &ok);
    }
    if (!ok)
        qWarning() << "Suche fehlgeschlagen:" << query << d->db.errorText();
    return hits;
}

bool SearchIndex::isInMemory() const
{
    return d->db.isInMemory();
}

// Takes files as what is on disk now: forgets the stored files of the
// folders that are gone from it, and queues the new and changed ones.
void SearchIndex::Private::adoptListing(const HelpCollection &collection,
                                        const FileListing &listing)
{
    takeListing(collection, listing);
    setFolders(collection);
    QHash<QString, FolderTotals> stored;
    QSet<QString> changed;
    QHash<QString, StoredFile> known;
    const bool totalsRead = fillScope() && readStoredTotals(stored);
    if (totalsRead)
        changed = changedFolders(folders, listing, stored);
    if (!totalsRead || !loadKnown(changed, known)) {
        if (db.recover())
            adoptListing(collection, listing);
        return;
    }
    const UpdatePlan plan = planUpdate(listing.files, changed, std::move(known));
    writer.queue(plan.read);
    if (!writer.forget(plan.forget) && db.recover())
        adoptListing(collection, listing);
}

// Makes collection, listed as listing, the one answered, with nothing
// queued.
void SearchIndex::Private::takeListing(const HelpCollection &collection, const FileListing &listing)
{
    writer.queue({});
    current = collection;
    listedCount = listing.files.size();
    shadowed = listing.shadowed;
}

void SearchIndex::Private::setFolders(const HelpCollection &collection)
{
    folders.clear();
    for (const QString &folder : collection.searchPaths())
        folders.insert(QDir::cleanPath(QDir(folder).absolutePath()));
}

// The folders a search answers from, as the listing names its files', and
// the files of them it leaves out.
bool SearchIndex::Private::fillScope()
{
    return db.fillTable(QStringLiteral("temp.scope"), folders) &&
           db.fillTable(QStringLiteral("temp.shadowed"), shadowed);
}

bool SearchIndex::Private::readStoredTotals(QHash<QString, FolderTotals> &stored)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT folder, count(*), sum(stamp) FROM files "
                                   "WHERE folder IN (SELECT folder FROM temp.scope) "
                                   "GROUP BY folder")))
        return db.fail(query.lastError());
    while (query.next()) {
        stored.insert(query.value(0).toString(),
                      {query.value(1).toLongLong(), query.value(2).toLongLong()});
    }
    return true;
}

bool SearchIndex::Private::loadKnown(const QSet<QString> &changed,
                                     QHash<QString, StoredFile> &known)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT path, id, size, modified FROM files WHERE folder = ?"));
    for (const QString &folder : changed) {
        query.addBindValue(folder);
        if (!query.exec())
            return db.fail(query.lastError());
        while (query.next()) {
            known.insert(query.value(0).toString(),
                         {query.value(1).toLongLong(), query.value(2).toLongLong(),
                          query.value(3).toLongLong()});
        }
    }
    return true;
}

} // namespace ZkHelp
