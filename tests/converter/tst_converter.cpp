// The converter's functions in-process: names, bytes, lists, and what a failure leaves behind.
#include "converter.h"
#include "filesizelimit.h"
#include "savefile.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using ZkHelp::Converter;

namespace {

QStringList messages;

void collect(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    messages << (type == QtInfoMsg ? QStringLiteral("I ") : QStringLiteral("C ")) + text;
}

// Collects the converter's log lines for one test row.
struct MessageLog
{
    MessageLog()
        : previous(qInstallMessageHandler(collect))
    {
        messages.clear();
    }
    ~MessageLog() { qInstallMessageHandler(previous); }
    QtMessageHandler previous;
};

QByteArray projectXml(const QByteArray &members)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zkproject name=\"Imported\"" +
           (members.isEmpty() ? QByteArray("/>\n") : ">\n" + members + "</zkproject>\n");
}

} // namespace

class TestConverter : public QObject
{
    Q_OBJECT

private slots:
    void toDos83_data();
    void toDos83();
    void toDos83_runsOutAfter998();
    void toWinName();
    void convertFile_data();
    void convertFile();
    void processBatch_data();
    void processBatch();
    void convertProject_data();
    void convertProject();
    void failureKeepsOutput_data();
    void failureKeepsOutput();
    void writeNewFile_data();
    void writeNewFile();
};

void TestConverter::toDos83_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "help.zkhelp" << QStringList{} << "HELP~1.ZKH";
    QTest::newRow("earlier output") << "help.zkhelp" << QStringList{"HELP~1.ZKH"} << "HELP~2.ZKH";
    QTest::newRow("several dots") << "manual.page.zkhelp" << QStringList{} << "MANUAL~1.ZKH";
    QTest::newRow("long stem") << "introduction.zkhelp" << QStringList{} << "INTROD~1.ZKH";
    QStringList nine;
    for (int n = 1; n <= 9; ++n)
        nine << QStringLiteral("INTROD~%1.ZKH").arg(n);
    QTest::newRow("two digits") << "introduction.zkhelp" << nine << "INTRO~10.ZKH";
    QTest::newRow("blanks") << "my-help file.zkhelp" << QStringList{} << "MYHELP~1.ZKH";
    QTest::newRow("umlauts only") << "äöü.zkhelp" << QStringList{} << "FILE~1.ZKH";
    QTest::newRow("empty stem") << ".zkhelp" << QStringList{} << "FILE~1.ZKH";
    QTest::newRow("sharp s") << "straße.zkhelp" << QStringList{} << "STRASS~1.ZKH";
    QTest::newRow("exact case") << "foo.zkhelp" << QStringList{"foo~1.zkh"} << "FOO~1.ZKH";
    QTest::newRow("percent folder") << "a%1 %2/x.zkhelp" << QStringList{} << "a%1 %2/X~1.ZKH";
}

void TestConverter::toDos83()
{
    QFETCH(QString, input);
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const auto keep = qScopeGuard([&dir] { dir.setAutoRemove(!QTest::currentTestFailed()); });
    QDir().mkpath(QFileInfo(dir.filePath(input)).absolutePath());
    for (const QString &name : existing)
        QVERIFY(TestFiles::write(dir.filePath(name), "x"));

    QCOMPARE(Converter::toDos83(dir.filePath(input)), dir.filePath(expected));
}

