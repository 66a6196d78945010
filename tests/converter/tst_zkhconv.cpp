// zkhconv as a process: what it prints, what it logs, how it exits and which files it leaves.
#include "testfiles.h"

#include <QDirIterator>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using Files = QMap<QString, QByteArray>;

namespace {

const QByteArray usage = "ZKHCONV (Qt C++ Edition)\n"
                         "Usage: zkhconv <mode> <input> [output]\n"
                         "Modes:\n"
                         "  -f2dos   File: *.zkhelp -> 8.3 .ZKH (UTF8 to Latin1)\n"
                         "  -f2win   File: *.ZKH -> .zkhelp (Latin1 to UTF8)\n"
                         "  -p2dos   Proj: project.zkproject -> list.zkp\n"
                         "  -p2win   Proj: list.zkp -> project.zkproject\n";
const QByteArray utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\nGr\xc3\xb6\xc3\x9f"
                        "e\r\n";
const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\nGr\xf6\xdf"
                          "e\r\n";
const QByteArray big(20000, 'x');
const QByteArray project = "<?xml version=\"1.0\"?>\n<zkproject name=\"demo\">\n"
                           "  <file>intro.zkhelp</file>\n  <file>Introduction.zkhelp</file>\n"
                           "  <file>readme.txt</file>\n</zkproject>\n";

Files folderContents(const QString &root)
{
    Files files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), TestFiles::read(path));
    }
    return files;
}

} // namespace

class TestZkhconv : public QObject
{
    Q_OBJECT

private slots:
    void run_data();
    void run();
};

