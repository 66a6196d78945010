// The full-text index over help files: one SQLite file shared by every
// program and every set of search folders, brought up to date from the files
// on disk before it answers.
#pragma once

#include "helpcollection.h"

#include <QDeadlineTimer>
#include <QFuture>
#include <QHash>
#include <QList>
#include <QLockFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QThreadPool>

#include <memory>

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

    // update() and search() in one, for a single search: quicker than the
    // two when nothing changed.
    QList<SearchHit> updateAndSearch(const HelpCollection &collection, const QString &query,
                                     int limit = 50);

    // Files of the last beginUpdate(), and those of them still to be read.
    qsizetype fileCount() const { return listed.size(); }
    qsizetype pendingCount() const { return pending.size() - nextPending; }

    // At most limit hits among the files of the last beginUpdate() (as far
    // as they are indexed), section title hits first, then the best. A file
    // whose name an earlier search folder holds too gives none: its name
    // opens the other file.
    QList<SearchHit> search(const QString &query, int limit = 50);

    bool isInMemory() const { return inMemory; }

private:
    struct FileState
    {
        qint64 id = 0;
        qint64 size = -1;
        qint64 modified = -1;
    };

    // How many files of a folder there are and the sum of their stamps.
    struct FolderTotals
    {
        qint64 files = 0;
        qint64 stamps = 0;
        bool operator==(const FolderTotals &other) const
        {
            return files == other.files && stamps == other.stamps;
        }
    };

    // One row of the index, in the forms it is matched and shown in.
    struct PreparedRow
    {
        QString language;
        int section = -1;
        QString title;
        QString text;
        // Null where the shown form is the matched one.
        QString shownTitle;
        QString shownText;
    };

    // A help file as the index takes it in, read and prepared on a worker
    // thread while this one writes the files before it.
    struct PreparedFile
    {
        HelpFileState state;
        QList<PreparedRow> rows;
    };

    // The statements that index one file, prepared once per batch.
    class FileWriter
    {
    public:
        explicit FileWriter(const QSqlDatabase &db);
        bool write(const PreparedFile &file);
        QSqlError error() const { return failure; }

    private:
        qint64 claim(const HelpFileState &state);
        bool addRow(qint64 row, const PreparedRow &content);
        qint64 fail(const QSqlQuery &query);

        QSqlQuery find;
        QSqlQuery insertFile;
        QSqlQuery updateFile;
        QSqlQuery clearRows;
        QSqlQuery insertRow;
        QSqlError failure;
    };

    bool run(const QString &statement);
    void rollback();
    bool openFile();
    bool markOpen();
    bool isIntact();
    void removeIndexFiles();
    void openMemory();
    int storedVersion();
    bool prepareSchema();
    bool recover(const QString &reason);
    void setFolders(const HelpCollection &collection);
    void adoptListing(const HelpCollection &collection, const QList<HelpFileState> &files);
    static QSet<QString> shadowedPaths(const QList<HelpFileState> &files);
    bool fillScope();
    bool fillTable(const QString &table, const QSet<QString> &values);
    bool readStoredTotals(QHash<QString, FolderTotals> &stored);
    QSet<QString> changedFolders(const QList<HelpFileState> &files,
                                 const QHash<QString, FolderTotals> &stored) const;
    bool loadKnown(const QSet<QString> &changedFolders, QHash<QString, FileState> &known);
    bool forgetRemoved(const QHash<QString, FileState> &removed);
    bool removeFile(qint64 id);
    static QList<PreparedFile> prepareFiles(const QList<HelpFileState> &files);
    void startReads();
    void dropReads();
    bool writeBatch(QDeadlineTimer deadline);
    QList<SearchHit> runSearch(const SearchQuery &parsed, int limit, bool *ok);

    QString indexFilePath;
    QString connectionName;
    QSqlDatabase db;
    std::unique_ptr<QLockFile> openMarker;
    QSqlError lastError;
    bool inMemory = false;
    bool rebuilt = false;

    HelpCollection current;
    QList<HelpFileState> listed;
    QSet<QString> folders;
    QSet<QString> shadowed;
    QList<HelpFileState> pending;
    // Files of pending written, and handed to the reads in flight.
    qsizetype nextPending = 0;
    qsizetype nextRead = 0;
    QList<QFuture<QList<PreparedFile>>> reads;
    // One thread reads while this one writes: more would only compete with
    // the writing for the cores.
    QThreadPool readers;
};

} // namespace ZkHelp
