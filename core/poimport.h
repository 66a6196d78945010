// Brings a translator's PO file back into a help set: each message goes to the
// text its context names while its msgid still equals the reference text
// there, and a section the translator confirmed gets its basis.
#pragma once

#include "helpset.h"
#include "pofile.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ZkHelp {

struct PoImportOptions
{
    bool allowFuzzy = false; // take fuzzy translations, leaving the basis as it was
    bool dryRun = false;     // write nothing, report the same
};

struct PoImportReport
{
    int filesChanged = 0;
    int applied = 0;      // messages taken, whether they changed a text or not
    int fuzzySkipped = 0; // translated but fuzzy, without allowFuzzy
    int outdated = 0;     // msgid no longer the reference text
    QStringList problems; // one line each, for standard error
    bool failed = false;  // a message outdated, unknown or not written
};

// The line of the first message whose msgctxt an earlier one has already,
// or 0: which of two translations of one text counts is not for us to guess.
int duplicateContextLine(const QList<PoEntry> &entries);

// Applies entries, translations into language, to the files of set. Each
// file is written, by an atomic save, only when its document changed and
// its bytes on disk are still those read.
PoImportReport importPo(const QList<PoEntry> &entries, const QString &language, const HelpSet &set,
                        const PoImportOptions &options);

} // namespace ZkHelp
