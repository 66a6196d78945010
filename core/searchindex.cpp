#include "searchindex.h"

#include "helpparser.h"
#include "searchquery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <QtConcurrent>
#include <QtDebug>

namespace ZkHelp {

namespace {

constexpr int schemaVersion = 4;
// A file's rows are numbered from its id shifted by this many bits, so that
// all of them go with one range delete.
constexpr int rowBits = 20;
constexpr qint64 rowsPerFile = qint64(1) << rowBits;
// Long enough to wait out another program's batch, short enough that a lock
// held for good costs a search only a moment before it goes on in memory.
constexpr int busyMilliseconds = 2000;
// Each write transaction is kept this short so that another program
// updating at the same time is never kept waiting long.
constexpr qint64 batchMilliseconds = 100;
// Pages of full-text segments merged after each batch: a few milliseconds'
// work that keeps the number of segments, and so searching, in bounds.
constexpr int mergePagesPerBatch = 100;
// Terms gathered in memory before they are written out as a segment: a
// batch then mostly becomes one segment, which left a first index about a
// fifth less to write and merge than the default of a megabyte.
constexpr int pendingTermBytes = 8 * 1024 * 1024;
// Files are read in small groups, a few groups ahead of the writing: enough
// to keep a worker busy, few enough that a new update drops little work.
constexpr qsizetype filesPerRead = 16;
constexpr qsizetype readsAhead = 4;

int connectionCounter = 0;

// SQLite's primary result code; the driver reports it as text.
int sqliteCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

bool isBusy(const QSqlError &error)
{
    const int code = sqliteCode(error);
    return code == 5 || code == 6;
}

QSqlError damage(const QString &what)
{
    return QSqlError(QStringLiteral("beschaedigt: ") + what, QString(), QSqlError::StatementError);
}

// A file's folder as the index stores it: its path up to the last slash.
QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// Changes with a file's path, size or time. The number of a folder's files
// and the sum of their stamps, on disk and in the index, tell whether
// anything in it changed without reading back a row per file. 32 bits, so
// that SQLite's sum over any number of files stays exact.
qint64 fileStamp(const HelpFileState &file)
{
    return qint64(quint32(qHashMulti(0, file.path, file.size, file.modified)));
}

qint64 firstRow(qint64 fileId)
{
    return fileId << rowBits;
}

} // namespace

QString SearchIndex::defaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/zkhelp/search.sqlite");
}

SearchIndex::SearchIndex(const QString &indexFile)
    : indexFilePath(indexFile)
    , connectionName(QStringLiteral("zkhelp_search_%1").arg(++connectionCounter))
{
    readers.setMaxThreadCount(1);
    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    if (!openFile())
        recover(lastError.text());
}

SearchIndex::~SearchIndex()
{
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
}

bool SearchIndex::run(const QString &statement)
{
    QSqlQuery query(db);
    if (query.exec(statement))
        return true;
    lastError = query.lastError();
    return false;
}

// Keeps the error that made the transaction fail, not the rollback's own.
void SearchIndex::rollback()
{
    const QSqlError cause = lastError;
    run(QStringLiteral("ROLLBACK"));
    lastError = cause;
}

bool SearchIndex::openFile()
{
    if (!QFileInfo(indexFilePath).dir().mkpath(QStringLiteral("."))) {
        lastError = QSqlError(QStringLiteral("Ordner nicht anlegbar"), QString(),
                              QSqlError::ConnectionError);
        return false;
    }
    const bool uncleanEnd = markOpen();
    db.setDatabaseName(indexFilePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyMilliseconds));
    if (!db.open()) {
        lastError = db.lastError();
        return false;
    }
    // Readers never wait for a writer. The index is a cache that is rebuilt
    // when damaged, so it need not survive a power cut: no syncs, which
    // would otherwise hold up the viewer's event loop for tens of
    // milliseconds at a time. A larger page cache cuts the first index of a
    // large set; its segments are merged in small steps (writeBatch).
    return run(QStringLiteral("PRAGMA journal_mode=WAL")) &&
           run(QStringLiteral("PRAGMA synchronous=OFF")) &&
           run(QStringLiteral("PRAGMA cache_size=-32768")) && prepareSchema() &&
           (!uncleanEnd || isIntact());
}

