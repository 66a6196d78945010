// Small file helpers shared by the test executables.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMetaType>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The files of a test: each path below a folder with the bytes it holds.
using FileSet = QMap<QString, QByteArray>;
Q_DECLARE_METATYPE(FileSet)

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

// Writes bytes to a file whose name may be any bytes, such as a name that is
// not UTF-8 and that no QString can name.
inline bool writeNative(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

// Makes path what entry says: "->TARGET" a link to TARGET, "|" a FIFO, other
// bytes a file of them; false on failure.
inline bool make(const QString &path, const QByteArray &entry)
{
    if (!entry.startsWith("->") && entry != "|")
        return write(path, entry);
    return QDir().mkpath(QFileInfo(path).absolutePath()) &&
           (entry == "|" ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                         : QFile::link(QString::fromUtf8(entry.mid(2)), path));
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

// Writes every file of set below root; false on the first failure.
inline bool writeSet(const QString &root, const FileSet &set)
{
    for (auto it = set.cbegin(); it != set.cend(); ++it) {
        if (!write(root + u'/' + it.key(), it.value()))
            return false;
    }
    return true;
}

// The paths of set as they now are below root.
inline FileSet readSet(const QString &root, const FileSet &set)
{
    FileSet now;
    for (auto it = set.cbegin(); it != set.cend(); ++it)
        now.insert(it.key(), read(root + u'/' + it.key()));
    return now;
}

} // namespace TestFiles
