// The one query the full-text index answers searches with.
#pragma once

#include <QList>
#include <QString>

namespace ZkHelp {

class SearchDatabase;
class SearchQuery;

// One place a query was found: a description or a section of a file.
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

// At most limit hits of parsed among the files of the folders in temp.scope,
// section title hits first, then the best (bm25); with leaveOutShadowed,
// none from the files in temp.shadowed. ok is false on failure, its reason
// kept by db.
QList<SearchHit> findHits(SearchDatabase &db, const SearchQuery &parsed, int limit,
                          bool leaveOutShadowed, bool *ok);

} // namespace ZkHelp
