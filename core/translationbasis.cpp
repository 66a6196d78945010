#include "translationbasis.h"

#include <QCryptographicHash>

#include <algorithm>

namespace ZkHelp {

QString basisHash(const HelpSection &section)
{
    const QByteArray bytes = (section.name + u'\n' + section.content).toUtf8();
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

QString basisFor(const QString &referenceKey, const HelpSection &referenceSection)
{
    return referenceKey + u':' + basisHash(referenceSection);
}

QString basisLanguage(const QString &basis)
{
    const qsizetype colon = basis.lastIndexOf(u':');
    return colon < 0 ? QString() : basis.left(colon);
}

int pairedIndex(const HelpData &data, const QString &key, const HelpSection &translation, int index)
{
    const auto language = data.languages.constFind(key);
    if (language == data.languages.cend())
        return -1;
    const QList<HelpSection> &sections = language->sections;
    if (!translation.id.isEmpty()) {
        const auto sameId =
            std::find_if(sections.cbegin(), sections.cend(),
                         [&](const HelpSection &s) { return s.id == translation.id; });
        if (sameId != sections.cend())
            return int(sameId - sections.cbegin());
    }
    return index >= 0 && index < sections.size() ? index : -1;
}

const HelpSection *pairedSection(const HelpData &data, const QString &key,
                                 const HelpSection &translation, int index)
{
    const int paired = pairedIndex(data, key, translation, index);
    return paired < 0 ? nullptr : &data.languages.find(key)->sections.at(paired);
}

BasisState basisState(const HelpData &data, const QString &language, int index)
{
    const QList<HelpSection> sections = data.languages.value(language).sections;
    if (index < 0 || index >= sections.size() || sections.at(index).basis.isEmpty())
        return BasisState::Unconfirmed;
    const HelpSection &translation = sections.at(index);
    const QString &basis = translation.basis;
    const HelpSection *reference = pairedSection(data, basisLanguage(basis), translation, index);
    if (!reference)
        return BasisState::Stale;
    const QString hash = basis.mid(basis.lastIndexOf(u':') + 1);
    return basisHash(*reference).compare(hash, Qt::CaseInsensitive) == 0 ? BasisState::Current
                                                                         : BasisState::Stale;
}

QString referenceLanguage(const HelpData &data, const QString &preferred)
{
    if (data.languages.contains(preferred))
        return preferred;
    return data.languages.isEmpty() ? QString() : data.languages.firstKey();
}

} // namespace ZkHelp
