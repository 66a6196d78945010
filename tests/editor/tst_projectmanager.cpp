// ProjectManager on real folders: its members, the project file's bytes, its
// lines in the "Path" file it registers in, and zkhconv reading and writing the
// same project files.
#include "filesizelimit.h"
#include "projectmanager.h"
#include "testfiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using ZkHelp::ProjectManager;

namespace {

// Debug lines are kept for the checks; everything else goes on to Qt Test.
QStringList logged;
QtMessageHandler testHandler = nullptr;

void keepDebugLines(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg)
        logged.append(message);
    else
        testHandler(type, context, message);
}

// Below root: "dir/" makes a folder, "name->target" a symbolic link, anything else a file.
bool makeTree(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const QString path = QDir(root).filePath(entry.section("->", 0, 0));
        const bool made = entry.contains("->")  ? QFile::link(entry.section("->", 1), path)
                          : entry.endsWith('/') ? QDir().mkpath(path)
                                                : TestFiles::write(path, "<zkhelp/>\n");
        if (!made)
            return false;
    }
    return true;
}

QByteArray projectXml(const QByteArray &escapedName, const QStringList &files)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zkproject name=\"" +
                     escapedName + (files.isEmpty() ? "\"/>\n" : "\">\n");
    for (const QString &file : files)
        xml += "    <file>" + file.toUtf8() + "</file>\n";
    return files.isEmpty() ? xml : xml + "</zkproject>\n";
}

} // namespace

class TestProjectManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testHandler = qInstallMessageHandler(keepDebugLines); }
    void init();
    void cleanup();
    void scan_data();
    void scan();
    void registration_data();
    void registration();
    void saveOnFullDiskKeepsOldFile();
    void openProject_data();
    void openProject();
    void addAndRemove();
    void zkhconvReadsAndWritesProjects();

private:
    QTemporaryDir pathDir;
    const QString pathFile = pathDir.filePath("Path");
    std::optional<QTemporaryDir> dir;
};

// Every case starts without the "Path" file that registration appends to.
void TestProjectManager::init()
{
    QVERIFY2(pathDir.isValid(), qPrintable(pathDir.errorString()));
    dir.emplace();
    QVERIFY2(dir->isValid(), qPrintable(dir->errorString()));
    logged.clear();
}

void TestProjectManager::cleanup()
{
    QDir().rmdir(pathFile);
    QFile::remove(pathFile);
    dir->setAutoRemove(!QTest::currentTestFailed());
    dir.reset();
}

void TestProjectManager::scan_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("xmlName");

    QTest::newRow("empty folder") << QStringList{} << "demo" << QStringList{} << QByteArray("demo");
    QTest::newRow("code unit order, any case, subfolders")
        << QStringList{"b.zkhelp", "A.zkhelp",    "sub/c.ZKHELP",  "sub/deep/d.zkhelp",
                       "e.txt",    "dir.zkhelp/", "demo.zkproject"}
        << "demo" << QStringList{"A.zkhelp", "b.zkhelp", "sub/c.ZKHELP", "sub/deep/d.zkhelp"}
        << QByteArray("demo");
    QTest::newRow("hidden, links to folders and loops left out")
        << QStringList{".h.zkhelp", ".git/x.zkhelp", "v.zkhelp", "loop->.", "up->.."} << "demo"
        << QStringList{"v.zkhelp"} << QByteArray("demo");
    QTest::newRow("blanks, umlauts, markup")
        << QStringList{"Über uns.zkhelp", "Teil 2/Größe.zkhelp"} << "Hilfe & <Übung>"
        << QStringList{"Teil 2/Größe.zkhelp", "Über uns.zkhelp"}
        << QByteArray("Hilfe &amp; &lt;Übung&gt;");
}

void TestProjectManager::scan()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, name);
    QFETCH(QStringList, files);
    QFETCH(QByteArray, xmlName);
    QVERIFY(makeTree(dir->path(), tree));

    ProjectManager project(pathFile);
    QVERIFY(project.createProject(dir->path(), name));
    QCOMPARE(project.files, files);
    QCOMPARE(TestFiles::read(dir->filePath(name + ".zkproject")), projectXml(xmlName, files));
}

