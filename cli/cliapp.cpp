#include "cliapp.h"

#include "checkreport.h"
#include "helpparser.h"
#include "helpwriter.h"
#include "searchindex.h"
#include "searchquery.h"
#include "sectionids.h"
#include "setoptions.h"
#include "sitecommand.h"
#include "translationbasis.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

const QString separator = QStringLiteral("\t \t");

const char usage[] =
    "Aufruf: zkhelp_cli <Befehl>\n"
    "  NAME            Hilfedatei NAME in ihrer ersten Sprache zeigen\n"
    "  NAME SPRACHE    Hilfedatei NAME in der Sprache SPRACHE zeigen\n"
    "  -lsp            Suchordner auflisten\n"
    "  -lsf FILTER     Hilfedateien auflisten, deren Name FILTER enthaelt\n"
    "  -l NAME         Sprachen der Hilfedatei NAME auflisten\n"
    "  -sh FILTER      Hilfedatei per Nummer waehlen und zeigen\n"
    "  -shl FILTER     Hilfedatei und Sprache per Nummer waehlen und zeigen\n"
    "  -html NAME      NAME samt Verweisen als HTML nach html_export_NAME schreiben\n"
    "  -search SUCHE   Volltextsuche ueber alle Hilfedateien und Sprachen, beste Treffer zuerst\n"
    "                  (Exit-Status 1: keine Treffer)\n"
    "  -check [ORDNER] [--json] [--reference SPRACHE]  Sprachen und Verweise pruefen "
    "(Exit-Status 1: Fehler gefunden, 2: kein Ordner)\n"
    "  -ids [ORDNER] [--reference SPRACHE]  jedem Abschnitt ohne Kennung eine geben "
    "(Exit-Status 1: Datei nicht lesbar oder schreibbar, 2: kein Ordner)\n"
    "  -po SPRACHE [ORDNER] [--reference SPRACHE]  PO-Datei zum Uebersetzen nach SPRACHE "
    "ausgeben (Exit-Status 1: Datei nicht lesbar, 2: kein Ordner)\n"
    "  -pot [ORDNER] [--reference SPRACHE]  PO-Vorlage ohne Uebersetzungen ausgeben\n"
    "  -po-import DATEI [ORDNER] [--allow-fuzzy] [--dry-run]  Uebersetzungen einer PO-Datei "
    "uebernehmen (Exit-Status 1: Meldung veraltet, unbekannt oder nicht geschrieben, "
    "2: PO-Datei fehlerhaft, kein Ordner)\n"
    "  -site AUSGABEORDNER [ORDNER] [--reference SPRACHE] [--base-url URL]  den Hilfesatz als "
    "Website schreiben (Exit-Status 1: Datei nicht lesbar oder schreibbar, 2: kein Ordner oder "
    "Ausgabeordner abgelehnt)\n"
    "  -h, --help      diese Hilfe zeigen\n"
    "Exit-Status: 0 erledigt, 1 nicht moeglich (Datei oder Sprache nicht gefunden,\n"
    "keine passende Datei, ungueltige Auswahl, Export fehlgeschlagen).\n";

bool isHelpRequest(const QList<QString> &args)
{
    return args.size() == 1 && (args.first() == u"--help" || args.first() == u"-h");
}

} // namespace

CliApp::CliApp(QTextStream &out, QTextStream &in)
    : out(out)
    , in(in)
{}

int CliApp::run(const QList<QString> &args)
{
    // Asking for the usage or the version changes nothing, not even the Path file.
    if (isHelpRequest(args)) {
        out << usage;
        out.flush();
        return 0;
    }
    if (args.size() == 1 && args.first() == u"--version") {
        out << "zkhelp_cli " ZKHELP_VERSION "\n";
        out.flush();
        return 0;
    }
    collection = ZkHelp::HelpCollection::forWorkingFolder(QCoreApplication::applicationDirPath());
    if (!args.isEmpty() && args.first() == u"-check")
        return checkHelpSet(args.mid(1));
    if (!args.isEmpty() && args.first() == u"-ids")
        return giveSectionIds(args.mid(1));
    if (!args.isEmpty() && (args.first() == u"-po" || args.first() == u"-pot"))
        return writePoFile(args.first() == u"-pot", args.mid(1));
    if (!args.isEmpty() && args.first() == u"-po-import")
        return importPoFile(args.mid(1));
    if (!args.isEmpty() && args.first() == u"-site")
        return publishSite(args.mid(1));

    bool ok = true;
    switch (args.size()) {
    case 0:
        out << "Bitte geben Sie einen Befehl an (z.B. zkhelp_cli copy).\n";
        break;
    case 1:
        if (args.first() == u"-lsp") {
            for (const QString &folder : collection.searchPaths())
                out << folder << '\n';
        } else {
            ok = readHelp(args.first(), QString());
        }
        break;
    case 2:
        ok = dispatchPair(args.at(0), args.at(1));
        break;
    default:
        break;
    }
    out.flush();
    return ok ? 0 : 1;
}

