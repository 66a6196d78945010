// The pages of a published help site, each as the bytes of its file: the
// language list, a language's contents, its search page, a topic in one
// language, and the sitemap.
#pragma once

#include "sitemodel.h"

#include <QByteArray>
#include <QString>

namespace ZkHelp {

// The file of topic's page in a language folder ("sub/name.html").
QString sitePagePath(const SiteTopic &topic);

// "index.html" at the site's root: every language, each to its contents.
QByteArray siteRootPage(const SiteModel &model);

// "KEY/index.html": every topic, those without key to their reference page.
QByteArray siteContentsPage(const SiteModel &model, const QString &key);

// "KEY/search.html": the search field and the script that answers it.
QByteArray siteSearchPage(const QString &key);

// sitePagePath() of model.topics[topic] in the folder of key, which it has.
QByteArray siteTopicPage(const SiteModel &model, int topic, const QString &key);

// "sitemap.xml": every page under baseUrl (ending in '/'), with the pages of
// its other languages.
QByteArray siteMap(const SiteModel &model, const QString &baseUrl);

} // namespace ZkHelp
