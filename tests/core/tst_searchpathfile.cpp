// The search-path file: lines read as the finder and the registration take
// them, and appending that never rewrites or merges a line.
#include "searchpathfile.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestSearchPathFile : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void append_data();
    void append();
};

void TestSearchPathFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "|" makes a FIFO instead
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("trimmed, blank lines and CRLF dropped")
        << QByteArray("  /a b  \n\n \t \r\n/c\r\nrel/d") << QStringList{"/a b", "/c", "rel/d"};
    QTest::newRow("a lone CR ends a line")
        << QByteArray("/a\r/b\r\r/c") << QStringList{"/a", "/b", "/c"};
    QTest::newRow("UTF-8") << QByteArray("/H\xC3\xBClfe\n") << QStringList{"/Hülfe"};
    QTest::newRow("a FIFO is not read") << QByteArray("|") << QStringList{};
}

void TestSearchPathFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath("Path");
    QVERIFY(bytes == "|" ? mkfifo(qPrintable(path), 0600) == 0 : TestFiles::write(path, bytes));

    QCOMPARE(ZkHelp::readSearchPathFile(path), lines);
}

void TestSearchPathFile::append_data()
{
    QTest::addColumn<QByteArray>("before"); // "-" for no file, "/" for a folder
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QByteArray>("after"); // "-" when the append fails

    QTest::newRow("no file yet") << QByteArray("-") << QStringList{"/a"} << QByteArray("/a\n");
    QTest::newRow("last line without line feed")
        << QByteArray("/x") << QStringList{"/a", "/b"} << QByteArray("/x\n/a\n/b\n");
    QTest::newRow("last line ends in CR")
        << QByteArray("/x\r") << QStringList{"/a"} << QByteArray("/x\r\n/a\n");
    QTest::newRow("nothing to add") << QByteArray("/x") << QStringList{} << QByteArray("/x");
    QTest::newRow("a folder named Path") << QByteArray("/") << QStringList{"/a"} << QByteArray("-");
}

void TestSearchPathFile::append()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, folders);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath("Path");
    if (before == "/")
        QVERIFY(QDir().mkdir(path));
    else if (before != "-")
        QVERIFY(TestFiles::write(path, before));

    QString reason;
    QCOMPARE(ZkHelp::appendToSearchPathFile(path, folders, &reason), after != "-");
    QCOMPARE(reason.isEmpty(), after != "-");
    if (after != "-")
        QCOMPARE(TestFiles::read(path), after);
}

QTEST_GUILESS_MAIN(TestSearchPathFile)
#include "tst_searchpathfile.moc"
