// Which help files make up a set, as the set check takes it, and where their
// links are looked up.
#pragma once

#include <QList>
#include <QString>

namespace ZkHelp {

class HelpCollection;

struct HelpSet
{
    QList<QString> files; // absolute paths; with namesShadow, earlier ones win
    QList<QString> linkFolders;
    bool namesShadow = false;
    // Help files of the set that cannot be read by name (not UTF-8).
    QList<QString> undecodable;
    // The folders a file's name in the set is taken relative to, the first
    // that holds it.
    QList<QString> nameFolders{};
};

// The name of path in set: relative to the first of its nameFolders that
// holds it, with '/' and without the extension; empty when none does.
QString memberName(const HelpSet &set, const QString &path);

// Every help file directly in the collection's search folders; a later file
// of a name already seen is hidden by the earlier one.
HelpSet searchFolderSet(const HelpCollection &collection);

// Every help file in folder and its subfolders, hidden ones aside; links
// resolve along folder, its subfolders and then the collection's search
// folders.
HelpSet folderSet(const QString &folder, const HelpCollection &collection);

// The folders the links of folderSet's files are looked up along.
QList<QString> folderLinkFolders(const QString &folder, const HelpCollection &collection);

} // namespace ZkHelp
