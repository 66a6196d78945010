#include "searchwriter.h"

#include "searchdatabase.h"

#include <QSqlQuery>
#include <QVariant>
#include <QtConcurrent>

namespace ZkHelp {

namespace {

// Each write transaction is kept this short so that another program
// updating at the same time waits well within the database's busy time
// (searching never waits). Each ends in a commit, which writes out what
// the full-text table gathered as a new segment: batches of a tenth of
// this made a first index of 30,000 topics in 30 languages take 40 %
// longer, the most of it in commits and merges.
constexpr qint64 batchMilliseconds = 1000;
// Full-text segments are merged in steps that end at the first word after
// about this many pages, so that a merge outlasts its batch by one word's
// list at most: one merge of whole segments, as SQLite does once enough
// have piled up, took many seconds on a large set. The list of a word most
// rows hold may still take a step tens of milliseconds.
constexpr int mergeStepPages = 16;
// Freed pages are given back one at a time; the deadline is looked at
// after this many.
constexpr int pagesPerDeadlineCheck = 64;
// Files are read in small groups, a few groups per reader ahead of the
// writing: enough to keep every reader busy, few enough that a new update
// drops little work.
constexpr qsizetype filesPerRead = 16;
constexpr qsizetype readsAheadPerReader = 4;

// The statements that index or remove one file, prepared once per
// transaction.
class FileWriter
{
public:
    explicit FileWriter(const QSqlDatabase &db);
    bool write(const PreparedFile &file);
    bool remove(qint64 id);
    QSqlError error() const { return failure; }

private:
    qint64 claim(const HelpFileState &state);
    bool clearRows(qint64 id);
    bool addRow(qint64 row, const PreparedRow &content);
    bool exec(QSqlQuery &query);
    qint64 fail(const QSqlQuery &query);

    QSqlQuery find;
    QSqlQuery insertFile;
    QSqlQuery updateFile;
    QSqlQuery deleteFile;
    QSqlQuery findTexts;
    QSqlQuery deleteTexts;
    QSqlQuery insertTexts;
    QSqlQuery deleteRow;
    QSqlQuery insertRow;
    QSqlError failure;
};

FileWriter::FileWriter(const QSqlDatabase &db)
    : find(db)
    , insertFile(db)
    , updateFile(db)
    , deleteFile(db)
    , findTexts(db)
    , deleteTexts(db)
    , insertTexts(db)
    , deleteRow(db)
    , insertRow(db)
{
    find.setForwardOnly(true);
    find.prepare(QStringLiteral("SELECT id, size, modified FROM files WHERE path = ?"));
    insertFile.prepare(QStringLiteral("INSERT INTO files(path, folder, size, modified, stamp) "
                                      "VALUES (?, ?, ?, ?, ?) ON CONFLICT(path) DO NOTHING"));
    updateFile.prepare(
        QStringLiteral("UPDATE files SET size = ?, modified = ?, stamp = ? WHERE id = ?"));
    deleteFile.prepare(QStringLiteral("DELETE FROM files WHERE id = ?"));
    findTexts.setForwardOnly(true);
    findTexts.prepare(QStringLiteral("SELECT rows FROM texts WHERE id = ?"));
    deleteTexts.prepare(QStringLiteral("DELETE FROM texts WHERE id = ?"));
    insertTexts.prepare(QStringLiteral("INSERT INTO texts(id, rows) VALUES (?, ?)"));
    // The full-text table keeps no texts, so a row is removed by naming the
    // texts it was indexed with.
    deleteRow.prepare(QStringLiteral(
        "INSERT INTO entries(entries, rowid, title, body) VALUES ('delete', ?, ?, ?)"));
    insertRow.prepare(QStringLiteral("INSERT INTO entries(rowid, title, body) VALUES (?, ?, ?)"));
}

bool FileWriter::write(const PreparedFile &file)
{
    const qint64 id = claim(file.state);
    if (id <= 0)
        return id == 0;
    if (file.rows.isEmpty())
        return true;
    qint64 row = firstSearchRow(id);
    for (const PreparedRow &content : file.rows) {
        if (!addRow(row++, content))
            return false;
    }
    insertTexts.addBindValue(id);
    insertTexts.addBindValue(file.packed);
    return exec(insertTexts);
}

bool FileWriter::remove(qint64 id)
{
    if (!clearRows(id))
        return false;
    deleteFile.addBindValue(id);
    return exec(deleteFile);
}

// The id under which the file's rows go, its old rows cleared; 0 when
// another program has indexed this very version since the comparison, -1 on
// failure. A new file costs a single statement.
qint64 FileWriter::claim(const HelpFileState &state)
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
    if (!updateFile.exec())
        return fail(updateFile);
    return clearRows(id) ? id : -1;
}

bool FileWriter::clearRows(qint64 id)
{
    findTexts.addBindValue(id);
    if (!exec(findTexts))
        return false;
    if (!findTexts.next())
        return true;
    QList<PreparedRow> rows;
    const bool unpacked = unpackRows(findTexts.value(0).toByteArray(), rows);
    findTexts.finish();
    if (!unpacked) {
        failure = SearchDatabase::damage(QStringLiteral("Texte von Datei %1").arg(id));
        return false;
    }
    qint64 row = firstSearchRow(id);
    for (const PreparedRow &content : rows) {
        deleteRow.addBindValue(row++);
        deleteRow.addBindValue(content.title);
        deleteRow.addBindValue(content.text);
        if (!exec(deleteRow))
            return false;
    }
    deleteTexts.addBindValue(id);
    return exec(deleteTexts);
}

bool FileWriter::addRow(qint64 row, const PreparedRow &content)
{
    insertRow.addBindValue(row);
    insertRow.addBindValue(content.title);
    insertRow.addBindValue(content.text);
    return exec(insertRow);
}

bool FileWriter::exec(QSqlQuery &query)
{
    if (query.exec())
        return true;
    fail(query);
    return false;
}

// Keeps the reason and gives what claim() returns on failure.
qint64 FileWriter::fail(const QSqlQuery &query)
{
    failure = query.lastError();
    return -1;
}

} // namespace

