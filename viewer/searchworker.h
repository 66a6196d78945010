// The viewer's full-text index, kept on a thread of its own: listing the
// files, writing and merging the index never hold the window, and a search
// waits at most for the slice of indexing under way. Its functions are
// called on that thread (queued); it answers with signals.
#pragma once

#include "helpcollection.h"
#include "searchindex.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class SearchWorker : public QObject
{
    Q_OBJECT

public:
    SearchWorker(const ZkHelp::HelpCollection &collection, const QString &indexFile);

    // Opens the index, on the thread that uses it from then on.
    void open();
    // Brings the index up to date with the files on disk: progress while
    // files are written, then indexIdle().
    void updateIndex();
    void search(quint64 ticket, const QString &query, int limit);

signals:
    void found(quint64 ticket, const QList<ZkHelp::SearchHit> &hits);
    void indexProgress(qsizetype indexedFiles, qsizetype totalFiles);
    // The update asked for is done; changed: whether it wrote anything.
    void indexIdle(bool changed);

private:
    void beginIndexing();
    void indexSome();

    ZkHelp::HelpCollection collection;
    QString indexFile;
    std::unique_ptr<ZkHelp::SearchIndex> index;
    QFutureWatcher<ZkHelp::FileListing> listing;
    QTimer indexTimer;
};
