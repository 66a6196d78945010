#include "screenpage.h"

#include "helplinks.h"
#include "htmlexporter.h"

namespace {

const QString pageStyle = QStringLiteral(
    "<style>"
    "body { font-family: 'Segoe UI', sans-serif; color: #333; }"
    "h1 { color: #2c3e50; border-bottom: 2px solid #3498db; padding-bottom: 10px;}"
    "h3 { background-color: #ecf0f1; padding: 5px; color: #2980b9; margin-top: 20px; "
    "border-radius: 3px; }"
    "p { font-size: 14px; line-height: 1.5; }"
    "div.content { margin-left: 15px; }"
    "a { color: #2980b9; font-weight: bold; text-decoration: none; }"
    "a:hover { text-decoration: underline; }"
    "</style>");

} // namespace

QString renderScreenPage(const ZkHelp::HelpData &data, const ZkHelp::HelpLanguage &language)
{
    qsizetype size = pageStyle.size() + data.author.size() + data.version.size() +
                     language.description.size() + 64;
    for (const ZkHelp::HelpSection &section : language.sections)
        size += section.name.size() + section.content.size() + 40;
    for (const QString &link : data.links)
        size += 2 * link.size() + 40;

    QString page;
    page.reserve(size);
    page += pageStyle;
    page += QStringLiteral("<h1>") + data.author + QStringLiteral(" (v") + data.version +
            QStringLiteral(")</h1>");
    page += QStringLiteral("<p><i>") + language.description + QStringLiteral("</i></p>");
    for (const ZkHelp::HelpSection &section : language.sections) {
        page += QStringLiteral("<h3>") + section.name + QStringLiteral("</h3>");
        page +=
            QStringLiteral("<div class='content'>") + section.content + QStringLiteral("</div>");
    }
    if (!data.links.isEmpty()) {
        page += QStringLiteral("<hr><h4>Verweise:</h4><ul>");
        for (const QString &link : data.links) {
            // Qt's rich-text parser decodes character references only in
            // double-quoted attribute values. A help-file name is also
            // percent-encoded, or QUrl would take "Kapitel:1" for a scheme
            // (and lower-case it) or "%41" for an escape.
            const QString address = ZkHelp::isDesktopLink(link) ? link : ZkHelp::linkAddress(link);
            page += QStringLiteral("<li><a href=\"") + ZkHelp::cleanHtml(address) +
                    QStringLiteral("\">") + ZkHelp::cleanHtml(link) + QStringLiteral("</a></li>");
        }
        page += QStringLiteral("</ul>");
    }
    return page;
}