void TestConverter::toDos83_runsOutAfter998()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const auto keep = qScopeGuard([&dir] { dir.setAutoRemove(!QTest::currentTestFailed()); });
    const QString input = dir.filePath(QStringLiteral("introduction.zkhelp"));
    QVERIFY(TestFiles::write(input, "x"));
    QStringList names;
    for (QString name = Converter::toDos83(input); !name.isEmpty() && names.size() < 1000;
         name = Converter::toDos83(input)) {
        QVERIFY2(!QFile::exists(name), qPrintable(name));
        QVERIFY(TestFiles::write(name, "old"));
        names << QFileInfo(name).fileName();
    }
    QCOMPARE(names.size(), 998);
    QCOMPARE(names.at(9), QStringLiteral("INTRO~10.ZKH"));
    QCOMPARE(names.at(99), QStringLiteral("INTR~100.ZKH"));
    QCOMPARE(names.last(), QStringLiteral("INTR~998.ZKH"));

    // A batch converts what it can and reports the file that found no name.
    QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("other.zkhelp")), "y"));
    MessageLog log;
    QVERIFY(!Converter::processBatch(dir.filePath(QStringLiteral("*.zkhelp")), false));
    QCOMPARE(TestFiles::read(dir.filePath(QStringLiteral("INTR~998.ZKH"))), QByteArray("old"));
    QCOMPARE(TestFiles::read(dir.filePath(QStringLiteral("OTHER~1.ZKH"))), QByteArray("y"));
    messages.sort();
    QCOMPARE(messages, QStringList({"C Kein freier DOS-Name für: \"" + input + '"',
                                    "I [OK] \"other.zkhelp\" -> \"OTHER~1.ZKH\""}));
}

void TestConverter::toWinName()
{
    QCOMPARE(Converter::toWinName(QStringLiteral("/d/FOO~1.ZKH")),
             QStringLiteral("/d/FOO~1.zkhelp"));
    QCOMPARE(Converter::toWinName(QStringLiteral("/d/a.b.ZKH")), QStringLiteral("/d/a.b.zkhelp"));
    QCOMPARE(Converter::toWinName(QStringLiteral("sub/readme")),
             QDir::current().absoluteFilePath(QStringLiteral("sub/readme.zkhelp")));
}

void TestConverter::convertFile_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("toWin");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    QTest::newRow("umlauts to DOS") << QByteArray("Gr\xc3\xb6\xc3\x9f"
                                                  "e")
                                    << false
                                    << QByteArray("Gr\xf6\xdf"
                                                  "e");
    QTest::newRow("umlauts back") << QByteArray("Gr\xf6\xdf"
                                                "e")
                                  << true
                                  << QByteArray("Gr\xc3\xb6\xc3\x9f"
                                                "e");
    QTest::newRow("euro") << QByteArray("5 \xe2\x82\xac") << false << QByteArray("5 ?");
    QTest::newRow("invalid UTF-8") << QByteArray("a\xff"
                                                 "b")
                                   << false << QByteArray("a?b");
    QTest::newRow("CR LF to DOS") << declaration + "\xc3\xa4\r\n"
                                  << false << declaration + "\xe4\r\n";
    QTest::newRow("CR LF back") << declaration + "\xe4\r\n" << true << declaration + "\xc3\xa4\r\n";
    QTest::newRow("empty") << QByteArray() << false << QByteArray();
}

void TestConverter::convertFile()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, toWin);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const auto keep = qScopeGuard([&dir] { dir.setAutoRemove(!QTest::currentTestFailed()); });
    QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("in")), input));
    QVERIFY(
        TestFiles::write(dir.filePath(QStringLiteral("out")), "a longer output of an earlier run"));

    MessageLog log;
    QVERIFY(Converter::convertFile(dir.filePath(QStringLiteral("in")),
                                   dir.filePath(QStringLiteral("out")), toWin));
    QCOMPARE(TestFiles::read(dir.filePath(QStringLiteral("out"))), expected);
    QCOMPARE(messages, QStringList{"I [OK] \"in\" -> \"out\""});
}

