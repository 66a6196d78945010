// The documents of the project the editor has open, apart from any window:
// each member's document as edited, keyed by its full path, beside the copy
// last read from or written to its file, and the edits that change a
// document's structure. The window shows what it holds and turns its
// results into boxes.
#pragma once

#include "helpcheck.h"
#include "helpdata.h"
#include "helpparser.h"
#include "helpwriter.h"
#include "recoverystore.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace ZkHelp {

class EditorSession
{
public:
    // How the file of a document stands against what it was when the session
    // last read or wrote it.
    enum class DiskChange {
        None,    // the same bytes (a touch without change is none)
        Changed, // other bytes: another program wrote it
        Deleted, // or no longer a file
    };

    // The folders links are looked up along, for the broken links findings()
    // names; taken from the next load on.
    void setLinkFolders(const QList<QString> &folders) { linkFolders = folders; }

    // Forgets every document, then reads each member (relative to
    // projectDir) that exists; those read count as stored.
    void load(const QString &projectDir, const QStringList &members);

    // The document of path as edited, or nullptr when none is held (a folder,
    // a member gone from the disk). The pointer lives until the next load.
    const HelpData *document(const QString &path) const;
    HelpData *document(const QString &path);
    // The language key of that document, or its section at index; nullptr
    // when there is none.
    HelpLanguage *language(const QString &path, const QString &key);
    HelpSection *section(const QString &path, const QString &key, int index);

    // The paths of every document held, sorted.
    QStringList paths() const { return edited.keys(); }

    // Forgets the document of path, as after its file was deleted.
    void drop(const QString &path);

    // The copy of path last read or written, or nullptr.
    const HelpData *storedDocument(const QString &path) const;

    // Paths of the documents that differ from their stored copies, sorted.
    QStringList changedFiles() const;

    // The documents that differ from their stored copies, each with the hash
    // of the disk version it is an edit of. A document of typed (fields
    // typed but not yet moved into the session) stands in for the one held
    // for its path; one of a path not held counts for nothing.
    QMap<QString, RecoveredDocument> unsaved(const QMap<QString, HelpData> &typed = {}) const;

    // Compares path's file with the version last read or written: size and
    // modification time first, the bytes' hash only when those differ.
    DiskChange diskChange(const QString &path);

    // Reads path anew: the document and its stored copy become the file's,
    // edits dropped.
    void reload(const QString &path);

    // Remembers the present disk version of path as one the user chose to
    // keep the edits over; diskVersionIgnored() tells whether it still is.
    void ignoreDiskVersion(const QString &path);
    bool diskVersionIgnored(const QString &path) const;

    // The hash of the disk version the document of path was read from or
    // last written as (empty when none is known).
    QByteArray baseHash(const QString &path) const;

    // Takes doc as the edited document of path, an edit of the disk version
    // whose hash is baseHash: a later save asks when the file is another
    // version now. Does nothing when no document of path is held.
    void recover(const QString &path, const HelpData &doc, const QByteArray &baseHash);

    // Writes the document of path to its file; it then counts as stored.
    // Translated sections whose name or text changed since the stored copy
    // are confirmed against the reference text first. Returns false, keeping
    // the file as it was, when none is held or the write fails (errorString()
    // says why).
    bool save(const QString &path);

    // The language translations are made from, chosen for the project; a
    // document without it takes its first language.
    void setPreferredReference(const QString &key) { preferredReference = key; }
    QString preferredReferenceLanguage() const { return preferredReference; }
    // The reference language of path's document, or an empty string.
    QString referenceLanguage(const QString &path) const;

    // Every language key of any document held, sorted.
    QStringList languages() const;

    // What is out of step in path's document (links that lead nowhere,
    // missing languages against setLanguages, section counts, stale and
    // empty texts).
    QList<Finding> findings(const QString &path, const QStringList &setLanguages) const;

    // Structural edits, on the document as edited: each returns the document
    // as it would be after the edit, or nothing when the edit does not apply
    // (no such document, language or section; a key held already).
    std::optional<HelpData> withLanguageAdded(const QString &path, const QString &key) const;
    // The new section, titled name, comes last with the id core proposes for
    // it there.
    std::optional<HelpData> withSectionAdded(const QString &path, const QString &key,
                                             const QString &name) const;
    std::optional<HelpData> withLanguageRemoved(const QString &path, const QString &key) const;
    std::optional<HelpData> withSectionRemoved(const QString &path, const QString &key,
                                               int index) const;
    // Sections of the translated language key (all of them, or the one at
    // index) confirmed as translations of the reference text as it is now.
    std::optional<HelpData> withSectionsConfirmed(const QString &path, const QString &key,
                                                  int index = -1) const;

    // Makes changed the document of path and writes it. A failed write puts
    // back the document as it was, edits included, and returns false.
    bool replaceAndSave(const QString &path, const HelpData &changed);

    // Writes a new help file at path from the template every new file starts
    // from. Returns false when the write fails (errorString() says why).
    bool createFile(const QString &path);

    // The reason the last failed write gave.
    QString errorString() const { return lastError; }

private:
    struct Fingerprint
    {
        qint64 size = -1; // -1: only the hash is known
        QDateTime modified;
        QByteArray hash;
    };
    // What reading one file gives on any thread: the document read quietly,
    // and whether a fault (in bytes) has to be read again where its warning
    // belongs.
    struct Reading
    {
        HelpData doc;
        Fingerprint print;
        bool opened = false;
        bool faulty = false;
        QByteArray bytes;
    };
    static Fingerprint fingerprintOf(const QString &path);
    static Reading readQuietly(const QString &path);
    void remember(const QString &path);
    HelpData remember(const QString &path, Reading reading);
    HelpData readAndRemember(const QString &path);
    void confirmEditedTranslations(const QString &path, HelpData &doc) const;

    QMap<QString, HelpData> edited;
    QMap<QString, HelpData> stored;
    QMap<QString, Fingerprint> onDisk;
    QMap<QString, QByteArray> ignoredVersions;
    QString preferredReference;
    QList<QString> linkFolders;
    // A cache of look-ups, so a marking stays const.
    mutable LinkResolver links;
    HelpParser parser;
    HelpWriter writer;
    QString lastError;
};

} // namespace ZkHelp
