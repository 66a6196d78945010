#include "searchindex.h"

#include "helpparser.h"
#include "searchquery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <QtDebug>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ZkHelp {

namespace {

constexpr int schemaVersion = 2;
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

// One plain stat per file: QFileInfo asks the disk up to three times for
// size and time, which made a search over an unchanged set cost several
// times the listing. The stat is taken relative to the file's open folder,
// so the folder's own path is walked once, not once per file. Nanoseconds
// also tell apart two writes in one millisecond.
class FolderStat
{
public:
    FolderStat() = default;
    FolderStat(const FolderStat &) = delete;
    FolderStat &operator=(const FolderStat &) = delete;
    ~FolderStat() { closeFolder(); }

    SearchIndex::FileState of(const QString &path)
    {
        const qsizetype slash = path.lastIndexOf(u'/');
        const QString folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
        if (folder != openFolder) {
            closeFolder();
            openFolder = folder;
            folderFd =
                ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        }
        struct stat info;
        if (slash < 0 || folderFd < 0 ||
            ::fstatat(folderFd, QFile::encodeName(path.mid(slash + 1)).constData(), &info, 0) != 0)
            return {};
        return {0, qint64(info.st_size),
                qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    }

private:
    void closeFolder()
    {
        if (folderFd >= 0)
            ::close(folderFd);
        folderFd = -1;
    }

    QString openFolder;
    int folderFd = -1;
};

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
           run(QStringLiteral("PRAGMA cache_size=-32768")) && prepareSchema();
}

void SearchIndex::openMemory()
{
    db.close();
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
                                 "size INTEGER NOT NULL, modified INTEGER NOT NULL)")) &&
              run(QStringLiteral("CREATE INDEX files_folder ON files(folder)")) &&
              // rawtitle and rawbody hold the text as written where the
              // matched form differs (Chinese or Japanese in it).
              run(QStringLiteral("CREATE VIRTUAL TABLE entries USING fts5(topic, lang, "
                                 "title, body, section UNINDEXED, rawtitle UNINDEXED, "
                                 "rawbody UNINDEXED, "
                                 "tokenize='unicode61 remove_diacritics 2')")) &&
              run(QStringLiteral("INSERT INTO entries(entries, rank) VALUES ('automerge', 0)")) &&
              run(QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion)))) {
            rollback();
            return false;
        }
        if (!run(QStringLiteral("COMMIT")))
            return false;
    }
    return run(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS scope(folder TEXT PRIMARY KEY)"));
}

// Rebuilds a damaged index file once, else goes on in memory; false when
// nothing is left to try.
bool SearchIndex::recover(const QString &reason)
{
    if (inMemory)
        return false;
    if (!rebuilt && !isBusy(lastError)) {
        rebuilt = true;
        db.close();
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(indexFilePath + QLatin1String(suffix));
        if (openFile()) {
            qWarning() << "Suchindex neu aufgebaut:" << indexFilePath << reason;
            return true;
        }
    }
    qWarning() << "Suchindex nicht nutzbar, diese Suche laeuft im Speicher:" << indexFilePath
               << reason;
    openMemory();
    return inMemory;
}

void SearchIndex::beginUpdate(const HelpCollection &collection)
{
    current = collection;
    files.clear();
    folders.clear();
    pending.clear();
    nextPending = 0;
    for (const QString &folder : collection.searchPaths())
        folders.insert(QDir::cleanPath(QDir(folder).absolutePath()));
    const QList<QString> paths = collection.files();
    FolderStat folderStat;
    for (const QString &path : paths) {
        files.insert(path, folderStat.of(path));
        folders.insert(path.left(path.lastIndexOf(u'/')));
    }
    QHash<QString, FileState> known;
    if (!loadKnown(known) || !fillScope() || !forgetRemoved(known)) {
        if (recover(lastError.text()))
            beginUpdate(collection);
        return;
    }
    for (const QString &path : paths) {
        const auto stored = known.constFind(path);
        const FileState &state = files[path];
        if (stored == known.cend() || stored->size != state.size ||
            stored->modified != state.modified)
            pending.append(path);
    }
}

