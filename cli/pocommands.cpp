// -po, -pot and -po-import: the PO files translators work on, written from
// and read back into a help set.
#include "cliapp.h"

#include "poexport.h"
#include "pofile.h"
#include "poimport.h"
#include "setoptions.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// A language key goes into the PO header as one field: a blank or a line
// feed in it would end that field.
bool isLanguageKey(const QString &key)
{
    return !key.isEmpty() && !key.startsWith(u'-') &&
           std::none_of(key.cbegin(), key.cend(), [](QChar c) {
               return c.isSpace() || c.category() == QChar::Other_Control;
           });
}

} // namespace

// Exit status 0 when every file of the set was read, 1 when one could not be
// (it is left out), 2 when the arguments are not understood.
int CliApp::writePoFile(bool templateOnly, const QList<QString> &args)
{
    const char *command = templateOnly ? "-pot" : "-po";
    QTextStream err(stderr);
    QString language;
    if (!templateOnly) {
        if (args.isEmpty() || !isLanguageKey(args.first())) {
            err << "Sprache fehlt oder ungueltig fuer -po: " << args.value(0) << '\n';
            return 2;
        }
        language = args.first();
    }
    const std::optional<SetOptions> chosen =
        setOptions(command, args.mid(templateOnly ? 0 : 1), false);
    if (!chosen)
        return 2;
    const ZkHelp::PoExportResult result =
        ZkHelp::exportPo(chosenSet(*chosen, collection), language, chosen->reference);
    for (const QString &problem : result.problems)
        err << problem << '\n';
    // Tens of megabytes go out as they are, not through the text codec.
    out.flush();
    if (out.device())
        out.device()->write(result.bytes);
    else
        out << QString::fromUtf8(result.bytes);
    out.flush();
    return result.problems.isEmpty() ? 0 : 1;
}

// Exit status 0 when every message was applied or skipped as fuzzy, 1 when
// one was outdated, unknown or not written, 2 for a PO file that cannot be
// read whole, one without language, or arguments not understood.
int CliApp::importPoFile(const QList<QString> &args)
{
    QTextStream err(stderr);
    if (args.isEmpty() || args.first().startsWith(u'-')) {
        err << "PO-Datei fehlt fuer -po-import\n";
        return 2;
    }
    const QString poPath = args.first();
    const QString allowFuzzy = QStringLiteral("--allow-fuzzy");
    const QString dryRun = QStringLiteral("--dry-run");
    const std::optional<SetOptions> chosen =
        setOptions("-po-import", args.mid(1), false, {allowFuzzy, dryRun});
    if (!chosen)
        return 2;
    // The PO file names the reference languages it was written against.
    if (!chosen->reference.isEmpty()) {
        err << "Unbekannte Angabe fuer -po-import: --reference\n";
        return 2;
    }
    QFile file(poPath);
    if (!QFileInfo(poPath).isFile() || !file.open(QIODevice::ReadOnly)) {
        err << poPath << ": PO-Datei nicht lesbar\n";
        return 2;
    }
    const ZkHelp::PoReadResult po = ZkHelp::readPo(file.readAll());
    if (!po.error.isEmpty()) {
        err << poPath << ':' << po.errorLine << ": " << po.error << '\n';
        return 2;
    }
    if (const int line = ZkHelp::duplicateContextLine(po.entries)) {
        err << poPath << ':' << line << ": msgctxt doppelt\n";
        return 2;
    }
    const auto header = std::find_if(po.entries.cbegin(), po.entries.cend(),
                                     [](const ZkHelp::PoEntry &e) { return e.isHeader(); });
    const QString language = header == po.entries.cend()
                                 ? QString()
                                 : ZkHelp::poHeaderField(header->str, QStringLiteral("Language"));
    if (!isLanguageKey(language)) {
        err << poPath << ": Kopf ohne gueltiges Feld Language\n";
        return 2;
    }
    const ZkHelp::PoImportReport report = ZkHelp::importPo(
        po.entries, language, chosenSet(*chosen, collection),
        {chosen->switches.contains(allowFuzzy), chosen->switches.contains(dryRun)});
    for (const QString &problem : report.problems)
        err << problem << '\n';
    out << report.filesChanged << " Dateien geaendert, " << report.applied
        << " Meldungen uebernommen, " << report.fuzzySkipped << " unscharf uebersprungen, "
        << report.outdated << " veraltet\n";
    out.flush();
    return report.failed ? 1 : 0;
}
