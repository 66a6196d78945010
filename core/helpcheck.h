// The status of a help set: languages out of step, stale translations and
// links that lead nowhere, per file, language and section.
#pragma once

#include "helpdata.h"
#include "helpset.h"
#include "translationbasis.h"

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

// Everything wrong inside one document, judged against the languages of its
// set and its reference language: missing languages, section counts, stale
// translations and empty texts, sorted like a report. unconfirmed, when
// given, receives the number of translated sections without basis.
QList<Finding> checkDocument(const QString &filePath, const HelpData &data,
                             const QStringList &setLanguages, const QString &preferredReference,
                             int *unconfirmed = nullptr);

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

} // namespace ZkHelp
