// zkhelp_cli as a process: exact output bytes, exit status and the files it
// leaves in its working folder.
#include "helpxml.h"
#include "processrun.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commands_data();
    void commands();
    void helpPrintsUsage_data();
    void helpPrintsUsage();
    void malformedFileIsPrintedAsRead();
    void firstRunCreatesPathFile();
    void listSearchPaths();
    void installedHelp_data();
    void installedHelp();
    void exportWritesLinkedPages();
    void exportOfSubFolderName();
    void exportIntoBlockedFolder();
    void exportWithUnwritablePage();

private:
    ProcessRun run(const QStringList &args, const QByteArray &input = QByteArray()) const;
    QString work(const QString &name) const { return workDir->filePath(name); }
    QString data(const QString &name) const { return dataDir->filePath(name); }

    std::unique_ptr<QTemporaryDir> workDir;
    // The user's and the system's data folders of the program, kept apart
    // from the working folder and from the machine's own.
    std::unique_ptr<QTemporaryDir> dataDir;
};

namespace {

const QByteArray topicHeader = "1.0\t \t\t \t1.0\n\n";
const QByteArray topicLinks = "\nVerweis \nx y \n";

QByteArray helpFile(const QByteArray &root, const QByteArray &body)
{
    return HelpXml::file(body, root);
}

QByteArray printed(const QByteArray &header, const QByteArray &body)
{
    return header + body + "\n" + header;
}

} // namespace

ProcessRun TestCli::run(const QStringList &args, const QByteArray &input) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"),
                       data(QStringLiteral("usr")) + u':' + data(QStringLiteral("opt")));
    return ProcessRun::run(QStringLiteral(ZKHELP_CLI_PATH), args, workDir->path(), input,
                           environment);
}

// Every test starts in a fresh working folder whose Path file names two help
// folders, so file order in listings is the folder order.
void TestCli::init()
{
    workDir = std::make_unique<QTemporaryDir>();
    QVERIFY2(workDir->isValid(), qPrintable(workDir->errorString()));
    dataDir = std::make_unique<QTemporaryDir>();
    QVERIFY2(dataDir->isValid(), qPrintable(dataDir->errorString()));
    const QString one = work(QStringLiteral("one"));
    const QString two = work(QStringLiteral("two"));
    QVERIFY(TestFiles::write(work(QStringLiteral("Path")), (one + u'\n' + two + u'\n').toUtf8()));

    const QByteArray topic = helpFile(
        "version=\"1.0\" author=\"\"",
        "<lang name=\"en\"><description>English text</description></lang>"
        "<lang name=\"de\"><description>Deutsch \xC3\xA4</description>"
        "<section name=\"S1\">line1\n  line2</section><section name=\"S2\">x</section></lang>"
        "<link page=\"x\"/><link page=\"y\"/>");
    QVERIFY(TestFiles::write(one + "/topic.zkhelp", topic));
    QVERIFY(TestFiles::write(one + "/bare.zkhelp", helpFile("version=\"2\" author=\"B\"", "")));
    QVERIFY(TestFiles::write(one + "/pick1.zkhelp", topic));
    QVERIFY(TestFiles::write(two + "/pick2.zkhelp",
                             helpFile("version=\"3\" author=\"C\"",
                                      "<lang name=\"de\"><description>D</description></lang>")));
    QVERIFY(TestFiles::write(one + "/x.zkhelp",
                             helpFile("version=\"4\" author=\"X\"", "<link page=\"topic\"/>"
                                                                    "<link page=\"x\"/>")));
    QVERIFY(TestFiles::write(one + "/sub/deep.zkhelp", helpFile("version=\"5\"", "")));
}