// Every program keeps a marker next to the index file while it has it
// open. One left by a program that is no longer running means the file was
// not closed cleanly: without syncs, a crash of the system then may have
// damaged it. True when such a marker was found (and removed).
bool SearchIndex::markOpen()
{
    const QFileInfo file(indexFilePath);
    const QString prefix = file.fileName() + QStringLiteral(".open-");
    bool uncleanEnd = false;
    const QStringList markers =
        file.dir().entryList({prefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : markers) {
        QLockFile left(file.dir().filePath(name));
        // Only a marker whose program is gone is stale, however old.
        left.setStaleLockTime(0);
        if (left.tryLock(0)) {
            left.unlock();
            uncleanEnd = true;
        }
    }
    openMarker = std::make_unique<QLockFile>(file.dir().filePath(
        prefix + QString::number(QCoreApplication::applicationPid()) + u'-' + connectionName));
    openMarker->setStaleLockTime(0);
    openMarker->tryLock(0);
    return uncleanEnd;
}

// Checks the tables' b-trees, then the full-text index against its rows:
// damage to either can leave searches quietly missing hits.
bool SearchIndex::isIntact()
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check"))) {
        lastError = query.lastError();
        return false;
    }
    if (!query.next() || query.value(0).toString() != u"ok") {
        lastError = damage(query.value(0).toString());
        return false;
    }
    query.finish();
    return run(QStringLiteral("INSERT INTO entries(entries) VALUES ('integrity-check')"));
}

void SearchIndex::openMemory()
{
    db.close();
    openMarker.reset();
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.setConnectOptions();
    inMemory = db.open() && prepareSchema();
}

int SearchIndex::storedVersion()
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        lastError = query.lastError();
        return -1;
    }
    return query.value(0).toInt();
}

