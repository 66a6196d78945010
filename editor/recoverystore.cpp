#include "recoverystore.h"

#include "helpparser.h"
#include "savefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ZkHelp {

namespace {

const QString indexName = QStringLiteral("index.json");

// A copy's name says nothing of the path, which the index holds: any path
// becomes a plain, short file name.
QString copyName(const QString &path)
{
    return QString::fromLatin1(
               QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".zkhelp");
}

} // namespace

RecoveryStore::RecoveryStore(const QString &root)
    : root(root)
{}

void RecoveryStore::setProject(const QString &projectDir)
{
    const QByteArray key = QDir(projectDir).absolutePath().toUtf8();
    projectFolder = QDir(root).filePath(QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16)));
    kept.clear();
}

bool RecoveryStore::keep(const QMap<QString, RecoveredDocument> &documents)
{
    if (documents.isEmpty()) {
        clear();
        return true;
    }
    const QDir dir(projectFolder);
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    bool written = true;
    bool changed = documents.size() != kept.size();
    QJsonArray index;
    for (auto it = documents.cbegin(); it != documents.cend(); ++it) {
        const auto known = kept.constFind(it.key());
        const bool same = known != kept.cend() && known->document == it->document &&
                          known->baseHash == it->baseHash;
        changed = changed || !same;
        if (!same && !writer.writeXml(it->document, dir.filePath(copyName(it.key()))))
            written = false;
        index.append(
            QJsonObject{{QStringLiteral("path"), it.key()},
                        {QStringLiteral("base"), QString::fromLatin1(it->baseHash.toHex())}});
    }
    if (!changed)
        return true;
    for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
        if (!documents.contains(it.key()))
            QFile::remove(dir.filePath(copyName(it.key())));
    }
    written = saveFile(dir.filePath(indexName), QJsonDocument(index).toJson()) && written;
    kept = written ? documents : QMap<QString, RecoveredDocument>();
    return written;
}

QMap<QString, RecoveredDocument> RecoveryStore::read() const
{
    QMap<QString, RecoveredDocument> documents;
    QFile file(QDir(projectFolder).filePath(indexName));
    if (projectFolder.isEmpty() || !file.open(QIODevice::ReadOnly))
        return documents;
    const HelpParser parser;
    const QJsonArray index = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue &entry : index) {
        const QString path = entry[QStringLiteral("path")].toString();
        const QString copy = QDir(projectFolder).filePath(copyName(path));
        if (path.isEmpty() || !QFileInfo::exists(copy))
            continue;
        documents.insert(
            path, {parser.parse(copy),
                   QByteArray::fromHex(entry[QStringLiteral("base")].toString().toLatin1())});
    }
    return documents;
}

void RecoveryStore::clear()
{
    kept.clear();
    if (!projectFolder.isEmpty())
        QDir(projectFolder).removeRecursively();
}

} // namespace ZkHelp
