// The status of a help set: languages out of step, stale translations and
// links that lead nowhere, per file, language and section.
#pragma once

#include "canonicalpaths.h"
#include "helpdata.h"
#include "helpfinder.h"
#include "helpparser.h"
#include "helpset.h"
#include "translationbasis.h"

#include <QDateTime>
#include <QHash>
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
    DuplicateId,
    UnknownId,
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

// Looks link names up along folders, each name once: every file of a set
// looks its links up along the same folders.
class LinkResolver
{
public:
    explicit LinkResolver(const QList<QString> &folders = {})
        : folders(folders)
    {}

    // The canonical path of the help file link leads to, or an empty string.
    // A name that leaves the folders by path leads nowhere even where a file
    // lies there: the export gives it no page either. Web and mail links are
    // not help files and lead nowhere here. A "zkhelp:" address leads to
    // the file of its name.
    QString target(const QString &link);

    // Whether link leads to a help file and, for an address naming a
    // section, that file has the section in the language the address shows
    // when no interface language decides (addressedLanguage).
    bool reaches(const QString &link);

private:
    QList<QString> folders;
    HelpFinder finder;
    HelpParser parser;
    CanonicalPaths canonical;
    QHash<QString, QString> cache;
    // Whether an address's section is there, with the state of the file it
    // was read from: the editor keeps one resolver while files change.
    struct Reach
    {
        QDateTime modified;
        qint64 size = -1;
        bool found = false;
    };
    QHash<QString, Reach> reached;
};

// A finding for each link of data that leads nowhere, each link once.
QList<Finding> brokenLinks(const QString &filePath, const HelpData &data, LinkResolver &resolver);
QList<Finding> brokenLinks(const QString &filePath, const QList<QString> &links,
                           LinkResolver &resolver);

struct CheckReport
{
    int files = 0;
    QStringList languages;
    int unconfirmed = 0;
    QList<Finding> findings; // by file, language, section, kind, detail

    int errorCount() const;
    int noteCount() const;
};

// The files of set the check reads, in its order: regular files only, each
// file once however many names reach it, and with namesShadow only the first
// file of a name.
QList<QString> memberFiles(const HelpSet &set);

// Reads every file of the set once; nothing in the files stops the report.
CheckReport checkHelpSet(const HelpSet &set, const QString &preferredReference);

} // namespace ZkHelp
