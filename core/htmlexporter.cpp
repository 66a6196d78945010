#include "htmlexporter.h"

#include "helpaddress.h"
#include "helpcollection.h"
#include "helplinks.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace ZkHelp {

namespace {

const char *const styleSheet =
    "body { font-family: 'Segoe UI', Tahoma, Geneva, Verdana, sans-serif; line-height: 1.6; "
    "color: #333; max-width: 800px; margin: 0 auto; padding: 20px; background-color: #f9f9f9; }\n"
    "h1 { color: #2c3e50; border-bottom: 2px solid #3498db; padding-bottom: 10px; }\n"
    "h2 { color: #2980b9; margin-top: 30px; border-bottom: 1px solid #eee; }\n"
    "h3 { color: #16a085; margin-top: 20px; }\n"
    "p { margin-bottom: 15px; }\n"
    "details { background: #fff; border: 1px solid #ddd; border-radius: 4px; margin-bottom: 10px; "
    "padding: 10px; box-shadow: 0 2px 4px rgba(0,0,0,0.05); }\n"
    "summary { font-weight: bold; cursor: pointer; color: #2c3e50; outline: none; }\n"
    "summary:hover { color: #3498db; }\n"
    ".section-box { background-color: #f0f4f8; border-left: 4px solid #3498db; padding: 10px "
    "15px; margin: 10px 0; }\n"
    ".section-title { font-weight: bold; color: #2980b9; display: block; margin-bottom: 5px; }\n"
    "ul { list-style-type: none; padding: 0; }\n"
    "li a { display: inline-block; padding: 8px 15px; background-color: #3498db; color: white; "
    "text-decoration: none; border-radius: 4px; margin-right: 5px; margin-bottom: 5px; "
    "transition: background 0.3s; }\n"
    "li a:hover { background-color: #2980b9; }\n"
    ".meta-info { font-size: 0.9em; color: #7f8c8d; margin-bottom: 20px; }\n";

void appendCharacterReference(QString &out, char32_t codePoint)
{
    out += u"&#";
    out += QString::number(codePoint);
    out += u';';
}

void writeLanguageBlock(QTextStream &out, const QString &key, const HelpLanguage &language)
{
    out << "<details open>\n"
        << "<summary>" << cleanHtml(key) << "</summary>\n"
        << "<div>\n"
        << "<p><i>" << cleanHtml(language.description) << "</i></p>\n";
    for (const HelpSection &section : language.sections) {
        out << "<div class='section-box'>\n"
            << "<span class='section-title'>" << cleanHtml(section.name) << "</span>\n"
            << cleanHtml(section.content) << "\n"
            << "</div>\n";
    }
    out << "</div>\n"
        << "</details>\n";
}

void writeLinkList(QTextStream &out, const QList<QString> &links, const QString &toRoot)
{
    if (links.isEmpty())
        return;
    out << "<h2>Siehe auch:</h2>\n<ul>\n";
    for (const QString &link : links) {
        // The export writes no page outside its folder, so such a name gets
        // no address that would lead there.
        if (linkedPagePath(link).isEmpty())
            out << "<li>" << cleanHtml(link) << "</li>\n";
        else
            out << "<li><a href='" << toRoot << cleanHtml(linkAddress(linkedHelpName(link)))
                << ".html'>" << cleanHtml(link) << "</a></li>\n";
    }
    out << "</ul>\n";
}

// Writes one of the export's text files through write(stream), UTF-8 with the
// byte-order mark every browser and the other tools expect. Every step is
// checked: a file that could not be written completely is removed again, so
// the export never leaves a page cut short, and a warning names it.
template <typename Write>
bool writeExportFile(const QString &filePath, QString *errorString, Write write)
{
    QFile file(filePath);
    QString reason;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        reason = file.errorString();
    } else {
        QTextStream out(&file);
        out.setEncoding(QStringConverter::Utf8);
        out.setGenerateByteOrderMark(true);
        write(out);
        out.flush();
        const bool written = out.status() == QTextStream::Ok && file.flush();
        file.close();
        if (written && file.error() == QFileDevice::NoError)
            return true;
        // Taken first: removing the file clears the error.
        reason = file.errorString();
        file.remove();
    }
    qWarning() << "Export Warnung: Datei konnte nicht geschrieben werden:" << filePath;
    if (errorString) {
        *errorString =
            QStringLiteral("Datei konnte nicht geschrieben werden: %1: %2").arg(filePath, reason);
    }
    return false;
}

} // namespace

