#include "sitepages.h"

#include "helpaddress.h"
#include "helplinks.h"
#include "htmlexporter.h"
#include "translationbasis.h"

#include <QUrl>

namespace ZkHelp {

namespace {

// Texts of the pages themselves, in the programs' language.
const QString skipText = QStringLiteral("Zum Inhalt springen");
const QString contentsText = QStringLiteral("Inhalt");
const QString searchText = QStringLiteral("Suchen");
const QString languagesText = QStringLiteral("Sprachen");
const QString seeAlsoText = QStringLiteral("Siehe auch");

QString langAttribute(const QString &key)
{
    return QString(key).replace(u'_', u'-');
}

bool isRightToLeft(const QString &key)
{
    const QString primary = langAttribute(key).section(u'-', 0, 0).toLower();
    return primary == u"ar" || primary == u"fa" || primary == u"he" || primary == u"ur";
}

// The attributes that name a language: lang and dir for an element, the
// language of a link's target with hreflang.
QString langAttributes(const QString &key)
{
    return QStringLiteral(" lang=\"%1\" dir=\"%2\"")
        .arg(cleanHtml(langAttribute(key)),
             isRightToLeft(key) ? QStringLiteral("rtl") : QStringLiteral("ltr"));
}

QString hreflang(const QString &key)
{
    return QStringLiteral(" hreflang=\"%1\"").arg(cleanHtml(langAttribute(key)));
}

// "../" once per folder between a page and the site's root.
QString rootFrom(const SiteTopic &topic)
{
    return QStringLiteral("../").repeated(topic.name.count(u'/') + 1);
}

// The address of topic's page in language key, from the site's root.
QString pageAddress(const SiteTopic &topic, const QString &key)
{
    return key + u'/' + linkAddress(topic.page) + QStringLiteral(".html");
}

// Language key of topic, which it has; an empty one where it has not.
const HelpLanguage &languageOf(const SiteTopic &topic, const QString &key)
{
    static const HelpLanguage none;
    const auto it = topic.data.languages.constFind(key);
    return it == topic.data.languages.cend() ? none : *it;
}

bool hasPage(const SiteTopic &topic, const QString &key)
{
    return isSiteLanguageKey(key) && topic.data.languages.contains(key);
}

// The language a reader of key is sent to for topic: key itself where the
// topic has it, else the topic's reference language; empty for none.
QString shownLanguage(const SiteTopic &topic, const QString &key)
{
    if (hasPage(topic, key))
        return key;
    return hasPage(topic, topic.reference) ? topic.reference : QString();
}

QString head(const QString &key, const QString &title, const QString &toRoot)
{
    return QStringLiteral("<!DOCTYPE html>\n<html%1>\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, "
                          "initial-scale=1\">\n<title>%2</title>\n"
                          "<link rel=\"stylesheet\" href=\"%3style.css\">\n")
        .arg(langAttributes(key), cleanHtml(title), toRoot);
}

// The top of every page of a language folder: the skip link, the way to the
// contents and the search field; toFolder leads to the language's folder.
QString pageTop(const QString &toFolder, const QString &languageSwitch)
{
    return QStringLiteral("</head>\n<body>\n<a class=\"skip\" href=\"#main\">%1</a>\n<header>\n"
                          "<nav aria-label=\"%2\"><a href=\"%3index.html\">%2</a></nav>\n"
                          "<form class=\"search\" role=\"search\" action=\"%3search.html\">"
                          "<input type=\"search\" name=\"q\" aria-label=\"%4\" "
                          "placeholder=\"%4\"> <button type=\"submit\">%4</button></form>\n"
                          "%5</header>\n<main id=\"main\">\n")
        .arg(cleanHtml(skipText), cleanHtml(contentsText), toFolder, cleanHtml(searchText),
             languageSwitch);
}

const char pageEnd[] = "</main>\n</body>\n</html>\n";

QString languageSwitch(const SiteTopic &topic, const QString &key, const QString &toRoot,
                       QString &alternates)
{
    QString items;
    for (auto it = topic.data.languages.cbegin(); it != topic.data.languages.cend(); ++it) {
        if (!isSiteLanguageKey(it.key()))
            continue;
        const QString href = toRoot + cleanHtml(pageAddress(topic, it.key()));
        alternates += QStringLiteral("<link rel=\"alternate\"%1 href=\"%2\">\n")
                          .arg(hreflang(it.key()), href);
        if (it.key() == key)
            items += QStringLiteral("<li aria-current=\"page\"%1>%2</li>")
                         .arg(langAttributes(it.key()), cleanHtml(it.key()));
        else
            items +=
                QStringLiteral("<li><a href=\"%1\"%2%3>%4</a></li>")
                    .arg(href, hreflang(it.key()), langAttributes(it.key()), cleanHtml(it.key()));
    }
    return QStringLiteral("<nav class=\"languages\" aria-label=\"%1\"><ul>%2</ul></nav>\n")
        .arg(cleanHtml(languagesText), items);
}

// A link to the section of language key that translation pairs with, the
// page of key where the section is gone.
QString referenceLink(const SiteTopic &topic, const QString &key, const QString &toRoot,
                      const QString &anchor)
{
    return QStringLiteral("<a href=\"%1%2\"%3>%4</a>")
        .arg(toRoot, cleanHtml(pageAddress(topic, key) + anchor), hreflang(key),
             cleanHtml(QStringLiteral("Original (%1)").arg(key)));
}

// Whether a translation needs its banner: a stale section, or fewer sections
// than its reference.
bool isOutOfDate(const SiteTopic &topic, const QString &key)
{
    const HelpLanguage &language = languageOf(topic, key);
    const qsizetype referenceCount = languageOf(topic, topic.reference).sections.size();
    if (language.sections.size() < referenceCount)
        return true;
    for (int i = 0; i < language.sections.size(); ++i) {
        if (basisState(topic.data, key, i) == BasisState::Stale)
            return true;
    }
    return false;
}

QString staleMark(const SiteTopic &topic, const QString &key, int index, const QString &toRoot)
{
    const HelpSection &section = languageOf(topic, key).sections.at(index);
    const QString source = basisLanguage(section.basis);
    const int paired = pairedIndex(topic.data, source, section, index);
    QString link;
    if (paired >= 0 && hasPage(topic, source))
        link = u' ' + referenceLink(topic, source, toRoot,
                                    siteFragment(siteSectionAnchor(
                                        languageOf(topic, source).sections.at(paired), paired)));
    return QStringLiteral("<p class=\"stale\"><strong>veraltet</strong>%1</p>\n").arg(link);
}

QString sectionsHtml(const SiteTopic &topic, const QString &key, const QString &toRoot)
{
    const bool translated = key != topic.reference;
    const QList<HelpSection> &sections = languageOf(topic, key).sections;
    QString html;
    for (int i = 0; i < sections.size(); ++i) {
        const HelpSection &section = sections.at(i);
        html += QStringLiteral("<section id=\"%1\">\n<h2>%2</h2>\n")
                    .arg(cleanHtml(siteSectionAnchor(section, i)), cleanHtml(section.name));
        if (translated && basisState(topic.data, key, i) == BasisState::Stale)
            html += staleMark(topic, key, i, toRoot);
        html += QStringLiteral("<div class=\"text\">%1</div>\n</section>\n")
                    .arg(cleanHtml(section.content));
    }
    return html;
}

QString linkItem(const SiteModel &model, const SiteLink &link, const QString &key,
                 const QString &toRoot)
{
    const QString text = cleanHtml(link.text);
    if (link.topic < 0)
        return QStringLiteral("<li>%1</li>\n").arg(text);
    const SiteTopic &target = model.topics.at(link.topic);
    const QString shown = shownLanguage(target, key);
    if (shown.isEmpty())
        return QStringLiteral("<li>%1</li>\n").arg(text);
    QString anchor;
    if (!link.section.isEmpty()) {
        const HelpLanguage &language = languageOf(target, shown);
        const int index = addressedSection(language, link.section);
        if (index >= 0)
            anchor = siteFragment(siteSectionAnchor(language.sections.at(index), index));
    }
    return QStringLiteral("<li><a href=\"%1%2\"%3>%4</a></li>\n")
        .arg(toRoot, cleanHtml(pageAddress(target, shown) + anchor),
             shown == key ? QString() : hreflang(shown), text);
}

QString linksHtml(const SiteModel &model, const SiteTopic &topic, const QString &key,
                  const QString &toRoot)
{
    if (topic.links.isEmpty())
        return QString();
    QString items;
    for (const SiteLink &link : topic.links)
        items += linkItem(model, link, key, toRoot);
    return QStringLiteral("<nav class=\"links\" aria-label=\"%1\">\n<h2>%1</h2>\n<ul>\n%2</ul>\n"
                          "</nav>\n")
        .arg(cleanHtml(seeAlsoText), items);
}

QByteArray finished(const QString &page)
{
    return (page + QLatin1String(pageEnd)).toUtf8();
}

} // namespace

QString sitePagePath(const SiteTopic &topic)
{
    return topic.page + QStringLiteral(".html");
}

QByteArray siteRootPage(const SiteModel &model)
{
    QString items;
    for (const QString &key : model.languages)
        items += QStringLiteral("<li><a href=\"%1/index.html\"%2%3>%4</a></li>\n")
                     .arg(key, hreflang(key), langAttributes(key), cleanHtml(key));
    return (QStringLiteral("<!DOCTYPE html>\n<html lang=\"mul\" dir=\"ltr\">\n<head>\n"
                           "<meta charset=\"utf-8\">\n<meta name=\"viewport\" "
                           "content=\"width=device-width, initial-scale=1\">\n<title>%1</title>\n"
                           "<link rel=\"stylesheet\" href=\"style.css\">\n</head>\n<body>\n"
                           "<a class=\"skip\" href=\"#main\">%2</a>\n<main id=\"main\">\n"
                           "<h1>%1</h1>\n<nav aria-label=\"%1\"><ul class=\"languages\">\n%3"
                           "</ul></nav>\n")
                .arg(cleanHtml(languagesText), cleanHtml(skipText), items) +
            QLatin1String(pageEnd))
        .toUtf8();
}

QByteArray siteContentsPage(const SiteModel &model, const QString &key)
{
    QString items;
    for (const SiteTopic &topic : model.topics) {
        const QString shown = shownLanguage(topic, key);
        if (shown.isEmpty())
            continue;
        const HelpLanguage &language = languageOf(topic, shown);
        const QString description = language.description.isEmpty()
                                        ? QString()
                                        : QStringLiteral(" <span class=\"description\"%1>%2</span>")
                                              .arg(shown == key ? QString() : langAttributes(shown),
                                                   cleanHtml(language.description));
        if (shown == key)
            items += QStringLiteral("<li><a href=\"%1\">%2</a>%3</li>\n")
                         .arg(cleanHtml(linkAddress(topic.page) + QStringLiteral(".html")),
                              cleanHtml(topic.name), description);
        else
            items += QStringLiteral("<li><a href=\"../%1\"%2>%3</a> <span class=\"note\">%4"
                                    "</span>%5</li>\n")
                         .arg(cleanHtml(pageAddress(topic, shown)), hreflang(shown),
                              cleanHtml(topic.name), cleanHtml(QStringLiteral("nicht übersetzt")),
                              description);
    }
    return finished(head(key, contentsText, QStringLiteral("../")) + pageTop(QString(), QString()) +
                    QStringLiteral("<h1>%1</h1>\n<nav aria-label=\"%1\"><ul class=\"contents\">\n"
                                   "%2</ul></nav>\n")
                        .arg(cleanHtml(contentsText), items));
}

QByteArray siteSearchPage(const QString &key)
{
    return finished(head(key, searchText, QStringLiteral("../")) + pageTop(QString(), QString()) +
                    QStringLiteral("<h1>%1</h1>\n<p id=\"status\" role=\"status\"></p>\n"
                                   "<ol id=\"results\"></ol>\n"
                                   "<noscript><p>%2</p></noscript>\n"
                                   "<script src=\"search-index.js\"></script>\n"
                                   "<script src=\"../search.js\"></script>\n")
                        .arg(cleanHtml(searchText),
                             cleanHtml(QStringLiteral("Die Suche braucht JavaScript."))));
}

QByteArray siteTopicPage(const SiteModel &model, int index, const QString &key)
{
    const SiteTopic &topic = model.topics.at(index);
    const HelpLanguage &language = languageOf(topic, key);
    const QString toRoot = rootFrom(topic);
    const QString toFolder = QStringLiteral("../").repeated(topic.name.count(u'/'));
    QString alternates;
    const QString languages = languageSwitch(topic, key, toRoot, alternates);
    QString body = pageTop(toFolder, languages);
    if (key != topic.reference && hasPage(topic, topic.reference) && isOutOfDate(topic, key))
        body += QStringLiteral("<p class=\"banner\" role=\"note\">%1 %2</p>\n")
                    .arg(cleanHtml(
                             QStringLiteral("Diese Übersetzung ist möglicherweise nicht aktuell.")),
                         referenceLink(topic, topic.reference, toRoot, QString()));
    body += QStringLiteral("<h1>%1</h1>\n<p class=\"meta\">%2</p>\n<p class=\"description\">%3"
                           "</p>\n")
                .arg(cleanHtml(topic.name),
                     cleanHtml(QStringLiteral("Autor: %1 · Version: %2")
                                   .arg(topic.data.author, topic.data.version)),
                     cleanHtml(language.description));
    body += sectionsHtml(topic, key, toRoot);
    body += linksHtml(model, topic, key, toRoot);
    return finished(head(key, topic.name, toRoot) + alternates + body);
}

QByteArray siteMap(const SiteModel &model, const QString &baseUrl)
{
    const auto url = [&baseUrl](const QString &path) {
        return cleanHtml(baseUrl + QString::fromLatin1(QUrl::toPercentEncoding(path, "/")));
    };
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\" "
                                 "xmlns:xhtml=\"http://www.w3.org/1999/xhtml\">\n");
    xml += QStringLiteral("<url><loc>%1</loc></url>\n").arg(url(QStringLiteral("index.html")));
    // Each page names every version of itself, itself included.
    const auto addPage = [&](const QStringList &keys, const QString &file) {
        QString alternates;
        for (const QString &key : keys)
            alternates += QStringLiteral("<xhtml:link rel=\"alternate\" hreflang=\"%1\" "
                                         "href=\"%2\"/>")
                              .arg(cleanHtml(langAttribute(key)), url(key + u'/' + file));
        for (const QString &key : keys)
            xml += QStringLiteral("<url><loc>%1</loc>%2</url>\n")
                       .arg(url(key + u'/' + file), alternates);
    };
    addPage(model.languages, QStringLiteral("index.html"));
    for (const SiteTopic &topic : model.topics) {
        QStringList keys = topic.data.languages.keys();
        keys.removeIf([](const QString &key) { return !isSiteLanguageKey(key); });
        addPage(keys, sitePagePath(topic));
    }
    return (xml + QStringLiteral("</urlset>\n")).toUtf8();
}

} // namespace ZkHelp
