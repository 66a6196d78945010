// Properties every input must keep, shared by the libFuzzer targets and the
// replay of the stored corpus. A broken property aborts with a message, which
// is how libFuzzer recognises a finding.
#pragma once

#include <QByteArray>

namespace FuzzChecks {

// The reader warns about every malformed input; the checks speak for
// themselves, so the message log is silenced.
void silenceMessageLog();

// Reads bytes as a help file, then checks that every text escapes to ASCII
// that decodes back to it, and that the page written from the document is
// complete ASCII after its byte-order mark with no link address that names
// a scheme.
void checkHelpFile(const QByteArray &bytes);

// Maps bytes, taken as a UTF-8 file name (less any "/" and NUL), to its DOS
// 8.3 name and back, and checks both names' form and folder.
void checkDosName(const QByteArray &bytes);

// Puts bytes in the place of a kept recovery copy, beside a good one, and
// checks that reading the store returns it exactly when the reader reads it
// whole, and the good one either way; then puts bytes in the place of the
// index and checks that no path without a good copy comes back.
void checkRecovery(const QByteArray &bytes);

// Takes bytes, as UTF-8, as a full-text query: it asks for at most
// SearchQuery::maxWords words, and a small index answers it without a
// complaint about the match expression, snippets included.
void checkQuery(const QByteArray &bytes);

// Takes bytes, as UTF-8, as a "zkhelp:" address: one that parses has a
// name that stays inside the search folders, writes back to the text of the
// same address, and links to a page inside the export folder.
void checkAddress(const QByteArray &bytes);

// Reads bytes as a PO file: a failure names a line within the input; what
// is read, written and read again gives the same messages and flags.
void checkPoFile(const QByteArray &bytes);

} // namespace FuzzChecks
