#include "searchchanges.h"

#include <QHashFunctions>

namespace ZkHelp {

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

qint64 fileStamp(const HelpFileState &file)
{
    return qint64(quint32(qHashMulti(0, file.path, file.size, file.modified)));
}

QHash<QString, FolderTotals> folderTotals(const QList<HelpFileState> &files)
{
    QHash<QString, FolderTotals> totals;
    for (const HelpFileState &file : files) {
        FolderTotals &folder = totals[folderOf(file.path)];
        ++folder.files;
        folder.stamps += fileStamp(file);
    }
    return totals;
}

QSet<QString> changedFolders(const QSet<QString> &folders, const QList<HelpFileState> &listed,
                             const QHash<QString, FolderTotals> &stored)
{
    const QHash<QString, FolderTotals> onDisk = folderTotals(listed);
    QSet<QString> changed;
    for (const QString &folder : folders) {
        if (!(onDisk.value(folder) == stored.value(folder)))
            changed.insert(folder);
    }
    return changed;
}

UpdatePlan planUpdate(const QList<HelpFileState> &listed, const QSet<QString> &changed,
                      QHash<QString, StoredFile> known)
{
    UpdatePlan plan;
    if (changed.isEmpty())
        return plan;
    for (const HelpFileState &file : listed) {
        const auto stored = known.constFind(file.path);
        if (stored == known.cend()) {
            if (changed.contains(folderOf(file.path)))
                plan.read.append(file);
            continue;
        }
        if (stored->size != file.size || stored->modified != file.modified)
            plan.read.append(file);
        known.erase(stored);
    }
    // What is left is gone from disk.
    plan.forget = std::move(known);
    return plan;
}

} // namespace ZkHelp
