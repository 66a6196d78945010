// The project file: what is written reads back the same, and what a damaged
// or missing file gives.
#include "projectfile.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using ZkHelp::ProjectFileContent;

class TestProjectFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void read_data();
    void read();
};

void TestProjectFile::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("members");

    QTest::newRow("members in subfolders") << "demo" << QStringList{"a.zkhelp", "sub/b.zkhelp"};
    QTest::newRow("markup, umlauts, blanks")
        << "Hilfe & <Übung>" << QStringList{"Größe & <x>.zkhelp", " Teil 2/c.zkhelp"};
    QTest::newRow("no members, no name") << "" << QStringList{};
}

void TestProjectFile::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QStringList, members);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath("p.zkproject");

    QVERIFY(ZkHelp::writeProjectFile(path, name, members));
    const std::optional<ProjectFileContent> read = ZkHelp::readProjectFile(path);
    QVERIFY(read);
    QCOMPARE(read->name, name);
    QVERIFY(read->named);
    QCOMPARE(read->members, members);
    QCOMPARE(read->xmlError, QString());
}

void TestProjectFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "-" for no file at all
    QTest::addColumn<QString>("name");     // "-" when no zkproject element was read
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<bool>("wellFormed");

    QTest::newRow("no file") << QByteArray("-") << "" << QStringList{} << false;
    QTest::newRow("first name counts, files anywhere")
        << QByteArray("<x><file>a</file><zkproject name=\"1\"><zkproject name=\"2\"/>"
                      "<file>b</file></zkproject></x>")
        << "1" << QStringList{"a", "b"} << true;
}

void TestProjectFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QStringList, members);
    QFETCH(bool, wellFormed);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    if (bytes != "-")
        QVERIFY(TestFiles::write(dir.filePath("p.zkproject"), bytes));

    QString reason;
    const std::optional<ProjectFileContent> read =
        ZkHelp::readProjectFile(dir.filePath("p.zkproject"), &reason);
    QCOMPARE(bool(read), bytes != "-");
    QCOMPARE(reason.isEmpty(), bool(read));
    if (!read)
        return;
    QCOMPARE(read->named ? read->name : QString("-"), name);
    QCOMPARE(read->members, members);
    QCOMPARE(read->xmlError.isEmpty(), wellFormed);
}

QTEST_GUILESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
