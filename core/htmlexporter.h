// Static HTML pages for help documents, and the export of a help file with
// everything it links to.
#pragma once

#include "helpdata.h"

#include <QList>
#include <QSet>
#include <QString>

namespace ZkHelp {

class HelpCollection;

// Escapes text for HTML element content and quoted attribute values. The
// result is pure ASCII: every character from U+0080 up becomes a decimal
// character reference of its code point.
QString cleanHtml(const QString &text);

class HtmlExporter
{
public:
    // Each writing function below that fails sets *errorString, when given,
    // to its warning with the reason; success leaves it alone.

    // Writes the shared stylesheet "style.css" into outputDir. Returns false,
    // with a warning naming the file and no file left behind, when it could
    // not be written completely.
    bool writeCssFile(const QString &outputDir, QString *errorString = nullptr) const;

    // Writes one page holding every language of data, headed by title.
    // folderDepth is how many folders below the export's root the page lies;
    // its stylesheet and link targets climb back that far. Returns false, with
    // a warning naming the file and no file left behind, when it could not be
    // written completely.
    bool writeHtmlPage(const HelpData &data, const QString &filePath, const QString &title,
                       int folderDepth = 0, QString *errorString = nullptr) const;

    // Exports fileName and, depth-first, every help file reachable through
    // links into outputDir, one page per name plus the stylesheet. Returns
    // false when outputDir is missing and cannot be created, or when the
    // stylesheet or any page could not be written (the export still writes
    // all it can). Names that are not found, or whose page would lie outside
    // outputDir, are warned about on the message log and do not count as
    // failures. Names are found and read through collection.
    bool exportPackage(const QString &fileName, const QString &outputDir,
                       const HelpCollection &collection, QString *errorString = nullptr) const;

    // Exports one name and everything it links to, skipping names already in
    // visited. Names whose page would lie outside outputDir get no page.
    // Returns false when any page could not be written (*errorString then
    // names the first).
    bool processFile(const QString &fileName, const QString &outputDir,
                     const HelpCollection &collection, QSet<QString> &visited,
                     QString *errorString = nullptr) const;

private:
    bool writePage(const HelpData &data, const QString &outputDir, const QString &pagePath,
                   const QString &title, QString *errorString) const;
};

} // namespace ZkHelp