bool SearchIndex::prepareSchema()
{
    const int version = storedVersion();
    if (version < 0)
        return false;
    if (version != schemaVersion) {
        if (!run(QStringLiteral("BEGIN IMMEDIATE")))
            return false;
        // Another program may have set it up while this one waited.
        if (storedVersion() != schemaVersion &&
            !(run(QStringLiteral("DROP TABLE IF EXISTS entries")) &&
              run(QStringLiteral("DROP TABLE IF EXISTS files")) &&
              run(QStringLiteral("CREATE TABLE files(id INTEGER PRIMARY KEY, "
                                 "path TEXT NOT NULL UNIQUE, folder TEXT NOT NULL, "
                                 "size INTEGER NOT NULL, modified INTEGER NOT NULL, "
                                 "stamp INTEGER NOT NULL)")) &&
              run(QStringLiteral("CREATE INDEX files_folder ON files(folder, stamp)")) &&
              // Only the texts are matched, never the language key. rawtitle
              // and rawbody hold the text as written where the matched form
              // differs (indexedText). Marks are word characters, so that
              // a Hindi vowel sign does not split its word.
              run(QStringLiteral("CREATE VIRTUAL TABLE entries USING fts5(lang UNINDEXED, "
                                 "title, body, section UNINDEXED, rawtitle UNINDEXED, "
                                 "rawbody UNINDEXED, tokenize=\"unicode61 remove_diacritics 2 "
                                 "categories 'L* N* Co M*'\")")) &&
              run(QStringLiteral("INSERT INTO entries(entries, rank) VALUES ('automerge', 0)")) &&
              run(QStringLiteral("INSERT INTO entries(entries, rank) VALUES ('hashsize', %1)")
                      .arg(pendingTermBytes)) &&
              run(QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion)))) {
            rollback();
            return false;
        }
        if (!run(QStringLiteral("COMMIT")))
            return false;
    }
    return run(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS scope(folder TEXT PRIMARY KEY)")) &&
           run(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS shadowed(path TEXT PRIMARY KEY)"));
}

// Rebuilds a damaged index file once, else goes on in memory; false when
// nothing is left to try.
bool SearchIndex::recover(const QString &reason)
{
    if (inMemory)
        return false;
    // A file held by another program is theirs; any other this program
    // gives up, as after a failed write on a full disk, would only take
    // space, and be found damaged or filled again by the next search.
    const bool ours = !isBusy(lastError);
    if (!rebuilt && ours) {
        rebuilt = true;
        removeIndexFiles();
        if (openFile()) {
            qWarning() << "Suchindex neu aufgebaut:" << indexFilePath << reason;
            return true;
        }
    }
    qWarning() << "Suchindex nicht nutzbar, diese Suche laeuft im Speicher:" << indexFilePath
               << reason;
    if (ours)
        removeIndexFiles();
    openMemory();
    return inMemory;
}

void SearchIndex::removeIndexFiles()
{
    db.close();
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(indexFilePath + QLatin1String(suffix));
}

void SearchIndex::beginUpdate(const HelpCollection &collection)
{
    adoptListing(collection, collection.fileStates());
}

QList<SearchHit> SearchIndex::updateAndSearch(const HelpCollection &collection,
                                              const QString &query, int limit)
{
    // The index is searched as it stands while the folders are listed: when
    // nothing changed, as on most searches, that answer stands, and the
    // listing cost the search nothing.
    dropReads();
    const QFuture<QList<HelpFileState>> listing =
        QtConcurrent::run(&readers, [collection] { return collection.fileStates(); });
    current = collection;
    setFolders(collection);
    // Which files the listing shadows is known only once it is done.
    shadowed.clear();
    const SearchQuery parsed(query);
    bool answered = false;
    QList<SearchHit> hits;
    QHash<QString, FolderTotals> searched;
    // One read transaction: the answer and the totals it is checked against
    // come from one state of the index, even while another program writes.
    if (!parsed.isEmpty() && limit > 0 && fillScope() && run(QStringLiteral("BEGIN"))) {
        hits = runSearch(parsed, limit, &answered);
        answered = answered && readStoredTotals(searched);
        run(QStringLiteral("COMMIT"));
    }
    const QList<HelpFileState> files = listing.result();
    adoptListing(collection, files);
    if (answered && changedFolders(files, searched).isEmpty() &&
        std::none_of(hits.cbegin(), hits.cend(),
                     [this](const SearchHit &hit) { return shadowed.contains(hit.path); }))
        return hits;
    continueUpdate();
    return search(query, limit);
}

void SearchIndex::setFolders(const HelpCollection &collection)
{
    folders.clear();
    for (const QString &folder : collection.searchPaths())
        folders.insert(QDir::cleanPath(QDir(folder).absolutePath()));
}

// Takes files as what is on disk now: forgets the stored files of the
// folders that are gone from it, and queues the new and changed ones.
void SearchIndex::adoptListing(const HelpCollection &collection, const QList<HelpFileState> &files)
{
    dropReads();
    current = collection;
    pending.clear();
    nextPending = 0;
    setFolders(collection);
    listed = files;
    shadowed = shadowedPaths(files);
    QHash<QString, FolderTotals> stored;
    QSet<QString> changed;
    QHash<QString, FileState> known;
    const bool totalsRead = fillScope() && readStoredTotals(stored);
    if (totalsRead)
        changed = changedFolders(files, stored);
    if (!totalsRead || !loadKnown(changed, known)) {
        if (recover(lastError.text()))
            adoptListing(collection, files);
        return;
    }
    if (!changed.isEmpty()) {
        // What is left in known afterwards is gone from disk.
        for (const HelpFileState &file : std::as_const(listed)) {
            const auto stored = known.constFind(file.path);
            if (stored == known.cend()) {
                if (changed.contains(folderOf(file.path)))
                    pending.append(file);
                continue;
            }
            if (stored->size != file.size || stored->modified != file.modified)
                pending.append(file);
            known.erase(stored);
        }
    }
    if (!forgetRemoved(known) && recover(lastError.text()))
        adoptListing(collection, files);
}

// Files whose name an earlier search folder of the listing holds too: the
// name opens that one, so they answer no search.
QSet<QString> SearchIndex::shadowedPaths(const QList<HelpFileState> &files)
{
    QSet<QString> names;
    QSet<QString> paths;
    for (const HelpFileState &file : files) {
        const QString name = file.path.mid(file.path.lastIndexOf(u'/') + 1);
        if (names.contains(name))
            paths.insert(file.path);
        else
            names.insert(name);
    }
    return paths;
}

// The folders a search answers from, as the listing names its files', and
// the files of them it leaves out.
bool SearchIndex::fillScope()
{
    return fillTable(QStringLiteral("temp.scope"), folders) &&
           fillTable(QStringLiteral("temp.shadowed"), shadowed);
}

// Replaces the rows of table, a temporary table of one column.
bool SearchIndex::fillTable(const QString &table, const QSet<QString> &values)
{
    if (!run(QStringLiteral("DELETE FROM ") + table))
        return false;
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT OR IGNORE INTO ") + table +
                   QStringLiteral(" VALUES (?)"));
    for (const QString &value : values) {
        insert.addBindValue(value);
        if (!insert.exec()) {
            lastError = insert.lastError();
            return false;
        }
    }
    return true;
}