void TestZkhconv::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<Files>("before");
    QTest::addColumn<bool>("limitFileSize");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QStringList>("err");
    QTest::addColumn<int>("status");
    QTest::addColumn<Files>("written");

    const Files none;
    QTest::newRow("no arguments") << QStringList{} << none << false << usage << QStringList{} << 0
                                  << none;
    QTest::newRow("no input") << QStringList{"-f2dos"} << none << false << usage << QStringList{}
                              << 0 << none;
    QTest::newRow("unknown mode") << QStringList{"-x", "a"} << none << false
                                  << QByteArray("Unbekannter Modus: -x\n") << QStringList{} << 1
                                  << none;
    QTest::newRow("dos without output")
        << QStringList{"-f2dos", "a.zkhelp"} << Files{{"a.zkhelp", utf8}} << false
        << QByteArray("Bitte Ausgabedatei angeben oder Wildcard (*) nutzen.\n") << QStringList{}
        << 1 << none;
    QTest::newRow("win without output")
        << QStringList{"-f2win", "A.ZKH"} << Files{{"A.ZKH", latin1}} << false
        << QByteArray("Bitte Ausgabedatei angeben.\n") << QStringList{} << 1 << none;
    QTest::newRow("dos file") << QStringList{"-f2dos", "größe v.2.zkhelp", "OUT.ZKH"}
                              << Files{{"größe v.2.zkhelp", utf8}} << false << QByteArray()
                              << QStringList{"[OK] \"größe v.2.zkhelp\" -> \"OUT.ZKH\""} << 0
                              << Files{{"OUT.ZKH", latin1}};
    QTest::newRow("win file over old")
        << QStringList{"-f2win", "A.ZKH", "a.zkhelp"}
        << Files{{"A.ZKH", latin1}, {"a.zkhelp", "old"}} << false << QByteArray()
        << QStringList{"[OK] \"A.ZKH\" -> \"a.zkhelp\""} << 0 << Files{{"a.zkhelp", utf8}};
    QTest::newRow("dos batch ignores output")
        << QStringList{"-f2dos", "*.zkhelp", "out.zkh"}
        << Files{{"intro.zkhelp", utf8}, {"introduction.zkhelp", ""}, {"INTRO~1.ZKH", "old"}}
        << false << QByteArray()
        << QStringList{"[OK] \"intro.zkhelp\" -> \"INTRO~2.ZKH\"",
                       "[OK] \"introduction.zkhelp\" -> \"INTROD~1.ZKH\""}
        << 0 << Files{{"INTRO~2.ZKH", latin1}, {"INTROD~1.ZKH", ""}};
    QTest::newRow("win batch in folder")
        << QStringList{"-f2win", "sub/*.ZKH"}
        << Files{{"sub/A~1.ZKH", latin1}, {"sub/b.zkhelp", "b"}, {"C.ZKH", "c"}} << false
        << QByteArray() << QStringList{"[OK] \"A~1.ZKH\" -> \"A~1.zkhelp\""} << 0
        << Files{{"sub/A~1.zkhelp", utf8}};
    QTest::newRow("missing input")
        << QStringList{"-f2dos", "none.zkhelp", "N.ZKH"} << none << false << QByteArray()
        << QStringList{"Fehler beim Lesen: \"none.zkhelp\""} << 2 << none;
    QTest::newRow("folder as input")
        << QStringList{"-f2win", "sub", "x.zkhelp"} << Files{{"sub/A.ZKH", "a"}} << false
        << QByteArray() << QStringList{"Fehler beim Lesen: \"sub\""} << 2 << none;
    QTest::newRow("missing output folder")
        << QStringList{"-f2dos", "a.zkhelp", "none/A.ZKH"} << Files{{"a.zkhelp", utf8}} << false
        << QByteArray() << QStringList{"Fehler beim Schreiben: \"none/A.ZKH\""} << 2 << none;
    QTest::newRow("nothing matches") << QStringList{"-f2dos", "*.zkhelp"} << Files{{"a.txt", "a"}}
                                     << false << QByteArray() << QStringList{} << 0 << none;
    QTest::newRow("pattern folder missing") << QStringList{"-f2dos", "none/*.zkhelp"} << none
                                            << false << QByteArray() << QStringList{} << 0 << none;
    QTest::newRow("write fails") << QStringList{"-f2dos", "big.zkhelp", "OUT.ZKH"}
                                 << Files{{"big.zkhelp", big}, {"OUT.ZKH", "old"}} << true
                                 << QByteArray()
                                 << QStringList{"Fehler beim Schreiben: \"OUT.ZKH\""} << 2 << none;
    QTest::newRow("batch with a failed file")
        << QStringList{"-f2dos", "*.zkhelp"}
        << Files{{"big.zkhelp", big}, {"small.zkhelp", "\xc3\xa4"}} << true << QByteArray()
        << QStringList{"Fehler beim Schreiben: \"%dir/BIG~1.ZKH\"",
                       "[OK] \"small.zkhelp\" -> \"SMALL~1.ZKH\""}
        << 2 << Files{{"SMALL~1.ZKH", "\xe4"}};
    QTest::newRow("win batch with failed files")
        << QStringList{"-f2win", "*.ZKH"}
        << Files{{"BIG.ZKH", big}, {"OLD.ZKH", big}, {"OLD.zkhelp", "old"}, {"S.ZKH", latin1}}
        << true << QByteArray()
        << QStringList{"Fehler beim Schreiben: \"%dir/BIG.zkhelp\"",
                       "Fehler beim Schreiben: \"%dir/OLD.zkhelp\"",
                       "[OK] \"S.ZKH\" -> \"S.zkhelp\""}
        << 2 << Files{{"S.zkhelp", utf8}};
    QTest::newRow("project to list")
        << QStringList{"-p2dos", "demo.zkproject"} << Files{{"demo.zkproject", project}} << false
        << QByteArray() << QStringList{"DOS Projektliste erstellt: \"PROJECT.ZKP\""} << 0
        << Files{{"PROJECT.ZKP", "INTRO~1.ZKH\nINTROD~1.ZKH\nreadme.txt\n"}};
    QTest::newRow("malformed project")
        << QStringList{"-p2dos", "bad.zkproject", "L.ZKP"}
        << Files{{"bad.zkproject", project.left(100)}, {"L.ZKP", "old"}} << false << QByteArray()
        << QStringList{"XML Fehler in Projektdatei: \"bad.zkproject\" \"Premature end of "
                       "document.\""}
        << 2 << none;
    QTest::newRow("missing project")
        << QStringList{"-p2dos", "none.zkproject"} << none << false << QByteArray()
        << QStringList{"Projektdatei nicht gefunden: \"none.zkproject\""} << 2 << none;
    QTest::newRow("list unwritable")
        << QStringList{"-p2dos", "demo.zkproject", "demo.zkproject/L.ZKP"}
        << Files{{"demo.zkproject", project}} << false << QByteArray()
        << QStringList{"Fehler beim Schreiben: \"demo.zkproject/L.ZKP\""} << 2 << none;
    QTest::newRow("list to project")
        << QStringList{"-p2win", "PROJECT.ZKP"}
        << Files{{"PROJECT.ZKP", "INTRO~1.ZKH\r\n\n   \n  readme.txt  \n"}} << false << QByteArray()
        << QStringList{"XML Projekt erstellt: \"Project.zkproject\""} << 0
        << Files{{"Project.zkproject", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<zkproject name=\"Imported\">\n"
                                       "    <file>INTRO~1.zkhelp</file>\n"
                                       "    <file>readme.zkhelp</file>\n</zkproject>\n"}};
    QTest::newRow("missing list") << QStringList{"-p2win", "none.zkp"} << none << false
                                  << QByteArray()
                                  << QStringList{"Liste nicht gefunden: \"none.zkp\""} << 2 << none;
}

void TestZkhconv::run()
{
    QFETCH(QStringList, args);
    QFETCH(Files, before);
    QFETCH(bool, limitFileSize);
    QFETCH(QByteArray, out);
    QFETCH(QStringList, err);
    QFETCH(int, status);
    QFETCH(Files, written);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const auto keep = qScopeGuard([&dir] { dir.setAutoRemove(!QTest::currentTestFailed()); });
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(TestFiles::write(dir.filePath(it.key()), it.value()), qPrintable(it.key()));

    QProcess process;
    process.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    process.setProcessEnvironment(env);
    if (limitFileSize) {
        process.setChildProcessModifier([] {
            rlimit limit;
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 8192;
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN);
        });
    }
    process.start(QStringLiteral(ZKHCONV_PATH), args);
    QVERIFY(process.waitForFinished(10000));

    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.readAllStandardOutput(), out);
    QStringList lines = QString::fromUtf8(process.readAllStandardError()).split(u'\n');
    QCOMPARE(lines.takeLast(), QString());
    lines.sort();
    err.replaceInStrings(QStringLiteral("%dir"), dir.path());
    err.sort();
    QCOMPARE(lines, err);
    QCOMPARE(process.exitCode(), status);
    before.insert(written);
    QCOMPARE(folderContents(dir.path()), before);
}

QTEST_GUILESS_MAIN(TestZkhconv)
#include "tst_zkhconv.moc"
