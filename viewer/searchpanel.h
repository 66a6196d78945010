// The full-text search of the window: the field, the list of hits under it
// (shown only while there is something to search for) and the index behind
// them, brought up to date in slices between the window's events. Searching
// meanwhile answers from what is indexed so far.
#pragma once

#include "helpcollection.h"
#include "searchhitmodel.h"
#include "searchindex.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QAbstractItemView;
class QLineEdit;
class QStatusBar;

class SearchPanel : public QObject
{
    Q_OBJECT

public:
    // Searches the files of collection for what is typed into field, listing
    // the hits in results.
    SearchPanel(const ZkHelp::HelpCollection &collection, QLineEdit *field,
                QAbstractItemView *results, QObject *parent = nullptr);

    // Brings the index up to date with the files on disk: lists them on
    // another thread, then reports progress as long as files are left, and
    // that it is finished. Nothing is reported when nothing had changed.
    void updateIndex();
    bool isIndexing() const { return listing.isRunning() || indexTimer.isActive(); }

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
    void beginIndexing();
    void indexSome();
    void search();
    void activate(const QModelIndex &index);

    ZkHelp::HelpCollection collection;
    QLineEdit *field;
    QAbstractItemView *results;
    SearchHitModel hits;
    ZkHelp::SearchIndex index;
    QFutureWatcher<ZkHelp::FileListing> listing;
    QTimer indexTimer;
    QTimer searchDelay;
    QString searched;
};