bool CliApp::dispatchPair(const QString &command, const QString &operand)
{
    if (command == u"-l")
        return listLanguages(operand);
    if (command == u"-lsf") {
        listFiles(operand);
        return true;
    }
    if (command == u"-sh")
        return selectHelp(operand);
    if (command == u"-shl")
        return selectHelpLanguage(operand);
    if (command == u"-html")
        return createHtml(operand);
    if (command == u"-search")
        return searchText(operand);
    return readHelp(command, operand);
}

bool CliApp::readHelp(const QString &fileName, const QString &language)
{
    const QString path = collection.findFile(fileName);
    if (path.isEmpty()) {
        out << "Warnung: Keine Hilfedatei gefunden fuer: " << fileName << '\n';
        return false;
    }
    return printHelpData(collection.fileData(path), language);
}

bool CliApp::printHelpData(const ZkHelp::HelpData &data, const QString &language)
{
    const QString header = data.version + separator + data.author + separator + data.version;
    out << header << "\n\n";

    QString key = language;
    if (key.isEmpty() && !data.languages.isEmpty())
        key = data.languages.firstKey();

    const auto block = data.languages.constFind(key);
    const bool found = block != data.languages.cend();
    if (!found) {
        out << "Sprache '" << key << "' nicht gefunden.\n";
    } else {
        out << block->description << '\n';
        for (const ZkHelp::HelpSection &section : block->sections)
            out << section.name << "\n\t" << section.content << '\n';
        if (!data.links.isEmpty()) {
            out << "\nVerweis \n";
            for (const QString &link : data.links)
                out << link << ' ';
            out << '\n';
        }
    }
    out << '\n' << header << "\n\n";
    out.flush();
    return found;
}

void CliApp::listFiles(const QString &filter)
{
    for (const QString &path : collection.files(filter))
        out << QFileInfo(path).fileName() << '\n';
}

bool CliApp::listLanguages(const QString &fileName)
{
    const QString path = collection.findFile(fileName);
    if (path.isEmpty()) {
        out << "Datei nicht gefunden.\n";
        return false;
    }
    for (const QString &key : collection.fileData(path).languages.keys())
        out << key << '\n';
    return true;
}

bool CliApp::selectHelp(const QString &filter)
{
    const QList<QString> files = matchingFilesOrComplain(filter);
    if (files.isEmpty())
        return false;
    const int choice = askNumber(QStringLiteral("Bitte Nummer wahlen: "), files.size());
    if (choice < 0) {
        out << "Ungueltige Eingabe.\n";
        return false;
    }
    return printHelpData(collection.fileData(files.at(choice)), QString());
}

bool CliApp::selectHelpLanguage(const QString &filter)
{
    const QList<QString> files = matchingFilesOrComplain(filter);
    if (files.isEmpty())
        return false;
    const int fileChoice = askNumber(QStringLiteral("Bitte Datei-Nummer wahlen: "), files.size());
    if (fileChoice < 0) {
        out << "Ungueltige Datei-Auswahl.\n";
        return false;
    }
    const ZkHelp::HelpData data = collection.fileData(files.at(fileChoice));
    const QStringList keys = data.languages.keys();
    printNumbered(keys);
    const int keyChoice = askNumber(QStringLiteral("Bitte Sprach-Nummer wahlen: "), keys.size());
    if (keyChoice < 0) {
        out << "Ungueltige Sprach-Auswahl.\n";
        return false;
    }
    return printHelpData(data, keys.at(keyChoice));
}

bool CliApp::createHtml(const QString &fileName)
{
    const QString path = collection.findFile(fileName);
    if (path.isEmpty()) {
        out << "Datei nicht gefunden: " << fileName << '\n';
        return false;
    }
    const QString startName = QFileInfo(path).completeBaseName();
    const QString outputDir = QStringLiteral("html_export_") + startName;
    out << "Starte Export nach Ordner: " << outputDir << " ...\n";
    out.flush();
    if (!exporter.exportPackage(startName, outputDir, collection)) {
        out << "Fehler beim Export.\n";
        return false;
    }
    out << "Export erfolgreich abgeschlossen.\n";
    return true;
}

