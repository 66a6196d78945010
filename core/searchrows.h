// A help file's rows as the full-text index takes them in, and how the rows
// of one file are numbered.
#pragma once

#include "helpfinder.h"

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
};

// A help file as the index takes it in, read and prepared on a worker
// thread while the files before it are written.
struct PreparedFile
{
    HelpFileState state;
    QList<PreparedRow> rows;
};

// Parses files and turns each into its rows: the description, then the
// sections, language by language. A file that cannot be read has none.
QList<PreparedFile> prepareFiles(const QList<HelpFileState> &files);

} // namespace ZkHelp
