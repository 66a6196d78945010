// The search-path file "Path": one folder per line, blank lines ignored. The
// console tool and the viewer read it, create it on a first run, and the
// editor appends its project folders to it; this is the one place that
// knows its bytes, and where a program's own file lies.
#pragma once

#include <QList>
#include <QString>

namespace ZkHelp {

// The lines of the search-path file at path, trimmed, blank ones left out,
// in file order, as written (neither resolved nor cleaned). Only a regular
// file is read: anything else, or a file that cannot be opened, gives an
// empty list.
QList<QString> readSearchPathFile(const QString &path);

// Creates or replaces path in one step, one folder per line. Returns false,
// with *errorString (when given) set to the reason, when it cannot be written.
bool writeSearchPathFile(const QString &path, const QList<QString> &folders,
                         QString *errorString = nullptr);

// Appends one line per folder (native separators) to path, creating it and
// its folder when missing; a last line without its line feed gets one
// first, so that it cannot swallow the first new folder. Existing lines are never rewritten.
// Returns false, with *errorString (when given) set to the reason, when the
// file cannot be opened for appending or a write fails.
bool appendToSearchPathFile(const QString &path, const QList<QString> &folders,
                            QString *errorString = nullptr);

// Whether programFolder is installedBinFolder, the folder a build installs
// its programs to: compared as canonical paths, or as clean absolute paths
// where a folder does not exist.
bool isInstalledProgramFolder(const QString &programFolder, const QString &installedBinFolder);

// isInstalledProgramFolder for the folder this build installs its programs
// to.
bool isInstalledProgram(const QString &programFolder);

// The folder whose "Path" is the program's own, used where the working
// folder has none and registered in by the editor: programFolder, or for an
// installed program, which must not write beside itself and serves every
// user, the user's configuration folder zkhelp.
QString programPathFolder(const QString &programFolder);

} // namespace ZkHelp
