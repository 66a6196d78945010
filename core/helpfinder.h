// Search folders from the "Path" file and help-file lookup along them.
#pragma once

#include <QList>
#include <QString>

namespace ZkHelp {

struct HelpFileState
{
    QString path;
    qint64 size = -1;
    // Nanoseconds since the epoch: two writes in one millisecond differ.
    qint64 modified = -1;
};

class HelpFinder
{
public:
    // Makes a first run in the working folder search that folder: when nothing
    // named pathFileName exists there, creates it holding the absolute working
    // folder and a line feed, written in one step. A file that cannot be
    // created is no reason to stop (the application folder's file still
    // counts), so nothing is reported.
    void ensurePathFile(const QString &pathFileName) const;

    // The program folder, then every non-blank line of the search-path file
    // (relative lines taken relative to the program folder), without
    // duplicates. pathFileName wins over the file of that name in the
    // program's own folder for it (programPathFolder: the program folder, or
    // the user's for an installed program); only regular files are read, so
    // a missing or unreadable file, a folder, FIFO or device gives the
    // program folder alone.
    QList<QString> getSearchPaths(const QString &pathFileName, const QString &programFolder) const;

    // root, then every folder below it sorted by full path. Hidden folders are
    // left out; a link to a folder is listed, what lies below it is not.
    QList<QString> folderTree(const QString &root) const;

    // Where packages install help files: the folder zkhelp of each data
    // folder, the user's first (XDG_DATA_HOME, then each of XDG_DATA_DIRS),
    // each as its folderTree. Only existing folders, each once and none of
    // searched (compared as clean absolute paths).
    QList<QString> installedHelpFolders(const QList<QString> &searched) const;

    // The path of fileName (".zkhelp" appended when missing) in the first
    // search folder that holds it as a regular file (or a link to one), or an
    // empty string.
    QString findHelpFile(const QList<QString> &searchPaths, const QString &fileName) const;

    // Absolute paths of the help files directly in the search folders whose
    // names contain filter (case-insensitive, wildcards allowed), folders in
    // search order, each path once. Only regular files and links to them
    // count.
    QList<QString> findAllFiles(const QList<QString> &searchPaths, const QString &filter) const;

    // The files findAllFiles lists without a filter, each with its size and
    // modification time, taken in one pass over each folder.
    QList<HelpFileState> findAllFileStates(const QList<QString> &searchPaths) const;

    // The help files directly in folders (regular files and links to them)
    // whose names are not UTF-8. Qt cannot open them by name, so the other
    // look-ups leave them out; their paths show the undecodable bytes as
    // U+FFFD, for a report to name them.
    QList<QString> findUndecodableFiles(const QList<QString> &folders) const;
};

} // namespace ZkHelp
