// Reader for .zkhelp files.
#pragma once

#include "helpdata.h"

#include <QString>

class QIODevice;

namespace ZkHelp {

class HelpParser
{
public:
    // Reads the help file at filePath as UTF-8 (a UTF-16 or UTF-32 byte-order
    // mark is honoured). Never fails loudly: something that is no regular file
    // or cannot be opened gives an empty document; malformed XML, including a
    // document that declares entities, gives everything that was complete
    // before the error. Both cases leave a warning on the message log and set
    // *errorString, when given, to that warning with its reason; a file read
    // without fault leaves it alone.
    HelpData parse(const QString &filePath, QString *errorString = nullptr) const;

    // The same for the bytes of a help file the caller has opened already
    // for reading (a QBuffer over bytes read once for other uses too);
    // filePath only names it in warnings.
    HelpData parse(QIODevice &content, const QString &filePath,
                   QString *errorString = nullptr) const;

    // The same, but a failure is not logged: its message, without the path,
    // lands in error (left empty when the whole file was read), for callers
    // that report failures with their own context.
    HelpData parseQuietly(const QString &filePath, QString &error) const;
    HelpData parseQuietly(QIODevice &content, QString &error) const;
};

} // namespace ZkHelp
