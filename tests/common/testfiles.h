// Small file helpers shared by the test executables.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <sys/stat.h>

namespace TestFiles {

// Writes bytes to path, creating missing parent folders; false on failure.
inline bool write(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The whole content of path, or an empty array when it cannot be read.
inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes path what spec says: "->TARGET" a link to TARGET, "|" a FIFO, other
// bytes a file of them; false on failure.
inline bool make(const QString &path, const QByteArray &spec)
{
    if (!spec.startsWith("->") && spec != "|")
        return write(path, spec);
    return QDir().mkpath(QFileInfo(path).absolutePath()) &&
           (spec == "|" ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                        : QFile::link(QString::fromUtf8(spec.mid(2)), path));
}

// What stands at path in make()'s terms, found without following a link or
// opening anything else but a regular file: "missing" when nothing does.
inline QByteArray kind(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return "->" + QFile::encodeName(info.symLinkTarget());
    if (!info.exists())
        return "missing";
    return info.isFile() ? read(path) : "|";
}

} // namespace TestFiles
