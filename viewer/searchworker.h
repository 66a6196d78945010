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
    void openIndex();
    // Brings the index up to date with the files on disk: filesWritten()
    // as long as files are written, then upToDate().
    void bringUpToDate();
    void findHits(quint64 ticket, const QString &query, int limit);

signals:
    void hitsFound(quint64 ticket, const QList<ZkHelp::SearchHit> &hits);
    void filesWritten(qsizetype indexedFiles, qsizetype totalFiles);
    // The update asked for is done; changed: whether it wrote anything.
    void upToDate(bool changed);

private:
    void compareListing();
    void writeSome();

    ZkHelp::HelpCollection collection;
    QString indexFile;
    std::unique_ptr<ZkHelp::SearchIndex> index;
    QFutureWatcher<ZkHelp::FileListing> listing;
    QTimer indexTimer;
};
