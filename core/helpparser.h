// Reader for .zkhelp files.
#pragma once

#include "helpdata.h"

#include <QString>

namespace ZkHelp {

class HelpParser
{
public:
    // Reads the help file at filePath. Never fails loudly: a file that cannot
    // be opened gives an empty document, malformed XML gives everything that
    // was complete before the error. Both cases leave a warning on the
    // message log.
    HelpData parse(const QString &filePath) const;
};

} // namespace ZkHelp
