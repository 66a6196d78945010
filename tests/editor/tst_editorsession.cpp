// The editor's documents without a window: what counts as changed, the
// structural edits, and what a failed write keeps.
#include "editorsession.h"
#include "helpdatadump.h"
#include "helpparser.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using ZkHelp::EditorSession;

namespace {

const QByteArray sample = "<zkhelp version=\"1\" author=\"A\"><lang name=\"de\"><description>D"
                          "</description><section name=\"S\">T</section></lang>"
                          "<lang name=\"en\"/></zkhelp>";
const QString unchanged = "v=1|a=A|de:D[S=T]|en:[]|links=";

} // namespace

class TestEditorSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { dir->setAutoRemove(!QTest::currentTestFailed()); }
    void structuralEdit_data();
    void structuralEdit();
    void changedFiles();
    void failedWriteKeepsTheEdits();
    void addressFollowsSavedSections();
    void loadReadsAsTheReader();

private:
    QString path(const QString &name) const { return dir->filePath(name); }

    std::optional<QTemporaryDir> dir;
    EditorSession session;
};

// x.zkhelp holds the sample; "gone.zkhelp" is a member no longer on the disk.
void TestEditorSession::init()
{
    dir.emplace();
    QVERIFY2(dir->isValid(), qPrintable(dir->errorString()));
    QVERIFY(TestFiles::write(path("x.zkhelp"), sample));
    session.load(dir->path(), {"x.zkhelp", "gone.zkhelp"});
    QVERIFY(!session.document(path("gone.zkhelp")));
}

void TestEditorSession::structuralEdit_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("after"); // dump of the result, or "none"

    QTest::newRow("language held already") << "+lang"
                                           << "x.zkhelp"
                                           << "en"
                                           << "none";
    QTest::newRow("section added last") << "+section"
                                        << "x.zkhelp"
                                        << "de"
                                        << "v=1|a=A|de:D[S=T;<neu>Neu=...]|en:[]|links=";
    QTest::newRow("section for a missing language") << "+section"
                                                    << "x.zkhelp"
                                                    << "fr"
                                                    << "none";
    QTest::newRow("missing language") << "-lang"
                                      << "x.zkhelp"
                                      << "fr"
                                      << "none";
    QTest::newRow("section past the end") << "-section1"
                                          << "x.zkhelp"
                                          << "de"
                                          << "none";
    QTest::newRow("negative section") << "-section-1"
                                      << "x.zkhelp"
                                      << "de"
                                      << "none";
    QTest::newRow("file not held") << "+lang"
                                   << "gone.zkhelp"
                                   << "fr"
                                   << "none";
}

// An edit that applies is written at once and becomes the stored copy; the
// session's own document is untouched until then. The plain additions and
// removals are proven on the window's context menu; these rows are the rules
// a menu cannot reach.
void TestEditorSession::structuralEdit()
{
    QFETCH(QString, edit);
    QFETCH(QString, file);
    QFETCH(QString, key);
    QFETCH(QString, after);

    const QString target = path(file);
    std::optional<ZkHelp::HelpData> changed;
    if (edit == "+lang")
        changed = session.withLanguageAdded(target, key);
    else if (edit == "+section")
        changed = session.withSectionAdded(target, key, "Neu");
    else if (edit == "-lang")
        changed = session.withLanguageRemoved(target, key);
    else
        changed = session.withSectionRemoved(target, key, edit.mid(8).toInt());
    QCOMPARE(changed ? dump(*changed) : QString("none"), after);
    if (!changed)
        return;

    QCOMPARE(dump(*session.document(target)), unchanged);
    QVERIFY(session.replaceAndSave(target, *changed));
    QCOMPARE(dump(ZkHelp::HelpParser().parse(target)), after);
    QCOMPARE(session.changedFiles(), QStringList());
}