bool SearchIndex::loadKnown(QHash<QString, FileState> &known)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT path, id, size, modified FROM files WHERE folder = ?"));
    for (const QString &folder : std::as_const(folders)) {
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

bool SearchIndex::fillScope()
{
    if (!run(QStringLiteral("DELETE FROM temp.scope")))
        return false;
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT OR IGNORE INTO temp.scope(folder) VALUES (?)"));
    for (const QString &folder : std::as_const(folders)) {
        insert.addBindValue(folder);
        if (!insert.exec()) {
            lastError = insert.lastError();
            return false;
        }
    }
    return true;
}

bool SearchIndex::forgetRemoved(const QHash<QString, FileState> &known)
{
    QList<qint64> gone;
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        if (!files.contains(it.key()))
            gone.append(it->id);
    }
    if (gone.isEmpty())
        return true;
    if (!run(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    for (const qint64 id : std::as_const(gone)) {
        if (!removeFile(id)) {
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
                pending.clear();
                nextPending = 0;
                return true;
            }
            beginUpdate(current);
        }
    }
    return true;
}

// Indexes queued files in one transaction until the batch time or deadline
// is up (at least one file).
bool SearchIndex::writeBatch(QDeadlineTimer deadline)
{
    const QDeadlineTimer batchEnd(
        qMin(deadline.remainingTime() < 0 ? batchMilliseconds : deadline.remainingTime(),
             batchMilliseconds));
    if (!run(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    FileWriter writer(db);
    do {
        const QString &path = pending.at(nextPending);
        if (!writer.write(path, files.value(path))) {
            lastError = writer.error();
            return false;
        }
        ++nextPending;
    } while (pendingCount() > 0 && !batchEnd.hasExpired());
    // Segments are merged a little with every batch instead of all at once
    // when enough have piled up: such a merge held the viewer for 300 ms.
    return run(QStringLiteral("INSERT INTO entries(entries, rank) VALUES ('merge', %1)")
                   .arg(mergePagesPerBatch)) &&
           run(QStringLiteral("COMMIT"));
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
    query.prepare(
        QStringLiteral(
            "SELECT files.path, entries.lang, coalesce(entries.rawtitle, entries.title), "
            "entries.section, coalesce(entries.rawbody, entries.body), "
            "entries.rowid IN (SELECT rowid FROM entries WHERE entries MATCH ?) AS titleHit "
            "FROM entries JOIN files ON files.id = (entries.rowid >> %1) "
            "WHERE entries MATCH ? AND files.folder IN (SELECT folder FROM temp.scope) "
            "ORDER BY titleHit DESC, bm25(entries, 2.0, 1.0, 4.0, 1.0), files.path, entries.lang, "
            "entries.section LIMIT ?")
            .arg(rowBits));
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
    insertFile.prepare(
        QStringLiteral("INSERT INTO files(path, folder, size, modified) VALUES (?, ?, ?, ?)"));
    updateFile.prepare(QStringLiteral("UPDATE files SET size = ?, modified = ? WHERE id = ?"));
    clearRows.prepare(QStringLiteral("DELETE FROM entries WHERE rowid BETWEEN ? AND ?"));
    insertRow.prepare(QStringLiteral("INSERT INTO entries(rowid, topic, lang, title, body, "
                                     "section, rawtitle, rawbody) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
}

bool SearchIndex::FileWriter::write(const QString &path, const FileState &state)
{
    find.addBindValue(path);
    if (!find.exec())
        return fail(find);
    qint64 id = -1;
    if (find.next()) {
        // Another program may have indexed it since the comparison.
        if (find.value(1).toLongLong() == state.size &&
            find.value(2).toLongLong() == state.modified)
            return true;
        id = find.value(0).toLongLong();
    }
    find.finish();

    const QFileInfo info(path);
    QString error;
    const HelpData data = parser.parseQuietly(path, error);
    if (id < 0) {
        insertFile.addBindValue(path);
        insertFile.addBindValue(info.absolutePath());
        insertFile.addBindValue(state.size);
        insertFile.addBindValue(state.modified);
        if (!insertFile.exec())
            return fail(insertFile);
        id = insertFile.lastInsertId().toLongLong();
    } else {
        updateFile.addBindValue(state.size);
        updateFile.addBindValue(state.modified);
        updateFile.addBindValue(id);
        clearRows.addBindValue(firstRow(id));
        clearRows.addBindValue(firstRow(id + 1) - 1);
        if (!updateFile.exec())
            return fail(updateFile);
        if (!clearRows.exec())
            return fail(clearRows);
    }
    const QString topic = indexedText(info.completeBaseName());
    // Rows past the file's range (a million of them) are left out.
    qint64 row = firstRow(id);
    const qint64 end = firstRow(id + 1);
    for (auto language = data.languages.cbegin(); language != data.languages.cend(); ++language) {
        if (row < end &&
            !addRow(row++, topic, language.key(), -1, QString(), language->description))
            return false;
        for (int i = 0; i < language->sections.size() && row < end; ++i) {
            const HelpSection &section = language->sections.at(i);
            if (!addRow(row++, topic, language.key(), i, section.name, section.content))
                return false;
        }
    }
    return true;
}

bool SearchIndex::FileWriter::addRow(qint64 row, const QString &topic, const QString &language,
                                     int section, const QString &title, const QString &text)
{
    const QString matchedTitle = indexedText(title);
    const QString matchedText = indexedText(text);
    insertRow.addBindValue(row);
    insertRow.addBindValue(topic);
    insertRow.addBindValue(language);
    insertRow.addBindValue(matchedTitle);
    insertRow.addBindValue(matchedText);
    insertRow.addBindValue(section);
    insertRow.addBindValue(matchedTitle == title ? QVariant() : QVariant(title));
    insertRow.addBindValue(matchedText == text ? QVariant() : QVariant(text));
    return insertRow.exec() || fail(insertRow);
}

bool SearchIndex::FileWriter::fail(const QSqlQuery &query)
{
    failure = query.lastError();
    return false;
}

void SearchIndex::update(const HelpCollection &collection)
{
    beginUpdate(collection);
    continueUpdate();
}

} // namespace ZkHelp
