// Unsaved edits kept outside the project, so that a crash, a killed session
// or a power cut loses nothing: one folder per project under the editor's
// application data, never inside the project folder itself.
#pragma once

#include "helpdata.h"
#include "helpwriter.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace ZkHelp {

struct RecoveredDocument
{
    HelpData document;
    // Hash of the disk version the edits were made on.
    QByteArray baseHash;
};

// What read() found for the project.
struct RecoveredEdits
{
    // The copies read whole, keyed by full path.
    QMap<QString, RecoveredDocument> documents;
    // The paths whose copy could not be read whole (cut short, no XML, no
    // regular file): never offered, their copy set aside as damaged.
    QStringList damaged;
};

// Nothing it finds in its folders is followed: a link, or anything else where
// a folder or a file of its own belongs, is removed (a link as a link, never
// its target) before the store writes there, and is never read.
class RecoveryStore
{
public:
    // root holds one folder per project.
    explicit RecoveryStore(const QString &root);

    // The project whose edits are kept from now on (its absolute folder).
    void setProject(const QString &projectDir);

    // Makes the kept edits exactly documents (keyed by full path): writes
    // each that differs from what is kept already, through atomic saves,
    // and drops the others. With no documents the project's folder goes.
    // Returns false when a write failed.
    bool keep(const QMap<QString, RecoveredDocument> &documents);

    // What is kept for the project, from an earlier session or this one. A
    // damaged copy is renamed to copyPath() plus ".damaged", so that no later
    // keep() or clear() replaces what may still be salvaged from it.
    RecoveredEdits read();

    // Drops everything kept for the project: the files the store wrote, then
    // the folder if nothing else is left in it.
    void clear();

    // The project's folder under root.
    QString folder() const { return projectFolder; }

    // Where the copy of the document at path is kept.
    QString copyPath(const QString &path) const;

private:
    QString root;
    QString projectFolder;
    QMap<QString, RecoveredDocument> kept;
    HelpWriter writer;
};

} // namespace ZkHelp
