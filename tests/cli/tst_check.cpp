// zkhelp_cli -check as a process, over small help sets with known findings:
// exact report bytes and exit status.
#include "helpxml.h"
#include "privatehome.h"
#include "processrun.h"
#include "testfiles.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestCheck : public QObject
{
    Q_OBJECT

private slots:
    void report_data();
    void report();

private:
    // Help installed for the user or the machine is no member of a set.
    PrivateHome home;
};

namespace {

using HelpXml::link;

QByteArray help(const QByteArray &body)
{
    return HelpXml::file(body);
}

// Every language has one section unless a row says otherwise.
QByteArray lang(const QByteArray &key, const QByteArray &description,
                const QByteArray &sections = HelpXml::section("S", "Text"))
{
    return HelpXml::language(key, description, sections);
}

// "S\nText" hashes to 305fe784...; a translation of it confirmed against de.
const QByteArray confirmedEn =
    lang("en", "E", HelpXml::section("S", "Text", "de:305fe78497408d98"));
const QByteArray summaryClean = "2 Dateien, 2 Sprachen: 0 Fehler, 0 Hinweise, 0 ohne Abgleich\n";

} // namespace

void TestCheck::report_data()
{
    QTest::addColumn<FileSet>("files");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("out"); // "@" stands for the working folder
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<int>("exitCode");

    const FileSet linkedPair{{"set/a.zkhelp", help(lang("de", "D") + confirmedEn + link("b"))},
                             {"set/b.zkhelp", help(lang("de", "D") + confirmedEn + link("a"))}};
    QTest::newRow("clean set") << linkedPair << QStringList{"-check", "set"} << summaryClean
                               << QByteArray() << 0;

    const FileSet everyError{
        {"set/a.zkhelp",
         help(lang("de", "", "<section name=\"S\">Text</section><section name=\"T\"/>") +
              lang("en", "E",
                   "<section name=\"S\" basis=\"de:0000000000000000\">Text</section>"
                   "<section name=\"T\" basis=\"fr:305fe78497408d98\">T</section>"
                   "<section name=\"U\">U</section>") +
              link("b") + link("nix") + link("nix") + link("https://example.org"))},
        {"set/b.zkhelp", help(lang("de", "D") + lang("fr", "F") + link("a"))},
        {"set/sub/broken.zkhelp", "<zkhelp><lang name=\"de\">" + link("c")},
        {"set/sub/c.zkhelp", help(lang("de", "D") + lang("en", "E") + lang("fr", "F"))}};
    QTest::newRow("every error kind")
        << everyError << QStringList{"-check", "set"}
        << QByteArray("@/set/a.zkhelp: broken-link: nix\n"
                      "@/set/a.zkhelp: empty-text de: Beschreibung leer\n"
                      "@/set/a.zkhelp: empty-text de#1: Text leer\n"
                      "@/set/a.zkhelp: section-count en: 3 statt 2\n"
                      "@/set/a.zkhelp: stale en#0: Referenz de#0 geaendert\n"
                      "@/set/a.zkhelp: stale en#1: Referenz fr#1 fehlt\n"
                      "@/set/a.zkhelp: missing-language fr: Sprache fehlt\n"
                      "@/set/b.zkhelp: missing-language en: Sprache fehlt\n"
                      "@/set/sub/broken.zkhelp: unreadable: XML Parsing Fehler in Zeile 1: "
                      "Premature end of document.\n"
                      "4 Dateien, 3 Sprachen: 9 Fehler, 0 Hinweise, 4 ohne Abgleich\n")
        << QByteArray() << 1;
    // Ids pair a translation with its reference wherever either stands.
    const QByteArray ids =
        lang("de", "D",
             HelpXml::section("S", "Text", "", "s") + HelpXml::section("T", "U", "", "t") +
                 HelpXml::section("V", "W", "", "t")) +
        lang("en", "E",
             HelpXml::section("T", "U", "", "t") +
                 HelpXml::section("S", "Text", "de:305fe78497408d98", "s") +
                 HelpXml::section("X", "Y", "de:305fe78497408d98", "x") +
                 HelpXml::section("Z", "Z", "", "x"));
    QTest::newRow("ids: stale by id, duplicate, unknown")
        << FileSet{{"set/a.zkhelp", help(ids + link("b"))},
                   {"set/b.zkhelp", help(lang("de", "D") + confirmedEn + link("a"))}}
        << QStringList{"-check", "set"}
        << QByteArray("@/set/a.zkhelp: duplicate-id de#2: t\n"
                      "@/set/a.zkhelp: section-count en: 4 statt 3\n"
                      "@/set/a.zkhelp: stale en#2: Referenz de#2 geaendert\n"
                      "@/set/a.zkhelp: unknown-id en#2: x\n"
                      "@/set/a.zkhelp: duplicate-id en#3: x\n"
                      "@/set/a.zkhelp: unknown-id en#3: x\n"
                      "2 Dateien, 2 Sprachen: 6 Fehler, 0 Hinweise, 2 ohne Abgleich\n")
        << QByteArray() << 1;
    QTest::newRow("reference chosen")
        << FileSet{{"set/a.zkhelp", help(lang("de", "D", "") + lang("en", "E"))}}
        << QStringList{"-check", "--reference", "en", "set"}
        << QByteArray("@/set/a.zkhelp: orphan: kein Verweis von einer anderen Datei\n"
                      "@/set/a.zkhelp: section-count de: 0 statt 1\n"
                      "1 Dateien, 2 Sprachen: 1 Fehler, 1 Hinweise, 0 ohne Abgleich\n")
        << QByteArray() << 1;

    // a links to itself, b reaches a through a second name and a name with
    // folder parts: a cycle, no orphan, one file counted once.
    const FileSet cycle{
        {"set/a.zkhelp", help(lang("de", "D") + confirmedEn + link("a") + link("b"))},
        {"set/b.zkhelp", help(lang("de", "D") + confirmedEn + link("sub/../alias.zkhelp"))},
        {"set/sub/.keep", ""},
        {"set/c.zkhelp", help(lang("de", "D") + confirmedEn + link("c"))}};
    QTest::newRow("cycle, self link, second name")
        << cycle << QStringList{"-check", "set"}
        << QByteArray("@/set/c.zkhelp: orphan: kein Verweis von einer anderen Datei\n"
                      "3 Dateien, 2 Sprachen: 0 Fehler, 1 Hinweise, 0 ohne Abgleich\n")
        << QByteArray() << 0;

    QTest::newRow("search folders, shadowed, json")
        << FileSet{{"one/a\"q.zkhelp", help(lang("de", "D") + link("x.zkhelp"))},
                   {"one/x.zkhelp", help(lang("de", "D"))},
                   {"two/x.zkhelp", help(lang("de", "D"))}}
        << QStringList{"-check", "--json"}
        << QByteArray(
               "{\"files\": 2, \"languages\": [\"de\"], \"unconfirmed\": 0, \"findings\": "
               "[{\"file\": \"@/one/a\\\"q.zkhelp\", \"kind\": \"orphan\", \"language\": \"\", "
               "\"section\": -1, \"detail\": \"kein Verweis von einer anderen Datei\", "
               "\"severity\": \"note\"}, {\"file\": \"@/two/x.zkhelp\", \"kind\": \"shadowed\", "
               "\"language\": "
               "\"\", \"section\": -1, \"detail\": \"@/one/x.zkhelp\", \"severity\": "
               "\"note\"}]}\n")
        << QByteArray() << 0;

    // "%E9" stands for that byte in a file name: no UTF-8.
    QTest::newRow("links leaving the set, name not UTF-8")
        << FileSet{{"set/a.zkhelp", help(lang("de", "D") + confirmedEn + link("b") +
                                         link("../one/x") + link("@/one/x"))},
                   {"set/b.zkhelp", help(lang("de", "D") + confirmedEn + link("a"))},
                   {"set/caf%E9.zkhelp", help(lang("de", "D"))},
                   {"one/x.zkhelp", help(lang("de", "D"))}}
        << QStringList{"-check", "set"}
        << QByteArray("@/set/a.zkhelp: broken-link: ../one/x\n"
                      "@/set/a.zkhelp: broken-link: @/one/x\n"
                      "@/set/caf\xEF\xBF\xBD.zkhelp: unreadable: Dateiname ist kein UTF-8\n"
                      "3 Dateien, 2 Sprachen: 3 Fehler, 0 Hinweise, 0 ohne Abgleich\n")
        << QByteArray() << 1;

    // Sections by id and by position, in the language asked for or else the
    // first; the link as written names what is missing.
    const QByteArray sections = HelpXml::section("S", "Text", "", "s") + HelpXml::section("T", "U");
    QTest::newRow("addresses")
        << FileSet{{"set/a.zkhelp",
                    help(lang("de", "D", sections) + link("zkhelp:b#s") +
                         link("zkhelp:b?lang=en#2") + link("zkhelp:b?lang=it#s") +
                         link("zkhelp:b#3") + link("zkhelp:b?lang=en#s") + link("zkhelp:nix#1") +
                         link("zkhelp:../b") + link("zkhelp:b#3"))},
                   {"set/b.zkhelp",
                    help(lang("de", "D", sections) +
                         lang("en", "E", HelpXml::section("T", "U") + HelpXml::section("S", "T")) +
                         link("zkhelp:a"))}}
        << QStringList{"-check", "set"}
        << QByteArray("@/set/a.zkhelp: broken-link: zkhelp:../b\n"
                      "@/set/a.zkhelp: broken-link: zkhelp:b#3\n"
                      "@/set/a.zkhelp: broken-link: zkhelp:b?lang=en#s\n"
                      "@/set/a.zkhelp: broken-link: zkhelp:nix#1\n"
                      "@/set/a.zkhelp: missing-language en: Sprache fehlt\n"
                      "2 Dateien, 2 Sprachen: 5 Fehler, 0 Hinweise, 2 ohne Abgleich\n")
        << QByteArray() << 1;
    QTest::newRow("folder missing") << FileSet() << QStringList{"-check", "none"} << QByteArray()
                                    << QByteArray("Kein Ordner: none\n") << 2;
    QTest::newRow("folder is a file")
        << linkedPair << QStringList{"-check", "set/a.zkhelp"} << QByteArray()
        << QByteArray("Kein Ordner: set/a.zkhelp\n") << 2;
    QTest::newRow("reference without key")
        << linkedPair << QStringList{"-check", "set", "--reference"} << QByteArray()
        << QByteArray("Unbekannte Angabe fuer -check: --reference\n") << 2;
}

