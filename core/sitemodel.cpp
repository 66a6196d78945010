#include "sitemodel.h"

#include "helpaddress.h"
#include "helpcheck.h"
#include "helplinks.h"
#include "helpparser.h"
#include "translationbasis.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace ZkHelp {

namespace {

// The name of path below the first root holding it; empty when none does.
QString topicName(const QString &path, const QList<QString> &roots)
{
    for (const QString &root : roots) {
        const QString relative = QDir(root).relativeFilePath(path);
        if (!relative.startsWith(QStringLiteral("../")) && !QDir::isAbsolutePath(relative))
            return relative.chopped(helpFileExtension.size());
    }
    return QString();
}

// A topic named like a page of the language folder gets its page under
// another name, so that it never replaces the contents or the search.
QString pageName(const QString &name)
{
    const bool taken = name.compare(QStringLiteral("index"), Qt::CaseInsensitive) == 0 ||
                       name.compare(QStringLiteral("search"), Qt::CaseInsensitive) == 0;
    return taken ? name + helpFileExtension : name;
}

// The topics of set that can be read, with the canonical path of each.
QList<SiteTopic> readTopics(const HelpSet &set, const QList<QString> &roots,
                            const QString &preferredReference, QHash<QString, QString> &byPath,
                            QStringList &problems)
{
    const HelpParser parser;
    QList<SiteTopic> topics;
    QSet<QString> identities;
    QHash<QString, QString> pageOwners; // folded page name -> topic name
    for (const QString &path : set.files) {
        const QFileInfo info(path);
        const QString identity = info.canonicalFilePath();
        if (!info.isFile() || identities.contains(identity))
            continue;
        identities.insert(identity);
        const QString name = topicName(path, roots);
        const QString page = pageName(name);
        // Two pages a case-blind file system would make one are one too many.
        const QString pageKey = page.toCaseFolded();
        if (linkPagePath(name).isEmpty() || pageOwners.contains(pageKey)) {
            if (!set.namesShadow || !pageOwners.contains(pageKey))
                problems.append(QStringLiteral("%1: Seitenname schon vergeben").arg(path));
            continue;
        }
        QString error;
        HelpData data = parser.parseQuietly(path, error);
        if (!error.isEmpty()) {
            problems.append(path + QStringLiteral(": ") + error);
            continue;
        }
        pageOwners.insert(pageKey, name);
        byPath.insert(identity, name);
        const QString reference = referenceLanguage(data, preferredReference);
        topics.append(SiteTopic{name, page, std::move(data), reference, {}});
    }
    for (const QString &path : set.undecodable)
        problems.append(path + QStringLiteral(": Dateiname ist kein UTF-8"));
    return topics;
}

void resolveLinks(SiteModel &model, const HelpSet &set, const QHash<QString, QString> &byPath)
{
    QHash<QString, int> indexByName;
    for (int i = 0; i < model.topics.size(); ++i)
        indexByName.insert(model.topics.at(i).name, i);
    LinkResolver resolver(set.linkFolders);
    for (SiteTopic &topic : model.topics) {
        for (const QString &link : std::as_const(topic.data.links)) {
            const QString target = resolver.target(link);
            const auto name = byPath.constFind(target);
            SiteLink shown{link, -1, QString()};
            if (!target.isEmpty() && name != byPath.cend()) {
                shown.topic = indexByName.value(*name, -1);
                if (const std::optional<HelpAddress> address = HelpAddress::parse(link))
                    shown.section = address->section;
            }
            topic.links.append(shown);
        }
    }
}

} // namespace

bool isSiteLanguageKey(const QString &key)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9_-]{0,63}$"));
    return pattern.match(key).hasMatch();
}

QString siteSectionAnchor(const HelpSection &section, int index)
{
    return section.id.isEmpty() ? QString::number(index + 1) : section.id;
}

QString siteFragment(const QString &anchor)
{
    return u'#' + QString::fromLatin1(QUrl::toPercentEncoding(anchor));
}

SiteModel readSiteModel(const HelpSet &set, const QList<QString> &roots,
                        const QString &preferredReference)
{
    SiteModel model;
    QHash<QString, QString> byPath;
    model.topics = readTopics(set, roots, preferredReference, byPath, model.problems);
    std::sort(model.topics.begin(), model.topics.end(),
              [](const SiteTopic &a, const SiteTopic &b) { return a.name < b.name; });
    QSet<QString> languages;
    QSet<QString> refused;
    for (const SiteTopic &topic : std::as_const(model.topics)) {
        for (const QString &key : topic.data.languages.keys()) {
            if (isSiteLanguageKey(key))
                languages.insert(key);
            else
                refused.insert(key);
        }
    }
    model.languages = languages.values();
    model.languages.sort();
    QStringList unusable = refused.values();
    unusable.sort();
    for (const QString &key : std::as_const(unusable))
        model.problems.append(
            QStringLiteral("Sprache \"%1\": taugt nicht als Ordnername, ausgelassen").arg(key));
    resolveLinks(model, set, byPath);
    return model;
}

} // namespace ZkHelp
