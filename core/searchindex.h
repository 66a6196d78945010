// The full-text index over help files: one SQLite file shared by every
// program and every set of search folders, brought up to date from the files
// on disk before it answers.
#pragma once

#include "helpcollection.h"
#include "helpparser.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

namespace ZkHelp {

class SearchQuery;

struct SearchHit
{
    QString path;
    QString language;
    // Empty, and sectionIndex -1, for a hit in the language's description.
    QString section;
    int sectionIndex = -1;
    // A short piece of the text around the first word the query names.
    QString snippet;
};

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
    // Indexes queued files until deadline; true when none is left. Other
    // programs updating the same file meanwhile wait at most a moment.
    bool continueUpdate(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
    void update(const HelpCollection &collection);

    // Files of the last beginUpdate(), and those of them still to be read.
    qsizetype fileCount() const { return files.size(); }
    qsizetype pendingCount() const { return pending.size() - nextPending; }

    // At most limit hits among the files of the last beginUpdate() (as far
    // as they are indexed), section title hits first, then the best.
    QList<SearchHit> search(const QString &query, int limit = 50);

    bool isInMemory() const { return inMemory; }

    struct FileState
    {
        qint64 id = 0;
        qint64 size = -1;
        qint64 modified = -1;
    };

private:
    // The statements that index one file, prepared once per batch.
    class FileWriter
    {
    public:
        explicit FileWriter(const QSqlDatabase &db);
        bool write(const QString &path, const FileState &state);
        QSqlError error() const { return failure; }

    private:
        bool addRow(qint64 row, const QString &topic, const QString &language, int section,
                    const QString &title, const QString &text);
        bool fail(const QSqlQuery &query);

        QSqlQuery find;
        QSqlQuery insertFile;
        QSqlQuery updateFile;
        QSqlQuery clearRows;
        QSqlQuery insertRow;
        HelpParser parser;
        QSqlError failure;
    };

    bool run(const QString &statement);
    void rollback();
    bool openFile();
    void openMemory();
    int storedVersion();
    bool prepareSchema();
    bool recover(const QString &reason);
    bool loadKnown(QHash<QString, FileState> &known);
    bool fillScope();
    bool forgetRemoved(const QHash<QString, FileState> &known);
    bool removeFile(qint64 id);
    bool writeBatch(QDeadlineTimer deadline);
    QList<SearchHit> runSearch(const SearchQuery &parsed, int limit, bool *ok);

    QString indexFilePath;
    QString connectionName;
    QSqlDatabase db;
    QSqlError lastError;
    bool inMemory = false;
    bool rebuilt = false;

    HelpCollection current;
    QHash<QString, FileState> files;
    QSet<QString> folders;
    QList<QString> pending;
    qsizetype nextPending = 0;
};

} // namespace ZkHelp