SearchWriter::SearchWriter(SearchDatabase &database, QThreadPool &readers)
    : db(database)
    , readers(readers)
{}

SearchWriter::~SearchWriter()
{
    dropReads();
}

void SearchWriter::queue(const QList<HelpFileState> &files)
{
    pending = files;
    nextPending = 0;
    dropReads();
}

bool SearchWriter::writeBatch(QDeadlineTimer deadline)
{
    const QDeadlineTimer batchEnd(
        qMin(deadline.remainingTime() < 0 ? batchMilliseconds : deadline.remainingTime(),
             batchMilliseconds));
    // What a batch wrote is merged before the next one writes, so segments
    // never pile up until SQLite merges them all at once.
    const bool writing = !upkeepDue;
    if (db.beginWrite() && (writing ? writeFiles(batchEnd) : keepUp(batchEnd)) &&
        db.run(QStringLiteral("COMMIT"))) {
        upkeepDue = upkeepDue || writing;
        return true;
    }
    db.rollback();
    queue({});
    return false;
}

// Merges segments until none are left to merge, then, when no files wait,
// gives back the pages freed; clears upkeepDue once both are done.
bool SearchWriter::keepUp(QDeadlineTimer batchEnd)
{
    bool merged = true;
    do {
        if (!mergeStep(&merged))
            return false;
    } while (merged && !batchEnd.hasExpired());
    if (merged)
        return true;
    // Pages freed while files are still written are filled again at once.
    bool givenBack = pendingCount() > 0;
    if (!givenBack && !giveBackPages(batchEnd, &givenBack))
        return false;
    upkeepDue = !givenBack;
    return true;
}

// merged: whether the step found segments to merge, which SQLite tells
// only through the rows it changed.
bool SearchWriter::mergeStep(bool *merged)
{
    const QString changes = QStringLiteral("SELECT total_changes()");
    const qint64 before = db.readNumber(changes);
    if (before < 0 ||
        !db.run(QStringLiteral("INSERT INTO entries(entries, rank) VALUES ('merge', %1)")
                    .arg(mergeStepPages)))
        return false;
    const qint64 after = db.readNumber(changes);
    // A step without work still writes the table's own record.
    *merged = after - before >= 2;
    return after >= 0;
}

// done: whether no freed page is left in the file.
bool SearchWriter::giveBackPages(QDeadlineTimer batchEnd, bool *done)
{
    QSqlQuery giveBack(db.connection());
    // The driver steps a statement once per run, and a step of this one
    // gives back one page.
    giveBack.prepare(QStringLiteral("PRAGMA incremental_vacuum(1)"));
    do {
        const qint64 left = db.readNumber(QStringLiteral("PRAGMA freelist_count"));
        if (left < 0)
            return false;
        if (left == 0) {
            *done = true;
            return true;
        }
        for (qint64 page = 0; page < qMin<qint64>(left, pagesPerDeadlineCheck); ++page) {
            if (!giveBack.exec())
                return db.fail(giveBack.lastError());
        }
    } while (!batchEnd.hasExpired());
    return true;
}

// Files are written one by one until the batch is over: a group of files in
// many languages took several times a slice of the viewer's indexing.
bool SearchWriter::writeFiles(QDeadlineTimer batchEnd)
{
    FileWriter writer(db.connection());
    do {
        if (nextInGroup == group.size()) {
            startReads();
            group = reads.takeFirst().result();
            nextInGroup = 0;
        }
        if (!writer.write(group.at(nextInGroup)))
            return db.fail(writer.error());
        ++nextInGroup;
        ++nextPending;
    } while (pendingCount() > 0 && !batchEnd.hasExpired());
    return true;
}

bool SearchWriter::forget(const QHash<QString, StoredFile> &files)
{
    if (files.isEmpty())
        return true;
    if (!db.beginWrite())
        return false;
    FileWriter writer(db.connection());
    for (const StoredFile &file : files) {
        if (!writer.remove(file.id)) {
            db.fail(writer.error());
            db.rollback();
            return false;
        }
    }
    if (!db.run(QStringLiteral("COMMIT")))
        return false;
    upkeepDue = true;
    return true;
}

// Keeps the next pending files being read, readsAheadPerReader groups of
// them for each reader.
void SearchWriter::startReads()
{
    while (reads.size() < readsAheadPerReader * readers.maxThreadCount() &&
           nextRead < pending.size()) {
        const QList<HelpFileState> group = pending.mid(nextRead, filesPerRead);
        nextRead += group.size();
        reads.append(QtConcurrent::run(&readers, &prepareFiles, group));
    }
}

// A read already running touches nothing of this object and ends on its own.
void SearchWriter::dropReads()
{
    readers.clear();
    reads.clear();
    group.clear();
    nextInGroup = 0;
    nextRead = nextPending;
}

} // namespace ZkHelp