void TestProjectManager::registration_data()
{
    // In "before", $P stands for the project folder and $U for it in upper case; a null
    // array means no "Path" yet, "/" a folder named "Path". "appended" names folders below
    // the project, "" the project itself. "diskFull" leaves no room for more bytes.
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QStringList>("appended");
    QTest::addColumn<bool>("diskFull");

    const QByteArray many = QByteArray("/some/other/folder\n").repeated(100000);
    QTest::newRow("no Path yet") << QByteArray() << QStringList{"a/b/", ".hidden/c/"}
                                 << QStringList{"", "a", "a/b"} << false;
    QTest::newRow("known in other spellings")
        << QByteArray("$U\n  $P/a/  \n$P//./b\n") << QStringList{"a/", "b/", "c/"}
        << QStringList{"c"} << false;
    QTest::newRow("other lines stay, missing line feed added")
        << QByteArray("/other\n\n/last") << QStringList{} << QStringList{""} << false;
    QTest::newRow("loop listed, not entered")
        << QByteArray() << QStringList{"loop->."} << QStringList{"", "loop"} << false;
    QTest::newRow("blanks and umlauts") << QByteArray() << QStringList{"Übung mit Lücke/"}
                                        << QStringList{"", "Übung mit Lücke"} << false;
    QTest::newRow("100000 lines") << many << QStringList{"a/"} << QStringList{"", "a"} << false;
    QTest::newRow("disk full") << many << QStringList{"a/"} << QStringList{} << true;
    QTest::newRow("Path is a folder") << QByteArray("/") << QStringList{} << QStringList{} << false;
}

// Registration fails only with a warning: the project still opens, nothing in "Path" is lost.
void TestProjectManager::registration()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, tree);
    QFETCH(QStringList, appended);
    QFETCH(bool, diskFull);
    const QString folder = dir->path();
    QVERIFY(makeTree(folder, tree));
    before.replace("$P", folder.toUtf8()).replace("$U", folder.toUpper().toUtf8());
    if (!before.isNull())
        QVERIFY(before == "/" ? QDir().mkdir(pathFile) : TestFiles::write(pathFile, before));
    QByteArray expected = before == "/" ? QByteArray() : before;
    if (!appended.isEmpty() && !before.isEmpty() && !before.endsWith('\n'))
        expected += '\n';
    QStringList expectedLog;
    for (const QString &below : appended) {
        const QString entry = QDir::cleanPath(folder + '/' + below);
        expected += entry.toUtf8() + '\n';
        expectedLog << "Registriere Unterordner: \"" + entry + '"';
    }
    const bool registers = !diskFull && before != "/";
    if (!registers)
        QTest::ignoreMessage(QtWarningMsg, qPrintable("Projektordner nicht in Pfad-Datei "
                                                      "eingetragen: \"" +
                                                      pathFile + '"'));

    const FileSizeLimit limit(before.size() + (diskFull ? 0 : 1000));
    ProjectManager project(pathFile);
    QVERIFY(project.createProject(folder, "demo"));
    QCOMPARE(logged, expectedLog);
    QCOMPARE(TestFiles::read(pathFile), expected);
    logged.clear();
    QCOMPARE(project.registerPathInGlobalConfig(), registers);
    QCOMPARE(logged, QStringList());
    QCOMPARE(TestFiles::read(pathFile), expected);
}

void TestProjectManager::saveOnFullDiskKeepsOldFile()
{
    QVERIFY(TestFiles::write(dir->filePath("demo.zkproject"), "old"));
    ProjectManager project(pathFile);
    project.projectFile = dir->filePath("demo.zkproject");
    project.files = QStringList(20, "a long name of a member.zkhelp");
    {
        const FileSizeLimit limit(100);
        QVERIFY(!project.saveProject());
    }
    QCOMPARE(TestFiles::read(project.projectFile), QByteArray("old"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"demo.zkproject"});
}

void TestProjectManager::openProject_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("name");

    QTest::newRow("name only, members from the folder")
        << QByteArray("<zkproject name=\"Hilfe\"><file>gone.zkhelp</file></zkproject>") << true
        << "Hilfe";
    QTest::newRow("no name") << QByteArray("<zkproject/>") << true << "";
    QTest::newRow("not XML") << QByteArray("zkproject name=x") << true << "old";
    QTest::newRow("no zkproject") << QByteArray("<ZKPROJECT name=\"x\"/>") << true << "old";
    QTest::newRow("first root counts, error after it")
        << QByteArray("<zkproject name=\"Neu\"><zkproject name=\"x\"/><file>a</fil>") << true
        << "Neu";
    QTest::newRow("missing") << QByteArray() << false << "old";
}