void TestConverter::processBatch_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("toWin");
    QTest::addColumn<QStringList>("outputs");
    QTest::addColumn<int>("failures");

    QTest::newRow("distinct") << QStringList{"intro.zkhelp", "introduction.zkhelp"} << "*.zkhelp"
                              << false << QStringList{"INTRO~1.ZKH", "INTROD~1.ZKH"} << 0;
    QTest::newRow("digits") << QStringList{"help1.zkhelp", "help2.zkhelp"} << "*.zkhelp" << false
                            << QStringList{"HELP1~1.ZKH", "HELP2~1.ZKH"} << 0;
    QTest::newRow("shared prefix") << QStringList{"chapter1.zkhelp", "chapter2.zkhelp"} << "chap*"
                                   << false << QStringList{"CHAPTE~1.ZKH", "CHAPTE~2.ZKH"} << 0;
    QTest::newRow("only matching, no subfolder")
        << QStringList{"a.zkhelp", "B.ZKH", "sub/c.zkhelp", ".hidden.zkhelp"} << "*.zkhelp" << false
        << QStringList{"A~1.ZKH"} << 0;
    QTest::newRow("case ignored") << QStringList{"X.ZKHELP"} << "*.zkhelp" << false
                                  << QStringList{"X~1.ZKH"} << 0;
    QTest::newRow("blanks and umlauts")
        << QStringList{"mein hilfe.zkhelp", "über.zkhelp"} << "*.zkhelp" << false
        << QStringList{"BER~1.ZKH", "MEINHI~1.ZKH"} << 0;
    QTest::newRow("back") << QStringList{"FOO~1.ZKH", "a.zkhelp"} << "*.zkh" << true
                          << QStringList{"FOO~1.zkhelp"} << 0;
    QTest::newRow("no match") << QStringList{"a.txt"} << "*.zkhelp" << false << QStringList{} << 0;
    QTest::newRow("no folder") << QStringList{} << "none/*.zkhelp" << false << QStringList{} << 0;
    QStringList chapters{"KAPITE~2.ZKH"};
    QStringList names;
    for (int n = 1; n <= 12; ++n)
        chapters << QStringLiteral("kapitel%1.zkhelp").arg(n);
    for (int n = 1; n <= 13; ++n) {
        if (n != 2)
            names << QString(n < 10 ? "KAPITE~%1.ZKH" : "KAPIT~%1.ZKH").arg(n);
    }
    QTest::newRow("one prefix, taken names skipped")
        << chapters << "*.zkhelp" << false << names << 0;
    QTest::newRow("folder takes a name") << QStringList{"a.zkhelp", "A~1.ZKH/x"} << "*.zkhelp"
                                         << false << QStringList{"A~2.ZKH"} << 0;
    QTest::newRow("back, over an old file")
        << QStringList{"A.ZKH", "A.zkhelp"} << "*.ZKH" << true << QStringList{"A.zkhelp"} << 0;
    QTest::newRow("back, two inputs one target")
        << QStringList{"A.ZKH", "A.zkh"} << "*.zkh" << true << QStringList{"A.zkhelp"} << 1;
}

void TestConverter::processBatch()
{
    QFETCH(QStringList, files);
    QFETCH(QString, pattern);
    QFETCH(bool, toWin);
    QFETCH(QStringList, outputs);
    QFETCH(int, failures);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const auto keep = qScopeGuard([&dir] { dir.setAutoRemove(!QTest::currentTestFailed()); });
    for (const QString &name : files)
        QVERIFY(TestFiles::write(dir.filePath(name), name.toUtf8()));

    MessageLog log;
    QCOMPARE(Converter::processBatch(dir.filePath(pattern), toWin), failures == 0);
    // Every file holds its own name until a conversion writes it.
    QStringList written;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
        if (TestFiles::read(dir.filePath(name)) != name.toUtf8())
            written << name;
    }
    written.sort();
    outputs.sort();
    QCOMPARE(written, outputs);
    const QStringList done = messages.filter(QRegularExpression(QStringLiteral("^I \\[OK\\] ")));
    QCOMPARE(done.size(), messages.size() - failures);
    QCOMPARE(messages.filter(QLatin1String("C Ziel schon in diesem Lauf geschrieben:")).size(),
             failures);
}