QString cleanHtml(const QString &text)
{
    QString out;
    out.reserve(qMax(qsizetype(0), qsizetype(text.size() * 1.2)));
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'"':
            out += u"&quot;";
            break;
        case u'\'':
            out += u"&#39;";
            break;
        default:
            if (c.unicode() < 0x80) {
                out += c;
            } else if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
                appendCharacterReference(out, QChar::surrogateToUcs4(c, text.at(i + 1)));
                ++i;
            } else if (c.isSurrogate()) {
                // A lone surrogate has no code point of its own; a reference
                // to it would be invalid HTML.
                appendCharacterReference(out, QChar::ReplacementCharacter);
            } else {
                appendCharacterReference(out, c.unicode());
            }
        }
    }
    return out;
}

bool HtmlExporter::writeCssFile(const QString &outputDir, QString *errorString) const
{
    return writeExportFile(QDir(outputDir).filePath(QStringLiteral("style.css")), errorString,
                           [](QTextStream &out) { out << styleSheet; });
}

bool HtmlExporter::writeHtmlPage(const HelpData &data, const QString &filePath,
                                 const QString &title, int folderDepth, QString *errorString) const
{
    const QString toRoot = QStringLiteral("../").repeated(folderDepth);
    return writeExportFile(filePath, errorString, [&](QTextStream &out) {
        const QString escapedTitle = cleanHtml(title);
        out << "<!DOCTYPE html>\n<html>\n<head>\n"
            << "<meta charset=\"UTF-8\">\n"
            << "<title>" << escapedTitle << "</title>\n"
            << "<link rel=\"stylesheet\" href=\"" << toRoot << "style.css\">\n"
            << "</head>\n<body>\n"
            << "<h1>" << escapedTitle << "</h1>\n"
            << "<div class='meta-info'>Author: " << cleanHtml(data.author)
            << " | Version: " << cleanHtml(data.version) << "</div>\n"
            << "<h2>Inhalt</h2>\n";
        for (auto it = data.languages.cbegin(); it != data.languages.cend(); ++it)
            writeLanguageBlock(out, it.key(), it.value());
        writeLinkList(out, data.links, toRoot);
        out << "</body>\n</html>\n";
    });
}

bool HtmlExporter::exportPackage(const QString &fileName, const QString &outputDir,
                                 const HelpCollection &collection, QString *errorString) const
{
    QDir dir(outputDir);
    if (!dir.exists() && !dir.mkpath(QStringLiteral("."))) {
        qWarning() << "Konnte Ausgabeordner nicht erstellen:" << outputDir;
        if (errorString)
            *errorString = QStringLiteral("Konnte Ausgabeordner nicht erstellen: ") + outputDir;
        return false;
    }
    const bool styleWritten = writeCssFile(outputDir, errorString);
    QSet<QString> visited;
    QString pageError;
    const bool pagesWritten = processFile(fileName, outputDir, collection, visited, &pageError);
    if (styleWritten && !pagesWritten && errorString)
        *errorString = pageError;
    return styleWritten && pagesWritten;
}

bool HtmlExporter::processFile(const QString &fileName, const QString &outputDir,
                               const HelpCollection &collection, QSet<QString> &visited,
                               QString *errorString) const
{
    // A work list instead of recursion, since a chain of links can be longer
    // than the call stack is deep. Links go on in reverse, so they come off in
    // document order: pages are written in the same depth-first order as a
    // recursive walk would write them.
    bool allWritten = true;
    QList<QString> pending{fileName};
    while (!pending.isEmpty()) {
        const QString name = pending.takeLast();
        if (visited.contains(name))
            continue;
        visited.insert(name);

        const QString pagePath = linkPagePath(name);
        if (pagePath.isEmpty()) {
            qWarning() << "Export Warnung: Seite läge außerhalb des Ausgabeordners:" << name;
            continue;
        }
        const QString path = collection.findFile(name);
        if (path.isEmpty()) {
            qWarning() << "Export Warnung: Verlinkte Datei nicht gefunden:" << name;
            continue;
        }
        const HelpData data = collection.fileData(path);
        // Only the first failure is reported: it is where to start looking.
        if (!writePage(data, outputDir, pagePath, name, allWritten ? errorString : nullptr))
            allWritten = false;
        for (auto link = data.links.crbegin(); link != data.links.crend(); ++link) {
            const QString linked = linkedHelpName(*link);
            if (!linked.isEmpty() && !visited.contains(linked))
                pending.append(linked);
        }
    }
    return allWritten;
}

// A name with folder parts gets its page in the matching subfolder of the
// output folder, created on demand, with its stylesheet and links reaching
// back up to the output folder.
bool HtmlExporter::writePage(const HelpData &data, const QString &outputDir,
                             const QString &pagePath, const QString &title,
                             QString *errorString) const
{
    const QDir dir(outputDir);
    const int folderDepth = int(pagePath.count(u'/'));
    if (folderDepth > 0)
        dir.mkpath(QFileInfo(pagePath).path());
    return writeHtmlPage(data, dir.filePath(pagePath), title, folderDepth, errorString);
}

} // namespace ZkHelp
