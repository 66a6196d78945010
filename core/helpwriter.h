// Stores a help document as a .zkhelp file.
#pragma once

#include "helpdata.h"

#include <QString>

namespace ZkHelp {

class HelpWriter
{
public:
    // Writes data to filePath, replacing any existing file atomically.
    // Returns false, with a warning on the message log, when the file cannot
    // be opened or the write does not complete; an existing file at filePath
    // is then left exactly as it was, and *errorString, when given, holds the
    // warning with the system's reason.
    bool writeXml(const HelpData &data, const QString &filePath,
                  QString *errorString = nullptr) const;
};

} // namespace ZkHelp
