// The documents of the project the editor has open, apart from any window:
// each member's document as edited, keyed by its full path, beside the copy
// last read from or written to its file, and the edits that change a
// document's structure. The window shows what it holds and turns its
// results into boxes.
#pragma once

#include "helpdata.h"
#include "helpparser.h"
#include "helpwriter.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace ZkHelp {

class EditorSession
{
public:
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

    // Paths of the documents that differ from their stored copies, sorted.
    QStringList changedFiles() const;

    // Writes the document of path to its file; it then counts as stored.
    // Returns false, keeping the file as it was, when none is held or the
    // write fails (errorString() says why).
    bool save(const QString &path);

    // Structural edits, on the document as edited: each returns the document
    // as it would be after the edit, or nothing when the edit does not apply
    // (no such document, language or section; a key held already).
    std::optional<HelpData> withLanguageAdded(const QString &path, const QString &key) const;
    std::optional<HelpData> withSectionAdded(const QString &path, const QString &key,
                                             const QString &name) const;
    std::optional<HelpData> withLanguageRemoved(const QString &path, const QString &key) const;
    std::optional<HelpData> withSectionRemoved(const QString &path, const QString &key,
                                               int index) const;

    // Makes changed the document of path and writes it. A failed write puts
    // back the document as it was, edits included, and returns false.
    bool replaceAndSave(const QString &path, const HelpData &changed);

    // Writes a new help file at path from the template every new file starts
    // from. Returns false when the write fails (errorString() says why).
    bool createFile(const QString &path);

    // The reason the last failed write gave.
    QString errorString() const { return lastError; }

private:
    QMap<QString, HelpData> edited;
    QMap<QString, HelpData> stored;
    HelpParser parser;
    HelpWriter writer;
    QString lastError;
};

} // namespace ZkHelp
