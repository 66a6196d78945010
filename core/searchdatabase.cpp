#include "searchdatabase.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlQuery>
#include <QVariant>
#include <QtDebug>

namespace ZkHelp {

namespace {

// An index of another version is rebuilt from the files. 6: the texts are
// kept packed per file instead of in the full-text table. 7: the file gives
// back the pages it no longer uses.
constexpr int schemaVersion = 7;
// Long enough to wait out another program's batch, short enough that a lock
// held for good costs a search only a moment before it goes on in memory.
constexpr int busyMilliseconds = 2000;
// Another of these programs may hold the index for many busy times without
// committing anything, while it compares files that this one has just
// indexed; it is waited for as long as this.
constexpr qint64 longestWaitMilliseconds = 60000;
// Terms gathered in memory before they are written out as a segment: a
// batch then mostly becomes one segment, which left a first index about a
// fifth less to write and merge than the default of a megabyte.
constexpr int pendingTermBytes = 8 * 1024 * 1024;

// Indexes may be opened on several threads at once, and a name given twice
// would make the second connection replace the first.
QString uniqueConnectionName()
{
    static QAtomicInteger<int> counter;
    return QStringLiteral("zkhelp_search_%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

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

} // namespace

SearchDatabase::SearchDatabase(const QString &file)
    : indexFilePath(file)
    , connectionName(uniqueConnectionName())
{
    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    if (!openFile())
        recover();
}

SearchDatabase::~SearchDatabase()
{
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
}

bool SearchDatabase::run(const QString &statement)
{
    QSqlQuery query(db);
    return query.exec(statement) || fail(query.lastError());
}

bool SearchDatabase::beginWrite()
{
    qint64 seen = dataVersion();
    QElapsedTimer unchanged;
    unchanged.start();
    while (!run(QStringLiteral("BEGIN IMMEDIATE"))) {
        // The reason stays the lock, which tells recover() that the file is
        // another program's.
        const QSqlError cause = lastError;
        const qint64 now = isBusy(cause) ? dataVersion() : -1;
        lastError = cause;
        if (now < 0)
            return false;
        if (now != seen) {
            seen = now;
            unchanged.restart();
        } else if (unchanged.elapsed() > longestWaitMilliseconds || sweepMarkers().live == 0) {
            return false;
        }
    }
    return true;
}

void SearchDatabase::rollback()
{
    const QSqlError cause = lastError;
    run(QStringLiteral("ROLLBACK"));
    lastError = cause;
}

bool SearchDatabase::fillTable(const QString &table, const QSet<QString> &values)
{
    if (!run(QStringLiteral("DELETE FROM ") + table))
        return false;
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT OR IGNORE INTO ") + table +
                   QStringLiteral(" VALUES (?)"));
    for (const QString &value : values) {
        insert.addBindValue(value);
        if (!insert.exec())
            return fail(insert.lastError());
    }
    return true;
}

QSqlError SearchDatabase::damage(const QString &what)
{
    return QSqlError(QStringLiteral("beschaedigt: ") + what, QString(), QSqlError::StatementError);
}

bool SearchDatabase::fail(const QSqlError &error)
{
    lastError = error;
    return false;
}

bool SearchDatabase::failedOnStatement() const
{
    return sqliteCode(lastError) == 1;
}

bool SearchDatabase::openFile()
{
    if (!QFileInfo(indexFilePath).dir().mkpath(QStringLiteral("."))) {
        return fail(QSqlError(QStringLiteral("Ordner nicht anlegbar"), QString(),
                              QSqlError::ConnectionError));
    }
    const bool uncleanEnd = markOpen();
    db.setDatabaseName(indexFilePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyMilliseconds));
    if (!db.open())
        return fail(db.lastError());
    // Readers never wait for a writer. The index is a cache that is rebuilt
    // when damaged, so it need not survive a power cut: no syncs, which
    // would otherwise hold up the viewer's event loop for tens of
    // milliseconds at a time. A larger page cache cuts the first index of a
    // large set; its segments are merged in small steps (SearchWriter).
    return givesBackPages() && run(QStringLiteral("PRAGMA journal_mode=WAL")) &&
           run(QStringLiteral("PRAGMA synchronous=OFF")) &&
           run(QStringLiteral("PRAGMA cache_size=-32768")) && prepareSchema() &&
           (!uncleanEnd || isIntact());
}

// Lets the file give back the pages it frees. That takes effect on a new
// file only before WAL writes its first page, on an older one with the
// VACUUM of a rebuild. Setting it takes the write lock, which another
// program may hold for a while, so a file that has it is left alone.
bool SearchDatabase::givesBackPages()
{
    const qint64 incremental = 2;
    const qint64 mode = readNumber(QStringLiteral("PRAGMA auto_vacuum"));
    return mode == incremental ||
           (mode >= 0 && run(QStringLiteral("PRAGMA auto_vacuum=INCREMENTAL")));
}

// Every program keeps a marker next to the index file while it has it
// open. One left by a program that is no longer running means the file was
// not closed cleanly: without syncs, a crash of the system then may have
// damaged it. True when such a marker was found (and removed).
bool SearchDatabase::markOpen()
{
    const bool uncleanEnd = sweepMarkers().stale > 0;
    openMarker = std::make_unique<QLockFile>(QFileInfo(indexFilePath).dir().filePath(ownMarker()));
    openMarker->setStaleLockTime(0);
    openMarker->tryLock(0);
    return uncleanEnd;
}

QString SearchDatabase::ownMarker() const
{
    return QFileInfo(indexFilePath).fileName() + QStringLiteral(".open-") +
           QString::number(QCoreApplication::applicationPid()) + u'-' + connectionName;
}

// The markers of the other programs that have the index open; those of
// programs no longer running are removed.
SearchDatabase::Markers SearchDatabase::sweepMarkers() const
{
    const QFileInfo file(indexFilePath);
    const QString own = ownMarker();
    Markers found;
    const QStringList markers = file.dir().entryList({file.fileName() + QStringLiteral(".open-*")},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : markers) {
        if (name == own)
            continue;
        QLockFile marker(file.dir().filePath(name));
        // Only a marker whose program is gone is stale, however old.
        marker.setStaleLockTime(0);
        if (marker.tryLock(0)) {
            marker.unlock();
            ++found.stale;
        } else {
            ++found.live;
        }
    }
    return found;
}

// Checks the tables' b-trees, then the full-text index against its rows:
// damage to either can leave searches quietly missing hits.
bool SearchDatabase::isIntact()
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        return fail(query.lastError());
    if (!query.next() || query.value(0).toString() != u"ok")
        return fail(damage(query.value(0).toString()));
    query.finish();
    return run(QStringLiteral("INSERT INTO entries(entries) VALUES ('integrity-check')"));
}

