// Files changed behind the editor's back, without a window: what a check on
// coming back and a look before a write do, with the user's answer given by
// a prompt that stands in for the box.
#include "diskwatch.h"
#include "editorsession.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using ZkHelp::DiskWatch;

namespace {

const QByteArray ours = "<zkhelp version=\"1\" author=\"A\"></zkhelp>";
const QByteArray theirs = "<zkhelp version=\"1\" author=\"Other\"></zkhelp>";

QString decisionName(DiskWatch::Decision decision)
{
    return decision == DiskWatch::Decision::Write       ? "Write"
           : decision == DiskWatch::Decision::Discarded ? "Discarded"
                                                        : "Abandon";
}

} // namespace

class TestDiskWatch : public QObject
{
    Q_OBJECT

private slots:
    void change_data();
    void change();
};

// edited: x's author is "B" in the session; change: what another program
// does to x ("write" theirs, "touch" the same bytes later, "rm"); via: the
// window becoming active, or a write coming, twice; where a write may go on,
// the document is saved as the window would. Theirs is "Other". events: what the watch did
// ("ask", "check" begun, a decision), each with its signals.
void TestDiskWatch::change_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("via");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("author");
    const QString check = "check";
    const QString ask = "ask x.zkhelp";
    const QString reloaded = "reloaded x.zkhelp";
    QTest::newRow("no edits: read anew")
        << false << "write"
        << "Cancel"
        << "activate" << QStringList{check, reloaded, "message Neu geladen: x.zkhelp", check}
        << "Other";
    QTest::newRow("edits, coming back: ours written")
        << true << "write"
        << "Save"
        << "activate" << QStringList{check, ask, "overwrite x.zkhelp", check} << "B";
    QTest::newRow("edits, coming back: theirs taken")
        << true << "write"
        << "Discard"
        << "activate" << QStringList{check, ask, reloaded, check} << "Other";
    QTest::newRow("edits, coming back: cancelled, not asked again for that version")
        << true << "write"
        << "Cancel"
        << "activate" << QStringList{check, ask, check} << "B";
    QTest::newRow("a touch with the same bytes is no change")
        << true << "touch"
        << "Cancel"
        << "activate" << QStringList{check, check} << "B";
    QTest::newRow("deleted: the document stays, nothing asked")
        << true << "rm"
        << "Cancel"
        << "activate" << QStringList{check, check} << "B";
    QTest::newRow("before a write, unchanged") << true << "touch"
                                               << "Cancel"
                                               << "write" << QStringList{"Write", "Write"} << "B";
    QTest::newRow("before a write: ours written")
        << true << "write"
        << "Save"
        << "write" << QStringList{ask, "Write", "Write"} << "B";
    QTest::newRow("before a write: theirs taken")
        << true << "write"
        << "Discard"
        << "write" << QStringList{ask, reloaded, "Discarded", "Write"} << "Other";
    QTest::newRow("before a write: cancelled, asked again")
        << true << "write"
        << "Cancel"
        << "write" << QStringList{ask, "Abandon", ask, "Abandon"} << "B";
    QTest::newRow("before a write: deleted, written anew")
        << true << "rm"
        << "Cancel"
        << "write" << QStringList{"Write", "Write"} << "B";
}

void TestDiskWatch::change()
{
    QFETCH(bool, edited);
    QFETCH(QString, change);
    QFETCH(QString, answer);
    QFETCH(QString, via);
    QFETCH(QStringList, events);
    QFETCH(QString, author);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString x = dir.filePath("x.zkhelp");
    QVERIFY(TestFiles::write(x, ours));
    ZkHelp::EditorSession session;
    session.load(dir.path(), {"x.zkhelp"});
    if (edited)
        session.document(x)->author = "B";

    QStringList seen;
    QObject window;
    DiskWatch watch(
        session,
        [&](const QString &path) {
            seen.append("ask " + QFileInfo(path).fileName());
            return answer == "Save"      ? DiskWatch::Answer::Save
                   : answer == "Discard" ? DiskWatch::Answer::Discard
                                         : DiskWatch::Answer::Cancel;
        },
        &window);
    connect(&watch, &DiskWatch::aboutToCheck, this, [&] { seen.append("check"); });
    connect(&watch, &DiskWatch::reloaded, this,
            [&](const QString &path) { seen.append("reloaded " + QFileInfo(path).fileName()); });
    connect(&watch, &DiskWatch::message, this,
            [&](const QString &text) { seen.append("message " + text); });
    connect(&watch, &DiskWatch::overwriteChosen, this, [&](const QString &path) {
        seen.append("overwrite " + QFileInfo(path).fileName());
        QVERIFY(session.save(path));
    });

    if (change == "write") {
        QVERIFY(TestFiles::write(x, theirs));
    } else if (change == "touch") {
        QFile touched(x);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                    QFileDevice::FileModificationTime));
    } else {
        QVERIFY(QFile::remove(x));
    }
    for (int time = 0; time < 2; ++time) {
        if (via == "activate") {
            const qsizetype before = seen.size();
            QEvent activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(&window, &activate);
            // Never inside the activation: a box must not open there.
            QCOMPARE(seen.size(), before);
            QCoreApplication::processEvents();
            continue;
        }
        const DiskWatch::Decision decision = watch.confirmBeforeWrite(x);
        seen.append(decisionName(decision));
        if (decision == DiskWatch::Decision::Write)
            QVERIFY(session.save(x));
    }
    QCOMPARE(seen, events);
    QCOMPARE(session.document(x)->author, author);
}

QTEST_GUILESS_MAIN(TestDiskWatch)
#include "tst_diskwatch.moc"