bool SearchIndex::readStoredTotals(QHash<QString, FolderTotals> &stored)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT folder, count(*), sum(stamp) FROM files "
                                   "WHERE folder IN (SELECT folder FROM temp.scope) "
                                   "GROUP BY folder"))) {
        lastError = query.lastError();
        return false;
    }
    while (query.next()) {
        stored.insert(query.value(0).toString(),
                      {query.value(1).toLongLong(), query.value(2).toLongLong()});
    }
    return true;
}

// The folders whose files differ in number or stamps from the index's rows
// for them.
QSet<QString> SearchIndex::changedFolders(const QList<HelpFileState> &files,
                                          const QHash<QString, FolderTotals> &stored) const
{
    QHash<QString, FolderTotals> onDisk;
    for (const HelpFileState &file : files) {
        FolderTotals &totals = onDisk[folderOf(file.path)];
        ++totals.files;
        totals.stamps += fileStamp(file);
    }
    QSet<QString> changed;
    for (const QString &folder : folders) {
        if (!(onDisk.value(folder) == stored.value(folder)))
            changed.insert(folder);
    }
    return changed;
}

bool SearchIndex::loadKnown(const QSet<QString> &changedFolders, QHash<QString, FileState> &known)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT path, id, size, modified FROM files WHERE folder = ?"));
    for (const QString &folder : changedFolders) {
        query.addBindValue(folder);
        if (!query.exec()) {
            lastError = query.lastError();
            return false;
        }
        while (query.next()) {
            known.insert(query.value(0).toString(),
                         {query.value(1).toLongLong(), query.value(2).toLongLong(),
                          query.value(3).toLongLong()});
        }
    }
    return true;
}

