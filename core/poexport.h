// A help set as a gettext PO file for translators: one message per
// description, section title and section text of each file's reference
// language, translated into one language or left empty as a template.
#pragma once

#include "helpset.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ZkHelp {

struct PoExportResult
{
    QByteArray bytes;
    QStringList problems; // "PATH: reason" for each file left out unread
};

// The PO file that translates set into language, or a template when language
// is empty. Files whose reference language is language itself have nothing
// to translate and are left out. The header's dates are the newest file's, so
// unchanged files give the same bytes.
PoExportResult exportPo(const HelpSet &set, const QString &language,
                        const QString &preferredReference);

} // namespace ZkHelp