void TestCli::commands_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("exitCode");

    const QByteArray deBlock = "Deutsch \xC3\xA4\nS1\n\tline1\n  line2\nS2\n\tx\n" + topicLinks;
    const QByteArray enBlock = "English text\n" + topicLinks;
    const QByteArray pickList = "0 pick1.zkhelp\n1 pick2.zkhelp\n";
    const QByteArray pick2 = printed("3\t \tC\t \t3\n\n", "D\n");

    QTest::newRow("no arguments")
        << QStringList{} << QByteArray()
        << QByteArray("Bitte geben Sie einen Befehl an (z.B. zkhelp_cli copy).\n") << 0;
    QTest::newRow("three arguments")
        << QStringList{"topic", "de", "more"} << QByteArray() << QByteArray() << 0;
    QTest::newRow("first language")
        << QStringList{"topic"} << QByteArray() << printed(topicHeader, deBlock) << 0;
    QTest::newRow("with extension")
        << QStringList{"topic.zkhelp"} << QByteArray() << printed(topicHeader, deBlock) << 0;
    QTest::newRow("given language")
        << QStringList{"topic", "en"} << QByteArray() << printed(topicHeader, enBlock) << 0;
    QTest::newRow("language not in the file")
        << QStringList{"topic", "EN"} << QByteArray()
        << printed(topicHeader, "Sprache 'EN' nicht gefunden.\n") << 1;
    QTest::newRow("file without languages")
        << QStringList{"bare"} << QByteArray()
        << printed("2\t \tB\t \t2\n\n", "Sprache '' nicht gefunden.\n") << 1;
    QTest::newRow("file not found")
        << QStringList{"missing"} << QByteArray()
        << QByteArray("Warnung: Keine Hilfedatei gefunden fuer: missing\n") << 1;
    QTest::newRow("lone -l is a name")
        << QStringList{"-l"} << QByteArray()
        << QByteArray("Warnung: Keine Hilfedatei gefunden fuer: -l\n") << 1;
    QTest::newRow("--help with an operand is a name")
        << QStringList{"--help", "de"} << QByteArray()
        << QByteArray("Warnung: Keine Hilfedatei gefunden fuer: --help\n") << 1;
    QTest::newRow("-l languages sorted")
        << QStringList{"-l", "topic"} << QByteArray() << QByteArray("de\nen\n") << 0;
    QTest::newRow("-l file without languages")
        << QStringList{"-l", "bare"} << QByteArray() << QByteArray() << 0;
    QTest::newRow("-l not found") << QStringList{"-l", "missing"} << QByteArray()
                                  << QByteArray("Datei nicht gefunden.\n") << 1;
    QTest::newRow("-lsf in folder order") << QStringList{"-lsf", "PICK"} << QByteArray()
                                          << QByteArray("pick1.zkhelp\npick2.zkhelp\n") << 0;
    QTest::newRow("-lsf nothing matches")
        << QStringList{"-lsf", "zzz"} << QByteArray() << QByteArray() << 0;
    QTest::newRow("-sh valid answer") << QStringList{"-sh", "pick"} << QByteArray("1\n")
                                      << pickList + "Bitte Nummer wahlen: " + pick2 << 0;
    for (const char *answer : {"2\n", "-1\n", "x\n", " \n", ""}) {
        QTest::addRow("-sh answer '%s'", QByteArray(answer).replace('\n', "\\n").constData())
            << QStringList{"-sh", "pick"} << QByteArray(answer)
            << pickList + "Bitte Nummer wahlen: Ungueltige Eingabe.\n"
            << 1;
    }
    QTest::newRow("-sh nothing matches") << QStringList{"-sh", "zzz"} << QByteArray("0\n")
                                         << QByteArray("Keine Dateien gefunden.\n") << 1;
    QTest::newRow("-shl file and language")
        << QStringList{"-shl", "pick"} << QByteArray("0\n1\n")
        << pickList + "Bitte Datei-Nummer wahlen: 0 de\n1 en\nBitte Sprach-Nummer wahlen: " +
               printed(topicHeader, enBlock)
        << 0;
    QTest::newRow("-shl invalid file")
        << QStringList{"-shl", "pick"} << QByteArray("9\n")
        << pickList + "Bitte Datei-Nummer wahlen: Ungueltige Datei-Auswahl.\n"
        << 1;
    QTest::newRow("-shl file without languages")
        << QStringList{"-shl", "bare"} << QByteArray("0\n0\n")
        << QByteArray("0 bare.zkhelp\nBitte Datei-Nummer wahlen: Bitte Sprach-Nummer wahlen: "
                      "Ungueltige Sprach-Auswahl.\n")
        << 1;
    QTest::newRow("-shl input ends before the language")
        << QStringList{"-shl", "pick"} << QByteArray("0")
        << pickList + "Bitte Datei-Nummer wahlen: 0 de\n1 en\nBitte Sprach-Nummer wahlen: "
                      "Ungueltige Sprach-Auswahl.\n"
        << 1;
    QTest::newRow("-shl nothing matches") << QStringList{"-shl", "zzz"} << QByteArray()
                                          << QByteArray("Keine Dateien gefunden.\n") << 1;
    QTest::newRow("-html not found") << QStringList{"-html", "missing"} << QByteArray()
                                     << QByteArray("Datei nicht gefunden: missing\n") << 1;
}

