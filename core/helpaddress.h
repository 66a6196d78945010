// "zkhelp:NAME[?lang=KEY][#SECTION]": an address of a help file, one of its
// languages and one of its sections, as links and the viewer's command line
// carry it. The check, the export and the viewer read it by these rules.
#pragma once

#include "helpdata.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ZkHelp {

struct HelpAddress
{
    QString name;
    QString language; // empty: none asked for
    QString section;  // a section id or a 1-based position; empty: none

    // Whether text is written as an address at all, so that it is never
    // taken for a file name.
    static bool isAddress(const QString &text);

    // The address text stands for, or nothing when it is no address, its
    // percent-encoding is malformed or not UTF-8, or its name is empty,
    // absolute or has a ".." part: an address is data from arbitrary files
    // and must never reach a file outside the search folders.
    static std::optional<HelpAddress> parse(const QString &text);

    // The canonical form: every part percent-encoded but for the '/' of the name.
    QString toString() const;

    friend bool operator==(const HelpAddress &a, const HelpAddress &b)
    {
        return a.name == b.name && a.language == b.language && a.section == b.section;
    }
};

// The help-file name link leads to: an address's name, nothing for a link
// written as an address that is none, any other link as it stands.
QString linkedHelpName(const QString &link);

// linkPagePath of the name link leads to; an empty string for none.
QString linkedPagePath(const QString &link);

// The index of the section in language whose id is section, else that of the
// 1-based position section when it is all digits and in range, else -1.
int addressedSection(const HelpLanguage &language, const QString &section);

// The language of data an address shows: wanted when data has it; otherwise
// the first of the interface languages (QLocale::uiLanguages() order) that
// data has as it stands or by its part before '-'; else data's first
// language; an empty string when data has none.
QString addressedLanguage(const HelpData &data, const QString &wanted,
                          const QStringList &interfaceLanguages);

} // namespace ZkHelp
