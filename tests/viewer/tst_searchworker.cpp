// The viewer's full-text index on a thread of its own, without a window:
// what an update says when it ends, and that an answer comes back with the
// ticket of the search it answers.
#include "helpxml.h"
#include "searchworker.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

using namespace Qt::StringLiterals;

class TestSearchWorker : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void updates_data();
    void updates();

private:
    QString help(const QString &name) const { return dir->filePath(u"help/"_s + name); }
    // Runs an update on the worker's thread and waits for its end.
    bool updated();
    // The names of the files that answer query, searched with ticket.
    QStringList hitsFor(const QString &query, quint64 ticket);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QThread> thread;
    SearchWorker *worker = nullptr;
    QList<bool> updateEnds;
    QList<quint64> tickets;
    QStringList found;
};

void TestSearchWorker::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(dir->filePath(u"help"_s)));
    QVERIFY(TestFiles::write(help(u"a.zkhelp"_s),
                             HelpXml::file(HelpXml::language("en", "alpha beta"))));
    updateEnds.clear();
    tickets.clear();
    thread = std::make_unique<QThread>();
    worker = new SearchWorker(ZkHelp::HelpCollection({dir->filePath(u"help"_s)}),
                              dir->filePath(u"cache/search.sqlite"_s));
    worker->moveToThread(thread.get());
    connect(thread.get(), &QThread::finished, worker, &QObject::deleteLater);
    // Received on this thread, as the window receives them.
    connect(worker, &SearchWorker::upToDate, this,
            [this](bool changed) { updateEnds.append(changed); });
    connect(worker, &SearchWorker::hitsFound, this,
            [this](quint64 ticket, const QList<ZkHelp::SearchHit> &hits) {
                tickets.append(ticket);
                found.clear();
                for (const ZkHelp::SearchHit &hit : hits)
                    found.append(QFileInfo(hit.path).completeBaseName());
            });
    thread->start();
    QMetaObject::invokeMethod(worker, &SearchWorker::openIndex);
}

void TestSearchWorker::cleanup()
{
    thread->quit();
    QVERIFY(thread->wait(10000));
}

bool TestSearchWorker::updated()
{
    const qsizetype before = updateEnds.size();
    QMetaObject::invokeMethod(worker, &SearchWorker::bringUpToDate);
    if (!QTest::qWaitFor([&] { return updateEnds.size() > before; }, 10000))
        return false;
    // Any further word would be a second end of one update.
    QTest::qWait(50);
    return updateEnds.size() == before + 1 && updateEnds.last();
}

QStringList TestSearchWorker::hitsFor(const QString &query, quint64 ticket)
{
    const qsizetype before = tickets.size();
    QMetaObject::invokeMethod(
        worker, [worker = worker, query, ticket] { worker->findHits(ticket, query, 50); });
    if (!QTest::qWaitFor([&] { return tickets.size() > before; }, 10000) ||
        tickets.last() != ticket)
        return {u"no answer for ticket %1"_s.arg(ticket)};
    return found;
}

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
    QVERIFY(updated());
    QCOMPARE(hitsFor(u"alpha"_s, 2), QStringList{u"a"_s});

    if (change == u"new")
        QVERIFY(
            TestFiles::write(help(u"b.zkhelp"_s), HelpXml::file(HelpXml::language("en", "alpha"))));
    if (change == u"removed")
        QVERIFY(QFile::remove(help(u"a.zkhelp"_s)));
    QCOMPARE(updated(), changed);
    QCOMPARE(updateEnds.size(), 2);
    QCOMPARE(hitsFor(u"alpha"_s, 3), alphaHits);
}

QTEST_MAIN(TestSearchWorker)
#include "tst_searchworker.moc"
