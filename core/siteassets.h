// The fixed files of a published help site: its stylesheet and the script of
// its search pages.
#pragma once

namespace ZkHelp {

// "style.css": one column that narrows with the screen, no fixed widths.
extern const char siteStyleSheet[];

// "search.js": answers search.html?q=... from the language's
// window.zkhelpSearchIndex by the rules of the console search (SearchQuery),
// the query's words folded as matchedWords() folds the index's, and shows the
// hits as text, never as markup.
extern const char siteSearchScript[];

} // namespace ZkHelp
