// Files read on several threads against the same files read on one: the set
// check's report and the first full-text index must come out the same, over
// a set of many read groups that holds every kind of finding.
#include "helpcheck.h"
#include "helpset.h"
#include "helpxml.h"
#include "searchindex.h"
#include "testfiles.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using HelpXml::language;
using HelpXml::link;
using HelpXml::section;

namespace {

enum class Outcome { Check, Index };

const QByteArray confirmedEn = language("en", "E", section("S", "Text", "de:305fe78497408d98"));

QByteArray topic(int i)
{
    return "t" + QByteArray::number(i);
}

// Topic i: one finding kind by i, a link to the next topic except for every
// tenth (so the topic after it is an orphan unless an address of every third
// topic leads there).
QByteArray topicFile(int i)
{
    const QByteArray de = language("de", "D", section("S", "Text", "", "s"));
    QByteArray body;
    switch (i % 9) {
    case 0:
        body = de + confirmedEn;
        break;
    case 1:
        body = de + confirmedEn + link("nix" + QByteArray::number(i));
        break;
    case 2:
        return "<zkhelp><lang name=\"de\">" + link(topic(i + 1));
    case 3:
        body = de + language("fr", "F", section("S", "Texte"));
        break;
    case 4:
        body = de + language("en", "E", section("S", "T") + section("U", "V"));
        break;
    case 5:
        body = de + language("en", "E", section("S", "T", "de:0000000000000000"));
        break;
    case 6:
        body = language("de", "D", section("S", "T", "", "d") + section("U", "V", "", "d"));
        break;
    case 7:
        body = de + language("en", "E", section("S", "T", "", "x"));
        break;
    case 8:
        body = language("de", "", section("S", "")) + confirmedEn;
        break;
    }
    if (i % 10 != 9)
        body += link(topic(i + 1));
    if (i % 3 == 0)
        body += link("zkhelp:" + topic(i * 7 % 300) + "#s");
    return HelpXml::file(body);
}

// The report or the index, as text to compare.
QStringList outcome(Outcome kind, const QString &root)
{
    const ZkHelp::HelpCollection collection({root + "/one", root + "/two"});
    QStringList lines;
    if (kind == Outcome::Check) {
        const ZkHelp::CheckReport report =
            ZkHelp::checkHelpSet(ZkHelp::searchFolderSet(collection), QString());
        lines << QString::number(report.files) << report.languages.join(u',')
              << QString::number(report.unconfirmed);
        for (const ZkHelp::Finding &f : report.findings)
            lines << QStringLiteral("%1 %2 %3 %4 %5")
                         .arg(f.file, ZkHelp::findingKindName(f.kind), f.language)
                         .arg(f.section)
                         .arg(f.detail);
        return lines;
    }
    const QString file = root + "/index" +
                         QString::number(QThreadPool::globalInstance()->maxThreadCount()) +
                         ".sqlite";
    ZkHelp::SearchIndex(file).update(collection);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"dump"_qs);
        db.setDatabaseName(file);
        db.open();
        for (const QString &statement : {u"SELECT * FROM files ORDER BY id"_qs,
                                         u"SELECT rowid, * FROM entries ORDER BY rowid"_qs}) {
            QSqlQuery query(statement, db);
            while (query.next()) {
                QStringList row;
                for (int c = 0; c < query.record().count(); ++c)
                    row << query.value(c).toString();
                lines << row.join(u'|');
            }
        }
    }
    QSqlDatabase::removeDatabase(u"dump"_qs);
    return lines;
}

} // namespace

class TestParallelReading : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void sameAsOneThread_data();
    void sameAsOneThread();

private:
    QTemporaryDir work;
};

// 300 topics, many groups of files for each reader, and 30 of their names
// again in a later folder.
void TestParallelReading::initTestCase()
{
    QVERIFY(work.isValid());
    for (int i = 0; i < 300; ++i)
        QVERIFY(TestFiles::write(work.path() + "/one/" + topic(i) + ".zkhelp", topicFile(i)));
    for (int i = 0; i < 30; ++i)
        QVERIFY(TestFiles::write(work.path() + "/two/" + topic(i * 10) + ".zkhelp", topicFile(0)));
}

void TestParallelReading::cleanup()
{
    QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
}

void TestParallelReading::sameAsOneThread_data()
{
    QTest::addColumn<Outcome>("kind");
    QTest::newRow("check") << Outcome::Check;
    QTest::newRow("index") << Outcome::Index;
}

void TestParallelReading::sameAsOneThread()
{
    QFETCH(Outcome, kind);
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    const QStringList serial = outcome(kind, work.path());
    QThreadPool::globalInstance()->setMaxThreadCount(4);
    const QStringList parallel = outcome(kind, work.path());
    QCOMPARE(parallel, serial);
    // Every file listed, and rows after them.
    if (kind == Outcome::Index) {
        QVERIFY(serial.size() > 330);
        return;
    }
    for (const QString &name :
         QStringList{"broken-link", "unreadable", "missing-language", "section-count", "stale",
                     "duplicate-id", "unknown-id", "empty-text", "orphan", "shadowed"})
        QVERIFY2(serial.filter(' ' + name + ' ').size() >= 10, qPrintable(name));
}

QTEST_GUILESS_MAIN(TestParallelReading)
#include "tst_parallelreading.moc"
