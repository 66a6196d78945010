// The viewer's full-text index on a thread of its own, without a window:
// what an update says when it ends, and that an answer comes back with the
// ticket of the search it answers.
#include "helpxml.h"
#include "searchworker.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

class TestSearchWorker : public QObject
{
    Q_OBJECT

private slots:
    void updates_data();
    void updates();
};

void TestSearchWorker::updates_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QStringList>("alphaHits");

    QTest::newRow("none") << "" << false << QStringList{u"a"_s};
    QTest::newRow("a new file") << "new" << true << QStringList{u"b"_s, u"a"_s};
    QTest::newRow("a file removed") << "removed" << true << QStringList{};
}

// The first update indexes the set; the next one says whether it found
// anything to write, and the answers follow the files.
void TestSearchWorker::updates()
{
    QFETCH(QString, change);
    QFETCH(bool, changed);
    QFETCH(QStringList, alphaHits);
    const QTemporaryDir dir;
    const auto help = [&dir](const char *name) { return dir.filePath(u"help/"_s + name); };
    QVERIFY(
        TestFiles::write(help("a.zkhelp"), HelpXml::file(HelpXml::language("en", "alpha beta"))));

    QList<bool> updateEnds;
    QList<quint64> tickets;
    QStringList found;
    // Receives on this thread, as the window does; gone before what it fills.
    QObject receiver;
    QThread thread;
    auto *worker = new SearchWorker(ZkHelp::HelpCollection({dir.filePath(u"help"_s)}),
                                    dir.filePath(u"cache/search.sqlite"_s));
    worker->moveToThread(&thread);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &SearchWorker::upToDate, &receiver, [&](bool end) { updateEnds.append(end); });
    connect(worker, &SearchWorker::hitsFound, &receiver,
            [&](quint64 ticket, const QList<ZkHelp::SearchHit> &hits) {
                tickets.append(ticket);
                found.clear();
                for (const ZkHelp::SearchHit &hit : hits)
                    found.append(QFileInfo(hit.path).completeBaseName());
            });
    thread.start();
    const auto stop = qScopeGuard([&thread] {
        thread.quit();
        thread.wait();
    });
    QMetaObject::invokeMethod(worker, &SearchWorker::openIndex);
    // An update's one end, with what it says; a second end fails it.
    const auto updated = [&] {
        const qsizetype ends = updateEnds.size() + 1;
        QMetaObject::invokeMethod(worker, &SearchWorker::bringUpToDate);
        if (!QTest::qWaitFor([&] { return updateEnds.size() == ends; }, 10000))
            return false;
        QTest::qWait(50);
        return updateEnds.size() == ends && updateEnds.last();
    };
    const auto hitsFor = [&](quint64 ticket) {
        QMetaObject::invokeMethod(worker, [=] { worker->findHits(ticket, u"alpha"_s, 50); });
        if (!QTest::qWaitFor([&] { return !tickets.isEmpty() && tickets.last() == ticket; }, 10000))
            return QStringList{u"no answer for ticket %1"_s.arg(ticket)};
        return found;
    };

    QVERIFY(updated());
    QCOMPARE(hitsFor(2), QStringList{u"a"_s});
    if (change == u"new")
        QVERIFY(
            TestFiles::write(help("b.zkhelp"), HelpXml::file(HelpXml::language("en", "alpha"))));
    if (change == u"removed")
        QVERIFY(QFile::remove(help("a.zkhelp")));
    QCOMPARE(updated(), changed);
    QCOMPARE(updateEnds.size(), 2);
    QCOMPARE(hitsFor(3), alphaHits);
}

QTEST_MAIN(TestSearchWorker)
#include "tst_searchworker.moc"
