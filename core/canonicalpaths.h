// Canonical paths of many files that share few folders, as the set check
// needs them to tell one file reached by two names.
#pragma once

#include <QHash>
#include <QString>

namespace ZkHelp {

class CanonicalPaths
{
public:
    // The canonical path of the regular file at path (a link to one is
    // followed), as QFileInfo::canonicalFilePath() gives it, or an empty
    // string when path is no regular file. A file that is no link costs one
    // lstat: its folder is resolved once for all of its files, where a
    // resolution of its own path reads every folder of it as a link again.
    QString ofFile(const QString &path);

private:
    QHash<QString, QString> folders; // as named -> canonical
};

} // namespace ZkHelp