void TestProjectManager::openProject()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, opens);
    QFETCH(QString, name);
    const QString path = dir->filePath("demo.zkproject");
    QVERIFY(makeTree(dir->path(), {"sub/other.zkhelp"}));
    if (!content.isNull())
        QVERIFY(TestFiles::write(path, content));

    ProjectManager project(pathFile);
    project.projectName = "old";
    project.projectDir = "/old";
    project.files = QStringList{"old.zkhelp"};
    QCOMPARE(project.openProject(path), opens);
    QCOMPARE(project.projectName, name);
    QCOMPARE(project.projectDir, opens ? dir->path() : "/old");
    QCOMPARE(project.files, opens ? QStringList{"sub/other.zkhelp"} : QStringList{"old.zkhelp"});
    QCOMPARE(TestFiles::read(pathFile).count('\n'), opens ? 2 : 0);
    QCOMPARE(TestFiles::read(path), content);
}

// Adding stores the relative form and saves only what is new; removing always saves
// and deletes the named file, member or not.
void TestProjectManager::addAndRemove()
{
    const QDir folder(dir->path());
    const QString projectFile = folder.filePath("demo.zkproject");
    QVERIFY(makeTree(folder.path(), {"a.zkhelp", "loose.zkhelp"}));
    ProjectManager project(pathFile);
    project.addFileToProject(folder.filePath("a.zkhelp")); // no project: registers no folder
    QVERIFY(!QFile::exists(pathFile));
    QVERIFY(project.createProject(folder.path(), "demo"));

    project.addFileToProject(folder.filePath("sub/new.zkhelp"));
    QCOMPARE(project.files, QStringList({"a.zkhelp", "loose.zkhelp", "sub/new.zkhelp"}));
    QCOMPARE(TestFiles::read(projectFile), projectXml("demo", project.files));
    QVERIFY(TestFiles::write(projectFile, "untouched"));
    project.addFileToProject("sub/new.zkhelp");
    QCOMPARE(TestFiles::read(projectFile), QByteArray("untouched"));

    project.removeFileFromProject(folder.filePath("a.zkhelp"), false);
    QVERIFY(QFile::exists(folder.filePath("a.zkhelp")));
    project.files.removeOne("loose.zkhelp");
    project.removeFileFromProject(folder.filePath("loose.zkhelp"), true);
    QVERIFY(!QFile::exists(folder.filePath("loose.zkhelp")));
    QCOMPARE(project.files, QStringList{"sub/new.zkhelp"});
    QCOMPARE(TestFiles::read(projectFile), projectXml("demo", project.files));
}

// zkhconv lists the members of a project written here, and a project it writes opens here
// with its name and comes back byte for byte when saved.
void TestProjectManager::zkhconvReadsAndWritesProjects()
{
    const QDir folder(dir->path());
    QVERIFY(makeTree(folder.path(), {"written/intro.zkhelp", "written/Introduction.zkhelp",
                                     "written/sub/topic.zkhelp", "read/INTRO~1.zkhelp"}));
    QVERIFY(TestFiles::write(folder.filePath("LIST.ZKP"), "INTRO~1.ZKH\n"));
    ProjectManager project(pathFile);
    QVERIFY(project.createProject(folder.filePath("written"), "demo"));

    for (const QStringList &arguments : {QStringList{"-p2dos", "written/demo.zkproject"},
                                         QStringList{"-p2win", "LIST.ZKP", "read/x.zkproject"}}) {
        QProcess zkhconv;
        zkhconv.setWorkingDirectory(folder.path());
        zkhconv.start(ZKHCONV_PATH, arguments);
        QVERIFY(zkhconv.waitForFinished(10000));
        QCOMPARE(zkhconv.exitCode(), 0);
    }
    QCOMPARE(TestFiles::read(folder.filePath("PROJECT.ZKP")),
             QByteArray("INTROD~1.ZKH\nINTRO~1.ZKH\nSUBTOP~1.ZKH\n"));

    const QByteArray converted = TestFiles::read(folder.filePath("read/x.zkproject"));
    QVERIFY(project.openProject(folder.filePath("read/x.zkproject")));
    QCOMPARE(project.projectName, QString("Imported"));
    QVERIFY(project.saveProject());
    QCOMPARE(TestFiles::read(project.projectFile), converted);
}

QTEST_GUILESS_MAIN(TestProjectManager)
#include "tst_projectmanager.moc"
