// The SQLite file behind the full-text index: its connection, its tables,
// the check for damage after an unclean end, and the way out when the file
// cannot be used (rebuilt once, else kept in memory).
#pragma once

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <memory>

class QLockFile;

namespace ZkHelp {

class SearchDatabase
{
public:
    // Opens file, creating it when missing; when it cannot be used, goes the
    // way of recover().
    explicit SearchDatabase(const QString &file);
    ~SearchDatabase();
    SearchDatabase(const SearchDatabase &) = delete;
    SearchDatabase &operator=(const SearchDatabase &) = delete;

    const QSqlDatabase &connection() const { return db; }
    bool isInMemory() const { return inMemory; }

    bool run(const QString &statement);
    // Begins a write transaction, waiting for other programs as long as
    // they commit, or they are of this system and not stuck: a program
    // writing the index lets go of it only between its batches and takes it
    // again at once, so one busy time may well pass without a turn. Fails
    // on a lock that only a foreign or stuck program holds.
    bool beginWrite();
    // The first value statement gives, a number; -1 when it fails (the
    // reason kept).
    qint64 readNumber(const QString &statement);
    // Keeps the error that made the transaction fail, not the rollback's own.
    void rollback();
    // Replaces the rows of table, a temporary table of one column.
    bool fillTable(const QString &table, const QSet<QString> &values);

    // A failure for damage to the file that SQLite cannot see, as texts that
    // do not unpack; recover() rebuilds the file.
    static QSqlError damage(const QString &what);
    // Keeps error as the reason of the failure; false.
    bool fail(const QSqlError &error);
    QString errorText() const { return lastError.text(); }
    // Whether the last failure was the statement's own (as a query SQLite
    // cannot take), not the file's.
    bool failedOnStatement() const;

    // After a failure: rebuilds a damaged index file once, else goes on in
    // memory, saying which on the message log; false when nothing is left to
    // try.
    bool recover();

private:
    bool openFile();
    bool givesBackPages();
    struct Markers
    {
        int stale = 0;
        int live = 0;
    };
    bool markOpen();
    QString ownMarker() const;
    Markers sweepMarkers() const;
    bool isIntact();
    void removeIndexFiles();
    void openMemory();
    int storedVersion();
    qint64 dataVersion();
    bool prepareSchema();
    bool createTables();

    QString indexFilePath;
    QString connectionName;
    QSqlDatabase db;
    std::unique_ptr<QLockFile> openMarker;
    QSqlError lastError;
    bool inMemory = false;
    bool rebuilt = false;
};

} // namespace ZkHelp