void SearchDatabase::openMemory()
{
    db.close();
    openMarker.reset();
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.setConnectOptions();
    inMemory = db.open() && prepareSchema();
}

qint64 SearchDatabase::readNumber(const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement) || !query.next()) {
        fail(query.lastError());
        return -1;
    }
    return query.value(0).toLongLong();
}

int SearchDatabase::storedVersion()
{
    return int(readNumber(QStringLiteral("PRAGMA user_version")));
}

// Changes whenever another connection commits; -1 on failure.
qint64 SearchDatabase::dataVersion()
{
    return readNumber(QStringLiteral("PRAGMA data_version"));
}

// Sets up the tables of this version, the old ones dropped: an index of
// another version is rebuilt from the files.
bool SearchDatabase::prepareSchema()
{
    const int version = storedVersion();
    if (version < 0)
        return false;
    if (version != schemaVersion) {
        if (!beginWrite())
            return false;
        // Another program may have set it up while this one waited.
        const bool create = storedVersion() != schemaVersion;
        if (create && !createTables()) {
            rollback();
            return false;
        }
        if (!run(QStringLiteral("COMMIT")))
            return false;
        // The pages of an older index's tables would otherwise stay in the
        // file, unused, and it could not give back pages later; the tables
        // are empty yet, so this is quick. Another program reading the file
        // keeps them there, which is no reason to fail.
        if (create && version > 0)
            QSqlQuery(db).exec(QStringLiteral("VACUUM"));
    }
    return run(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS scope(folder TEXT PRIMARY KEY)")) &&
           run(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS shadowed(path TEXT PRIMARY KEY)"));
}

bool SearchDatabase::createTables()
{
    return run(QStringLiteral("DROP TABLE IF EXISTS entries")) &&
           run(QStringLiteral("DROP TABLE IF EXISTS texts")) &&
           run(QStringLiteral("DROP TABLE IF EXISTS files")) &&
           run(QStringLiteral("CREATE TABLE files(id INTEGER PRIMARY KEY, "
                              "path TEXT NOT NULL UNIQUE, folder TEXT NOT NULL, "
                              "size INTEGER NOT NULL, modified INTEGER NOT NULL, "
                              "stamp INTEGER NOT NULL)")) &&
           run(QStringLiteral("CREATE INDEX files_folder ON files(folder, stamp)")) &&
           // A file's rows, packed (packRows), under the file's id.
           run(QStringLiteral("CREATE TABLE texts(id INTEGER PRIMARY KEY, rows BLOB NOT NULL)")) &&
           // Only the texts are matched, in their matched form
           // (indexedText). The table keeps no copy of them, which had made
           // the index larger than the files and its writing slower than
           // their parsing; texts holds them. Marks are word characters, so
           // that a Hindi vowel sign does not split its word.
           run(QStringLiteral("CREATE VIRTUAL TABLE entries USING fts5(title, body, content='', "
                              "tokenize=\"unicode61 remove_diacritics 2 "
                              "categories 'L* N* Co M*'\")")) &&
           run(QStringLiteral("INSERT INTO entries(entries, rank) VALUES ('automerge', 0)")) &&
           run(QStringLiteral("INSERT INTO entries(entries, rank) VALUES ('hashsize', %1)")
                   .arg(pendingTermBytes)) &&
           run(QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion));
}

bool SearchDatabase::recover()
{
    if (inMemory)
        return false;
    const QString reason = lastError.text();
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

void SearchDatabase::removeIndexFiles()
{
    db.close();
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(indexFilePath + QLatin1String(suffix));
}

} // namespace ZkHelp
