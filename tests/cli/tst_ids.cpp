// zkhelp_cli -ids as a process: the ids it gives, the files it leaves
// alone, its report and exit status.
#include "helpxml.h"
#include "processrun.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestIds : public QObject
{
    Q_OBJECT

private slots:
    void ids_data();
    void ids();
};

namespace {

using HelpXml::language;
using HelpXml::section;

const QByteArray withoutIds = HelpXml::file(
    language("de", "D", section("Erste Schritte", "a") + section("Über uns!", "b")) +
    language("en", "E",
             section("First steps", "a") + section("About", "b") + section("More", "c")));

QByteArray written(const QByteArray &sections)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zkhelp version=\"1\" author=\"A\">\n" +
           sections + "</zkhelp>\n";
}

const QByteArray givenById =
    written("    <lang name=\"de\">\n"
            "        <description>D</description>\n"
            "        <section id=\"erste-schritte\" name=\"Erste "
            "Schritte\">a</section>\n"
            "        <section id=\"ueber-uns\" name=\"Über uns!\">b</section>\n"
            "    </lang>\n"
            "    <lang name=\"en\">\n"
            "        <description>E</description>\n"
            "        <section id=\"erste-schritte\" name=\"First "
            "steps\">a</section>\n"
            "        <section id=\"ueber-uns\" name=\"About\">b</section>\n"
            "        <section id=\"more\" name=\"More\">c</section>\n"
            "    </lang>\n");

// Written by hand, not by the writer: rewritten, its bytes would change.
const QByteArray complete =
    HelpXml::file(language("de", "D", section("A", "a", "", "a") + section("B", "b", "", "x")) +
                  language("en", "E", section("A", "a", "", "a")));

} // namespace

void TestIds::ids_data()
{
    QTest::addColumn<FileSet>("files");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<FileSet>("changed"); // every other file keeps its bytes
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err"); // "@" stands for the working folder
    QTest::addColumn<int>("exitCode");

    QTest::newRow("slugs of the reference, taken by position, files with all ids untouched")
        << FileSet{{"set/a.zkhelp", withoutIds},
                   {"set/sub/b.zkhelp", complete},
                   {"one/c.zkhelp", withoutIds}}
        << QStringList{"-ids", "set"} << FileSet{{"set/a.zkhelp", givenById}}
        << QByteArray("1 Dateien geaendert\n") << QByteArray() << 0;
    QTest::newRow("reference chosen")
        << FileSet{{"set/a.zkhelp", HelpXml::file(language("de", "D", section("A", "a")) +
                                                  language("en", "E", section("B", "b")))}}
        << QStringList{"-ids", "--reference", "en", "set"}
        << FileSet{{"set/a.zkhelp",
                    written("    <lang name=\"de\">\n        <description>D</description>\n"
                            "        <section id=\"b\" name=\"A\">a</section>\n    </lang>\n"
                            "    <lang name=\"en\">\n        <description>E</description>\n"
                            "        <section id=\"b\" name=\"B\">b</section>\n    </lang>\n")}}
        << QByteArray("1 Dateien geaendert\n") << QByteArray() << 0;
    QTest::newRow("search folders, each file")
        << FileSet{{"one/a.zkhelp", withoutIds}, {"two/b.zkhelp", withoutIds}}
        << QStringList{"-ids"} << FileSet{{"one/a.zkhelp", givenById}, {"two/b.zkhelp", givenById}}
        << QByteArray("2 Dateien geaendert\n") << QByteArray() << 0;
    QTest::newRow("every id there")
        << FileSet{{"set/a.zkhelp", complete}} << QStringList{"-ids", "set"} << FileSet()
        << QByteArray("0 Dateien geaendert\n") << QByteArray() << 0;
    QTest::newRow("unreadable file named and left alone, the rest done")
        << FileSet{{"set/a.zkhelp", "<zkhelp><lang name=\"de\"><section name=\"S\">x</section>"},
                   {"set/b.zkhelp", withoutIds}}
        << QStringList{"-ids", "set"} << FileSet{{"set/b.zkhelp", givenById}}
        << QByteArray("1 Dateien geaendert\n")
        << QByteArray("@/set/a.zkhelp: XML Parsing Fehler in Zeile 1: Premature end of document.\n")
        << 1;
    QTest::newRow("folder missing") << FileSet() << QStringList{"-ids", "none"} << FileSet()
                                    << QByteArray() << QByteArray("Kein Ordner: none\n") << 2;
    QTest::newRow("no --json here")
        << FileSet{{"set/a.zkhelp", withoutIds}} << QStringList{"-ids", "set", "--json"}
        << FileSet() << QByteArray() << QByteArray("Unbekannte Angabe fuer -ids: --json\n") << 2;
}

void TestIds::ids()
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
    QVERIFY(TestFiles::write(root + "/Path", (root + "/one\n" + root + "/two\n").toUtf8()));
    QVERIFY(TestFiles::writeSet(root, files));
    QVERIFY(QDir().mkpath(root + "/one"));
    // A FIFO must not block the run.
    QCOMPARE(::mkfifo(QFile::encodeName(root + "/one/fifo.zkhelp").constData(), 0600), 0);

    const ProcessRun result = ProcessRun::run(QStringLiteral(ZKHELP_CLI_PATH), args, root);
    QCOMPARE(result.out, out);
    QCOMPARE(result.err, err.replace('@', root.toUtf8()));
    QCOMPARE(result.exitCode, exitCode);
    FileSet expected = files;
    expected.insert(changed);
    QCOMPARE(TestFiles::readSet(root, files), expected);
}

QTEST_GUILESS_MAIN(TestIds)
#include "tst_ids.moc"
