#include "editorsession.h"

#include "sectionids.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtConcurrent>

namespace ZkHelp {

namespace {

// Placeholders the user replaces; the file still reads as a complete topic.
const QString placeholderText = QStringLiteral("...");

HelpData newFileTemplate()
{
    HelpData doc;
    doc.version = QStringLiteral("1.0");
    doc.author = QStringLiteral("Ich");
    doc.languages.insert(QStringLiteral("de"),
                         HelpLanguage{QStringLiteral("Neue Beschreibung"), {}});
    return doc;
}

} // namespace

void EditorSession::load(const QString &projectDir, const QStringList &members)
{
    edited.clear();
    onDisk.clear();
    ignoredVersions.clear();
    links = LinkResolver(linkFolders);
    const QDir dir(projectDir);
    QStringList paths;
    for (const QString &member : members) {
        const QString path = dir.filePath(member);
        if (QFile::exists(path))
            paths.append(path);
    }
    // Read on every core: parsing is most of the time a large project takes
    // to open.
    QList<Reading> readings = QtConcurrent::blockingMapped<QList<Reading>>(paths, &readQuietly);
    for (qsizetype i = 0; i < paths.size(); ++i)
        edited.insert(paths.at(i), remember(paths.at(i), std::move(readings[i])));
    stored = edited;
}

EditorSession::Fingerprint EditorSession::fingerprintOf(const QString &path)
{
    Fingerprint print;
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return print;
    print.size = info.size();
    print.modified = info.lastModified();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    print.hash = hash.result();
    return print;
}

// Taken right after the file is written, so that the version remembered is
// never newer than the one held.
void EditorSession::remember(const QString &path)
{
    onDisk.insert(path, fingerprintOf(path));
}

// The bytes are read once, for the hash and for the reader both: a project
// of thousands of files opens about as fast as it is parsed.
EditorSession::Reading EditorSession::readQuietly(const QString &path)
{
    Reading reading;
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return reading;
    reading.opened = true;
    reading.bytes = file.readAll();
    reading.print = {info.size(), info.lastModified(),
                     QCryptographicHash::hash(reading.bytes, QCryptographicHash::Sha1)};
    QBuffer buffer(&reading.bytes);
    buffer.open(QIODevice::ReadOnly);
    QString error;
    reading.doc = HelpParser().parseQuietly(buffer, error);
    squeezeTexts(reading.doc);
    reading.faulty = !error.isEmpty();
    if (!reading.faulty)
        reading.bytes.clear();
    return reading;
}

// A file that could not be opened or holds a fault is read again here, so
// that its warning reaches the log in the members' order.
HelpData EditorSession::remember(const QString &path, Reading reading)
{
    onDisk.insert(path, reading.print);
    if (!reading.opened)
        return parser.parse(path);
    if (!reading.faulty)
        return std::move(reading.doc);
    QBuffer buffer(&reading.bytes);
    buffer.open(QIODevice::ReadOnly);
    return parser.parse(buffer, path);
}

HelpData EditorSession::readAndRemember(const QString &path)
{
    return remember(path, readQuietly(path));
}

EditorSession::DiskChange EditorSession::diskChange(const QString &path)
{
    // Anything but a file in its place (a folder, say) holds no version of
    // the document either.
    const QFileInfo info(path);
    if (!info.isFile())
        return DiskChange::Deleted;
    const auto known = onDisk.find(path);
    if (known == onDisk.end())
        return DiskChange::None;
    if (known->size == info.size() && known->modified == info.lastModified())
        return DiskChange::None;
    const Fingerprint now = fingerprintOf(path);
    if (now.hash != known->hash)
        return DiskChange::Changed;
    // Touched but unchanged: the next look need not read it again.
    *known = now;
    return DiskChange::None;
}

void EditorSession::reload(const QString &path)
{
    const HelpData doc = readAndRemember(path);
    edited.insert(path, doc);
    stored.insert(path, doc);
    ignoredVersions.remove(path);
}

void EditorSession::ignoreDiskVersion(const QString &path)
{
    ignoredVersions.insert(path, fingerprintOf(path).hash);
}

bool EditorSession::diskVersionIgnored(const QString &path) const
{
    const auto ignored = ignoredVersions.constFind(path);
    return ignored != ignoredVersions.cend() && *ignored == fingerprintOf(path).hash;
}

QByteArray EditorSession::baseHash(const QString &path) const
{
    return onDisk.value(path).hash;
}

void EditorSession::recover(const QString &path, const HelpData &doc, const QByteArray &baseHash)
{
    HelpData *held = document(path);
    if (!held)
        return;
    *held = doc;
    onDisk.insert(path, Fingerprint{-1, QDateTime(), baseHash});
}

const HelpData *EditorSession::storedDocument(const QString &path) const
{
    const auto doc = stored.constFind(path);
    return doc == stored.cend() ? nullptr : &*doc;
}

const HelpData *EditorSession::document(const QString &path) const
{
    const auto doc = edited.constFind(path);
    return doc == edited.cend() ? nullptr : &*doc;
}

HelpData *EditorSession::document(const QString &path)
{
    const auto doc = edited.find(path);
    return doc == edited.end() ? nullptr : &*doc;
}

HelpLanguage *EditorSession::language(const QString &path, const QString &key)
{
    HelpData *doc = document(path);
    const auto lang = doc ? doc->languages.find(key) : QMap<QString, HelpLanguage>::iterator();
    return doc && lang != doc->languages.end() ? &*lang : nullptr;
}

HelpSection *EditorSession::section(const QString &path, const QString &key, int index)
{
    HelpLanguage *lang = language(path, key);
    return lang && index >= 0 && index < lang->sections.size() ? &lang->sections[index] : nullptr;
}

void EditorSession::drop(const QString &path)
{
    edited.remove(path);
    stored.remove(path);
    onDisk.remove(path);
    ignoredVersions.remove(path);
    // Links to the file led somewhere until now.
    links = LinkResolver(linkFolders);
}

QStringList EditorSession::changedFiles() const
{
    return unsaved().keys();
}

QMap<QString, RecoveredDocument> EditorSession::unsaved(const QMap<QString, HelpData> &typed) const
{
    QMap<QString, RecoveredDocument> documents;
    for (auto held = edited.cbegin(); held != edited.cend(); ++held) {
        const auto shown = typed.constFind(held.key());
        const HelpData &doc = shown == typed.cend() ? *held : *shown;
        const auto copy = stored.constFind(held.key());
        if (copy == stored.cend() || *copy != doc)
            documents.insert(held.key(), {doc, baseHash(held.key())});
    }
    return documents;
}

QString EditorSession::referenceLanguage(const QString &path) const
{
    const HelpData *doc = document(path);
    return doc ? ZkHelp::referenceLanguage(*doc, preferredReference) : QString();
}

QStringList EditorSession::languages() const
{
    QStringList keys;
    for (const HelpData &doc : edited)
        keys += doc.languages.keys();
    keys.sort();
    keys.removeDuplicates();
    return keys;
}

QList<Finding> EditorSession::findings(const QString &path, const QStringList &setLanguages) const
{
    const HelpData *doc = document(path);
    return doc ? brokenLinks(path, *doc, links) +
                     checkDocument(path, *doc, setLanguages, preferredReference)
               : QList<Finding>();
}

std::optional<HelpData> EditorSession::withSectionsConfirmed(const QString &path,
                                                             const QString &key, int index) const
{
    const HelpData *doc = document(path);
    const QString reference = referenceLanguage(path);
    if (!doc || key == reference || !doc->languages.contains(key))
        return std::nullopt;
    HelpData changed = *doc;
    QList<HelpSection> &sections = changed.languages[key].sections;
    for (int i = 0; i < sections.size(); ++i) {
        const HelpSection *source = pairedSection(*doc, reference, sections.at(i), i);
        if (source && (index < 0 || i == index))
            sections[i].basis = basisFor(reference, *source);
    }
    return changed;
}

// A translated section whose name or text the user changed was translated
// from the reference text as it stands now.
void EditorSession::confirmEditedTranslations(const QString &path, HelpData &doc) const
{
    const HelpData *copy = storedDocument(path);
    const QString reference = ZkHelp::referenceLanguage(doc, preferredReference);
    if (!copy || reference.isEmpty())
        return;
    const HelpData current = doc;
    for (auto lang = doc.languages.begin(); lang != doc.languages.end(); ++lang) {
        const QList<HelpSection> before = copy->languages.value(lang.key()).sections;
        for (int i = 0; lang.key() != reference && i < lang->sections.size(); ++i) {
            HelpSection &section = lang->sections[i];
            const bool edited = i < before.size() && (before.at(i).name != section.name ||
                                                      before.at(i).content != section.content);
            const HelpSection *source = pairedSection(current, reference, section, i);
            if (edited && source)
                section.basis = basisFor(reference, *source);
        }
    }
}

bool EditorSession::save(const QString &path)
{
    HelpData *doc = document(path);
    if (!doc) {
        lastError = QStringLiteral("Keine Hilfedatei gewählt.");
        return false;
    }
    confirmEditedTranslations(path, *doc);
    if (!writer.writeXml(*doc, path, &lastError))
        return false;
    remember(path);
    ignoredVersions.remove(path);
    stored.insert(path, *doc);
    return true;
}

std::optional<HelpData> EditorSession::withLanguageAdded(const QString &path,
                                                         const QString &key) const
{
    const HelpData *doc = document(path);
    if (!doc || doc->languages.contains(key))
        return std::nullopt;
    HelpData changed = *doc;
    changed.languages.insert(key, HelpLanguage{placeholderText, {}});
    return changed;
}

std::optional<HelpData> EditorSession::withSectionAdded(const QString &path, const QString &key,
                                                        const QString &name) const
{
    const HelpData *doc = document(path);
    if (!doc || !doc->languages.contains(key))
        return std::nullopt;
    HelpData changed = *doc;
    const QString id = proposedSectionId(*doc, key, int(doc->languages.value(key).sections.size()),
                                         referenceLanguage(path), name, sectionIds(*doc, key));
    changed.languages[key].sections.append(HelpSection{name, placeholderText, {}, id});
    return changed;
}

std::optional<HelpData> EditorSession::withLanguageRemoved(const QString &path,
                                                           const QString &key) const
{
    const HelpData *doc = document(path);
    if (!doc || !doc->languages.contains(key))
        return std::nullopt;
    HelpData changed = *doc;
    changed.languages.remove(key);
    return changed;
}

std::optional<HelpData> EditorSession::withSectionRemoved(const QString &path, const QString &key,
                                                          int index) const
{
    const HelpData *doc = document(path);
    if (!doc || !doc->languages.contains(key))
        return std::nullopt;
    HelpData changed = *doc;
    QList<HelpSection> &sections = changed.languages[key].sections;
    if (index < 0 || index >= sections.size())
        return std::nullopt;
    sections.removeAt(index);
    return changed;
}

bool EditorSession::replaceAndSave(const QString &path, const HelpData &changed)
{
    HelpData *doc = document(path);
    if (!doc) {
        lastError = QStringLiteral("Keine Hilfedatei gewählt.");
        return false;
    }
    const HelpData before = *doc;
    *doc = changed;
    if (save(path))
        return true;
    *document(path) = before;
    return false;
}

bool EditorSession::createFile(const QString &path)
{
    return writer.writeXml(newFileTemplate(), path, &lastError);
}

} // namespace ZkHelp