void TestCli::commands()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, out);
    QFETCH(int, exitCode);

    const ProcessRun result = run(args, input);
    QCOMPARE(result.out, out);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY(!QFileInfo::exists(work(QStringLiteral("html_export_missing"))));
}

void TestCli::helpPrintsUsage_data()
{
    QTest::addColumn<QString>("option");
    QTest::newRow("long") << "--help";
    QTest::newRow("short") << "-h";
}

void TestCli::helpPrintsUsage()
{
    QFETCH(QString, option);
    QVERIFY(QFile::remove(work(QStringLiteral("Path"))));

    const ProcessRun result = run({option});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QVERIFY(result.out.startsWith("Aufruf: zkhelp_cli"));
    for (const char c : result.out)
        QVERIFY2(c == '\n' || (c >= ' ' && c <= '~'), result.out);
    for (const char *command : {"-lsp ", "-lsf ", "-l ", "-sh ", "-shl ", "-html ", "-search ",
                                "-h, --help", "NAME SPRACHE", "Exit-Status: 0", " 1 "})
        QVERIFY2(result.out.contains(command), command);
    QVERIFY(!QFileInfo::exists(work(QStringLiteral("Path"))));
}

void TestCli::malformedFileIsPrintedAsRead()
{
    QVERIFY(TestFiles::write(work(QStringLiteral("one/broken.zkhelp")),
                             "<zkhelp version=\"1\" author=\"A\"><lang name=\"de\">"
                             "<description>ok</description></lang><lang name=\"en\">"));
    const ProcessRun result = run({QStringLiteral("broken")});
    QCOMPARE(result.out, printed("1\t \tA\t \t1\n\n", "ok\n"));
    QVERIFY2(result.err.startsWith("XML Parsing Fehler in \"" +
                                   work(QStringLiteral("one/broken.zkhelp")).toUtf8() + "\" : "),
             result.err);
    QCOMPARE(result.exitCode, 0);
}

void TestCli::firstRunCreatesPathFile()
{
    const QString pathFile = work(QStringLiteral("Path"));
    QVERIFY(QFile::remove(pathFile));

    QCOMPARE(run({}).exitCode, 0);
    const QByteArray created = TestFiles::read(pathFile);
    QCOMPARE(created, QDir(workDir->path()).absolutePath().toUtf8() + '\n');

    QVERIFY(TestFiles::write(pathFile, "elsewhere\n"));
    QCOMPARE(run({QStringLiteral("-lsp")}).exitCode, 0);
    QCOMPARE(TestFiles::read(pathFile), QByteArray("elsewhere\n"));
}

void TestCli::listSearchPaths()
{
    const QString app = QFileInfo(QStringLiteral(ZKHELP_CLI_PATH)).canonicalPath();
    QVERIFY(TestFiles::write(work(QStringLiteral("Path")),
                             (" /b \n\n/a\n/b\n" + app + "\nrel\n").toUtf8()));

    const ProcessRun result = run({QStringLiteral("-lsp")});
    QCOMPARE(result.out, (app + "\n/b\n/a\n" + app + "/rel\n").toUtf8());
    QCOMPARE(result.exitCode, 0);
}

void TestCli::installedHelp_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("out"); // HOME, USR: the data folders' zkhelp
    QTest::addColumn<int>("exitCode");

    QTest::newRow("-lsp lists the installed folders last")
        << QStringList{"-lsp"}
        << QByteArray("APP\nONE\nTWO\nHOME\nHOME/app\nHOME/app/de\nUSR\nUSR/other\n") << 0;
    QTest::newRow("a name found below the user's data folder")
        << QStringList{"inst"} << printed("7\t \tP\t \t7\n\n", "Paket\n" + topicLinks) << 0;
    QTest::newRow("a folder of Path comes before the installed ones")
        << QStringList{"-l", "pick1"} << QByteArray("de\nen\n") << 0;
    QTest::newRow("-lsf lists installed files after the others")
        << QStringList{"-lsf", "[2s]"} << QByteArray("pick2.zkhelp\ninst.zkhelp\n") << 0;
}

