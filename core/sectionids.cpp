#include "sectionids.h"

#include <algorithm>

namespace ZkHelp {

namespace {

constexpr qsizetype maxIdLength = 64;
constexpr qsizetype maxSlugLength = 48;

bool isAsciiAlnum(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// German letters an ASCII id can still spell; an empty result for a character
// that only separates.
QString asciiSpelling(QChar c)
{
    switch (c.unicode()) {
    case 0x00E4: // ä
    case 0x00C4: // Ä
        return QStringLiteral("ae");
    case 0x00F6: // ö
    case 0x00D6: // Ö
        return QStringLiteral("oe");
    case 0x00FC: // ü
    case 0x00DC: // Ü
        return QStringLiteral("ue");
    case 0x00DF: // ß
    case 0x1E9E: // capital ß
        return QStringLiteral("ss");
    default:
        return isAsciiAlnum(c) ? QString(c.toLower()) : QString();
    }
}

} // namespace

bool isValidSectionId(const QString &id)
{
    if (id.isEmpty() || id.size() > maxIdLength || !isAsciiAlnum(id.front()))
        return false;
    return std::all_of(id.cbegin(), id.cend(), [](QChar c) {
        return isAsciiAlnum(c) || c == u'.' || c == u'_' || c == u'-';
    });
}

QString sectionSlug(const QString &title)
{
    QString slug;
    for (const QChar c : title) {
        const QString spelling = asciiSpelling(c);
        if (!spelling.isEmpty())
            slug += spelling;
        else if (!slug.isEmpty() && !slug.endsWith(u'-'))
            slug += u'-';
    }
    slug.truncate(maxSlugLength);
    if (slug.endsWith(u'-'))
        slug.chop(1);
    return slug.isEmpty() ? QStringLiteral("abschnitt") : slug;
}

QString freeSectionId(const QString &base, const QSet<QString> &taken)
{
    QString id = base;
    for (int n = 2; taken.contains(id); ++n)
        id = base + u'-' + QString::number(n);
    return id;
}

QSet<QString> sectionIds(const HelpData &data, const QString &key)
{
    QSet<QString> ids;
    for (const HelpSection &section : data.languages.value(key).sections) {
        if (!section.id.isEmpty())
            ids.insert(section.id);
    }
    return ids;
}

QString proposedSectionId(const HelpData &data, const QString &key, int index,
                          const QString &reference, const QString &title,
                          const QSet<QString> &taken)
{
    if (key != reference) {
        const QList<HelpSection> source = data.languages.value(reference).sections;
        if (index < source.size()) {
            const QString &id = source.at(index).id;
            if (!id.isEmpty() && !taken.contains(id))
                return id;
        }
    }
    return freeSectionId(sectionSlug(title), taken);
}

bool assignSectionIds(HelpData &data, const QString &reference)
{
    QStringList order = data.languages.keys();
    if (order.removeOne(reference))
        order.prepend(reference);
    bool changed = false;
    for (const QString &key : std::as_const(order)) {
        QSet<QString> taken = sectionIds(data, key);
        QList<HelpSection> &sections = data.languages[key].sections;
        for (int i = 0; i < sections.size(); ++i) {
            if (!sections.at(i).id.isEmpty())
                continue;
            const QString id =
                proposedSectionId(data, key, i, reference, sections.at(i).name, taken);
            sections[i].id = id;
            taken.insert(id);
            changed = true;
        }
    }
    return changed;
}

} // namespace ZkHelp