// Changed means different from the stored copy, field by field: an edit
// typed back is none, and a save makes the edit the stored copy.
void TestEditorSession::changedFiles()
{
    const QString x = path("x.zkhelp");
    session.section(x, "de", 0)->content = "T2";
    QCOMPARE(session.changedFiles(), QStringList{x});
    session.section(x, "de", 0)->content = "T";
    QCOMPARE(session.changedFiles(), QStringList());
    QVERIFY(!session.section(x, "de", 1));
    QVERIFY(!session.language(x, "fr"));

    session.document(x)->links.append("neu");
    QVERIFY(session.save(x));
    QCOMPARE(session.changedFiles(), QStringList());
    QCOMPARE(dump(ZkHelp::HelpParser().parse(x)), "v=1|a=A|de:D[S=T]|en:[]|links=neu");
}

// A file that cannot be written (its name now a folder) keeps the document
// in memory as it was, edits included, and the reason names the file.
void TestEditorSession::failedWriteKeepsTheEdits()
{
    const QString x = path("x.zkhelp");
    session.document(x)->author = "B";
    QVERIFY(QFile::remove(x));
    QVERIFY(QDir().mkpath(x));

    QVERIFY(!session.replaceAndSave(x, *session.withLanguageAdded(x, "fr")));
    QCOMPARE(dump(*session.document(x)), "v=1|a=B|de:D[S=T]|en:[]|links=");
    QCOMPARE(session.changedFiles(), QStringList{x});
    QVERIFY2(
        session.errorString().startsWith("Konnte Datei nicht zum Schreiben öffnen: " + x + ": "),
        qPrintable(session.errorString()));
    QVERIFY(!session.save(path("gone.zkhelp")));
    QCOMPARE(session.errorString(), "Keine Hilfedatei gewählt.");
}

// One session checks links while files change: an address to a section is
// broken until a save gives the file that section, and broken again once
// another save takes it away.
void TestEditorSession::addressFollowsSavedSections()
{
    const QString x = path("x.zkhelp");
    session.setLinkFolders({dir->path()});
    session.load(dir->path(), {"x.zkhelp"});
    session.document(x)->links.append("zkhelp:x#neu");
    const auto broken = [this, x] {
        const QList<ZkHelp::Finding> findings = session.findings(x, {"de", "en"});
        return std::any_of(findings.cbegin(), findings.cend(), [](const ZkHelp::Finding &f) {
            return f.kind == ZkHelp::FindingKind::BrokenLink && f.detail == u"zkhelp:x#neu";
        });
    };
    QVERIFY(broken());
    session.section(x, "de", 0)->id = "neu";
    QVERIFY(session.save(x));
    QVERIFY(!broken());
    session.section(x, "de", 0)->id = "anders";
    QVERIFY(session.save(x));
    QVERIFY(broken());
}

static QStringList logged;

// Read on every core, the documents and the reader's warnings (of files
// broken off and of folders), in the members' order, are those of reading
// one file after another.
void TestEditorSession::loadReadsAsTheReader()
{
    QStringList members, expected, documents;
    for (int i = 0; i < 40; ++i) {
        members.append(QString("m%1.zkhelp").arg(i));
        QVERIFY(i % 7 == 3 ? QDir().mkdir(path(members.last()))
                           : TestFiles::write(path(members.last()), sample.left(60 + i * 9)));
    }
    const QtMessageHandler before = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &text) { logged.append(text); });
    for (const QString &member : std::as_const(members))
        documents.append(dump(ZkHelp::HelpParser().parse(path(member))));
    std::swap(expected, logged);
    session.load(dir->path(), members);
    qInstallMessageHandler(before);
    QCOMPARE(expected.size(), 14);
    QCOMPARE(logged, expected);
    for (int i = 0; i < members.size(); ++i)
        QCOMPARE(dump(*session.document(path(members.at(i)))), documents.at(i));
}

QTEST_GUILESS_MAIN(TestEditorSession)
#include "tst_editorsession.moc"
