// The editor's project argument, run as a process from a scratch copy of the
// program, so that the "Path" file it registers a project in lies there.
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
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("refusal"); // empty when the project opens

    QTest::newRow("folder with one project") << "one"
                                             << "";
    QTest::newRow("project file") << "one/demo.zkproject"
                                  << "";
    QTest::newRow("folder without project") << "none"
                                            << "Kein Projekt (*.zkproject) im Ordner: none";
    QTest::newRow("folder with two projects")
        << "two"
        << "Mehrere Projekte im Ordner two, bitte eines angeben: a.zkproject, b.zkproject";
    QTest::newRow("help file") << "one/a.zkhelp"
                               << "Keine Projektdatei (*.zkproject): one/a.zkhelp";
}

void TestEditorArgs::projectArgument()
{
    QFETCH(QString, argument);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("bin/zkhelp_editor"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bin")));
    QVERIFY(QFile::copy(QStringLiteral(ZKHELP_EDITOR_PATH), program));
    for (const char *file : {"one/demo.zkproject", "one/a.zkhelp", "none/a.zkhelp",
                             "two/a.zkproject", "two/b.zkproject"})
        QVERIFY(TestFiles::write(dir.filePath(file), "<zkproject name=\"demo\"/>\n"));

    QProcess editor;
    editor.setWorkingDirectory(dir.path());
    editor.start(program, {argument});
    const QString pathFile = dir.filePath(QStringLiteral("bin/Path"));
    if (refusal.isEmpty()) {
        // The window stays open once the project is registered.
        QTRY_VERIFY_WITH_TIMEOUT(
            TestFiles::read(pathFile).contains(dir.filePath(QStringLiteral("one")).toUtf8()),
            20000);
        QCOMPARE(editor.state(), QProcess::Running);
        editor.kill();
        QVERIFY(editor.waitForFinished(20000));
        return;
    }
    QVERIFY(editor.waitForFinished(20000));
    QCOMPARE(editor.exitCode(), 1);
    QVERIFY(editor.readAllStandardError().contains("zkhelp_editor: " + refusal.toUtf8() + '\n'));
    QVERIFY(!QFile::exists(pathFile));
}

QTEST_GUILESS_MAIN(TestEditorArgs)
#include "tst_editorargs.moc"
