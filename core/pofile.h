// Reading and writing gettext PO files, the form translators' tools
// exchange: entries with context, comments and flags. Our own code, as the
// gettext library's licence does not fit ours; plural entries are refused,
// help text has none.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace ZkHelp {

struct PoEntry
{
    QStringList translatorComments; // "# "
    QStringList extractedComments;  // "#."
    QStringList references;         // "#:"
    QStringList flags;              // "#,", one flag each
    bool hasContext = false;
    QString context;
    QString id;
    QString str;
    int line = 0; // of its msgid, 1-based; 0 for an entry not read from a file

    bool isFuzzy() const { return flags.contains(QStringLiteral("fuzzy")); }
    // The entry gettext keeps its header fields in.
    bool isHeader() const { return !hasContext && id.isEmpty(); }
};

struct PoReadResult
{
    QList<PoEntry> entries; // in file order, obsolete ("#~") ones left out
    QString error;          // empty when the whole file was read
    int errorLine = 0;
};

// Reads the bytes of a PO file: a byte-order mark and CRLF line ends are
// taken, the text must be UTF-8 without NUL, the header's charset UTF-8. On
// the first fault entries is empty and error names it with errorLine.
PoReadResult readPo(const QByteArray &bytes);

// The PO form of entries, as gettext's own tools write them but unwrapped,
// a blank line between two.
QByteArray writePo(const QList<PoEntry> &entries);

// Appends the PO form of entry to out, its comment lines first in the order
// of PoEntry's members.
void writePoEntry(QByteArray &out, const PoEntry &entry);

// The value of field ("Language") in a header's msgstr, trimmed; empty when
// it is missing.
QString poHeaderField(const QString &header, const QString &field);

} // namespace ZkHelp
