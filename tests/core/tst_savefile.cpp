// Replacing a whole file in one step: the old content survives every failure.
#include "filesizelimit.h"
#include "savefile.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestSaveFile : public QObject
{
    Q_OBJECT

private slots:
    void saveFile_data();
    void saveFile();
};

void TestSaveFile::saveFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("sizeLimit");
    QTest::addColumn<bool>("saved");

    QTest::newRow("replaces the old file") << "old.txt" << 500 << 0 << true;
    QTest::newRow("disk full within the write buffer") << "old.txt" << 500 << 100 << false;
    QTest::newRow("disk full beyond the write buffer") << "old.txt" << 40000 << 100 << false;
    QTest::newRow("folder is a file") << "old.txt/new.txt" << 500 << 0 << false;
}

void TestSaveFile::saveFile()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(int, sizeLimit);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString oldPath = dir.filePath(QStringLiteral("old.txt"));
    const QByteArray old = "old content";
    QVERIFY(TestFiles::write(oldPath, old));
    const QByteArray bytes(size, 'n');

    bool result = !saved;
    {
        const auto limit = sizeLimit > 0 ? std::make_unique<FileSizeLimit>(sizeLimit) : nullptr;
        result = ZkHelp::saveFile(dir.filePath(name), bytes);
    }
    QCOMPARE(result, saved);
    QCOMPARE(TestFiles::read(oldPath), saved ? bytes : old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.txt"});
}

QTEST_GUILESS_MAIN(TestSaveFile)
#include "tst_savefile.moc"