void TestConverter::convertProject_data()
{
    QTest::addColumn<bool>("toWin");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("expected"); // null: no file at all
    QTest::addColumn<QString>("message");

    const QString list = QStringLiteral("PROJECT.ZKP");
    const QString project = QStringLiteral("Project.zkproject");
    const QByteArray old = "old\n";
    const auto members = [](const QByteArray &files) {
        return "<?xml version=\"1.0\"?>\n<zkproject name=\"d\">" + files + "</zkproject>\n";
    };
    QTest::newRow("list") << false
                          << members("<file>intro.zkhelp</file><file>Introduction.zkhelp</file>"
                                     "<file>readme.txt</file><sub><file>Doc.ZKHELP</file></sub>")
                          << list << true
                          << QByteArray("INTRO~1.ZKH\nINTROD~1.ZKH\nreadme.txt\nDOC~1.ZKH\n")
                          << "I DOS Projektliste erstellt: \"%out\"";
    QTest::newRow("fixed counter")
        << false
        << members("<file>chapter1.zkhelp</file><file>chapter2.zkhelp</file>"
                   "<file>sub/topic.zkhelp</file><file>pics/logo.png</file>"
                   "<file>\xc3\xa4\xc3\xb6.zkhelp</file>")
        << list << true
        << QByteArray("CHAPTE~1.ZKH\nCHAPTE~1.ZKH\nSUBTOP~1.ZKH\npics\\logo.png\n~1.ZKH\n")
        << "I DOS Projektliste erstellt: \"%out\"";
    QTest::newRow("no members") << false << members("") << list << true << QByteArray("")
                                << "I DOS Projektliste erstellt: \"%out\"";
    QTest::newRow("malformed") << false << QByteArray("<zkproject><file>a.zkhelp</file>") << list
                               << false << old << "C XML Fehler in Projektdatei: \"%in\" \"";
    QTest::newRow("empty project") << false << QByteArray() << list << false << old
                                   << "C XML Fehler in Projektdatei: \"%in\" \"";
    QTest::newRow("member with a line feed")
        << false << members("<file>a\nb.zkhelp</file>") << list << false << old
        << "C Projektmitglied mit Zeilenumbruch: \"%in\"";
    QTest::newRow("list unwritable") << false << members("") << "in/PROJECT.ZKP" << false
                                     << QByteArray() << "C Fehler beim Schreiben: \"%out\"";
    QTest::newRow("project")
        << true << QByteArray("INTRO~1.ZKH\n\n  readme.txt \r\n\t\nSUB\\FOO~1.ZKH\na&b.ZKH")
        << project << true
        << projectXml("    <file>INTRO~1.zkhelp</file>\n    <file>readme.zkhelp</file>\n"
                      "    <file>SUB\\FOO~1.zkhelp</file>\n    <file>a&amp;b.zkhelp</file>\n")
        << "I XML Projekt erstellt: \"%out\"";
    QTest::newRow("invalid UTF-8 line") << true << QByteArray("\xff.ZKH\n") << project << true
                                        << projectXml("    <file>\xef\xbf\xbd.zkhelp</file>\n")
                                        << "I XML Projekt erstellt: \"%out\"";
    QTest::newRow("last line cut short in a character")
        << true << QByteArray("A.ZKH\n\xc3") << project << true
        << projectXml("    <file>A.zkhelp</file>\n    <file>\xef\xbf\xbd.zkhelp</file>\n")
        << "I XML Projekt erstellt: \"%out\"";
    QTest::newRow("empty list") << true << QByteArray("") << project << true << projectXml("")
                                << "I XML Projekt erstellt: \"%out\"";
    QTest::newRow("project unwritable")
        << true << QByteArray("A.ZKH") << "in/Project.zkproject" << false << QByteArray()
        << "C Fehler beim Schreiben: \"%out\"";
}

