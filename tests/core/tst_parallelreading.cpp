// Files read on several threads against the same files read on one: the set
// check's report and the first full-text index must come out the same, over
// a set of many read groups that holds every kind of finding.
#include "helpcheck.h"
#include "helpxml.h"
#include "searchindex.h"
#include "searchrows.h"
#include "testfiles.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using HelpXml::language;
using HelpXml::link;
using HelpXml::section;
using ZkHelp::findingKindName;

namespace {

QByteArray topic(int i)
{
    return "t" + QByteArray::number(i);
}

// Topic i: a finding kind by i % 9, a link to the next topic but from every
// tenth (the next is an orphan unless an address of every third leads there).
QByteArray topicFile(int i)
{
    if (i % 9 == 8)
        return "<zkhelp><lang name=\"de\">" + link(topic(i + 1));
    const QByteArray de = language("de", "D", section("S", "Text", "", "s"));
    const QByteArray en = language("en", "E", section("S", "Text", "de:305fe78497408d98"));
    const QByteArray bodies[] = {
        de + en,
        de + en + link("nix" + QByteArray::number(i)),
        de + language("fr", "F", section("S", "Texte")),
        de + language("en", "E", section("S", "T") + section("U", "V")),
        de + language("en", "E", section("S", "T", "de:0000000000000000")),
        language("de", "D", section("S", "T", "", "d") + section("U", "V", "", "d")),
        de + language("en", "E", section("S", "T", "", "x")),
        language("de", "", section("S", "")) + en,
    };
    QByteArray body = bodies[i % 9] + (i % 10 != 9 ? link(topic(i + 1)) : QByteArray());
    return HelpXml::file(i % 3 ? body : body + link("zkhelp:" + topic(i * 7 % 300) + "#s"));
}

// The report, or every row of the index with its file, as lines of text.
QStringList outcome(bool index, const QString &root)
{
    const ZkHelp::HelpCollection collection({root + "/one", root + "/two"});
    QStringList lines;
    if (!index) {
        const ZkHelp::CheckReport report =
            ZkHelp::checkHelpSet(ZkHelp::searchFolderSet(collection), QString());
        lines << QString::number(report.files) + report.languages.join(u',') +
                     QString::number(report.unconfirmed);
        for (const ZkHelp::Finding &f : report.findings)
            lines << QStringLiteral(" %1 %2 %3 %4 %5 ")
                         .arg(findingKindName(f.kind), f.file, f.language,
                              QString::number(f.section), f.detail);
        return lines;
    }
    const QString file =
        root + "/index" + QString::number(QThreadPool::globalInstance()->maxThreadCount());
    ZkHelp::SearchIndex(file).update(collection);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"dump"_qs);
        db.setDatabaseName(file);
        db.open(); // else no rows, and none of the languages asked for
        // Each file with the rows it holds, and the words the full-text
        // table finds in each of them.
        QSqlQuery rows(db);
        rows.exec(u"SELECT * FROM files JOIN texts USING (id) ORDER BY id"_qs);
        for (int c = 0; rows.next(); c = 0) {
            for (lines << QString(); c < rows.record().count() - 1; ++c)
                lines.last() += u' ' + rows.value(c).toString() + u' ';
            // Texts that do not unpack give no line, and the languages
            // asked for are then missing.
            QList<ZkHelp::PreparedRow> texts;
            ZkHelp::unpackRows(rows.value(c).toByteArray(), texts);
            for (const ZkHelp::PreparedRow &row : texts)
                lines << QStringLiteral(" %1 %2 %3 %4 ")
                             .arg(row.language)
                             .arg(row.section)
                             .arg(row.titleAsWritten(), row.textAsWritten());
        }
        rows.exec(u"CREATE VIRTUAL TABLE temp.words USING fts5vocab(main, entries, instance)"_qs);
        rows.exec(u"SELECT * FROM temp.words ORDER BY doc, col, offset"_qs);
        for (lines << QString(); rows.next();)
            lines.last() += rows.value(0).toString() + rows.value(1).toString() + u' ';
    }
    QSqlDatabase::removeDatabase(u"dump"_qs);
    return lines;
}

} // namespace

class TestParallelReading : public QObject
{
    Q_OBJECT

private slots:
    void sameAsOneThread_data();
    void sameAsOneThread();
};

void TestParallelReading::sameAsOneThread_data()
{
    QTest::addColumn<bool>("index");
    QTest::addColumn<QStringList>("shown"); // each at least ten times
    QTest::newRow("check") << false
                           << QStringList{"broken-link",   "unreadable", "missing-language",
                                          "section-count", "stale",      "duplicate-id",
                                          "unknown-id",    "empty-text", "orphan",
                                          "shadowed"};
    QTest::newRow("index") << true << QStringList{"de", "en", "fr"};
}

// 300 topics, many read groups for each reader, and 30 of their names again
// in a later folder.
void TestParallelReading::sameAsOneThread()
{
    QFETCH(bool, index);
    QFETCH(QStringList, shown);
    QTemporaryDir work;
    for (int i = 0; i < 300; ++i)
        QVERIFY(TestFiles::write(work.path() + "/one/" + topic(i) + ".zkhelp", topicFile(i)));
    for (int i = 0; i < 300; i += 10)
        QVERIFY(TestFiles::write(work.path() + "/two/" + topic(i) + ".zkhelp", topicFile(0)));

    QThreadPool::globalInstance()->setMaxThreadCount(1);
    const QStringList serial = outcome(index, work.path());
    QThreadPool::globalInstance()->setMaxThreadCount(4);
    QCOMPARE(outcome(index, work.path()), serial);
    for (const QString &part : shown)
        QVERIFY2(serial.filter(u' ' + part + u' ').size() >= 10, qPrintable(part));
}

QTEST_GUILESS_MAIN(TestParallelReading)
#include "tst_parallelreading.moc"
