// The editor's command line: which project an argument names, run as a
// process. The program is copied into a scratch folder first, so the "Path"
// file it registers an opened project in lies there and nowhere else.
#include "testfiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestEditorArgs : public QObject
{
    Q_OBJECT

private slots:
    void projectArgument_data();
    void projectArgument();
};

void TestEditorArgs::projectArgument_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("argument");
    // Empty when the project opens, else the refusal on standard error.
    QTest::addColumn<QString>("refusal");

    const QStringList one{"p/demo.zkproject", "p/a.zkhelp"};
    QTest::newRow("folder with one project") << one << "p"
                                             << "";
    QTest::newRow("project file") << one << "p/demo.zkproject"
                                  << "";
    QTest::newRow("folder without project") << QStringList{"p/a.zkhelp"} << "p"
                                            << "Kein Projekt (*.zkproject) im Ordner: p";
    QTest::newRow("folder with two projects")
        << QStringList{"p/b.zkproject", "p/a.zkproject"} << "p"
        << "Mehrere Projekte im Ordner p, bitte eines angeben: a.zkproject, b.zkproject";
    QTest::newRow("missing") << one << "q"
                             << "Projekt nicht gefunden: q";
    QTest::newRow("help file") << one << "p/a.zkhelp"
                               << "Keine Projektdatei (*.zkproject): p/a.zkhelp";
}

void TestEditorArgs::projectArgument()
{
    QFETCH(QStringList, files);
    QFETCH(QString, argument);
    QFETCH(QString, refusal);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("bin/zkhelp_editor"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("bin"))));
    QVERIFY(QFile::copy(QStringLiteral(ZKHELP_EDITOR_PATH), program));
    for (const QString &file : std::as_const(files))
        QVERIFY(TestFiles::write(dir.filePath(file), "<zkproject name=\"demo\"/>\n"));

    QProcess editor;
    editor.setWorkingDirectory(dir.path());
    editor.start(program, {argument});
    if (refusal.isEmpty()) {
        // Opening registers the project folder beside the program; the
        // window then stays open until it is closed.
        QTRY_VERIFY_WITH_TIMEOUT(TestFiles::read(dir.filePath(QStringLiteral("bin/Path")))
                                     .contains(dir.filePath(QStringLiteral("p")).toUtf8()),
                                 20000);
        QCOMPARE(editor.state(), QProcess::Running);
        editor.kill();
        QVERIFY(editor.waitForFinished(20000));
        return;
    }
    QVERIFY(editor.waitForFinished(20000));
    QCOMPARE(editor.exitCode(), 1);
    QVERIFY2(editor.readAllStandardError().contains("zkhelp_editor: " + refusal.toUtf8() + '\n'),
             qPrintable(refusal));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("bin/Path"))));
}

QTEST_GUILESS_MAIN(TestEditorArgs)
#include "tst_editorargs.moc"
