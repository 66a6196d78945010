#include "pounits.h"

#include "helpcheck.h"
#include "translationbasis.h"

#include <QSet>

namespace ZkHelp {

QList<PoMember> poMembers(const HelpSet &set)
{
    QList<PoMember> members;
    for (const QString &path : memberFiles(set))
        members.append(PoMember{path, memberName(set, path)});
    return members;
}

QString poSectionKey(const HelpSection &section, int index)
{
    return section.id.isEmpty() ? QString::number(index + 1) : section.id;
}

QString ambiguousSectionKey(const QList<HelpSection> &sections)
{
    QSet<QString> ids;
    for (const HelpSection &section : sections)
        ids.insert(section.id);
    for (int i = 0; i < sections.size(); ++i) {
        const QString key = poSectionKey(sections.at(i), i);
        if (sections.at(i).id.isEmpty() && ids.contains(key))
            return key;
    }
    return QString();
}

int poSectionIndex(const QList<HelpSection> &sections, const QString &key)
{
    for (int i = 0; i < sections.size(); ++i) {
        if (sections.at(i).id == key)
            return i;
    }
    bool isNumber = false;
    const int position = key.toInt(&isNumber);
    if (!isNumber || position < 1 || position > sections.size() ||
        !sections.at(position - 1).id.isEmpty() || QString::number(position) != key)
        return -1;
    return position - 1;
}

int translationIndex(const HelpData &data, const QString &key, const QString &reference,
                     int referenceIndex)
{
    const HelpSection original = data.languages.value(reference).sections.at(referenceIndex);
    const QList<HelpSection> sections = data.languages.value(key).sections;
    if (!original.id.isEmpty()) {
        for (int i = 0; i < sections.size(); ++i) {
            if (sections.at(i).id == original.id)
                return i;
        }
    }
    if (referenceIndex < sections.size() &&
        pairedIndex(data, reference, sections.at(referenceIndex), referenceIndex) == referenceIndex)
        return referenceIndex;
    return -1;
}

QString referenceComment(const QString &reference)
{
    return QStringLiteral("Referenz: ") + reference;
}

} // namespace ZkHelp
