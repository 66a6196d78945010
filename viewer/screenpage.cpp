#include "screenpage.h"

#include "helpfilechoice.h"
#include "helplinks.h"
#include "htmlexporter.h"

#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

namespace {

// No size in pixels: the page's zoom scales only sizes relative to the
// widget's font.
const QString pageStyle = QStringLiteral(
    "<style>"
    "body { font-family: 'Segoe UI', sans-serif; color: #333; }"
    "h1 { color: #2c3e50; border-bottom: 2px solid #3498db; padding-bottom: 10px;}"
    "h3 { background-color: #ecf0f1; padding: 5px; color: #2980b9; margin-top: 20px; "
    "border-radius: 3px; }"
    "p { line-height: 1.5; }"
    "p.meta { color: #7f8c8d; }"
    "div.content { margin-left: 15px; }"
    "a { color: #2980b9; font-weight: bold; text-decoration: none; }"
    "a:hover { text-decoration: underline; }"
    "span.missing { color: gray; }"
    "</style>");

bool isFormattingElement(const QString &name)
{
    static const QSet<QString> names{
        QStringLiteral("b"),   QStringLiteral("i"),      QStringLiteral("u"),
        QStringLiteral("em"),  QStringLiteral("strong"), QStringLiteral("code"),
        QStringLiteral("pre"), QStringLiteral("br"),     QStringLiteral("p"),
        QStringLiteral("ul"),  QStringLiteral("ol"),     QStringLiteral("li"),
        QStringLiteral("sub"), QStringLiteral("sup")};
    return names.contains(name);
}

QString escaped(const QString &text)
{
    return ZkHelp::cleanHtml(text);
}

} // namespace

ScreenTopic readScreenTopic(const ZkHelp::HelpCollection &collection, const QString &path)
{
    ScreenTopic topic{QFileInfo(path).completeBaseName(), collection.fileData(path), {}};
    for (const QString &link : std::as_const(topic.data.links)) {
        if (!ZkHelp::isDesktopLink(link) && linkedHelpFile(collection, link).isEmpty())
            topic.missingLinks.insert(link);
    }
    return topic;
}

QString screenMarkup(const QString &text)
{
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9]*)\\s*(/?)>"));
    struct Tag
    {
        qsizetype start;
        qsizetype length;
        QString markup;
    };
    // A tag is markup once it is known to be in place; an opening one only
    // when its closing one turns up.
    QList<Tag> tags;
    QList<std::pair<qsizetype, QString>> open;
    for (const QRegularExpressionMatch &match : tag.globalMatch(text)) {
        const QString name = match.captured(2).toLower();
        const bool closing = !match.captured(1).isEmpty();
        const bool empty = !match.captured(3).isEmpty();
        tags.append({match.capturedStart(), match.capturedLength(), QString()});
        if (!isFormattingElement(name) || (closing && empty))
            continue;
        if (name == QLatin1String("br")) {
            if (!closing)
                tags.last().markup = QStringLiteral("<br>");
        } else if (!closing && !empty) {
            open.append({tags.size() - 1, name});
        } else if (closing && !open.isEmpty() && open.last().second == name) {
            tags[open.takeLast().first].markup = QLatin1Char('<') + name + QLatin1Char('>');
            tags.last().markup = QStringLiteral("</") + name + QLatin1Char('>');
        }
    }
    QString result;
    qsizetype done = 0;
    for (const Tag &found : std::as_const(tags)) {
        if (found.markup.isEmpty())
            continue;
        result += escaped(text.mid(done, found.start - done)) + found.markup;
        done = found.start + found.length;
    }
    return result + escaped(text.mid(done));
}

QString renderScreenPage(const ScreenTopic &topic, const ZkHelp::HelpLanguage &language)
{
    const ZkHelp::HelpData &data = topic.data;
    QString page = pageStyle;
    page += QStringLiteral("<h1>") + escaped(topic.name) + QStringLiteral("</h1><p class='meta'>") +
            escaped(data.author) + QStringLiteral(" (v") + escaped(data.version) +
            QStringLiteral(")</p>");
    page += QStringLiteral("<div><i>") + screenMarkup(language.description) +
            QStringLiteral("</i></div>");
    for (const ZkHelp::HelpSection &section : language.sections) {
        page += QStringLiteral("<h3>") + escaped(section.name) + QStringLiteral("</h3>");
        page += QStringLiteral("<div class='content'>") + screenMarkup(section.content) +
                QStringLiteral("</div>");
    }
    if (data.links.isEmpty())
        return page;
    page += QStringLiteral("<hr><h4>Verweise:</h4><ul>");
    for (const QString &link : data.links) {
        page += QStringLiteral("<li>");
        if (topic.missingLinks.contains(link)) {
            page += QStringLiteral("<span class='missing' title='nicht gefunden'>") +
                    escaped(link) + QStringLiteral("</span>");
        } else if (ZkHelp::isDesktopLink(link)) {
            page += QStringLiteral("<a href=\"") + escaped(link) +
                    QStringLiteral("\" title='Öffnet außerhalb des Betrachters'>") + escaped(link) +
                    QStringLiteral("</a> &#8599;");
        } else {
            // Qt's rich-text parser decodes character references only in
            // double-quoted attribute values. A help-file name is also
            // percent-encoded, or QUrl would take "Kapitel:1" for a scheme
            // (and lower-case it) or "%41" for an escape.
            page += QStringLiteral("<a href=\"") + escaped(ZkHelp::linkAddress(link)) +
                    QStringLiteral("\">") + escaped(link) + QStringLiteral("</a>");
        }
        page += QStringLiteral("</li>");
    }
    return page + QStringLiteral("</ul>");
}

QString renderStartPage(const ZkHelp::HelpCollection &collection, const QString &pathFile)
{
    QString page = pageStyle + QStringLiteral("<h1>Kein Thema geöffnet</h1>");
    page += QStringLiteral("<p>Gelesene Suchordner:</p><ul>");
    for (const QString &folder : collection.searchPaths()) {
        const qsizetype count = ZkHelp::HelpCollection({folder}).files().size();
        page += QStringLiteral("<li>") + escaped(folder) + QStringLiteral(": ") +
                (count == 1 ? QStringLiteral("1 Hilfedatei")
                            : QStringLiteral("%1 Hilfedateien").arg(count)) +
                QStringLiteral("</li>");
    }
    page += QStringLiteral("</ul><p>Wählen Sie ein Thema aus der Liste oder öffnen Sie eine "
                           "Hilfedatei mit „Öffnen...“ (Strg+O). Liegen Ihre Hilfedateien in "
                           "einem anderen Ordner, tragen Sie ihn als eigene Zeile in die Datei "
                           "Path ein: ") +
            escaped(pathFile) + QStringLiteral("</p>");
    return page;
}
