// zkhelp_cli -po, -pot and -po-import as processes: the PO bytes, the files
// an import writes or leaves alone, its report and exit status, and the round
// trip through gettext's own tools.
#include "helpxml.h"
#include "processrun.h"
#include "testfiles.h"

#include <QDateTime>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestPo : public QObject
{
    Q_OBJECT

private slots:
    void run_data();
    void run();
    void roundTripKeepsEveryByte();
    void gettextRoundTrip();
};

namespace {

using HelpXml::language;
using HelpXml::section;

// "S" and "Text" in de hash to this basis.
const QByteArray current = "de:305fe78497408d98";

const QByteArray german = language("de", "D", section("S", "Text", "", "s") + section("N", "T2"));
const QByteArray staleEnglish = HelpXml::file(
    german + language("en", "E", section("Alt", "Alter Text", "de:0000000000000000", "s")));

QByteArray written(const QByteArray &en)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zkhelp version=\"1\" author=\"A\">\n"
           "    <lang name=\"de\">\n        <description>D</description>\n"
           "        <section id=\"s\" name=\"S\">Text</section>\n"
           "        <section name=\"N\">T2</section>\n    </lang>\n"
           "    <lang name=\"en\">\n" +
           en + "    </lang>\n</zkhelp>\n";
}

QByteArray poHeader(const QByteArray &key)
{
    return "msgid \"\"\nmsgstr \"\"\n\"Project-Id-Version: set\\n\"\n"
           "\"POT-Creation-Date: 2026-01-02 03:04+0000\\n\"\n"
           "\"PO-Revision-Date: 2026-01-02 03:04+0000\\n\"\n\"Last-Translator: zkhelp_cli\\n\"\n"
           "\"Language-Team: " +
           key + "\\n\"\n\"Language: " + key +
           "\\n\"\n\"MIME-Version: 1.0\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
           "\"Content-Transfer-Encoding: 8bit\\n\"\n\"X-Zkhelp-Reference: de\\n\"\n";
}

// comments: the comment and flag lines before it.
QByteArray message(const QByteArray &context, const QByteArray &id, const QByteArray &str,
                   const QByteArray &comments = {})
{
    return "\n" + comments + "msgctxt \"" + context + "\"\nmsgid \"" + id + "\"\nmsgstr \"" + str +
           "\"\n";
}

QByteArray report(int files, int applied, int fuzzy, int outdated)
{
    return QString::asprintf("%d Dateien geaendert, %d Meldungen uebernommen, %d unscharf "
                             "uebersprungen, %d veraltet\n",
                             files, applied, fuzzy, outdated)
        .toUtf8();
}

const QByteArray fuzzyBack = poHeader("en") + message("a#s/title", "S", "Neu", "#, fuzzy\n") +
                             message("a#s/text", "Text", "Neuer Text", "#, fuzzy\n");

} // namespace

