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
    void appendMakesFolders_data();
    void appendMakesFolders();
    void installedProgramFolder_data();
    void installedProgramFolder();
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

void TestSearchPathFile::appendMakesFolders_data()
{
    QTest::addColumn<QString>("blocker"); // a file made first, relative to the temporary folder
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("appended");

    QTest::newRow("missing folders made") << QString() << "config/zkhelp/Path" << true;
    QTest::newRow("a file where the folder belongs") << "config"
                                                     << "config/zkhelp/Path" << false;
}

void TestSearchPathFile::appendMakesFolders()
{
    QFETCH(QString, blocker);
    QFETCH(QString, path);
    QFETCH(bool, appended);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    if (!blocker.isEmpty())
        QVERIFY(TestFiles::write(dir.filePath(blocker), "x"));
    QString error;

    QCOMPARE(ZkHelp::appendToSearchPathFile(dir.filePath(path), {"/a"}, &error), appended);
    QCOMPARE(TestFiles::read(dir.filePath(path)), appended ? QByteArray("/a\n") : QByteArray());
    QCOMPARE(error.isEmpty(), appended);
}

void TestSearchPathFile::installedProgramFolder_data()
{
    // Folders relative to the test's temporary folder, which holds bin/,
    // bin/sub/, link -> bin and build/cli/.
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("binFolder");
    QTest::addColumn<bool>("installed");

    QTest::newRow("the bin folder") << "bin"
                                    << "bin" << true;
    QTest::newRow("written another way") << "./bin/"
                                         << "x/../bin" << true;
    QTest::newRow("through a link") << "link"
                                    << "bin" << true;
    QTest::newRow("the bin folder through a link") << "bin"
                                                   << "link" << true;
    QTest::newRow("a build tree") << "build/cli"
                                  << "bin" << false;
    QTest::newRow("a folder below the bin folder") << "bin/sub"
                                                   << "bin" << false;
    QTest::newRow("the folder above it") << "."
                                         << "bin" << false;
    QTest::newRow("a missing bin folder") << "bin"
                                          << "gone" << false;
    QTest::newRow("both missing, written alike") << "gone/"
                                                 << "gone" << true;
}

void TestSearchPathFile::installedProgramFolder()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, binFolder);
    QFETCH(bool, installed);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(QDir().mkpath(dir.filePath("bin/sub")) && QDir().mkpath(dir.filePath("build/cli")));
    QVERIFY(QFile::link(dir.filePath("bin"), dir.filePath("link")));

    QCOMPARE(ZkHelp::isInstalledProgramFolder(dir.filePath(programFolder), dir.filePath(binFolder)),
             installed);
}

QTEST_GUILESS_MAIN(TestSearchPathFile)
#include "tst_searchpathfile.moc"
