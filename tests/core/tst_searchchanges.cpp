// What an update of the full-text index reads and forgets, decided from the
// listing and the index's totals alone, and the stamps those totals sum.
#include "searchchanges.h"

#include <QTest>

using ZkHelp::HelpFileState;

Q_DECLARE_METATYPE(ZkHelp::HelpFileState)

namespace {

const HelpFileState a{u"/h/a.zkhelp"_qs, 10, 100};
const HelpFileState b{u"/h/b.zkhelp"_qs, 20, 200};
const HelpFileState x{u"/g/x.zkhelp"_qs, 30, 300};

template <typename Paths>
QStringList sorted(const Paths &paths)
{
    QStringList list(paths.cbegin(), paths.cend());
    list.sort();
    return list;
}

QStringList pathsOf(const QList<HelpFileState> &files)
{
    QStringList paths;
    for (const HelpFileState &file : files)
        paths.append(file.path);
    return paths;
}

} // namespace

class TestSearchChanges : public QObject
{
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void stamp_data();
    void stamp();
};

void TestSearchChanges::plan_data()
{
    QTest::addColumn<QList<HelpFileState>>("indexed");
    QTest::addColumn<QList<HelpFileState>>("onDisk");
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<QStringList>("read");
    QTest::addColumn<QStringList>("forget");

    const QList<HelpFileState> all{a, b, x};
    const HelpFileState c{u"/h/c.zkhelp"_qs, 20, 200};
    const QStringList none;
    const QStringList h{u"/h"_qs};
    QTest::newRow("unchanged") << all << all << none << none << none;
    QTest::newRow("file added") << all << QList{a, b, c, x} << h << QStringList{c.path} << none;
    QTest::newRow("file removed") << all << QList{a, x} << h << none << QStringList{b.path};
    QTest::newRow("renamed, same size and time")
        << all << QList{a, c, x} << h << QStringList{c.path} << QStringList{b.path};
    QTest::newRow("size changed") << all << QList{a, HelpFileState{b.path, 21, 200}, x} << h
                                  << QStringList{b.path} << none;
    QTest::newRow("time changed") << all << QList{a, HelpFileState{b.path, 20, 201}, x} << h
                                  << QStringList{b.path} << none;
    QTest::newRow("folder gone") << all << QList{a, b} << QStringList{u"/g"_qs} << none
                                 << QStringList{x.path};
    QTest::newRow("folder not yet indexed")
        << QList{a, b} << all << QStringList{u"/g"_qs} << QStringList{x.path} << none;
}

// Only the files of folders whose totals differ are compared one by one.
void TestSearchChanges::plan()
{
    QFETCH(QList<HelpFileState>, indexed);
    QFETCH(QList<HelpFileState>, onDisk);
    QFETCH(QStringList, changed);
    QFETCH(QStringList, read);
    QFETCH(QStringList, forget);
    const QSet<QString> folders{u"/h"_qs, u"/g"_qs};

    const QSet<QString> found =
        ZkHelp::changedFolders(folders, ZkHelp::FileListing(onDisk), ZkHelp::folderTotals(indexed));
    QHash<QString, ZkHelp::StoredFile> known;
    for (qsizetype i = 0; i < indexed.size(); ++i) {
        const HelpFileState &file = indexed.at(i);
        if (found.contains(ZkHelp::folderOf(file.path)))
            known.insert(file.path, {i + 1, file.size, file.modified});
    }
    const ZkHelp::UpdatePlan plan = ZkHelp::planUpdate(onDisk, found, known);
    QCOMPARE(sorted(found), changed);
    QCOMPARE(pathsOf(plan.read), read);
    QCOMPARE(sorted(plan.forget.keys()), forget);
}

void TestSearchChanges::stamp_data()
{
    QTest::addColumn<HelpFileState>("file");
    QTest::addColumn<qint64>("stamp");

    // Worked out apart from this code (32-bit FNV-1a of the path's UTF-8,
    // then size and time as 8 little-endian bytes each): an index file
    // outlives a Qt upgrade only while these stay.
    QTest::newRow("path not ASCII")
        << HelpFileState{u"/hilfe/Übersicht.zkhelp"_qs, 1234, 1700000000123456789}
        << qint64(1197421482);
    QTest::newRow("above 2^31, still positive")
        << HelpFileState{u"/hilfe/Übersicht.zkhelp"_qs, -1, 1700000000123456789}
        << qint64(2361517008);
}

void TestSearchChanges::stamp()
{
    QFETCH(HelpFileState, file);
    QFETCH(qint64, stamp);
    QCOMPARE(ZkHelp::fileStamp(file), stamp);
}

QTEST_MAIN(TestSearchChanges)
#include "tst_searchchanges.moc"
