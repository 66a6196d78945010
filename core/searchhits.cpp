#include "searchhits.h"

#include "searchdatabase.h"
#include "searchquery.h"
#include "searchrows.h"

#include <QSqlQuery>
#include <QVariant>

namespace ZkHelp {

QList<SearchHit> findHits(SearchDatabase &db, const SearchQuery &parsed, int limit,
                          bool leaveOutShadowed, bool *ok)
{
    QSqlQuery query(db.connection());
    // The best rows are chosen first and only their texts read: reading
    // every matching row's text before sorting doubled the time of a
    // search for a word most topics hold. Within a file, rows are numbered
    // by language and then section, so the row number breaks ties as those
    // would.
    query.prepare(
        QStringLiteral(
            "WITH best AS (SELECT entries.rowid AS row, files.path AS path, "
            "entries.rowid IN (SELECT rowid FROM entries WHERE entries MATCH ?) AS titleHit, "
            "bm25(entries, 1.0, 4.0, 1.0) AS score "
            "FROM entries JOIN files ON files.id = (entries.rowid >> %1) "
            "WHERE entries MATCH ? AND files.folder IN (SELECT folder FROM temp.scope) %2"
            "ORDER BY titleHit DESC, score, path, row LIMIT ?) "
            "SELECT best.path, entries.lang, coalesce(entries.rawtitle, entries.title), "
            "entries.section, coalesce(entries.rawbody, entries.body) "
            "FROM best JOIN entries ON entries.rowid = best.row "
            "ORDER BY best.titleHit DESC, best.score, best.path, best.row")
            .arg(searchRowBits)
            // Looked up for every matching row, so asked only when needed.
            .arg(leaveOutShadowed
                     ? QStringLiteral("AND files.path NOT IN (SELECT path FROM temp.shadowed) ")
                     : QString()));
    query.addBindValue(parsed.matchExpression(QStringLiteral("title")));
    query.addBindValue(parsed.matchExpression());
    query.addBindValue(limit);
    *ok = query.exec();
    QList<SearchHit> hits;
    if (!*ok) {
        db.fail(query.lastError());
        return hits;
    }
    while (query.next()) {
        const int section = query.value(3).toInt();
        hits.append({query.value(0).toString(), query.value(1).toString(),
                     section < 0 ? QString() : query.value(2).toString(), section,
                     parsed.snippet(query.value(4).toString())});
    }
    return hits;
}

} // namespace ZkHelp
