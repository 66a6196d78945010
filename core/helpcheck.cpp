#include "helpcheck.h"

#include "helpaddress.h"
#include "helpfinder.h"
#include "helplinks.h"
#include "helpparser.h"
#include "sectionids.h"

#include <QFileInfo>
#include <QFuture>
#include <QHash>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrent>

#include <algorithm>

namespace ZkHelp {

namespace {

Finding finding(const QString &file, FindingKind kind, const QString &language, int section,
                const QString &detail)
{
    return Finding{file, kind, language, section, detail};
}

bool reportOrder(const Finding &a, const Finding &b)
{
    if (int c = a.file.compare(b.file); c != 0)
        return c < 0;
    if (int c = a.language.compare(b.language); c != 0)
        return c < 0;
    if (a.section != b.section)
        return a.section < b.section;
    if (a.kind != b.kind)
        return a.kind < b.kind;
    return a.detail < b.detail;
}

QString staleDetail(const HelpData &data, const HelpSection &section, int index)
{
    const QString key = basisLanguage(section.basis);
    const int paired = pairedIndex(data, key, section, index);
    return QStringLiteral("Referenz %1#%2 %3")
        .arg(key)
        .arg(paired < 0 ? index : paired)
        .arg(paired < 0 ? QStringLiteral("fehlt") : QStringLiteral("geaendert"));
}

// Ids used twice in one language, and ids of a translation its reference
// lacks: either leaves a translation without the section it pairs with.
void addIdFindings(const QString &filePath, const QString &key, const QList<HelpSection> &sections,
                   const QSet<QString> *referenceIds, QList<Finding> &findings)
{
    QSet<QString> seen;
    for (int i = 0; i < sections.size(); ++i) {
        const QString &id = sections.at(i).id;
        if (id.isEmpty())
            continue;
        if (seen.contains(id))
            findings.append(finding(filePath, FindingKind::DuplicateId, key, i, id));
        seen.insert(id);
        if (referenceIds && !referenceIds->contains(id))
            findings.append(finding(filePath, FindingKind::UnknownId, key, i, id));
    }
}

// Findings that need nothing but the document itself.
void addDocumentFindings(const QString &filePath, const HelpData &data,
                         const QString &preferredReference, QList<Finding> &findings,
                         int &unconfirmed)
{
    const QString reference = referenceLanguage(data, preferredReference);
    const qsizetype referenceCount =
        reference.isEmpty() ? 0 : data.languages.value(reference).sections.size();
    const QSet<QString> referenceIds = sectionIds(data, reference);
    for (auto it = data.languages.cbegin(); it != data.languages.cend(); ++it) {
        const QList<HelpSection> &sections = it->sections;
        if (it->description.isEmpty())
            findings.append(finding(filePath, FindingKind::EmptyText, it.key(), -1,
                                    QStringLiteral("Beschreibung leer")));
        const bool translated = it.key() != reference;
        addIdFindings(filePath, it.key(), sections, translated ? &referenceIds : nullptr, findings);
        if (translated && sections.size() != referenceCount)
            findings.append(
                finding(filePath, FindingKind::SectionCount, it.key(), -1,
                        QStringLiteral("%1 statt %2").arg(sections.size()).arg(referenceCount)));
        for (int i = 0; i < sections.size(); ++i) {
            if (sections.at(i).content.isEmpty())
                findings.append(finding(filePath, FindingKind::EmptyText, it.key(), i,
                                        QStringLiteral("Text leer")));
            if (!translated)
                continue;
            switch (basisState(data, it.key(), i)) {
            case BasisState::Unconfirmed:
                ++unconfirmed;
                break;
            case BasisState::Stale:
                findings.append(finding(filePath, FindingKind::Stale, it.key(), i,
                                        staleDetail(data, sections.at(i), i)));
                break;
            case BasisState::Current:
                break;
            }
        }
    }
}

void addMissingLanguages(const QString &filePath, const QStringList &present,
                         const QStringList &setLanguages, QList<Finding> &findings)
{
    for (const QString &key : setLanguages) {
        if (!present.contains(key))
            findings.append(finding(filePath, FindingKind::MissingLanguage, key, -1,
                                    QStringLiteral("Sprache fehlt")));
    }
}

// What the set check keeps of a file once it has been read.
struct Member
{
    QString path;
    QString identity; // the canonical path: one file reached by two names is one member
    QStringList languages;
    bool readable = true;
};

// The set's members in order: things that are not regular files are skipped,
// a second name of a file already taken is dropped, and with namesShadow a
// later file of a name already taken only gets its note.
QList<Member> collectMembers(const HelpSet &set, QList<Finding> &findings)
{
    QList<Member> members;
    QSet<QString> identities;
    QHash<QString, QString> winnerByName;
    CanonicalPaths canonical;
    for (const QString &path : set.files) {
        QString identity = canonical.ofFile(path);
        if (identity.isEmpty() || identities.contains(identity))
            continue;
        if (set.namesShadow) {
            const QString name = path.mid(path.lastIndexOf(u'/') + 1);
            const auto winner = winnerByName.constFind(name);
            if (winner != winnerByName.cend()) {
                findings.append(finding(path, FindingKind::Shadowed, QString(), -1, *winner));
                continue;
            }
            winnerByName.insert(name, path);
        }
        identities.insert(identity);
        members.append(Member{path, std::move(identity), {}, true});
    }
    return members;
}

// What a member gives the check that needs no other file, so that members
// can be read on any thread in any order.
struct Reading
{
    QString error;
    QList<QString> links;
    QStringList languages;
    QList<Finding> findings;
    int unconfirmed = 0;
};

Reading readMember(const QString &path, const QString &preferredReference)
{
    Reading reading;
    const HelpData data = HelpParser().parseQuietly(path, reading.error);
    reading.links = data.links;
    if (reading.error.isEmpty()) {
        reading.languages = data.languages.keys();
        addDocumentFindings(path, data, preferredReference, reading.findings, reading.unconfirmed);
    }
    return reading;
}

QList<Reading> readMembers(const QList<QString> &paths, const QString &preferredReference)
{
    QList<Reading> readings;
    readings.reserve(paths.size());
    for (const QString &path : paths)
        readings.append(readMember(path, preferredReference));
    return readings;
}

// Reads the members on every core, a few groups ahead of take, and hands
// take each member with its reading in the members' order: what take
// builds then never depends on which read ended first.
template <typename Take>
void readInOrder(QList<Member> &members, const QString &preferredReference, Take take)
{
    // Groups keep the hand-overs few; a bounded number ahead keeps the
    // memory of readings not yet taken small.
    constexpr qsizetype filesPerRead = 16;
    const qsizetype readsAhead = 4 * qMax(1, QThreadPool::globalInstance()->maxThreadCount());
    QList<QFuture<QList<Reading>>> reads;
    qsizetype nextRead = 0;
    qsizetype nextTaken = 0;
    while (nextTaken < members.size()) {
        while (reads.size() < readsAhead && nextRead < members.size()) {
            QList<QString> paths;
            for (; paths.size() < filesPerRead && nextRead < members.size(); ++nextRead)
                paths.append(members.at(nextRead).path);
            reads.append(QtConcurrent::run(&readMembers, paths, preferredReference));
        }
        const QList<Reading> group = reads.takeFirst().result();
        for (const Reading &reading : group)
            take(members[nextTaken++], reading);
    }
}

} // namespace

QString findingKindName(FindingKind kind)
{
    switch (kind) {
    case FindingKind::BrokenLink:
        return QStringLiteral("broken-link");
    case FindingKind::Unreadable:
        return QStringLiteral("unreadable");
    case FindingKind::MissingLanguage:
        return QStringLiteral("missing-language");
    case FindingKind::SectionCount:
        return QStringLiteral("section-count");
    case FindingKind::Stale:
        return QStringLiteral("stale");
    case FindingKind::DuplicateId:
        return QStringLiteral("duplicate-id");
    case FindingKind::UnknownId:
        return QStringLiteral("unknown-id");
    case FindingKind::EmptyText:
        return QStringLiteral("empty-text");
    case FindingKind::Orphan:
        return QStringLiteral("orphan");
    case FindingKind::Shadowed:
        return QStringLiteral("shadowed");
    }
    return QString();
}

QString LinkResolver::target(const QString &link)
{
    if (isDesktopLink(link))
        return QString();
    auto it = cache.constFind(link);
    if (it == cache.cend()) {
        const QString path = linkedPagePath(link).isEmpty()
                                 ? QString()
                                 : finder.findHelpFile(folders, linkedHelpName(link));
        it = cache.insert(link, path.isEmpty() ? QString() : canonical.ofFile(path));
    }
    return *it;
}

bool LinkResolver::reaches(const QString &link)
{
    const QString path = target(link);
    if (path.isEmpty())
        return false;
    const std::optional<HelpAddress> address = HelpAddress::parse(link);
    if (!address || address->section.isEmpty())
        return true;
    const QFileInfo file(path);
    Reach &reach = reached[link];
    if (reach.modified != file.lastModified() || reach.size != file.size()) {
        QString error;
        const HelpData data = parser.parseQuietly(path, error);
        const QString key = addressedLanguage(data, address->language, {});
        reach = {file.lastModified(), file.size(),
                 addressedSection(data.languages.value(key), address->section) >= 0};
    }
    return reach.found;
}

QList<Finding> brokenLinks(const QString &filePath, const HelpData &data, LinkResolver &resolver)
{
    return brokenLinks(filePath, data.links, resolver);
}

QList<Finding> brokenLinks(const QString &filePath, const QList<QString> &links,
                           LinkResolver &resolver)
{
    QList<Finding> findings;
    QSet<QString> broken;
    for (const QString &link : links) {
        if (!isDesktopLink(link) && !resolver.reaches(link) && !broken.contains(link)) {
            broken.insert(link);
            findings.append(finding(filePath, FindingKind::BrokenLink, QString(), -1, link));
        }
    }
    return findings;
}

bool isError(FindingKind kind)
{
    return kind != FindingKind::Orphan && kind != FindingKind::Shadowed;
}

QList<Finding> checkDocument(const QString &filePath, const HelpData &data,
                             const QStringList &setLanguages, const QString &preferredReference,
                             int *unconfirmed)
{
    QList<Finding> findings;
    addMissingLanguages(filePath, data.languages.keys(), setLanguages, findings);
    int count = 0;
    addDocumentFindings(filePath, data, preferredReference, findings, count);
    if (unconfirmed)
        *unconfirmed = count;
    std::sort(findings.begin(), findings.end(), reportOrder);
    return findings;
}

int CheckReport::errorCount() const
{
    return int(std::count_if(findings.cbegin(), findings.cend(),
                             [](const Finding &f) { return isError(f.kind); }));
}

int CheckReport::noteCount() const
{
    return int(findings.size()) - errorCount();
}

QList<QString> memberFiles(const HelpSet &set)
{
    QList<Finding> shadowed;
    QList<QString> paths;
    for (const Member &member : collectMembers(set, shadowed))
        paths.append(member.path);
    return paths;
}

CheckReport checkHelpSet(const HelpSet &set, const QString &preferredReference)
{
    CheckReport report;
    QList<Member> members = collectMembers(set, report.findings);
    LinkResolver resolver(set.linkFolders);
    QSet<QString> languages;
    QSet<QString> linkedTo;
    readInOrder(members, preferredReference, [&](Member &member, const Reading &reading) {
        member.readable = reading.error.isEmpty();
        if (!member.readable)
            report.findings.append(
                finding(member.path, FindingKind::Unreadable, QString(), -1, reading.error));
        // Links read before an error still lead somewhere, so the files they
        // reach are no orphans; only a readable file is blamed for its own.
        for (const QString &link : reading.links) {
            const QString target = resolver.target(link);
            if (!target.isEmpty() && target != member.identity)
                linkedTo.insert(target);
        }
        if (!member.readable)
            return;
        report.findings += brokenLinks(member.path, reading.links, resolver);
        member.languages = reading.languages;
        for (const QString &key : std::as_const(member.languages))
            languages.insert(key);
        report.findings += reading.findings;
        report.unconfirmed += reading.unconfirmed;
    });
    report.languages = languages.values();
    report.languages.sort(Qt::CaseSensitive);
    for (const Member &member : std::as_const(members)) {
        if (!member.readable)
            continue;
        addMissingLanguages(member.path, member.languages, report.languages, report.findings);
        if (!linkedTo.contains(member.identity))
            report.findings.append(finding(member.path, FindingKind::Orphan, QString(), -1,
                                           QStringLiteral("kein Verweis von einer anderen Datei")));
    }
    // Left out, such a file would pass a CI check unseen.
    for (const QString &path : set.undecodable)
        report.findings.append(finding(path, FindingKind::Unreadable, QString(), -1,
                                       QStringLiteral("Dateiname ist kein UTF-8")));
    report.files = int(members.size() + set.undecodable.size());
    std::sort(report.findings.begin(), report.findings.end(), reportOrder);
    return report;
}

} // namespace ZkHelp
