#include "sitewriter.h"

#include "savefile.h"
#include "siteassets.h"
#include "sitepages.h"
#include "sitesearchindex.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace ZkHelp {

namespace {

// The first line of the list, so that a file of that name the site did not
// write is never taken for one.
const QByteArray listHeader = "# zkhelp -site\n";

// path made absolute along its nearest existing folder, links resolved, so
// that a folder still to be made compares with the set's folders too.
QString resolvedPath(const QString &path)
{
    QString rest;
    QFileInfo info(QDir::cleanPath(QDir(path).absolutePath()));
    while (!info.exists() && !info.isRoot()) {
        rest = u'/' + info.fileName() + rest;
        info.setFile(info.absolutePath());
    }
    return QDir::cleanPath(info.canonicalFilePath() + rest);
}

bool isInside(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

// A name in the list that stays inside the output folder: the list is a file
// anyone could have edited.
bool isSafeEntry(const QString &entry)
{
    return !entry.isEmpty() && !QDir::isAbsolutePath(entry) && QDir::cleanPath(entry) == entry &&
           entry != u".." && !entry.startsWith(QStringLiteral("../")) &&
           entry != SiteWriter::listName;
}

QString failedWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("Datei konnte nicht geschrieben werden: %1: %2").arg(path, reason);
}

} // namespace

const QString SiteWriter::listName = QStringLiteral(".zkhelp-site");

SiteWriter::SiteWriter(const QString &outputDir)
    : dir(outputDir)
{}

