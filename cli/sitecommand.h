// zkhelp_cli -site: what it was told, and the run that publishes a help set
// as a static site.
#pragma once

#include "helpset.h"

#include <QList>
#include <QString>
#include <QTextStream>

#include <optional>

struct SiteArguments
{
    QString outputDir;
    QString baseUrl;             // ends in '/'; empty without --base-url
    QList<QString> setArguments; // FOLDER and --reference, for the set's options
};

// OUTDIR and --base-url taken from the arguments of -site; nothing when they
// are not understood (the message is on standard error then).
std::optional<SiteArguments> siteArguments(const QList<QString> &args);

// Writes the site of set into site.outputDir, pages named along roots.
// Exit status 0 all written, 1 a file left out or not written (named on
// standard error), 2 an output folder that is refused.
int writeSite(const SiteArguments &site, const ZkHelp::HelpSet &set, const QList<QString> &roots,
              const QString &reference, QTextStream &out);
