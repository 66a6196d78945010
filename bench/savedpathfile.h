// Keeps the "Path" file beside the benchmark program as it was: opening or
// registering a project appends to it.
#pragma once

#include "projectmanager.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

class SavedPathFile
{
public:
    SavedPathFile()
    {
        if (QFile file(path); file.open(QIODevice::ReadOnly))
            saved = file.readAll();
    }
    ~SavedPathFile()
    {
        QFile::remove(path);
        if (QFile file(path); saved && file.open(QIODevice::WriteOnly))
            file.write(*saved);
    }
    SavedPathFile(const SavedPathFile &) = delete;
    SavedPathFile &operator=(const SavedPathFile &) = delete;

    const QString path = ZkHelp::ProjectManager::globalPathFile();

private:
    std::optional<QByteArray> saved;
};
