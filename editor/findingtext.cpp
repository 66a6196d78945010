#include "findingtext.h"

#include <QCoreApplication>

namespace ZkHelp {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("FindingText", text);
}

QString staleText(const Finding &finding, const HelpData &doc)
{
    const QList<HelpSection> sections = doc.languages.value(finding.language).sections;
    if (finding.section < 0 || finding.section >= sections.size())
        return tr("Übersetzung veraltet");
    const HelpSection &section = sections.at(finding.section);
    const QString key = basisLanguage(section.basis);
    const int paired = pairedIndex(doc, key, section, finding.section);
    return (paired >= 0 ? tr("Übersetzung veraltet: Abschnitt %1 der Referenz (%2) wurde geändert")
                        : tr("Übersetzung veraltet: Abschnitt %1 der Referenz (%2) fehlt"))
        .arg((paired >= 0 ? paired : finding.section) + 1)
        .arg(key);
}

QString what(const Finding &finding, const HelpData &doc)
{
    switch (finding.kind) {
    case FindingKind::BrokenLink:
        return tr("Verweis führt ins Leere: %1").arg(finding.detail);
    case FindingKind::MissingLanguage:
        return tr("Sprache fehlt: %1").arg(finding.language);
    case FindingKind::SectionCount:
        return tr("%1 Abschnitte").arg(finding.detail);
    case FindingKind::Stale:
        return staleText(finding, doc);
    case FindingKind::DuplicateId:
        return tr("Kennung doppelt: %1").arg(finding.detail);
    case FindingKind::UnknownId:
        return tr("Kennung fehlt in der Referenz: %1").arg(finding.detail);
    // "Text leer" or "Beschreibung leer" are plain German already; the
    // others only a whole set has, never one document.
    case FindingKind::EmptyText:
    case FindingKind::Unreadable:
    case FindingKind::Orphan:
    case FindingKind::Shadowed:
        break;
    }
    return finding.detail;
}

} // namespace

QString findingText(const Finding &finding, const HelpData &doc, bool withPlace)
{
    const QString text = what(finding, doc);
    if (!withPlace || finding.language.isEmpty() || finding.kind == FindingKind::MissingLanguage)
        return text;
    const QString place =
        finding.section < 0 ? finding.language
                            : tr("%1, Abschnitt %2").arg(finding.language).arg(finding.section + 1);
    return place + QStringLiteral(": ") + text;
}

} // namespace ZkHelp
