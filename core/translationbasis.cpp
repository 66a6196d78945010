#include "translationbasis.h"

#include <QCryptographicHash>

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

const HelpSection *pairedSection(const HelpData &data, const QString &key, int index)
{
    const auto language = data.languages.constFind(key);
    if (language == data.languages.cend() || index < 0 || index >= language->sections.size())
        return nullptr;
    return &language->sections.at(index);
}

BasisState basisState(const HelpData &data, const QString &language, int index)
{
    const HelpSection *translation = pairedSection(data, language, index);
    if (!translation || translation->basis.isEmpty())
        return BasisState::Unconfirmed;
    const QString &basis = translation->basis;
    const HelpSection *reference = pairedSection(data, basisLanguage(basis), index);
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
