// The recovery store on its own, each case in a fresh folder: an earlier
// session kept edits of x and y in project "p", then something odd took the
// place of one of the store's folders or files. Nothing but the store's own
// files may change, and a copy that cannot be read whole never comes back as
// the user's text.
#include "helpdatadump.h"
#include "recoverystore.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

using ZkHelp::RecoveredDocument;
using ZkHelp::RecoveryStore;
using Documents = QMap<QString, RecoveredDocument>;

namespace {

const QByteArray victimXml = "<zkhelp version=\"1\" author=\"victim\"></zkhelp>";

// "NAME=DUMP@BASE" of each document.
QStringList dumped(const Documents &documents)
{
    QStringList lines;
    for (auto it = documents.cbegin(); it != documents.cend(); ++it)
        lines.append(QFileInfo(it.key()).fileName() + '=' + dump(it->document) + '@' +
                     it->baseHash);
    return lines;
}

} // namespace

class TestRecoveryStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void oddEntries_data();
    void oddEntries();
    void damagedCopies_data();
    void damagedCopies();

private:
    RecoveryStore open(const QString &root) const;

    std::optional<QTemporaryDir> dir;
    QString x, y;
    Documents both;
};

void TestRecoveryStore::init()
{
    dir.emplace();
    QVERIFY(dir->isValid());
    x = dir->filePath("p/x.zkhelp");
    y = dir->filePath("p/y.zkhelp");
    ZkHelp::HelpData doc;
    doc.author = "A";
    both = {{x, {doc, "bx"}}};
    doc.languages.insert("de", {"d", {{"Intro", "c"}}});
    both.insert(y, {doc, "by"});
    QVERIFY(TestFiles::write(dir->filePath("victim/v.zkhelp"), victimXml));
}

// A store of project "p" under the folder root.
RecoveryStore TestRecoveryStore::open(const QString &root) const
{
    RecoveryStore store(dir->filePath(root));
    store.setProject(dir->filePath("p"));
    return store;
}

// where: what the entry (TestFiles::make, $V the victim folder) replaces.
void TestRecoveryStore::oddEntries_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<bool>("copyDamaged");
    QTest::newRow("project folder links to a folder") << "folder" << QByteArray("->$V") << false;
    QTest::newRow("root links to a folder") << "root" << QByteArray("->$V") << false;
    QTest::newRow("project folder is a FIFO") << "folder" << QByteArray("|") << false;
    QTest::newRow("index links to a file") << "index.json" << QByteArray("->$V/v.zkhelp") << false;
    QTest::newRow("index is a FIFO") << "index.json" << QByteArray("|") << false;
    QTest::newRow("copy links to a file") << "copy" << QByteArray("->$V/v.zkhelp") << true;
}

void TestRecoveryStore::oddEntries()
{
    QFETCH(QString, where);
    QFETCH(QByteArray, entry);
    QFETCH(bool, copyDamaged);
    entry.replace("$V", QFile::encodeName(dir->filePath("victim")));
    // Under r1 read and cleared with the odd entry in place, under r2 written
    // over it at once; either way the store works afterwards.
    for (const QString root : {"r1", "r2"}) {
        RecoveryStore earlier = open(root);
        QVERIFY(earlier.keep(both));
        const QString path = where == "root"     ? dir->filePath(root)
                             : where == "folder" ? earlier.folder()
                             : where == "copy"   ? earlier.copyPath(x)
                                                 : QDir(earlier.folder()).filePath(where);
        QVERIFY(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
        QVERIFY(TestFiles::make(path, entry));
        RecoveryStore store = open(root);
        if (root == "r1") {
            const ZkHelp::RecoveredEdits found = store.read();
            QCOMPARE(dumped(found.documents), copyDamaged ? dumped({{y, both[y]}}) : QStringList());
            QCOMPARE(found.damaged, copyDamaged ? QStringList{x} : QStringList());
            store.clear();
        }
        QVERIFY(store.keep(both));
        QCOMPARE(dumped(store.read().documents), dumped(both));
    }
    QCOMPARE(QDir(dir->filePath("victim"))
                 .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"v.zkhelp"});
    QCOMPARE(TestFiles::read(dir->filePath("victim/v.zkhelp")), victimXml);
}

// entry: what replaces the copy of x (TestFiles::make).
void TestRecoveryStore::damagedCopies_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::newRow("cut short") << QByteArray(
        "<zkhelp version=\"1\" author=\"B\"><lang name=\"de\">");
    QTest::newRow("not XML at all") << QByteArray("not xml at all");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("FIFO") << QByteArray("|");
    QTest::newRow("link to /dev/zero") << QByteArray("->/dev/zero");
}

void TestRecoveryStore::damagedCopies()
{
    QFETCH(QByteArray, entry);
    RecoveryStore earlier = open("r");
    QVERIFY(earlier.keep(both));
    QVERIFY(QFile::remove(earlier.copyPath(x)));
    QVERIFY(TestFiles::make(earlier.copyPath(x), entry));

    RecoveryStore store = open("r");
    const ZkHelp::RecoveredEdits found = store.read();
    QCOMPARE(dumped(found.documents), dumped({{y, both[y]}}));
    QCOMPARE(found.damaged, QStringList{x});
    // Set aside, so that neither the next keep nor a clear takes it.
    QVERIFY(store.keep(both));
    store.clear();
    QCOMPARE(TestFiles::kind(store.copyPath(x) + ".damaged"), entry);
}

QTEST_MAIN(TestRecoveryStore)
#include "tst_recoverystore.moc"