QString SiteWriter::refusal(const QList<QString> &setFolders) const
{
    const QFileInfo info(dir.path());
    if (info.exists() && !info.isDir())
        return QStringLiteral("Kein Ordner: %1").arg(dir.path());
    const QString resolved = resolvedPath(dir.path());
    for (const QString &folder : setFolders) {
        if (isInside(resolved, resolvedPath(folder)))
            return QStringLiteral("Ausgabeordner liegt im Ordner des Hilfesatzes: %1")
                .arg(dir.path());
    }
    if (!info.exists() ||
        dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return QString();
    QFile list(dir.filePath(listName));
    if (!list.open(QIODevice::ReadOnly) || list.readLine() != listHeader)
        return QStringLiteral("Ordner ist nicht leer und nicht von -site angelegt: %1")
            .arg(dir.path());
    return QString();
}

QStringList SiteWriter::writtenBefore() const
{
    QFile list(dir.filePath(listName));
    if (!list.open(QIODevice::ReadOnly) || list.readLine() != listHeader)
        return {};
    QStringList entries = QString::fromUtf8(list.readAll()).split(u'\n');
    entries.removeIf([](const QString &entry) { return !isSafeEntry(entry); });
    return entries;
}

QByteArray SiteWriter::listBytes(QStringList paths) const
{
    paths.sort();
    paths.removeDuplicates();
    return listHeader + paths.join(u'\n').toUtf8() + (paths.isEmpty() ? "" : "\n");
}

QList<SiteWriter::Output> SiteWriter::outputs(const SiteModel &model, const QString &baseUrl) const
{
    QList<Output> files{
        {QStringLiteral("style.css"), [] { return QByteArray(siteStyleSheet); }},
        {QStringLiteral("search.js"), [] { return QByteArray(siteSearchScript); }},
        {QStringLiteral("index.html"), [&model] { return siteRootPage(model); }},
    };
    if (!baseUrl.isEmpty())
        files.append(
            {QStringLiteral("sitemap.xml"), [&model, baseUrl] { return siteMap(model, baseUrl); }});
    for (const QString &key : model.languages) {
        files.append({key + QStringLiteral("/index.html"),
                      [&model, key] { return siteContentsPage(model, key); }});
        files.append({key + QStringLiteral("/search.html"), [key] { return siteSearchPage(key); }});
        files.append({key + QStringLiteral("/search-index.js"),
                      [&model, key] { return siteSearchIndex(model, key); }});
        for (int i = 0; i < model.topics.size(); ++i) {
            if (model.topics.at(i).data.languages.contains(key))
                files.append({key + u'/' + sitePagePath(model.topics.at(i)),
                              [&model, i, key] { return siteTopicPage(model, i, key); }});
        }
    }
    return files;
}

// Whether folder, made where missing, lies in the output folder once links
// are followed: a link put there must not lead the pages elsewhere.
bool SiteWriter::holdsFolder(const QString &folder)
{
    if (checkedFolders.contains(folder))
        return true;
    if (!QDir().mkpath(folder) || !isInside(QFileInfo(folder).canonicalFilePath(), canonicalRoot))
        return false;
    checkedFolders.append(folder);
    return true;
}

bool SiteWriter::put(const QString &relative, const QByteArray &bytes, QString &error)
{
    const QString path = dir.filePath(relative);
    const QFileInfo info(path);
    if (!holdsFolder(info.absolutePath())) {
        error = failedWrite(path, QStringLiteral("Ordner nicht anlegbar oder ausserhalb"));
        return false;
    }
    // A link is replaced, never written through.
    if (info.isSymLink() && !QFile::remove(path)) {
        error = failedWrite(path, QStringLiteral("Verknuepfung nicht entfernbar"));
        return false;
    }
    if (info.isFile() && !info.isSymLink()) {
        QFile old(path);
        // Unchanged pages keep their time, so that a mirror copies only changes.
        if (info.size() == bytes.size() && old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
            return true;
        QString reason;
        if (saveFile(path, bytes, &reason))
            return true;
        error = failedWrite(path, reason);
        return false;
    }
    if (writeNewFile(path, bytes))
        return true;
    error = failedWrite(path, QFile(path).exists() ? QStringLiteral("keine regulaere Datei")
                                                   : QStringLiteral("nicht anlegbar"));
    return false;
}

void SiteWriter::removeGone(const QStringList &before, const QStringList &now,
                            QStringList &failures)
{
    const QSet<QString> kept(now.cbegin(), now.cend());
    for (const QString &entry : before) {
        if (kept.contains(entry))
            continue;
        const QString path = dir.filePath(entry);
        const QFileInfo info(path);
        if (!info.isSymLink() && !info.exists())
            continue;
        if (!isInside(QFileInfo(info.absolutePath()).canonicalFilePath(), canonicalRoot) ||
            (!info.isFile() && !info.isSymLink()) || !QFile::remove(path)) {
            failures.append(QStringLiteral("Datei konnte nicht entfernt werden: %1").arg(path));
            continue;
        }
        // Folders the site made for pages now gone go with them when empty.
        for (QString folder = QFileInfo(entry).path(); folder != u".";
             folder = QFileInfo(folder).path()) {
            if (!dir.rmdir(folder))
                break;
        }
    }
}

QStringList SiteWriter::write(const SiteModel &model, const QString &baseUrl,
                              const std::function<void(int, int)> &progress)
{
    QStringList failures;
    if (!dir.mkpath(QStringLiteral("."))) {
        failures.append(QStringLiteral("Konnte Ausgabeordner nicht erstellen: %1").arg(dir.path()));
        return failures;
    }
    canonicalRoot = QFileInfo(dir.path()).canonicalFilePath();
    checkedFolders.clear();
    const QList<Output> files = outputs(model, baseUrl);
    QStringList now;
    for (const Output &file : files)
        now.append(file.path);
    const QStringList before = writtenBefore();
    QString error;
    // Listed before any page is written, so that a run cut short leaves a
    // folder the next run still knows as its own.
    if (!put(listName, listBytes(before + now), error)) {
        failures.append(error);
        return failures;
    }
    for (int i = 0; i < files.size(); ++i) {
        if (!put(files.at(i).path, files.at(i).bytes(), error))
            failures.append(error);
        if (progress)
            progress(i + 1, int(files.size()));
    }
    removeGone(before, now, failures);
    if (!put(listName, listBytes(now), error))
        failures.append(error);
    return failures;
}

} // namespace ZkHelp
