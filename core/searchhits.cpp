#include "searchhits.h"

#include "searchdatabase.h"
#include "searchquery.h"
#include "searchrows.h"

#include <QHash>
#include <QSqlQuery>
#include <QVariant>

namespace ZkHelp {

namespace {

// A hit's row among its file's packed rows, unpacked once per file.
class RowTexts
{
public:
    const PreparedRow *find(qint64 row, const QVariant &block)
    {
        const qint64 file = row >> searchRowBits;
        auto rows = unpacked.find(file);
        if (rows == unpacked.end()) {
            rows = unpacked.insert(file, {});
            if (!block.isNull() && !unpackRows(block.toByteArray(), *rows))
                rows->clear();
        }
        const qint64 index = row - firstSearchRow(file);
        return index < rows->size() ? &rows->at(index) : nullptr;
    }

private:
    QHash<qint64, QList<PreparedRow>> unpacked;
};

} // namespace

QList<SearchHit> findHits(SearchDatabase &db, const SearchQuery &parsed, int limit,
                          bool leaveOutShadowed, bool *ok)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(true);
    // A query of one word or phrase scores in the title alone exactly when
    // the title holds it; asked of each matching row's own score, which
    // costs less than looking the row up among the title's matches (a
    // fifth of a search for a word most topics hold). Several terms must
    // all be in the title, which no score tells.
    const bool onePhrase = parsed.isOnePhrase();
    const QString titleHit =
        onePhrase
            ? QStringLiteral("bm25(entries, 1.0, 0.0) < 0")
            : QStringLiteral("entries.rowid IN (SELECT rowid FROM entries WHERE entries MATCH ?)");
    // The best rows are chosen first and only their texts read: reading
    // every matching row's text before sorting doubled the time of a
    // search for a word most topics hold. Within a file, rows are numbered
    // by language and then section, so the row number breaks ties as those
    // would.
    query.prepare(
        QStringLiteral(
            "WITH best AS (SELECT entries.rowid AS row, files.path AS path, "
            "%3 AS titleHit, bm25(entries, 4.0, 1.0) AS score "
            "FROM entries JOIN files ON files.id = (entries.rowid >> %1) "
            "WHERE entries MATCH ? AND files.folder IN (SELECT folder FROM temp.scope) %2"
            "ORDER BY titleHit DESC, score, path, row LIMIT ?) "
            "SELECT best.path, best.row, texts.rows "
            "FROM best LEFT JOIN texts ON texts.id = (best.row >> %1) "
            "ORDER BY best.titleHit DESC, best.score, best.path, best.row")
            .arg(searchRowBits)
            // Looked up for every matching row, so asked only when needed.
            .arg(leaveOutShadowed
                     ? QStringLiteral("AND files.path NOT IN (SELECT path FROM temp.shadowed) ")
                     : QString(),
                 titleHit));
    if (!onePhrase)
        query.addBindValue(parsed.matchExpression(QStringLiteral("title")));
    query.addBindValue(parsed.matchExpression());
    query.addBindValue(limit);
    *ok = query.exec();
    QList<SearchHit> hits;
    if (!*ok) {
        db.fail(query.lastError());
        return hits;
    }
    RowTexts texts;
    while (query.next()) {
        const qint64 row = query.value(1).toLongLong();
        const PreparedRow *found = texts.find(row, query.value(2));
        // A row the index matches has its texts; without them the file is
        // damaged, and recovering rebuilds it.
        if (!found) {
            *ok = db.fail(SearchDatabase::damage(QStringLiteral("Texte von Zeile %1").arg(row)));
            return {};
        }
        hits.append({query.value(0).toString(), found->language,
                     found->section < 0 ? QString() : found->titleAsWritten(), found->section,
                     parsed.snippet(found->textAsWritten())});
    }
    return hits;
}

} // namespace ZkHelp
