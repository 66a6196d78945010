// The one query the full-text index answers searches with.
#pragma once

#include <QList>

namespace ZkHelp {

class SearchDatabase;
class SearchQuery;
struct SearchHit;

// At most limit hits of parsed among the files of the folders in temp.scope,
// section title hits first, then the best (bm25); with leaveOutShadowed,
// none from the files in temp.shadowed. ok is false on failure, its reason
// kept by db.
QList<SearchHit> findHits(SearchDatabase &db, const SearchQuery &parsed, int limit,
                          bool leaveOutShadowed, bool *ok);

} // namespace ZkHelp
