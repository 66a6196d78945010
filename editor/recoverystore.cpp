#include "recoverystore.h"

#include "helpparser.h"
#include "savefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <filesystem>
#include <system_error>

namespace ZkHelp {

namespace {

const QString indexName = QStringLiteral("index.json");

// A copy's name says nothing of the path, which the index holds: any path
// becomes a plain, short file name.
QString copyName(const QString &path)
{
    return QString::fromLatin1(
               QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex()) +
           helpFileExtension;
}

// Whether name is one the store gives the files it writes.
bool isStoreName(const QString &name)
{
    static const QRegularExpression copy(QStringLiteral("^[0-9a-f]{40}") +
                                         QRegularExpression::escape(helpFileExtension) + u'$');
    return name == indexName || copy.match(name).hasMatch();
}

enum class Kind { Folder, File };

// Whether path itself, not what a link there points to, is of kind.
bool is(const QString &path, Kind kind)
{
    const QFileInfo info(path);
    return !info.isSymLink() && (kind == Kind::Folder ? info.isDir() : info.isFile());
}

// Leaves at path nothing or something of kind: anything else goes, a link as
// a link. False when it could not go.
bool makeRoom(const QString &path, Kind kind)
{
    const QFileInfo info(path);
    const bool free = !info.isSymLink() && !info.exists();
    return free || is(path, kind) || QFile::remove(path);
}

bool makeFolder(const QString &path)
{
    return makeRoom(path, Kind::Folder) && QDir().mkpath(path);
}

// Takes a damaged copy out of the store's names. Not QFile::rename: when the
// rename fails it copies the content over, which would open a FIFO or read
// the device a link points to.
void setAside(const QString &copy)
{
    std::error_code ignored;
    std::filesystem::rename(QFile::encodeName(copy).constData(),
                            QFile::encodeName(copy + QStringLiteral(".damaged")).constData(),
                            ignored);
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

QString RecoveryStore::copyPath(const QString &path) const
{
    return QDir(projectFolder).filePath(copyName(path));
}

bool RecoveryStore::keep(const QMap<QString, RecoveredDocument> &documents)
{
    if (documents.isEmpty()) {
        clear();
        return true;
    }
    if (!makeFolder(root) || !makeFolder(projectFolder))
        return false;
    bool written = true;
    bool changed = documents.size() != kept.size();
    QJsonArray index;
    for (auto it = documents.cbegin(); it != documents.cend(); ++it) {
        const auto known = kept.constFind(it.key());
        const bool same = known != kept.cend() && known->document == it->document &&
                          known->baseHash == it->baseHash;
        changed = changed || !same;
        const QString copy = copyPath(it.key());
        if (!same && !(makeRoom(copy, Kind::File) && writer.writeXml(it->document, copy)))
            written = false;
        index.append(
            QJsonObject{{QStringLiteral("path"), it.key()},
                        {QStringLiteral("base"), QString::fromLatin1(it->baseHash.toHex())}});
    }
    if (!changed)
        return true;
    for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
        if (!documents.contains(it.key()))
            QFile::remove(copyPath(it.key()));
    }
    const QString indexPath = QDir(projectFolder).filePath(indexName);
    written = makeRoom(indexPath, Kind::File) &&
              saveFile(indexPath, QJsonDocument(index).toJson()) && written;
    kept = written ? documents : QMap<QString, RecoveredDocument>();
    return written;
}

RecoveredEdits RecoveryStore::read()
{
    RecoveredEdits edits;
    const QString indexPath = QDir(projectFolder).filePath(indexName);
    QFile file(indexPath);
    if (projectFolder.isEmpty() || !is(root, Kind::Folder) || !is(projectFolder, Kind::Folder) ||
        !is(indexPath, Kind::File) || !file.open(QIODevice::ReadOnly))
        return edits;
    const HelpParser parser;
    const QJsonArray index = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue &entry : index) {
        const QString path = entry[QStringLiteral("path")].toString();
        const QString copy = copyPath(path);
        const QFileInfo info(copy);
        if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
            continue;
        QString error;
        const bool plain = is(copy, Kind::File);
        const HelpData document = plain ? parser.parseQuietly(copy, error) : HelpData();
        if (plain && error.isEmpty()) {
            edits.documents.insert(
                path, {document,
                       QByteArray::fromHex(entry[QStringLiteral("base")].toString().toLatin1())});
        } else {
            setAside(copy);
            edits.damaged.append(path);
        }
    }
    return edits;
}

void RecoveryStore::clear()
{
    kept.clear();
    if (projectFolder.isEmpty() || !makeRoom(root, Kind::Folder) ||
        !makeRoom(projectFolder, Kind::Folder))
        return;
    const QDir dir(projectFolder);
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (isStoreName(name))
            QFile::remove(dir.filePath(name));
    }
    QDir().rmdir(projectFolder);
}

} // namespace ZkHelp
