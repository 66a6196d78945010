// The search index of one language of a published help site: a script that
// sets one global, loaded by a script element, because a browser refuses to
// fetch files of a site opened from a folder.
#pragma once

#include "sitemodel.h"

#include <QByteArray>
#include <QString>

namespace ZkHelp {

// "KEY/search-index.js": window.zkhelpSearchIndex = {pages: [[address, name],
// ...], rows: [[page, fragment, section title, title words, text words], ...]},
// a row for each description (empty fragment and title) and section of the
// topics that have key, the words as matchedWords() gives them.
QByteArray siteSearchIndex(const SiteModel &model, const QString &key);

// text as a JavaScript string literal that no script or HTML parser reads
// beyond its end.
QString javaScriptString(const QString &text);

} // namespace ZkHelp