// One line per hit: the file name as -lsf lists it, the language key and the
// section title (empty for the description), separated by tabs.
bool CliApp::searchText(const QString &query)
{
    if (ZkHelp::SearchQuery(query).isTruncated())
        qWarning().noquote() << ZkHelp::truncationMessage();
    ZkHelp::SearchIndex index;
    const QList<ZkHelp::SearchHit> hits = index.updateAndSearch(collection, query, 50);
    if (hits.isEmpty()) {
        out << "Keine Treffer.\n";
        return false;
    }
    for (const ZkHelp::SearchHit &hit : hits)
        out << QFileInfo(hit.path).fileName() << '\t' << hit.language << '\t' << hit.section
            << '\n';
    return true;
}

// Exit status 0 without errors, 1 with, 2 when the arguments name no folder
// to check: a CI job can tell findings from a call that checked nothing.
int CliApp::checkHelpSet(const QList<QString> &options)
{
    const std::optional<SetOptions> chosen = setOptions("-check", options, true);
    if (!chosen)
        return 2;
    const ZkHelp::CheckReport report =
        ZkHelp::checkHelpSet(chosenSet(*chosen, collection), chosen->reference);
    if (chosen->json)
        out << formatCheckJson(report);
    else
        out << formatCheckText(report);
    out.flush();
    return report.errorCount() > 0 ? 1 : 0;
}

// Exit status 0 when every file of the set has its ids, 1 when one could not
// be read or written (the others are done all the same), 2 as for -check.
int CliApp::giveSectionIds(const QList<QString> &options)
{
    const std::optional<SetOptions> chosen = setOptions("-ids", options, false);
    if (!chosen)
        return 2;
    const ZkHelp::HelpSet set = chosenSet(*chosen, collection);
    const ZkHelp::HelpParser parser;
    const ZkHelp::HelpWriter writer;
    QTextStream err(stderr);
    QSet<QString> done;
    int changed = 0;
    bool failed = false;
    for (const QString &path : set.files) {
        // A FIFO could block the read; a second name of a file is that file.
        const QFileInfo info(path);
        if (!info.isFile() || done.contains(info.canonicalFilePath()))
            continue;
        done.insert(info.canonicalFilePath());
        QString error;
        ZkHelp::HelpData data = parser.parseQuietly(path, error);
        // Written back, a file read only in part would lose its rest.
        if (!error.isEmpty()) {
            err << path << ": " << error << '\n';
            failed = true;
            continue;
        }
        if (!ZkHelp::assignSectionIds(data, ZkHelp::referenceLanguage(data, chosen->reference)))
            continue;
        if (!writer.writeXml(data, path, &error)) {
            err << error << '\n';
            failed = true;
            continue;
        }
        ++changed;
    }
    for (const QString &path : set.undecodable) {
        err << path << ": Dateiname ist kein UTF-8\n";
        failed = true;
    }
    out << changed << " Dateien geaendert\n";
    out.flush();
    return failed ? 1 : 0;
}

// Exit status 0 when the whole set was written, 1 when a file was left out
// or not written, 2 as for -check or for an output folder that is refused.
int CliApp::publishSite(const QList<QString> &args)
{
    const std::optional<SiteArguments> site = siteArguments(args);
    if (!site)
        return 2;
    const std::optional<SetOptions> chosen = setOptions("-site", site->setArguments, false);
    if (!chosen)
        return 2;
    const QList<QString> roots =
        chosen->folder ? QList<QString>{*chosen->folder} : collection.searchPaths();
    const int status =
        writeSite(*site, chosenSet(*chosen, collection), roots, chosen->reference, out);
    out.flush();
    return status;
}

// Prints the numbered list of matching file names, or the no-match line when
// there is none (then the list returned is empty).
QList<QString> CliApp::matchingFilesOrComplain(const QString &filter)
{
    const QList<QString> files = collection.files(filter);
    if (files.isEmpty()) {
        out << "Keine Dateien gefunden.\n";
        return files;
    }
    QStringList names;
    names.reserve(files.size());
    for (const QString &path : files)
        names.append(QFileInfo(path).fileName());
    printNumbered(names);
    return files;
}

void CliApp::printNumbered(const QStringList &entries)
{
    for (qsizetype i = 0; i < entries.size(); ++i)
        out << i << ' ' << entries.at(i) << '\n';
}

// Returns the answer as an index into a list of count entries, or -1 when it
// is not a number in range (a closed input reads as an empty answer).
int CliApp::askNumber(const QString &prompt, qsizetype count)
{
    out << prompt;
    out.flush();
    bool isNumber = false;
    const int answer = in.readLine().toInt(&isNumber);
    return isNumber && answer >= 0 && answer < count ? answer : -1;
}