void TestCheck::report()
{
    QFETCH(FileSet, files);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(int, exitCode);

    QTemporaryDir work;
    QVERIFY2(work.isValid(), qPrintable(work.errorString()));
    const QString root = work.path();
    QVERIFY(TestFiles::write(root + "/Path", (root + "/one\n" + root + "/two\n").toUtf8()));
    // QTemporaryDir cannot remove a name that is not UTF-8.
    QList<QByteArray> written;
    const auto removeWritten = qScopeGuard([&written] {
        for (const QByteArray &path : std::as_const(written))
            ::unlink(path.constData());
    });
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QByteArray content = QByteArray(it.value()).replace('@', root.toUtf8());
        const QString path = root + u'/' + it.key();
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        written.append(QByteArray::fromPercentEncoding(QFile::encodeName(path)));
        QVERIFY(TestFiles::writeNative(written.last(), content));
    }
    QVERIFY(QDir().mkpath(root + "/set/sub"));
    // Neither a second name of a member nor a FIFO adds a file of its own.
    QFile::link(root + "/set/a.zkhelp", root + "/set/alias.zkhelp");
    QCOMPARE(::mkfifo(QFile::encodeName(root + "/set/sub/fifo.zkhelp").constData(), 0600), 0);

    const ProcessRun result = ProcessRun::run(QStringLiteral(ZKHELP_CLI_PATH), args, root);
    QCOMPARE(result.out, out.replace('@', root.toUtf8()));
    QCOMPARE(result.err, err);
    QCOMPARE(result.exitCode, exitCode);
}

QTEST_GUILESS_MAIN(TestCheck)
#include "tst_check.moc"
