#include "searchpanel.h"

#include "searchindex.h"
#include "searchquery.h"
#include "searchworker.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>

namespace {

// Far more than a reader looks through, few enough to list at once.
constexpr int shownHits = 500;

} // namespace

SearchPanel::SearchPanel(const ZkHelp::HelpCollection &collection, QLineEdit *field,
                         QAbstractItemView *results, QObject *parent)
    : QObject(parent)
    , field(field)
    , results(results)
    , worker(new SearchWorker(collection, ZkHelp::SearchIndex::defaultFile()))
{
    results->setModel(&hits);
    searchDelay.setSingleShot(true);
    searchDelay.setInterval(200);
    connect(&searchDelay, &QTimer::timeout, this, &SearchPanel::search);
    connect(field, &QLineEdit::textChanged, this, &SearchPanel::textChanged);
    connect(results, &QAbstractItemView::clicked, this, &SearchPanel::activate);
    connect(results, &QAbstractItemView::activated, this, &SearchPanel::activate);

    worker->moveToThread(&indexThread);
    // The index's connection belongs to the thread: it is closed there.
    connect(&indexThread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &SearchWorker::hitsFound, this, &SearchPanel::showHits);
    connect(worker, &SearchWorker::filesWritten, this, [this](qsizetype n, qsizetype m) {
        writingFiles = true;
        emit indexProgress(n, m);
    });
    connect(worker, &SearchWorker::upToDate, this, &SearchPanel::finishUpdate);
    indexThread.start();
    QMetaObject::invokeMethod(worker, &SearchWorker::openIndex);
}

SearchPanel::~SearchPanel()
{
    indexThread.quit();
    indexThread.wait();
}

void SearchPanel::updateIndex()
{
    updating = true;
    QMetaObject::invokeMethod(worker, &SearchWorker::bringUpToDate);
}

void SearchPanel::finishUpdate(bool changed)
{
    updating = false;
    writingFiles = false;
    if (!changed)
        return;
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
    searched = query;
    const quint64 ticket = ++searchTicket;
    QMetaObject::invokeMethod(
        worker, [worker = worker, ticket, query] { worker->findHits(ticket, query, shownHits); });
    // Files changed since the last update count too, found once this search
    // has answered from the index as it is.
    if (!updating)
        updateIndex();
}

void SearchPanel::showHits(quint64 ticket, const QList<ZkHelp::SearchHit> &found)
{
    if (ticket != searchTicket || field->text().trimmed().isEmpty())
        return;
    hits.setHits(found);
    results->show();
    // While files are indexed, the progress would cover either message at
    // once.
    if (writingFiles)
        return;
    if (ZkHelp::SearchQuery(searched).isTruncated())
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
