#include "sitesearchindex.h"

#include "helplinks.h"
#include "searchquery.h"

#include <algorithm>

namespace ZkHelp {

namespace {

QString words(const QString &text)
{
    return javaScriptString(matchedWords(text));
}

QString row(int page, const QString &fragment, const QString &title, const QString &text)
{
    return QStringLiteral("[%1,%2,%3,%4,%5]")
        .arg(QString::number(page), javaScriptString(fragment), javaScriptString(title),
             words(title), words(text));
}

// Whether c is written escaped in a string literal.
bool needsEscape(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || u == u'"' || u == u'\\' || u == u'<' || u == u'>' || u == u'&' ||
           u == 0x2028 || u == 0x2029 || c.isSurrogate();
}

} // namespace

QString javaScriptString(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(), needsEscape))
        return u'"' + text + u'"';
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        const bool pairedSurrogate =
            (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ||
            (c.isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate());
        if (u == u'"' || u == u'\\') {
            out += u'\\';
            out += c;
        } else if (u < 0x20 || u == u'<' || u == u'>' || u == u'&' || u == 0x2028 || u == 0x2029 ||
                   (c.isSurrogate() && !pairedSurrogate)) {
            // A lone surrogate is no character: written as the replacement one.
            const char16_t shown = c.isSurrogate() ? char16_t(QChar::ReplacementCharacter) : u;
            out += QStringLiteral("\\u%1").arg(unsigned(shown), 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += u'"';
    return out;
}

QByteArray siteSearchIndex(const SiteModel &model, const QString &key)
{
    QString pages;
    QString rows;
    int page = 0;
    for (const SiteTopic &topic : model.topics) {
        const auto language = topic.data.languages.constFind(key);
        if (language == topic.data.languages.cend())
            continue;
        if (page > 0)
            pages += u',';
        pages += QStringLiteral("[%1,%2]").arg(
            javaScriptString(linkAddress(topic.page) + QStringLiteral(".html")),
            javaScriptString(topic.name));
        rows += row(page, QString(), QString(), language->description) + QStringLiteral(",\n");
        for (int i = 0; i < language->sections.size(); ++i) {
            const HelpSection &section = language->sections.at(i);
            rows += row(page, siteFragment(siteSectionAnchor(section, i)), section.name,
                        section.content) +
                    QStringLiteral(",\n");
        }
        ++page;
    }
    return QStringLiteral("window.zkhelpSearchIndex = {\"language\": %1, \"pages\": [%2],\n"
                          "\"rows\": [\n%3]};\n")
        .arg(javaScriptString(key), pages, rows)
        .toUtf8();
}

} // namespace ZkHelp
