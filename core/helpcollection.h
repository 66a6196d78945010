// The help files along the search folders of one "Path" file: the one object
// the programs ask to find a name, list files and read a document, instead
// of each passing folders around.
#pragma once

#include "helpdata.h"
#include "helpfinder.h"
#include "helpparser.h"

#include <QList>
#include <QString>

namespace ZkHelp {

class HelpCollection
{
public:
    // No search folders: finds and lists nothing.
    HelpCollection() = default;
    // Exactly these folders, in this order.
    explicit HelpCollection(const QList<QString> &searchPaths);

    // The folders of the search-path file pathFile, or of the program's own
    // (programPathFolder) when pathFile is no regular file; programFolder first
    // (HelpFinder::getSearchPaths). Then the folders packages install help
    // into (HelpFinder::installedHelpFolders) that are not searched already.
    // Read once: later changes of the file are not seen.
    static HelpCollection fromPathFile(const QString &pathFile, const QString &programFolder);

    // The collection of the console tool and the viewer: "Path" in the
    // working folder, created there first when missing (a first run then
    // searches the working folder), with the program's own as fallback
    // (programPathFolder). An installed program creates no file: without
    // one in the working folder it takes the user's.
    static HelpCollection forWorkingFolder(const QString &programFolder);

    // The "Path" file where a user of forWorkingFolder's collection adds
    // folders: the working folder's, unless an installed program reads the
    // user's for want of one there.
    static QString workingPathFile(const QString &programFolder);

    const QList<QString> &searchPaths() const { return folders; }

    // The path of the help file name (".zkhelp" appended when missing) in the
    // first search folder holding it as a regular file, or an empty string.
    QString findFile(const QString &name) const;

    // The name findFile resolves to the file at path (its path below the
    // search folder, with '/' and without ".zkhelp"), or an empty string when
    // no name leads there: a file outside the folders, or one an earlier
    // folder hides.
    QString nameOf(const QString &path) const;

    // Absolute paths of the help files directly in the search folders whose
    // names contain filter (any letter case, wildcards allowed), each once.
    QList<QString> files(const QString &filter = QString()) const;

    // files() with each file's size and modification time.
    QList<HelpFileState> fileStates() const;

    // The document at path (HelpParser::parse, with its warnings and reason).
    HelpData fileData(const QString &path, QString *errorString = nullptr) const;

private:
    QList<QString> folders;
    HelpFinder finder;
    HelpParser parser;
};

} // namespace ZkHelp
