// The full-text search of the window: the field, the list of hits under it
// (shown only while there is something to search for) and the index behind
// them, brought up to date on a thread of its own (SearchWorker). Searching
// meanwhile answers from what is indexed so far.
#pragma once

#include "helpcollection.h"
#include "searchhitmodel.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTimer>

class QAbstractItemView;
class QLineEdit;
class QStatusBar;
class SearchWorker;

class SearchPanel : public QObject
{
    Q_OBJECT

public:
    // Searches the files of collection for what is typed into field, listing
    // the hits in results.
    SearchPanel(const ZkHelp::HelpCollection &collection, QLineEdit *field,
                QAbstractItemView *results, QObject *parent = nullptr);
    // Waits for the slice of indexing under way.
    ~SearchPanel() override;

    // Brings the index up to date with the files on disk: reports progress
    // as long as files are left, then that it is finished. Nothing is
    // reported when nothing had changed.
    void updateIndex();
    bool isIndexing() const { return updating; }

    // Says on bar how far the index is, that a search found nothing and
    // that a query was shortened; the count never covers another message.
    void reportTo(QStatusBar *bar);

signals:
    // words: those of the query the hit answers, as a page would show them.
    void hitActivated(const QString &path, const QString &language, int sectionIndex,
                      const QStringList &words);
    void indexProgress(qsizetype indexedFiles, qsizetype totalFiles);
    void indexFinished();
    // A search over the whole index found nothing.
    void nothingFound();
    // The query held more words than are searched for; the rest were left out.
    void queryShortened();

private:
    void textChanged(const QString &text);
    void search();
    void showHits(quint64 ticket, const QList<ZkHelp::SearchHit> &found);
    void finishUpdate(bool changed);
    void activate(const QModelIndex &index);

    QLineEdit *field;
    QAbstractItemView *results;
    SearchHitModel hits;
    QThread indexThread;
    SearchWorker *worker;
    QTimer searchDelay;
    QString searched;
    // The last search asked for: answers to earlier ones are stale.
    quint64 searchTicket = 0;
    bool updating = false;
    // Files are written, and the progress says so.
    bool writingFiles = false;
};
