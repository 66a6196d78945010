// A help file's rows as the full-text index takes them in, how the rows of
// one file are numbered, and how their texts are kept beside the index.
#pragma once

#include "helpfinder.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace ZkHelp {

// A file's rows are numbered from its id shifted by this many bits, so that
// all of them go with one range delete.
constexpr int searchRowBits = 20;
constexpr qint64 searchRowsPerFile = qint64(1) << searchRowBits;

constexpr qint64 firstSearchRow(qint64 fileId)
{
    return fileId << searchRowBits;
}

// One row of the index, in the forms it is matched and shown in.
struct PreparedRow
{
    QString language;
    int section = -1;
    QString title;
    QString text;
    // Null where the shown form is the matched one.
    QString shownTitle;
    QString shownText;

    QString titleAsWritten() const { return shownTitle.isNull() ? title : shownTitle; }
    QString textAsWritten() const { return shownText.isNull() ? text : shownText; }
};

// The rows of a file in one compressed block. The index matches without a
// copy of the texts; this block is where a hit's title and snippet come
// from, and it holds the matched forms exactly as they were indexed, which
// removing the rows takes.
QByteArray packRows(const QList<PreparedRow> &rows);
// False when block is not one packRows() made.
bool unpackRows(const QByteArray &block, QList<PreparedRow> &rows);

// A help file as the index takes it in, read and prepared on a worker
// thread while the files before it are written.
struct PreparedFile
{
    HelpFileState state;
    QList<PreparedRow> rows;
    // packRows(rows), packed on the reading thread too.
    QByteArray packed;
};

// Parses files and turns each into its rows: the description, then the
// sections, language by language. A file that cannot be read has none.
QList<PreparedFile> prepareFiles(const QList<HelpFileState> &files);

} // namespace ZkHelp
