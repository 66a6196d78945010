// Moves help files and projects between their modern form (UTF-8 .zkhelp files with long
// names, XML project files) and their DOS form (Latin-1 .ZKH files with 8.3 names, plain
// project lists).
#pragma once

#include <QString>

namespace ZkHelp {

// All operations report failures by their result and a critical line on the message log,
// and successes by an informational line. None of them throws.
class Converter
{
public:
    Converter() = delete;

    // Returns a path in the folder of path whose name is the first free one of STEM~1.ZKH
    // to STEM~998.ZKH, or an empty string when all of them exist. Never returns the path of
    // an existing file.
    static QString toDos83(const QString &path);

    // Returns the absolute path of path with its last extension replaced by .zkhelp.
    static QString toWinName(const QString &path);

    // Re-encodes inPath into outPath: UTF-8 to Latin-1, or back when toWin is true.
    // Returns false when the input cannot be read or the output cannot be written
    // completely; an existing outPath is then left as it was.
    static bool convertFile(const QString &inPath, const QString &outPath, bool toWin);

    // Converts every file matching the wildcard name of pattern in its folder, each to its
    // own name beside it. Returns false when any of them failed; the others are still done.
    // A DOS batch never overwrites an existing file. A failed write leaves no output behind;
    // an existing help file that a batch back was to replace keeps its bytes.
    static bool processBatch(const QString &pattern, bool toWin);

    // Writes the DOS list of the members of the project file projectPath. Returns false,
    // leaving listPath as it was, when the project cannot be read or is not well-formed,
    // or the list cannot be written.
    static bool convertProject2Dos(const QString &projectPath, const QString &listPath);

    // Writes a project file named name with one member per entry of the DOS list listPath.
    // Returns false, leaving projectPath as it was, when either file fails.
    static bool convertProject2Win(const QString &listPath, const QString &projectPath,
                                   const QString &name);
};

} // namespace ZkHelp