bool SearchIndex::forgetRemoved(const QHash<QString, FileState> &removed)
{
    if (removed.isEmpty())
        return true;
    if (!run(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    for (const FileState &file : removed) {
        if (!removeFile(file.id)) {
            rollback();
            return false;
        }
    }
    return run(QStringLiteral("COMMIT"));
}

bool SearchIndex::removeFile(qint64 id)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM entries WHERE rowid BETWEEN ? AND ?"));
    query.addBindValue(firstRow(id));
    query.addBindValue(firstRow(id + 1) - 1);
    bool ok = query.exec();
    if (ok) {
        query.prepare(QStringLiteral("DELETE FROM files WHERE id = ?"));
        query.addBindValue(id);
        ok = query.exec();
    }
    if (!ok)
        lastError = query.lastError();
    return ok;
}

bool SearchIndex::continueUpdate(QDeadlineTimer deadline)
{
    while (pendingCount() > 0) {
        if (deadline.hasExpired())
            return false;
        if (!writeBatch(deadline)) {
            rollback();
            if (!recover(lastError.text())) {
                dropReads();
                pending.clear();
                nextPending = 0;
                return true;
            }
            beginUpdate(current);
        }
    }
    return true;
}

// Keeps the next pending files being read, readsAhead groups of them.
void SearchIndex::startReads()
{
    while (reads.size() < readsAhead && nextRead < pending.size()) {
        const QList<HelpFileState> group = pending.mid(nextRead, filesPerRead);
        nextRead += group.size();
        reads.append(QtConcurrent::run(&readers, &SearchIndex::prepareFiles, group));
    }
}

// A read already running touches nothing of this object and ends on its own.
void SearchIndex::dropReads()
{
    readers.clear();
    reads.clear();
    nextRead = 0;
}

// Indexes queued files in one transaction until the batch time or deadline
// is up (at least one group of them).
bool SearchIndex::writeBatch(QDeadlineTimer deadline)
{
    const QDeadlineTimer batchEnd(
        qMin(deadline.remainingTime() < 0 ? batchMilliseconds : deadline.remainingTime(),
             batchMilliseconds));
    if (!run(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    FileWriter writer(db);
    do {
        startReads();
        const QList<PreparedFile> group = reads.takeFirst().result();
        for (const PreparedFile &file : group) {
            if (!writer.write(file)) {
                lastError = writer.error();
                return false;
            }
            ++nextPending;
        }
    } while (pendingCount() > 0 && !batchEnd.hasExpired());
    // Segments are merged a little with every batch instead of all at once
    // when enough have piled up: such a merge held the viewer for 300 ms.
    return run(QStringLiteral("INSERT INTO entries(entries, rank) VALUES ('merge', %1)")
                   .arg(mergePagesPerBatch)) &&
           run(QStringLiteral("COMMIT"));
}

QList<SearchIndex::PreparedFile> SearchIndex::prepareFiles(const QList<HelpFileState> &files)
{
    const auto row = [](const QString &language, int section, const QString &title,
                        const QString &text) {
        PreparedRow prepared{language, section, indexedText(title), indexedText(text), {}, {}};
        if (prepared.title != title)
            prepared.shownTitle = title;
        if (prepared.text != text)
            prepared.shownText = text;
        return prepared;
    };
    const HelpParser parser;
    QList<PreparedFile> prepared;
    prepared.reserve(files.size());
    for (const HelpFileState &state : files) {
        QString error;
        const HelpData data = parser.parseQuietly(state.path, error);
        PreparedFile &file = prepared.emplace_back();
        file.state = state;
        // Rows past the file's range (a million of them) are left out.
        for (auto language = data.languages.cbegin();
             language != data.languages.cend() && file.rows.size() < rowsPerFile; ++language) {
            file.rows.append(row(language.key(), -1, QString(), language->description));
            for (int i = 0; i < language->sections.size() && file.rows.size() < rowsPerFile; ++i) {
                const HelpSection &section = language->sections.at(i);
                file.rows.append(row(language.key(), i, section.name, section.content));
            }
        }
    }
    return prepared;
}

QList<SearchHit> SearchIndex::search(const QString &query, int limit)
{
    const SearchQuery parsed(query);
    if (parsed.isEmpty() || limit <= 0)
        return {};
    bool ok = false;
    QList<SearchHit> hits = runSearch(parsed, limit, &ok);
    // A bad query is no reason to give up the index; a damaged one is.
    if (!ok && sqliteCode(lastError) != 1 && recover(lastError.text())) {
        beginUpdate(current);
        continueUpdate();
        hits = runSearch(parsed, limit, &ok);
    }
    if (!ok)
        qWarning() << "Suche fehlgeschlagen:" << query << lastError.text();
    return hits;
}

QList<SearchHit> SearchIndex::runSearch(const SearchQuery &parsed, int limit, bool *ok)
{
    QSqlQuery query(db);
    // The best rows are chosen first and only their texts read: reading
    // every matching row's text before sorting doubled the time of a
    // search for a word most topics hold. Within a file, rows are numbered
    // by language and then section, so the row number breaks ties as those
    // would.
    query.prepare(
        QStringLiteral(
            "WITH best AS (SELECT entries.rowid AS row, files.path AS path, "
            "entries.rowid IN (SELECT rowid FROM entries WHERE entries MATCH ?) AS titleHit, "
            "bm25(entries, 1.0, 4.0, 1.0) AS score "
            "FROM entries JOIN files ON files.id = (entries.rowid >> %1) "
            "WHERE entries MATCH ? AND files.folder IN (SELECT folder FROM temp.scope) %2"
            "ORDER BY titleHit DESC, score, path, row LIMIT ?) "
            "SELECT best.path, entries.lang, coalesce(entries.rawtitle, entries.title), "
            "entries.section, coalesce(entries.rawbody, entries.body) "
            "FROM best JOIN entries ON entries.rowid = best.row "
            "ORDER BY best.titleHit DESC, best.score, best.path, best.row")
            .arg(rowBits)
            // Looked up for every matching row, so asked only when needed.
            .arg(shadowed.isEmpty()
                     ? QString()
                     : QStringLiteral("AND files.path NOT IN (SELECT path FROM temp.shadowed) ")));
    query.addBindValue(parsed.matchExpression(QStringLiteral("title")));
    query.addBindValue(parsed.matchExpression());
    query.addBindValue(limit);
    *ok = query.exec();
    QList<SearchHit> hits;
    if (!*ok) {
        lastError = query.lastError();
        return hits;
    }
    while (query.next()) {
        const int section = query.value(3).toInt();
        hits.append({query.value(0).toString(), query.value(1).toString(),
                     section < 0 ? QString() : query.value(2).toString(), section,
                     parsed.snippet(query.value(4).toString())});
    }
    return hits;
}

SearchIndex::FileWriter::FileWriter(const QSqlDatabase &db)
    : find(db)
    , insertFile(db)
    , updateFile(db)
    , clearRows(db)
    , insertRow(db)
{
    find.setForwardOnly(true);
    find.prepare(QStringLiteral("SELECT id, size, modified FROM files WHERE path = ?"));
    insertFile.prepare(QStringLiteral("INSERT INTO files(path, folder, size, modified, stamp) "
                                      "VALUES (?, ?, ?, ?, ?) ON CONFLICT(path) DO NOTHING"));
    updateFile.prepare(
        QStringLiteral("UPDATE files SET size = ?, modified = ?, stamp = ? WHERE id = ?"));
    clearRows.prepare(QStringLiteral("DELETE FROM entries WHERE rowid BETWEEN ? AND ?"));
    insertRow.prepare(QStringLiteral("INSERT INTO entries(rowid, lang, title, body, section, "
                                     "rawtitle, rawbody) VALUES (?, ?, ?, ?, ?, ?, ?)"));
}

bool SearchIndex::FileWriter::write(const PreparedFile &file)
{
    const qint64 id = claim(file.state);
    if (id <= 0)
        return id == 0;
    qint64 row = firstRow(id);
    for (const PreparedRow &content : file.rows) {
        if (!addRow(row++, content))
            return false;
    }
    return true;
}

// The id under which the file's rows go, its old rows cleared; 0 when
// another program has indexed this very version since the comparison, -1 on
// failure. A new file costs a single statement.
qint64 SearchIndex::FileWriter::claim(const HelpFileState &state)
{
    insertFile.addBindValue(state.path);
    insertFile.addBindValue(folderOf(state.path));
    insertFile.addBindValue(state.size);
    insertFile.addBindValue(state.modified);
    insertFile.addBindValue(fileStamp(state));
    if (!insertFile.exec())
        return fail(insertFile);
    if (insertFile.numRowsAffected() > 0)
        return insertFile.lastInsertId().toLongLong();

    // Inside the write transaction the row that conflicted is still there.
    find.addBindValue(state.path);
    if (!find.exec() || !find.next())
        return fail(find);
    const qint64 id = find.value(0).toLongLong();
    const bool current =
        find.value(1).toLongLong() == state.size && find.value(2).toLongLong() == state.modified;
    find.finish();
    if (current)
        return 0;
    updateFile.addBindValue(state.size);
    updateFile.addBindValue(state.modified);
    updateFile.addBindValue(fileStamp(state));
    updateFile.addBindValue(id);
    clearRows.addBindValue(firstRow(id));
    clearRows.addBindValue(firstRow(id + 1) - 1);
    if (!updateFile.exec())
        return fail(updateFile);
    if (!clearRows.exec())
        return fail(clearRows);
    return id;
}

bool SearchIndex::FileWriter::addRow(qint64 row, const PreparedRow &content)
{
    insertRow.addBindValue(row);
    insertRow.addBindValue(content.language);
    insertRow.addBindValue(content.title);
    insertRow.addBindValue(content.text);
    insertRow.addBindValue(content.section);
    insertRow.addBindValue(content.shownTitle.isNull() ? QVariant() : QVariant(content.shownTitle));
    insertRow.addBindValue(content.shownText.isNull() ? QVariant() : QVariant(content.shownText));
    if (insertRow.exec())
        return true;
    fail(insertRow);
    return false;
}

// Keeps the reason and gives what claim() returns on failure.
qint64 SearchIndex::FileWriter::fail(const QSqlQuery &query)
{
    failure = query.lastError();
    return -1;
}

void SearchIndex::update(const HelpCollection &collection)
{
    beginUpdate(collection);
    continueUpdate();
}

} // namespace ZkHelp
