// zkhelp_cli -search as a process: exact lines, exit status, the hit limit,
// and two programs updating one index at once.
#include "helpxml.h"
#include "privatehome.h"
#include "processrun.h"
#include "testfiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void search_data();
    void search();
    void twoProgramsAtOnce();

private:
    void startSearch(QProcess &process, const QString &query) const;
    QString work(const QString &name) const { return workDir->filePath(name); }
    void writeTopic(const QString &name, const QByteArray &languages) const;

    // The index lands in this private cache folder, fresh for the process.
    PrivateHome home;
    std::unique_ptr<QTemporaryDir> workDir;
};

void TestSearch::init()
{
    workDir = std::make_unique<QTemporaryDir>();
    QVERIFY(workDir->isValid());
    QVERIFY(TestFiles::write(work(u"Path"_qs), (work(u"one"_qs) + u'\n').toUtf8()));
    writeTopic(u"net.zkhelp"_qs,
               HelpXml::language("de", "Netz", HelpXml::section("E-Mail", "Post senden")) +
                   HelpXml::language("en", "Mail and more"));
}

void TestSearch::writeTopic(const QString &name, const QByteArray &languages) const
{
    QVERIFY(TestFiles::write(work(u"one/"_qs + name), HelpXml::file(languages)));
}

void TestSearch::startSearch(QProcess &process, const QString &query) const
{
    process.setWorkingDirectory(workDir->path());
    process.start(QStringLiteral(ZKHELP_CLI_PATH), {u"-search"_qs, query});
}

void TestSearch::search_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("extraFiles");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err");

    QString tooLong = u"Post senden"_qs;
    for (int i = 0; i < 40; ++i)
        tooLong += u" Wort"_qs + QString::number(i);
    const QByteArray none;
    QTest::newRow("section hit") << "senden" << 0 << QByteArray("net.zkhelp\tde\tE-Mail\n") << 0
                                 << none;
    QTest::newRow("description hit")
        << "more" << 0 << QByteArray("net.zkhelp\ten\t\n") << 0 << none;
    QTest::newRow("no hit") << "nirgends" << 0 << QByteArray("Keine Treffer.\n") << 1 << none;
    QTest::newRow("at most 50") << "viele" << 60 << QByteArray() << 0 << none;
    QTest::newRow("file name is no word")
        << "net" << 0 << QByteArray("Keine Treffer.\n") << 1 << none;
    QTest::newRow("more than 32 words") << tooLong << 0 << QByteArray("Keine Treffer.\n") << 1
                                        << QByteArray("Suchanfrage gekuerzt auf 32 Woerter\n");
}

void TestSearch::search()
{
    QFETCH(QString, query);
    QFETCH(int, extraFiles);
    QFETCH(QByteArray, out);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);
    for (int i = 0; i < extraFiles; ++i)
        writeTopic(QString::number(i) + u".zkhelp"_qs, HelpXml::language("de", "viele"));

    const ProcessRun result =
        ProcessRun::run(QStringLiteral(ZKHELP_CLI_PATH), {u"-search"_qs, query}, workDir->path());
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.err, err);
    if (extraFiles == 0)
        QCOMPARE(result.out, out);
    else
        QCOMPARE(result.out.count('\n'), 50);
}

// Both update the same new index at once, and both answer in full.
void TestSearch::twoProgramsAtOnce()
{
    for (int i = 0; i < 400; ++i)
        writeTopic(QString::number(i) + u".zkhelp"_qs,
                   HelpXml::language("de", "Datei " + QByteArray::number(i)));
    QProcess first;
    QProcess second;
    startSearch(first, u"Datei 399"_qs);
    startSearch(second, u"Datei 0"_qs);
    QVERIFY(first.waitForFinished(20000));
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(first.readAllStandardOutput(), QByteArray("399.zkhelp\tde\t\n"));
    QCOMPARE(second.readAllStandardOutput(), QByteArray("0.zkhelp\tde\t\n"));
    QCOMPARE(first.readAllStandardError() + second.readAllStandardError(), QByteArray());
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
