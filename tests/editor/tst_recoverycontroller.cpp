// Crash recovery without a window: which documents count as unsaved, typed
// fields included, and the controller keeping them and offering them back
// through a prompt that answers for the user.
#include "editorsession.h"
#include "recoverycontroller.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

using ZkHelp::EditorSession;
using ZkHelp::HelpData;
using ZkHelp::RecoveredDocument;
using ZkHelp::RecoveryController;

namespace {

const QByteArray sample = "<zkhelp version=\"1\" author=\"A\"></zkhelp>";

// "NAME=AUTHOR" of each document; the base hash must be the session's.
QStringList authors(const QMap<QString, RecoveredDocument> &documents, const EditorSession &session)
{
    QStringList lines;
    for (auto it = documents.cbegin(); it != documents.cend(); ++it)
        lines.append(QFileInfo(it.key()).fileName() + '=' + it->document.author +
                     (it->baseHash == session.baseHash(it.key()) ? "" : " (other base)"));
    return lines;
}

} // namespace

class TestRecoveryController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void unsaved_data();
    void unsaved();
    void keep_data();
    void keep();
    void offer_data();
    void offer();

private:
    QString path(const QString &name) const { return dir->filePath("p/" + name); }
    ZkHelp::RecoveryStore store() const;
    QStringList kept() { return authors(store().read().documents, session); }
    RecoveryController controller(bool answer);

    std::optional<QTemporaryDir> dir;
    EditorSession session;
    QMap<QString, HelpData> typed;
    QStringList asked;
};

// Project "p" holds x and y, both by author "A"; nothing is typed.
void TestRecoveryController::init()
{
    dir.emplace();
    QVERIFY2(dir->isValid(), qPrintable(dir->errorString()));
    QVERIFY(TestFiles::write(path("x.zkhelp"), sample));
    QVERIFY(TestFiles::write(path("y.zkhelp"), sample));
    session.load(dir->filePath("p"), {"x.zkhelp", "y.zkhelp"});
    typed.clear();
    asked.clear();
}

ZkHelp::RecoveryStore TestRecoveryController::store() const
{
    ZkHelp::RecoveryStore store(dir->filePath("recovery"));
    store.setProject(dir->filePath("p"));
    return store;
}

// Its prompt notes each offer as "restorable|damaged: LINE | LINE" and gives
// answer.
RecoveryController TestRecoveryController::controller(bool answer)
{
    return RecoveryController(
        session, dir->filePath("recovery"),
        [this, answer](const RecoveryController::Offer &offer) {
            asked.append((offer.restorable ? "restorable: " : "damaged: ") +
                         offer.lines.join(" | "));
            return answer;
        },
        [this] { return typed; });
}

// held: x's author as edited in the session; typed: "NAME=AUTHOR" of a copy
// of x typed on a page, under the name given.
void TestRecoveryController::unsaved_data()
{
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("unsaved");
    QTest::newRow("nothing edited") << "A"
                                    << "" << QStringList{};
    QTest::newRow("edited in the session") << "B"
                                           << "" << QStringList{"x.zkhelp=B"};
    QTest::newRow("typed only") << "A"
                                << "x.zkhelp=T" << QStringList{"x.zkhelp=T"};
    QTest::newRow("typed back over an edit") << "B"
                                             << "x.zkhelp=A" << QStringList{};
    QTest::newRow("typed for a file not held") << "A"
                                               << "gone.zkhelp=T" << QStringList{};
}

void TestRecoveryController::unsaved()
{
    QFETCH(QString, held);
    QFETCH(QString, typed);
    QFETCH(QStringList, unsaved);
    session.document(path("x.zkhelp"))->author = held;
    QMap<QString, HelpData> shown;
    if (!typed.isEmpty()) {
        HelpData copy = *session.document(path("x.zkhelp"));
        copy.author = typed.section('=', 1);
        shown.insert(path(typed.section('=', 0, 0)), copy);
    }
    QCOMPARE(authors(session.unsaved(shown), session), unsaved);
    QCOMPARE(session.changedFiles(), held == "A" ? QStringList() : QStringList{path("x.zkhelp")});
}

// finished: the session ends right after the project is set (and a copy
// was kept at once).
void TestRecoveryController::keep_data()
{
    QTest::addColumn<QString>("typedAuthor");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("edits kept within a second") << "" << false << QStringList{"x.zkhelp=B"};
    QTest::newRow("typed fields kept too") << "T" << false << QStringList{"x.zkhelp=T"};
    QTest::newRow("finished: what was kept goes, nothing more comes")
        << "" << true << QStringList{};
}

void TestRecoveryController::keep()
{
    QFETCH(QString, typedAuthor);
    QFETCH(bool, finished);
    QFETCH(QStringList, expected);
    session.document(path("x.zkhelp"))->author = "B";
    if (!typedAuthor.isEmpty())
        typed.insert(path("x.zkhelp"), HelpData{"1", typedAuthor, {}, {}});
    RecoveryController recovery = controller(true);
    recovery.setProject(dir->filePath("p"));
    if (!finished) {
        QTRY_COMPARE_WITH_TIMEOUT(kept(), expected, 3000);
        return;
    }
    recovery.keep();
    QCOMPARE(kept(), QStringList{"x.zkhelp=B"});
    recovery.finish();
    QTest::qWait(1500);
    QCOMPARE(kept(), expected);
}

// earlier: x's copy kept by an earlier session ("B"), "damaged" when cut
// short, or none; asked: the prompts ($F the recovery folder); author: x's
// in the session afterwards; left: what stays kept.
void TestRecoveryController::offer_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("author");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("nothing kept: not asked") << "" << true << QStringList{} << "A" << QStringList{};
    QTest::newRow("taken: back as an unsaved edit")
        << "B" << true << QStringList{"restorable: x.zkhelp"} << "B" << QStringList{"x.zkhelp=B"};
    QTest::newRow("declined: dropped")
        << "B" << false << QStringList{"restorable: x.zkhelp"} << "A" << QStringList{};
    QTest::newRow("damaged: only named, whatever the answer")
        << "damaged" << true
        << QStringList{"damaged: x.zkhelp (beschädigt, nicht wiederhergestellt) | "
                       "Beschädigte Kopien liegen in $F"}
        << "A" << QStringList{};
}

void TestRecoveryController::offer()
{
    QFETCH(QString, earlier);
    QFETCH(bool, answer);
    QFETCH(QStringList, asked);
    QFETCH(QString, author);
    QFETCH(QStringList, left);
    const QString x = path("x.zkhelp");
    ZkHelp::RecoveryStore before = store();
    if (!earlier.isEmpty())
        QVERIFY(before.keep({{x, {HelpData{"1", "B", {}, {}}, session.baseHash(x)}}}));
    if (earlier == "damaged")
        QVERIFY(QFile::resize(before.copyPath(x), QFileInfo(before.copyPath(x)).size() / 2));
    asked.replaceInStrings("$F", QDir::toNativeSeparators(before.folder()));

    RecoveryController recovery = controller(answer);
    int restored = 0;
    connect(&recovery, &RecoveryController::restored, this, [&] { ++restored; });
    recovery.setProject(dir->filePath("p"));
    recovery.offer();
    QCOMPARE(this->asked, asked);
    QCOMPARE(session.document(x)->author, author);
    QCOMPARE(restored, author == "B" ? 1 : 0);
    QCOMPARE(kept(), left);
    QCOMPARE(TestFiles::read(x), sample);
}

QTEST_GUILESS_MAIN(TestRecoveryController)
#include "tst_recoverycontroller.moc"
