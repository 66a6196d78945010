// The page the viewer shows for one language of a help document.
#pragma once

#include "helpdata.h"

#include <QString>

// The on-screen page of one language of data: an inline style, the author
// and version as heading, the description, every section and the link list.
// Descriptions and section texts go in as written, so markup in them takes
// effect; link names are escaped (and help-file names percent-encoded in the
// address), so every name shows and comes back from a click exactly as
// written.
QString renderScreenPage(const ZkHelp::HelpData &data, const ZkHelp::HelpLanguage &language);
