// The in-memory form of one help file: plain values, freely copied.
#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace ZkHelp {

struct HelpSection
{
    QString name;
    QString content;
    // "KEY:HASH": the reference section this translation was made from, so
    // that a later change of that text shows the translation as stale.
    // Empty when the section makes no such claim. The initializer lets the
    // older two-member brace initialisations stand without a warning.
    QString basis{};
};

struct HelpLanguage
{
    QString description;
    QList<HelpSection> sections;
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
};

} // namespace ZkHelp