void TestPo::run_data()
{
    QTest::addColumn<FileSet>("files"); // "in.po" is the PO file given
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<FileSet>("changed"); // every other file keeps its bytes
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err"); // "@" stands for the working folder
    QTest::addColumn<int>("exitCode");

    QTest::newRow("-po: stale fuzzy, missing empty, sorted, names below the folder")
        << FileSet{{"set/sub/a.zkhelp", staleEnglish},
                   {"set/b.zkhelp", HelpXml::file(language("de", "", section("X", "")))}}
        << QStringList{"-po", "en", "set"} << FileSet()
        << poHeader("en") + message("b#1/title", "X", "", "#: b\n") +
               message("sub/a#description", "D", "E", "#: sub/a\n") +
               message("sub/a#s/title", "S", "Alt", "#. Referenz geaendert\n#: sub/a\n#, fuzzy\n") +
               message("sub/a#s/text", "Text", "Alter Text",
                       "#. Referenz geaendert\n#: sub/a\n#, fuzzy\n") +
               message("sub/a#2/title", "N", "", "#: sub/a\n") +
               message("sub/a#2/text", "T2", "", "#: sub/a\n")
        << QByteArray() << 0;
    QTest::newRow("-po: references differ, each message names its own")
        << FileSet{{"set/a.zkhelp", HelpXml::file(language("de", "D") + language("fr", ""))},
                   {"set/b.zkhelp", HelpXml::file(language("en", "E"))}}
        << QStringList{"-po", "fr", "set"} << FileSet()
        << QByteArray(poHeader("fr")).replace("\"X-Zkhelp-Reference: de\\n\"\n", "") +
               message("a#description", "D", "", "#. Referenz: de\n#: a\n") +
               message("b#description", "E", "", "#. Referenz: en\n#: b\n")
        << QByteArray() << 0;
    QTest::newRow("-po: an id that is another section's position leaves the file out")
        << FileSet{{"set/a.zkhelp",
                    HelpXml::file(
                        language("de", "D", section("A", "x", "", "2") + section("B", "y")))}}
        << QStringList{"-po", "en", "set"} << FileSet()
        << QByteArray(poHeader("en")).replace("\"X-Zkhelp-Reference: de\\n\"\n", "")
        << QByteArray("@/set/a.zkhelp: Abschnitt 2 ist Kennung und Stelle zugleich, zuerst "
                      "zkhelp_cli -ids ausfuehren\n")
        << 1;
    QTest::newRow("import: a message's reference comment beats the header's")
        << FileSet{{"set/a.zkhelp", HelpXml::file(language("de", "D") + language("en", "E"))},
                   {"in.po",
                    poHeader("fr") + message("a#description", "E", "F", "#. Referenz: en\n")}}
        << QStringList{"-po-import", "in.po", "set"}
        << FileSet{{"set/a.zkhelp",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zkhelp version=\"1\" "
                    "author=\"A\">\n    <lang name=\"de\">\n        <description>D</"
                    "description>\n    </lang>\n    <lang name=\"en\">\n        "
                    "<description>E</description>\n    </lang>\n    <lang "
                    "name=\"fr\">\n        <description>F</description>\n    "
                    "</lang>\n</zkhelp>\n"}}
        << report(1, 1, 0, 0) << QByteArray() << 0;
    QTest::newRow("import creates the language and confirms it")
        << FileSet{{"set/a.zkhelp", HelpXml::file(german)},
                   {"in.po", poHeader("en") + message("a#description", "D", "E") +
                                 message("a#s/title", "S", "T") +
                                 message("a#s/text", "Text", "Tx")}}
        << QStringList{"-po-import", "in.po", "set"}
        << FileSet{{"set/a.zkhelp", written("        <description>E</description>\n"
                                            "        <section id=\"s\" name=\"T\" basis=\"" +
                                            current + "\">Tx</section>\n")}}
        << report(1, 3, 0, 0) << QByteArray() << 0;
    QTest::newRow("--dry-run reports the same and writes nothing")
        << FileSet{{"set/a.zkhelp", HelpXml::file(german)},
                   {"in.po", poHeader("en") + message("a#description", "D", "E")}}
        << QStringList{"-po-import", "in.po", "set", "--dry-run"} << FileSet() << report(1, 1, 0, 0)
        << QByteArray() << 0;
    QTest::newRow("fuzzy skipped") << FileSet{{"set/a.zkhelp", staleEnglish}, {"in.po", fuzzyBack}}
                                   << QStringList{"-po-import", "in.po", "set"} << FileSet()
                                   << report(0, 0, 2, 0) << QByteArray() << 0;
    QTest::newRow("--allow-fuzzy takes the text, the section stays stale")
        << FileSet{{"set/a.zkhelp", staleEnglish}, {"in.po", fuzzyBack}}
        << QStringList{"-po-import", "in.po", "set", "--allow-fuzzy"}
        << FileSet{{"set/a.zkhelp",
                    written("        <description>E</description>\n"
                            "        <section id=\"s\" name=\"Neu\" "
                            "basis=\"de:0000000000000000\">Neuer Text</section>\n")}}
        << report(1, 2, 0, 0) << QByteArray() << 0;
    QTest::newRow("unchanged texts without fuzzy confirm a stale section")
        << FileSet{{"set/a.zkhelp", staleEnglish},
                   {"in.po", poHeader("en") + message("a#s/title", "S", "Alt") +
                                 message("a#s/text", "Text", "Alter Text")}}
        << QStringList{"-po-import", "in.po", "set"}
        << FileSet{{"set/a.zkhelp", written("        <description>E</description>\n"
                                            "        <section id=\"s\" name=\"Alt\" basis=\"" +
                                            current + "\">Alter Text</section>\n")}}
        << report(1, 2, 0, 0) << QByteArray() << 0;
    QTest::newRow(
        "outdated, unknown file and section; an empty msgstr erases nothing and is no problem")
        << FileSet{{"set/a.zkhelp", staleEnglish},
                   {"in.po", poHeader("en") + message("a#s/title", "Alt", "X") +
                                 message("../set/a#description", "D", "X") +
                                 message("a#zz/text", "Text", "X") +
                                 message("a#description", "D", "") +
                                 message("a#s/text", "Alt", "")}}
        << QStringList{"-po-import", "in.po", "set"} << FileSet() << report(0, 0, 0, 1)
        << QByteArray("../set/a#description: unbekannte Datei\n"
                      "a#s/title: Referenz geaendert, bitte msgmerge\n"
                      "a#zz/text: unbekannter Abschnitt\n")
        << 1;
    QTest::newRow("a section without id is not created out of its place")
        << FileSet{{"set/a.zkhelp", HelpXml::file(german + language("en", "E"))},
                   {"in.po", poHeader("en") + message("a#2/title", "N", "X")}}
        << QStringList{"-po-import", "in.po", "set"} << FileSet() << report(0, 0, 0, 0)
        << QByteArray("a#2/title: Abschnitt kann nicht angelegt werden, zuerst zkhelp_cli -ids "
                      "ausfuehren\n")
        << 1;
    QTest::newRow("the reference language is never overwritten")
        << FileSet{{"set/a.zkhelp", staleEnglish},
                   {"in.po", poHeader("de") + message("a#description", "D", "X")}}
        << QStringList{"-po-import", "in.po", "set"} << FileSet() << report(0, 0, 0, 0)
        << QByteArray("a: de ist die Referenzsprache dieser Datei\n") << 1;
    QTest::newRow("malformed late: nothing applied")
        << FileSet{{"set/a.zkhelp", staleEnglish},
                   {"in.po", poHeader("en") + message("a#description", "D", "X") + "msgid \"\n"}}
        << QStringList{"-po-import", "in.po", "set"} << FileSet() << QByteArray()
        << QByteArray("in.po:17: Zeichenkette nicht abgeschlossen\n") << 2;
    QTest::newRow("msgctxt twice")
        << FileSet{{"set/a.zkhelp", staleEnglish},
                   {"in.po", poHeader("en") + message("a#description", "D", "X") +
                                 message("a#description", "E", "Y")}}
        << QStringList{"-po-import", "in.po", "set"} << FileSet() << QByteArray()
        << QByteArray("in.po:19: msgctxt doppelt\n") << 2;
    QTest::newRow("no Language") << FileSet{{"set/a.zkhelp", staleEnglish},
                                            {"in.po", "msgid \"\"\nmsgstr \"\"\n"}}
                                 << QStringList{"-po-import", "in.po", "set"} << FileSet()
                                 << QByteArray()
                                 << QByteArray("in.po: Kopf ohne gueltiges Feld Language\n") << 2;
}