void TestConverter::convertProject()
{
    QFETCH(bool, toWin);
    QFETCH(QByteArray, input);
    QFETCH(QString, output);
    QFETCH(bool, ok);
    QFETCH(QByteArray, expected);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const auto keep = qScopeGuard([&dir] { dir.setAutoRemove(!QTest::currentTestFailed()); });
    const QString in = dir.filePath(QStringLiteral("in"));
    const QString out = dir.filePath(output);
    QVERIFY(TestFiles::write(in, input));
    QVERIFY(TestFiles::write(dir.filePath(QFileInfo(output).fileName()), "old\n"));

    MessageLog log;
    QCOMPARE(toWin ? Converter::convertProject2Win(in, out, QStringLiteral("Imported"))
                   : Converter::convertProject2Dos(in, out),
             ok);
    if (expected.isNull())
        QVERIFY(!QFileInfo::exists(out));
    else
        QCOMPARE(TestFiles::read(out), expected);
    QCOMPARE(messages.size(), 1);
    message.replace(QLatin1String("%in"), in).replace(QLatin1String("%out"), out);
    QVERIFY2(messages.first().startsWith(message), qPrintable(messages.first()));
}

void TestConverter::failureKeepsOutput_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("input");

    QTest::newRow("file") << 0 << QByteArray(20000, 'x');
    QTest::newRow("list") << 1
                          << ("<zkproject>" + QByteArray("<file>a.zkhelp</file>").repeated(2000) +
                              "</zkproject>");
    QTest::newRow("project") << 2 << QByteArray("FOO~1.ZKH\n").repeated(2000);
    QTest::newRow("missing input") << 0 << QByteArray();
}

void TestConverter::failureKeepsOutput()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, input);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const auto keep = qScopeGuard([&dir] { dir.setAutoRemove(!QTest::currentTestFailed()); });
    const QString in = dir.filePath(QStringLiteral("in"));
    const QString out = dir.filePath(QStringLiteral("out"));
    if (!input.isEmpty())
        QVERIFY(TestFiles::write(in, input));
    QVERIFY(TestFiles::write(out, "old"));

    MessageLog log;
    bool ok = true;
    {
        FileSizeLimit limit(8192);
        ok = kind == 0   ? Converter::convertFile(in, out, false)
             : kind == 1 ? Converter::convertProject2Dos(in, out)
                         : Converter::convertProject2Win(in, out, QStringLiteral("p"));
    }
    QVERIFY(!ok);
    QCOMPARE(TestFiles::read(out), QByteArray("old"));
    const QString failed =
        input.isEmpty() ? "C Fehler beim Lesen: \"" + in : "C Fehler beim Schreiben: \"" + out;
    QCOMPARE(messages, QStringList{failed + '"'});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
             input.isEmpty() ? 1 : 2);
}

void TestConverter::writeNewFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("expected"); // null: no file at all

    QTest::newRow("new") << "new" << QByteArray("\xe4") << true << QByteArray("\xe4");
    QTest::newRow("empty") << "new" << QByteArray("") << true << QByteArray("");
    QTest::newRow("existing kept") << "old" << QByteArray("x") << false << QByteArray("old");
    QTest::newRow("disk full") << "new" << QByteArray(20000, 'x') << false << QByteArray();
    QTest::newRow("no folder") << "old/new" << QByteArray("x") << false << QByteArray();
}

void TestConverter::writeNewFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const auto keep = qScopeGuard([&dir] { dir.setAutoRemove(!QTest::currentTestFailed()); });
    QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("old")), "old"));

    {
        FileSizeLimit limit(8192);
        QCOMPARE(ZkHelp::writeNewFile(dir.filePath(name), bytes), ok);
    }
    if (expected.isNull())
        QVERIFY(!QFileInfo::exists(dir.filePath(name)));
    else
        QCOMPARE(TestFiles::read(dir.filePath(name)), expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1 + (ok ? 1 : 0));
}

QTEST_GUILESS_MAIN(TestConverter)
#include "tst_converter.moc"
