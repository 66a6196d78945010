// Unsaved edits kept outside the project, so that a crash, a killed session
// or a power cut loses nothing: one folder per project under the editor's
// application data, never inside the project folder itself.
#pragma once

#include "helpdata.h"
#include "helpwriter.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace ZkHelp {

struct RecoveredDocument
{
    HelpData document;
    // Hash of the disk version the edits were made on.
    QByteArray baseHash;
};

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

    // What is kept for the project, from an earlier session or this one.
    QMap<QString, RecoveredDocument> read() const;

    // Drops everything kept for the project.
    void clear();

    // The project's folder under root.
    QString folder() const { return projectFolder; }

private:
    QString root;
    QString projectFolder;
    QMap<QString, RecoveredDocument> kept;
    HelpWriter writer;
};

} // namespace ZkHelp
