#include "savefile.h"

#include <QFile>
#include <QSaveFile>

namespace ZkHelp {

namespace {

bool failWith(const QFileDevice &file, QString *errorString)
{
    if (errorString)
        *errorString = file.errorString();
    return false;
}

} // namespace

bool commitSaveFile(QSaveFile &file, QString *errorString)
{
    // Qt 6.4's commit() flushes its write buffer itself but does not look at
    // the outcome, so content smaller than that buffer would be committed
    // cut short. An explicit flush reports it; cancelling makes commit()
    // discard the temporary file. The reason is taken before the cancel
    // replaces it with its own.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit();
        if (errorString)
            *errorString = reason;
        return false;
    }
    return file.commit() || failWith(file, errorString);
}

bool saveFile(const QString &filePath, const QByteArray &bytes, QString *errorString)
{
    QSaveFile file(filePath);
    // A save file left uncommitted removes its temporary file when it goes.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return failWith(file, errorString);
    return commitSaveFile(file, errorString);
}

bool writeNewFile(const QString &filePath, const QByteArray &bytes)
{
    // Unbuffered, so that the write's result already tells whether every
    // byte reached the file; close() reports a late failure as an error.
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    if (written && file.error() == QFileDevice::NoError)
        return true;
    file.remove();
    return false;
}

} // namespace ZkHelp