void TestPo::run()
{
    QFETCH(FileSet, files);
    QFETCH(QStringList, args);
    QFETCH(FileSet, changed);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(int, exitCode);

    QTemporaryDir work;
    QVERIFY2(work.isValid(), qPrintable(work.errorString()));
    const QString root = work.path();
    // The header's dates are the newest file's.
    const QDateTime stamp(QDate(2026, 1, 2), QTime(3, 4), Qt::UTC);
    QVERIFY(TestFiles::writeSet(root, files));
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(root + u'/' + it.key());
        QVERIFY(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }

    const ProcessRun result = ProcessRun::run(QStringLiteral(ZKHELP_CLI_PATH), args, root);
    QCOMPARE(result.out, out);
    QCOMPARE(result.err, err.replace('@', root.toUtf8()));
    QCOMPARE(result.exitCode, exitCode);
    FileSet expected = files;
    expected.insert(changed);
    QCOMPARE(TestFiles::readSet(root, files), expected);
}

namespace {

ProcessRun cli(const QString &folder, const QStringList &args)
{
    return ProcessRun::run(QStringLiteral(ZKHELP_CLI_PATH), args, folder);
}

// Runs a gettext tool in folder; false when it failed.
bool gettext(const QString &folder, const QString &tool, const QStringList &args)
{
    return ProcessRun::run(tool, args, folder).exitCode == 0;
}

} // namespace

