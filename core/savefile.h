// Replacing whole files so that a reader only ever sees the old or the new
// content, never a file cut short by a full disk.
#pragma once

#include <QByteArray>
#include <QString>

class QSaveFile;

namespace ZkHelp {

// Each function below that can fail sets *errorString, when given, to the
// system's reason ("No space left on device") on failure and leaves it alone
// on success.

// Finishes a save started with QSaveFile::open() and written to since:
// flushes what is still buffered and commits only when every byte reached
// the temporary file. Returns false, discarding the temporary file and leaving
// any existing file untouched, when a write, the flush or the commit failed.
bool commitSaveFile(QSaveFile &file, QString *errorString = nullptr);

// Replaces filePath with bytes in one step (open, write, commitSaveFile).
// Returns false, with the old file untouched, when any step fails.
bool saveFile(const QString &filePath, const QByteArray &bytes, QString *errorString = nullptr);

// Creates filePath with bytes, for a name known to be new. Never touches an
// existing file: fails when filePath exists already. Returns false when any
// step fails, and then removes the file it created, so that nothing partial
// is left behind. Unlike saveFile() it neither syncs nor renames (a new file
// has no old content to protect), which keeps batches of small files cheap.
bool writeNewFile(const QString &filePath, const QByteArray &bytes);

} // namespace ZkHelp
