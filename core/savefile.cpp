#include "savefile.h"

#include <QFile>
#include <QSaveFile>

namespace ZkHelp {

bool commitSaveFile(QSaveFile &file)
{
    // Qt 6.4's commit() flushes its write buffer itself but does not look at
    // the outcome, so content smaller than that buffer would be committed
    // cut short. An explicit flush reports it; cancelling makes commit()
    // discard the temporary file.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        file.cancelWriting();
    return file.commit();
}

bool saveFile(const QString &filePath, const QByteArray &bytes)
{
    QSaveFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
           commitSaveFile(file);
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
