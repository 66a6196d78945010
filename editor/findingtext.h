// The editor's words for what the check finds: plain German for the marks'
// tool tips, sections counted from 1 as a reader counts them. The console
// tool keeps its own kinds and details.
#pragma once

#include "helpcheck.h"
#include "helpdata.h"

#include <QString>

namespace ZkHelp {

// What finding says about doc, the document it was found in. withPlace puts
// the language (and section) in front, for the file node that gathers them
// all: "en, Abschnitt 2: Text leer".
QString findingText(const Finding &finding, const HelpData &doc, bool withPlace = false);

} // namespace ZkHelp
