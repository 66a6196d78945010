#include "canonicalpaths.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace ZkHelp {

namespace {

QString canonicalFileByName(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.canonicalFilePath() : QString();
}

} // namespace

QString CanonicalPaths::ofFile(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return canonicalFileByName(path);
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    // A link is resolved whole: where it leads decides the folder.
    if (S_ISLNK(info.st_mode))
        return canonicalFileByName(path);
    if (!S_ISREG(info.st_mode))
        return QString();
    const QString folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
    auto it = folders.constFind(folder);
    if (it == folders.cend())
        it = folders.insert(folder, QFileInfo(folder).canonicalFilePath());
    if (it->isEmpty())
        return canonicalFileByName(path);
    return (it->endsWith(u'/') ? *it : *it + u'/') + path.sliced(slash + 1);
}

} // namespace ZkHelp