void TestPo::roundTripKeepsEveryByte()
{
    QTemporaryDir work;
    const QString root = work.path();
    const QByteArray unconfirmed =
        HelpXml::file(german + language("en", "E", section("T", "Tx", "", "s") + section("M", "")));
    QVERIFY(TestFiles::write(root + "/set/a.zkhelp", staleEnglish));
    QVERIFY(TestFiles::write(root + "/set/b.zkhelp", unconfirmed));
    QVERIFY(TestFiles::write(root + "/set/c.zkhelp",
                             HelpXml::file(language("de", "D", section("S", "Text")) +
                                           language("en", "E", section("T", "Tx", current)))));
    const ProcessRun exported = cli(root, {"-po", "en", "set"});
    QCOMPARE(exported.exitCode, 0);
    QVERIFY(TestFiles::write(root + "/en.po", exported.out));
    const ProcessRun imported = cli(root, {"-po-import", "en.po", "set"});
    QCOMPARE(imported.out, report(0, 8, 2, 0));
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(TestFiles::read(root + "/set/a.zkhelp"), staleEnglish);
    QCOMPARE(TestFiles::read(root + "/set/b.zkhelp"), unconfirmed);
    QCOMPARE(cli(root, {"-po", "en", "set"}).out, exported.out);
}

void TestPo::gettextRoundTrip()
{
    for (const char *tool : {"msgmerge", "msgattrib", "msgfmt", "msgen"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP("gettext's tools are not installed (scripts/deps.sh installs them)");
    }
    QTemporaryDir work;
    const QString root = work.path();
    const QString file = root + "/set/a.zkhelp";
    QVERIFY(TestFiles::write(
        file,
        HelpXml::file(
            german + language("en", "E", section("T", "Tx", current, "s") + section("M", "T2m")))));
    const ProcessRun old = cli(root, {"-po", "en", "set"});
    QVERIFY(TestFiles::write(root + "/old.po", old.out));
    const ProcessRun counted =
        ProcessRun::run("msgfmt", {"--check", "--statistics", "-o", "/dev/null", "old.po"}, root);
    QCOMPARE(counted.err, QByteArray("5 translated messages.\n"));

    // The reference text changes; msgmerge marks the translation fuzzy.
    QByteArray bytes = TestFiles::read(file);
    QVERIFY(TestFiles::write(file, bytes.replace(">Text<", ">Text neu<")));
    QVERIFY(TestFiles::write(root + "/new.pot", cli(root, {"-pot", "set"}).out));
    QVERIFY(gettext(root, "msgmerge", {"-q", "--previous", "--update", "old.po", "new.pot"}));
    QVERIFY(TestFiles::read(root + "/old.po").contains("#| msgid \"Text\"\n"));
    QCOMPARE(cli(root, {"-po-import", "old.po", "set"}).exitCode, 0);
    QVERIFY(cli(root, {"-check", "set"}).out.contains("stale en#0"));

    QVERIFY(gettext(root, "msgattrib", {"--clear-fuzzy", "-o", "cleared.po", "old.po"}));
    QCOMPARE(cli(root, {"-po-import", "cleared.po", "set"}).out, report(1, 5, 0, 0));
    QCOMPARE(cli(root, {"-check", "set"}).exitCode, 0);

    // A language the set lacks is created whole; the check is clean for it.
    QVERIFY(TestFiles::write(root + "/fr.pot", cli(root, {"-pot", "set"}).out));
    QVERIFY(gettext(root, "msgen", {"-o", "fr.po", "fr.pot"}));
    QVERIFY(TestFiles::write(
        root + "/fr.po",
        TestFiles::read(root + "/fr.po").replace("Language: \\n", "Language: fr\\n")));
    QCOMPARE(cli(root, {"-po-import", "fr.po", "set"}).out, report(1, 5, 0, 0));
    const ProcessRun checked = cli(root, {"-check", "set", "--json"});
    QVERIFY2(checked.exitCode == 0, checked.out.constData());
    QVERIFY(checked.out.contains("\"languages\": [\"de\", \"en\", \"fr\"]"));
}

QTEST_GUILESS_MAIN(TestPo)
#include "tst_po.moc"
