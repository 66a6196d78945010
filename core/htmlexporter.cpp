#include "htmlexporter.h"

#include "helpfinder.h"
#include "helpparser.h"

#include <QDebug>
#include <QDir>
#include <QFile>
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

void writeLinkList(QTextStream &out, const QList<QString> &links)
{
    if (links.isEmpty())
        return;
    out << "<h2>Siehe auch:</h2>\n<ul>\n";
    for (const QString &link : links) {
        const QString escaped = cleanHtml(link);
        out << "<li><a href='" << escaped << ".html'>" << escaped << "</a></li>\n";
    }
    out << "</ul>\n";
}

// Opens a file for one of the export's text outputs; the byte-order mark is
// part of the format every browser and the other tools expect.
bool openUtf8Output(QFile &file, QTextStream &stream)
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    stream.setDevice(&file);
    stream.setEncoding(QStringConverter::Utf8);
    stream.setGenerateByteOrderMark(true);
    return true;
}

// A name is exported only when its page stays inside the output folder:
// links are data from arbitrary files and must not address the file system.
bool pageStaysInside(const QString &fileName)
{
    if (QDir::isAbsolutePath(fileName))
        return false;
    const QString cleaned = QDir::cleanPath(fileName + QStringLiteral(".html"));
    return cleaned != u".." && !cleaned.startsWith(u"../");
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

void HtmlExporter::writeCssFile(const QString &outputDir) const
{
    QFile file(QDir(outputDir).filePath(QStringLiteral("style.css")));
    QTextStream out;
    if (!openUtf8Output(file, out))
        return;
    out << styleSheet;
}

void HtmlExporter::writeHtmlPage(const HelpData &data, const QString &filePath,
                                 const QString &title) const
{
    QFile file(filePath);
    QTextStream out;
    if (!openUtf8Output(file, out))
        return;
    const QString escapedTitle = cleanHtml(title);
    out << "<!DOCTYPE html>\n<html>\n<head>\n"
        << "<meta charset=\"UTF-8\">\n"
        << "<title>" << escapedTitle << "</title>\n"
        << "<link rel=\"stylesheet\" href=\"style.css\">\n"
        << "</head>\n<body>\n"
        << "<h1>" << escapedTitle << "</h1>\n"
        << "<div class='meta-info'>Author: " << cleanHtml(data.author)
        << " | Version: " << cleanHtml(data.version) << "</div>\n"
        << "<h2>Inhalt</h2>\n";
    for (auto it = data.languages.cbegin(); it != data.languages.cend(); ++it)
        writeLanguageBlock(out, it.key(), it.value());
    writeLinkList(out, data.links);
    out << "</body>\n</html>\n";
}

bool HtmlExporter::exportPackage(const QString &fileName, const QString &outputDir,
                                 HelpFinder &finder, HelpParser &parser,
                                 const QList<QString> &searchPaths) const
{
    QDir dir(outputDir);
    if (!dir.exists() && !dir.mkpath(QStringLiteral("."))) {
        qWarning() << "Konnte Ausgabeordner nicht erstellen:" << outputDir;
        return false;
    }
    writeCssFile(outputDir);
    QSet<QString> visited;
    processFile(fileName, outputDir, finder, parser, searchPaths, visited);
    return true;
}

void HtmlExporter::processFile(const QString &fileName, const QString &outputDir,
                               HelpFinder &finder, HelpParser &parser,
                               const QList<QString> &searchPaths, QSet<QString> &visited) const
{
    if (visited.contains(fileName))
        return;
    visited.insert(fileName);

    if (!pageStaysInside(fileName)) {
        qWarning() << "Export Warnung: Seite läge außerhalb des Ausgabeordners:" << fileName;
        return;
    }
    const QString path = finder.findHelpFile(searchPaths, fileName);
    if (path.isEmpty()) {
        qWarning() << "Export Warnung: Verlinkte Datei nicht gefunden:" << fileName;
        return;
    }
    const HelpData data = parser.parse(path);
    writeHtmlPage(data, QDir(outputDir).filePath(fileName + QStringLiteral(".html")), fileName);
    for (const QString &link : data.links)
        processFile(link, outputDir, finder, parser, searchPaths, visited);
}

} // namespace ZkHelp
