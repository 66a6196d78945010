// The status of a help set: languages out of step, stale translations and
// links that lead nowhere, per file, language and section.
#pragma once

#include "helpdata.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace ZkHelp {

// In the order of severity: errors first, then notes.
enum class FindingKind {
    BrokenLink,
    Unreadable,
    MissingLanguage,
    SectionCount,
    Stale,
    EmptyText,
    Orphan,
    Shadowed,
};

// The name in reports ("broken-link", "stale", ...).
QString findingKindName(FindingKind kind);
bool isError(FindingKind kind);

struct Finding
{
    QString file; // absolute path
    FindingKind kind = FindingKind::Unreadable;
    QString language; // empty for the whole file
    int section = -1; // -1 for a description, a whole language or file
    QString detail;
};

// First 16 lowercase hex digits of the SHA-256 of name, a line feed and
// content, in UTF-8.
QString basisHash(const HelpSection &section);

// The basis value that confirms a translation against the section at the same
// position in the language referenceKey: "KEY:HASH".
QString basisFor(const QString &referenceKey, const HelpSection &referenceSection);

enum class BasisState {
    Unconfirmed, // carries no basis
    Current,
    Stale, // the reference section changed or is gone
};

// The state of data.languages[language].sections[index] against its basis.
BasisState basisState(const HelpData &data, const QString &language, int index);

// preferred when data has that language, otherwise its first language (empty
// for a document without languages).
QString referenceLanguage(const HelpData &data, const QString &preferred);

// Everything wrong inside one document, judged against the languages of its
// set and its reference language: missing languages, section counts, stale
// translations and empty texts, sorted like a report. unconfirmed, when
// given, receives the number of translated sections without basis.
QList<Finding> checkDocument(const QString &filePath, const HelpData &data,
                             const QStringList &setLanguages, const QString &preferredReference,
                             int *unconfirmed = nullptr);

// The files to check and where their links are looked up.
struct HelpSet
{
    QList<QString> files; // absolute paths; with namesShadow, earlier ones win
    QList<QString> linkFolders;
    bool namesShadow = false;
    // Help files of the set that cannot be read by name (not UTF-8).
    QList<QString> undecodable;
};

// Every help file directly in the search folders; a later file of a name
// already seen is hidden by the earlier one.
HelpSet searchFolderSet(const QList<QString> &searchPaths);

// Every help file in folder and its subfolders, hidden ones aside; links
// resolve along folder, its subfolders and then the search folders.
HelpSet folderSet(const QString &folder, const QList<QString> &searchPaths);

struct CheckReport
{
    int files = 0;
    QStringList languages;
    int unconfirmed = 0;
    QList<Finding> findings; // by file, language, section, kind, detail

    int errorCount() const;
    int noteCount() const;
};

// Reads every file of the set once; nothing in the files stops the report.
CheckReport checkHelpSet(const HelpSet &set, const QString &preferredReference);

// One line per finding, "PATH: KIND [LANG[#SECTION]]: DETAIL", then the
// summary line.
QString formatCheckText(const CheckReport &report);

// One JSON object on one line, followed by a line feed.
QByteArray formatCheckJson(const CheckReport &report);

} // namespace ZkHelp
