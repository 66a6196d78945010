#include "searchpanel.h"

#include "searchquery.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QtConcurrent>

namespace {

// Far more than a reader looks through, few enough to list at once.
constexpr int shownHits = 500;
// A slice of indexing plus the commit after it (which grows with the slice)
// leaves the event loop free well within 50 ms.
constexpr int indexSliceMilliseconds = 8;

} // namespace

SearchPanel::SearchPanel(const ZkHelp::HelpCollection &collection, QLineEdit *field,
                         QAbstractItemView *results, QObject *parent)
    : QObject(parent)
    , collection(collection)
    , field(field)
    , results(results)
{
    results->setModel(&hits);
    searchDelay.setSingleShot(true);
    searchDelay.setInterval(200);
    connect(&searchDelay, &QTimer::timeout, this, &SearchPanel::search);
    connect(&listing, &QFutureWatcher<ZkHelp::FileListing>::finished, this,
            &SearchPanel::beginIndexing);
    connect(&indexTimer, &QTimer::timeout, this, &SearchPanel::indexSome);
    // Until the files are listed, searches answer from the index as it is.
    index.answerFrom(collection);
    connect(field, &QLineEdit::textChanged, this, &SearchPanel::textChanged);
    connect(results, &QAbstractItemView::clicked, this, &SearchPanel::activate);
    connect(results, &QAbstractItemView::activated, this, &SearchPanel::activate);
}

void SearchPanel::updateIndex()
{
    if (listing.isRunning())
        return;
    // Listing and stating a large set would hold the window for a while.
    listing.setFuture(QtConcurrent::run(
        [listed = collection] { return ZkHelp::FileListing(listed.fileStates()); }));
}

void SearchPanel::beginIndexing()
{
    index.beginUpdate(collection, listing.result());
    if (index.hasPendingWork())
        indexTimer.start(0);
}

void SearchPanel::indexSome()
{
    if (!index.continueUpdate(QDeadlineTimer(indexSliceMilliseconds))) {
        emit indexProgress(index.fileCount() - index.pendingCount(), index.fileCount());
        return;
    }
    if (!indexTimer.isActive())
        return;
    indexTimer.stop();
    emit indexFinished();
    if (!results->isHidden())
        search();
}

void SearchPanel::textChanged(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        searchDelay.stop();
        hits.setHits({});
        results->hide();
        return;
    }
    searchDelay.start();
}

void SearchPanel::search()
{
    const QString query = field->text();
    if (query.trimmed().isEmpty())
        return;
    // Files changed since the last update count too, found while this
    // search answers from the index as it is.
    if (!isIndexing())
        updateIndex();
    searched = query;
    hits.setHits(index.search(query, shownHits));
    // An index the search found damaged is rebuilt in slices too.
    if (index.hasPendingWork() && !indexTimer.isActive())
        indexTimer.start(0);
    results->show();
    // While files are indexed, the progress would cover either message at
    // once.
    if (indexTimer.isActive())
        return;
    if (ZkHelp::SearchQuery(query).isTruncated())
        emit queryShortened();
    else if (hits.rowCount() == 0)
        emit nothingFound();
}

void SearchPanel::activate(const QModelIndex &hit)
{
    // Quotes, stars and punctuation only shape the query.
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}\\p{M}]+"));
    emit hitActivated(hit.data(SearchHitModel::PathRole).toString(),
                      hit.data(SearchHitModel::LanguageRole).toString(),
                      hit.data(SearchHitModel::SectionRole).toInt(),
                      searched.split(separators, Qt::SkipEmptyParts));
}

void SearchPanel::reportTo(QStatusBar *bar)
{
    // The count gives way to what an address lacked: that is said only once.
    const auto counting = [bar] {
        return bar->currentMessage().isEmpty() || bar->currentMessage().startsWith(u"Index: ");
    };
    connect(this, &SearchPanel::indexProgress, bar, [bar, counting](qsizetype n, qsizetype m) {
        if (counting())
            bar->showMessage(QStringLiteral("Index: %1 von %2 Dateien").arg(n).arg(m));
    });
    connect(this, &SearchPanel::indexFinished, bar, [bar, counting] {
        if (counting())
            bar->clearMessage();
    });
    connect(this, &SearchPanel::nothingFound, bar,
            [bar] { bar->showMessage(QStringLiteral("Keine Treffer."), 3000); });
    connect(this, &SearchPanel::queryShortened, bar,
            [bar] { bar->showMessage(ZkHelp::truncationMessage(), 5000); });
}
