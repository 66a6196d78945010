// Static HTML pages for help documents, and the export of a help file with
// everything it links to.
#pragma once

#include "helpdata.h"

#include <QList>
#include <QSet>
#include <QString>

namespace ZkHelp {

class HelpFinder;
class HelpParser;

// Escapes text for HTML element content and quoted attribute values. The
// result is pure ASCII: every character from U+0080 up becomes a decimal
// character reference of its code point.
QString cleanHtml(const QString &text);

class HtmlExporter
{
public:
    // Writes the shared stylesheet "style.css" into outputDir. A file that
    // cannot be opened is silently skipped.
    void writeCssFile(const QString &outputDir) const;

    // Writes one page holding every language of data, headed by title. A file
    // that cannot be opened is silently skipped.
    void writeHtmlPage(const HelpData &data, const QString &filePath, const QString &title) const;

    // Exports fileName and, depth-first, every help file reachable through
    // links into outputDir, one page per name plus the stylesheet. Returns
    // false only when outputDir is missing and cannot be created; missing
    // files and unwritable pages are warned about on the message log.
    bool exportPackage(const QString &fileName, const QString &outputDir, HelpFinder &finder,
                       HelpParser &parser, const QList<QString> &searchPaths) const;

    // Exports one name and everything it links to, skipping names already in
    // visited. Names whose page would lie outside outputDir get no page.
    void processFile(const QString &fileName, const QString &outputDir, HelpFinder &finder,
                     HelpParser &parser, const QList<QString> &searchPaths,
                     QSet<QString> &visited) const;
};

} // namespace ZkHelp