void TestCli::installedHelp()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    QFETCH(int, exitCode);
    const QString home = data(QStringLiteral("home/zkhelp"));
    const QString usr = data(QStringLiteral("usr/zkhelp"));
    const QByteArray installed =
        helpFile("version=\"7\" author=\"P\"", "<lang name=\"de\"><description>Paket</description>"
                                               "</lang><link page=\"x\"/><link page=\"y\"/>");
    QVERIFY(TestFiles::write(home + "/app/inst.zkhelp", installed));
    QVERIFY(TestFiles::write(home + "/app/de/.hidden/pick1.zkhelp", installed));
    QVERIFY(TestFiles::write(usr + "/other/pick1.zkhelp", installed));
    QVERIFY(QDir().mkpath(data(QStringLiteral("opt"))));

    out.replace("APP", QFileInfo(QStringLiteral(ZKHELP_CLI_PATH)).canonicalPath().toUtf8())
        .replace("ONE", work(QStringLiteral("one")).toUtf8())
        .replace("TWO", work(QStringLiteral("two")).toUtf8())
        .replace("HOME", home.toUtf8())
        .replace("USR", usr.toUtf8());
    const ProcessRun result = run(args);
    QCOMPARE(result.out, out);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, exitCode);
}

void TestCli::exportWritesLinkedPages()
{
    for (int round = 0; round < 2; ++round) {
        const ProcessRun result = run({QStringLiteral("-html"), QStringLiteral("topic")});
        QCOMPARE(result.out, QByteArray("Starte Export nach Ordner: html_export_topic ...\n"
                                        "Export erfolgreich abgeschlossen.\n"));
        QCOMPARE(result.err, QByteArray("Export Warnung: Verlinkte Datei nicht gefunden: \"y\"\n"));
        QCOMPARE(result.exitCode, 0);
    }
    const QDir exportDir(work(QStringLiteral("html_export_topic")));
    QCOMPARE(exportDir.entryList(QDir::Files, QDir::Name),
             (QStringList{"style.css", "topic.html", "x.html"}));
    const QByteArray page = TestFiles::read(exportDir.filePath(QStringLiteral("topic.html")));
    QVERIFY(page.startsWith("\xEF\xBB\xBF<!DOCTYPE html>\n"));
    QVERIFY(page.contains("<li><a href='y.html'>y</a></li>\n"));
}

void TestCli::exportOfSubFolderName()
{
    const ProcessRun result = run({QStringLiteral("-html"), QStringLiteral("sub/deep")});
    QCOMPARE(result.out, QByteArray("Starte Export nach Ordner: html_export_deep ...\n"
                                    "Export erfolgreich abgeschlossen.\n"));
    QCOMPARE(result.err, QByteArray("Export Warnung: Verlinkte Datei nicht gefunden: \"deep\"\n"));
    QCOMPARE(QDir(work(QStringLiteral("html_export_deep"))).entryList(QDir::Files),
             QStringList{"style.css"});
}

void TestCli::exportIntoBlockedFolder()
{
    QVERIFY(TestFiles::write(work(QStringLiteral("html_export_topic")), "not a folder"));
    const ProcessRun result = run({QStringLiteral("-html"), QStringLiteral("topic")});
    QCOMPARE(result.out, QByteArray("Starte Export nach Ordner: html_export_topic ...\n"
                                    "Fehler beim Export.\n"));
    QCOMPARE(result.err,
             QByteArray("Konnte Ausgabeordner nicht erstellen: \"html_export_topic\"\n"));
    QCOMPARE(result.exitCode, 1);
}

// A page that cannot be written fails the export, after the rest is written.
void TestCli::exportWithUnwritablePage()
{
    QVERIFY(QDir().mkpath(work(QStringLiteral("html_export_topic/topic.html"))));
    const ProcessRun result = run({QStringLiteral("-html"), QStringLiteral("topic")});
    QCOMPARE(result.out, QByteArray("Starte Export nach Ordner: html_export_topic ...\n"
                                    "Fehler beim Export.\n"));
    QCOMPARE(result.err, QByteArray("Export Warnung: Datei konnte nicht geschrieben werden: "
                                    "\"html_export_topic/topic.html\"\n"
                                    "Export Warnung: Verlinkte Datei nicht gefunden: \"y\"\n"));
    QCOMPARE(result.exitCode, 1);
    QVERIFY(QFileInfo(work(QStringLiteral("html_export_topic/x.html"))).isFile());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
