// The search-path file: what is written and appended reads back line for
// line, and any line end ends a line.
#include "searchpathfile.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestSearchPathFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void read_data();
    void read();
};

void TestSearchPathFile::roundTrip()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath("Path");
    const QStringList written{"/a b", "rel/c", "/Hülfe"};

    QVERIFY(ZkHelp::writeSearchPathFile(path, written));
    QVERIFY(ZkHelp::appendToSearchPathFile(path, {"/d"}));
    QCOMPARE(ZkHelp::readSearchPathFile(path), written + QStringList{"/d"});
}

void TestSearchPathFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "|" makes a FIFO instead
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("trimmed, blank lines and CRLF dropped")
        << QByteArray("  /a b  \n\n \t \r\n/c\r\nrel/d") << QStringList{"/a b", "/c", "rel/d"};
    QTest::newRow("a lone CR ends a line")
        << QByteArray("/a\r/b\r\r/c") << QStringList{"/a", "/b", "/c"};
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

QTEST_GUILESS_MAIN(TestSearchPathFile)
#include "tst_searchpathfile.moc"
