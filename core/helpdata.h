// The in-memory form of one help file: plain values, freely copied.
#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace ZkHelp {

// The name every help file ends in.
inline const QString helpFileExtension = QStringLiteral(".zkhelp");

struct HelpSection
{
    QString name;
    QString content;
    // "KEY:HASH": the reference section this translation was made from, so
    // that a later change of that text shows the translation as stale.
    // Empty when the section makes no such claim. The initializer lets the
    // older two-member brace initialisations stand without a warning.
    QString basis{};
    // Names the section across the languages of its file, so that a
    // translation pairs with its reference section wherever either stands.
    // Empty when the file gives none.
    QString id{};

    friend bool operator==(const HelpSection &a, const HelpSection &b)
    {
        return a.name == b.name && a.content == b.content && a.basis == b.basis && a.id == b.id;
    }
    friend bool operator!=(const HelpSection &a, const HelpSection &b) { return !(a == b); }
};

struct HelpLanguage
{
    QString description;
    QList<HelpSection> sections;

    friend bool operator==(const HelpLanguage &a, const HelpLanguage &b)
    {
        return a.description == b.description && a.sections == b.sections;
    }
    friend bool operator!=(const HelpLanguage &a, const HelpLanguage &b) { return !(a == b); }
};

struct HelpData
{
    QString version;
    QString author;
    // Keyed by the language block's name; iteration order (ascending keys)
    // is what every program treats as "the first language".
    QMap<QString, HelpLanguage> languages;
    // File-level links to other help files, in document order, duplicates kept.
    QList<QString> links;

    // Field by field, so that an edit typed back to what it was counts as none.
    friend bool operator==(const HelpData &a, const HelpData &b)
    {
        return a.version == b.version && a.author == b.author && a.links == b.links &&
               a.languages == b.languages;
    }
    friend bool operator!=(const HelpData &a, const HelpData &b) { return !(a == b); }
};

// Gives back the room the reader leaves over in a file's texts: a fifth of
// the memory of documents kept open, as the editor keeps its project's.
inline void squeezeTexts(HelpData &data)
{
    for (HelpLanguage &language : data.languages) {
        language.description.squeeze();
        for (HelpSection &section : language.sections)
            section.content.squeeze();
    }
}

} // namespace ZkHelp
