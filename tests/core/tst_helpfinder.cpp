// Search folders from the "Path" file, and finding help files along them.
#include "helpcollection.h"
#include "helpfinder.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using ZkHelp::HelpFinder;

class TestHelpFinder : public QObject
{
    Q_OBJECT

private slots:
    void searchPaths_data();
    void searchPaths();
    void searchPathsWithoutFile_data();
    void searchPathsWithoutFile();
    void installedHelpFolders_data();
    void installedHelpFolders();
    void workingFolderCollection_data();
    void workingFolderCollection();
    void findHelpFile_data();
    void findHelpFile();
    void findAllFiles_data();
    void findAllFiles();
    void findAllFilesListsEachPathOnce();
    void findAllFilesListsInNameOrder();
};

namespace {

// Lays out files (paths relative to root, "/" for a folder, "|" for a FIFO, "name->target"
// for a symbolic link) and returns the root's path with a trailing slash stripped.
QString layOut(const QTemporaryDir &dir, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const QString path = dir.filePath(entry);
        // The target as written, relative to the link's folder.
        if (entry.contains(u"->"))
            symlink(qPrintable(entry.section(QStringLiteral("->"), 1)),
                    qPrintable(dir.filePath(entry.section(QStringLiteral("->"), 0, 0))));
        else if (entry.endsWith(u'/'))
            QDir().mkpath(path);
        else if (entry.endsWith(u'|'))
            mkfifo(qPrintable(path.chopped(1)), 0600);
        else
            TestFiles::write(path, QByteArray());
    }
    return dir.path();
}

QStringList fileNames(const QList<QString> &paths, const QString &root)
{
    QStringList names;
    for (const QString &path : paths)
        names.append(QDir(root).relativeFilePath(path));
    names.sort();
    return names;
}

// The paths of states, each checked against what QFileInfo says of its file.
QList<QString> statedPaths(const QList<ZkHelp::HelpFileState> &states)
{
    QList<QString> paths;
    for (const ZkHelp::HelpFileState &state : states) {
        const QFileInfo info(state.path);
        if (state.size != info.size() ||
            state.modified / 1000000 != info.lastModified().toMSecsSinceEpoch())
            return {u"wrong size or time: "_qs + state.path};
        paths.append(state.path);
    }
    return paths;
}

} // namespace

void TestHelpFinder::searchPaths_data()
{
    // In lines and expectations, APP stands for the application folder and
    // TMP for the test's temporary folder.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("absolute lines in file order")
        << QByteArray("TMP/b\nTMP/a\n") << QStringList{"APP", "TMP/b", "TMP/a"};
    QTest::newRow("blank lines and surrounding blanks")
        << QByteArray("\n   \n\t TMP/a \t\n\nTMP/b") << QStringList{"APP", "TMP/a", "TMP/b"};
    QTest::newRow("relative line joins the application folder")
        << QByteArray("docs\n../up/./x\n#notes\n")
        << QStringList{"APP", "APP/docs", "APP/../up/./x", "APP/#notes"};
    QTest::newRow("duplicates dropped, trailing slash kept apart")
        << QByteArray("TMP/a\nAPP\nTMP/a\nTMP/a/\n") << QStringList{"APP", "TMP/a", "TMP/a/"};
    QTest::newRow("blanks inside a folder name")
        << QByteArray("TMP/my docs\n") << QStringList{"APP", "TMP/my docs"};
    QTest::newRow("byte-order mark and CR LF")
        << QByteArray("\xEF\xBB\xBFTMP/a\r\nTMP/b\r\n") << QStringList{"APP", "TMP/a", "TMP/b"};
    QTest::newRow("empty file") << QByteArray() << QStringList{"APP"};
}

void TestHelpFinder::searchPaths()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));

    const QString app = QCoreApplication::applicationDirPath();
    content.replace("APP", app.toUtf8()).replace("TMP", dir.path().toUtf8());
    expected.replaceInStrings(QStringLiteral("APP"), app);
    expected.replaceInStrings(QStringLiteral("TMP"), dir.path());
    const QString pathFile = dir.filePath(QStringLiteral("Path"));
    QVERIFY(TestFiles::write(pathFile, content));

    QCOMPARE(HelpFinder().getSearchPaths(pathFile, QCoreApplication::applicationDirPath()),
             expected);
}

void TestHelpFinder::searchPathsWithoutFile_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("missing") << QString();
    QTest::newRow("a folder named Path") << "Path/";
    QTest::newRow("a FIFO named Path") << "Path|";
}

void TestHelpFinder::searchPathsWithoutFile()
{
    QFETCH(QString, entry);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    layOut(dir, entry.isEmpty() ? QStringList{} : QStringList{entry});
    const QString pathFile = dir.filePath(QStringLiteral("Path"));

    QCOMPARE(HelpFinder().getSearchPaths(pathFile, QCoreApplication::applicationDirPath()),
             QList<QString>{QCoreApplication::applicationDirPath()});
}

void TestHelpFinder::installedHelpFolders_data()
{
    // Everything lies in the test's temporary folder, written here as TMP;
    // dataDirs is the colon-separated XDG_DATA_DIRS.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<QString>("dataDirs");
    QTest::addColumn<QStringList>("searched");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no zkhelp anywhere") << QStringList{"home/", "sys/other/"} << "TMP/home"
                                        << "TMP/sys" << QStringList{} << QStringList{};
    QTest::newRow("the user's first, then the data folders in order")
        << QStringList{"home/zkhelp/app/", "b/zkhelp/", "a/zkhelp/x/y/"} << "TMP/home"
        << "TMP/b:TMP/a" << QStringList{}
        << QStringList{"TMP/home/zkhelp", "TMP/home/zkhelp/app", "TMP/b/zkhelp",
                       "TMP/a/zkhelp",    "TMP/a/zkhelp/x",      "TMP/a/zkhelp/x/y"};
    QTest::newRow("below a root sorted by full path")
        << QStringList{"sys/zkhelp/a/c/", "sys/zkhelp/a-b/", "sys/zkhelp/B/"} << "TMP/home"
        << "TMP/sys" << QStringList{}
        << QStringList{"TMP/sys/zkhelp", "TMP/sys/zkhelp/B", "TMP/sys/zkhelp/a",
                       "TMP/sys/zkhelp/a-b", "TMP/sys/zkhelp/a/c"};
    QTest::newRow("hidden folders and what lies below them left out")
        << QStringList{"sys/zkhelp/.cache/app/", "sys/zkhelp/app/.old/"} << "TMP/home"
        << "TMP/sys" << QStringList{} << QStringList{"TMP/sys/zkhelp", "TMP/sys/zkhelp/app"};
    QTest::newRow("missing data folders and a zkhelp file skipped")
        << QStringList{"file/zkhelp", "sys/zkhelp/"} << "TMP/gone"
        << "TMP/none:TMP/file:TMP/sys" << QStringList{} << QStringList{"TMP/sys/zkhelp"};
    QTest::newRow("a data folder named twice lists its folders once")
        << QStringList{"sys/zkhelp/app/"} << "TMP/sys"
        << "TMP/sys/:TMP/./sys" << QStringList{}
        << QStringList{"TMP/sys/zkhelp", "TMP/sys/zkhelp/app"};
    QTest::newRow("a data folder below another's zkhelp")
        << QStringList{"sys/zkhelp/zkhelp/"} << "TMP/home"
        << "TMP/sys:TMP/sys/zkhelp" << QStringList{}
        << QStringList{"TMP/sys/zkhelp", "TMP/sys/zkhelp/zkhelp"};
    QTest::newRow("folders searched already left out")
        << QStringList{"sys/zkhelp/app/", "sys/zkhelp/doc/"} << "TMP/home"
        << "TMP/sys" << QStringList{"TMP/sys/zkhelp/", "TMP/x/../sys/zkhelp/doc"}
        << QStringList{"TMP/sys/zkhelp/app"};
    QTest::newRow("a link to a folder listed, not walked")
        << QStringList{"elsewhere/deep/", "sys/zkhelp/", "sys/zkhelp/link->../../elsewhere"}
        << "TMP/home"
        << "TMP/sys" << QStringList{} << QStringList{"TMP/sys/zkhelp", "TMP/sys/zkhelp/link"};
}

void TestHelpFinder::installedHelpFolders()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, dataHome);
    QFETCH(QString, dataDirs);
    QFETCH(QStringList, searched);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    layOut(dir, entries);
    for (QStringList *paths : {&searched, &expected})
        paths->replaceInStrings(QStringLiteral("TMP"), dir.path());
    qputenv("XDG_DATA_HOME", dataHome.replace(QStringLiteral("TMP"), dir.path()).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", dataDirs.replace(QStringLiteral("TMP"), dir.path()).toLocal8Bit());

    QCOMPARE(HelpFinder().installedHelpFolders(searched), expected);
}

void TestHelpFinder::workingFolderCollection_data()
{
    // The working folder and the user's configuration folder lie in the
    // test's temporary folder TMP; APP is the program folder, USER the
    // user's "Path". A null file content means there is no such file.
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QByteArray>("workingPath");
    QTest::addColumn<QByteArray>("userPath");
    QTest::addColumn<QStringList>("searchPaths");
    QTest::addColumn<QByteArray>("workingPathAfter");
    QTest::addColumn<QString>("shownPathFile");

    QTest::newRow("build tree: a first run creates Path, the user's is not read")
        << false << QByteArray() << QByteArray("TMP/user\n") << QStringList{"APP", "TMP/work"}
        << QByteArray("TMP/work\n") << "Path";
    QTest::newRow("build tree: the working folder's Path")
        << false << QByteArray("TMP/a\n") << QByteArray("TMP/user\n") << QStringList{"APP", "TMP/a"}
        << QByteArray("TMP/a\n") << "Path";
    QTest::newRow("installed: the user's Path, none created")
        << true << QByteArray() << QByteArray("TMP/user\n") << QStringList{"APP", "TMP/user"}
        << QByteArray() << "USER";
    QTest::newRow("installed: the working folder's Path wins")
        << true << QByteArray("TMP/a\n") << QByteArray("TMP/user\n") << QStringList{"APP", "TMP/a"}
        << QByteArray("TMP/a\n") << "Path";
    QTest::newRow("installed: no Path anywhere, none created")
        << true << QByteArray() << QByteArray() << QStringList{"APP"} << QByteArray() << "USER";
}

void TestHelpFinder::workingFolderCollection()
{
    QFETCH(bool, installed);
    QFETCH(QByteArray, workingPath);
    QFETCH(QByteArray, userPath);
    QFETCH(QStringList, searchPaths);
    QFETCH(QByteArray, workingPathAfter);
    QFETCH(QString, shownPathFile);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString app = installed ? QStringLiteral(ZKHELP_INSTALLED_BINDIR)
                                  : QCoreApplication::applicationDirPath();
    const QString user = dir.filePath(QStringLiteral("config/zkhelp/Path"));
    const QString work = dir.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(work));
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    const QByteArray tmp = dir.path().toUtf8();
    if (!workingPath.isNull())
        QVERIFY(TestFiles::write(work + "/Path", workingPath.replace("TMP", tmp)));
    if (!userPath.isNull())
        QVERIFY(TestFiles::write(user, userPath.replace("TMP", tmp)));
    searchPaths.replaceInStrings(QStringLiteral("APP"), app);
    searchPaths.replaceInStrings(QStringLiteral("TMP"), dir.path());
    shownPathFile.replace(QStringLiteral("USER"), user);
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work));
    const auto back = qScopeGuard([&] { QDir::setCurrent(before); });

    QCOMPARE(ZkHelp::HelpCollection::forWorkingFolder(app).searchPaths(), searchPaths);
    QCOMPARE(QFileInfo::exists(work + "/Path"), !workingPathAfter.isNull());
    QCOMPARE(TestFiles::read(work + "/Path"), workingPathAfter.replace("TMP", tmp));
    QCOMPARE(QFileInfo::exists(user), !userPath.isNull());
    QCOMPARE(ZkHelp::HelpCollection::workingPathFile(app), shownPathFile);
}

void TestHelpFinder::findHelpFile_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    const QStringList three{"one/", "two/topic.zkhelp", "three/topic.zkhelp"};
    QTest::newRow("bare name") << three << "topic"
                               << "two/topic.zkhelp";
    QTest::newRow("name with extension") << three << "topic.zkhelp"
                                         << "two/topic.zkhelp";
    QTest::newRow("found nowhere") << three << "other"
                                   << "";
    QTest::newRow("sub-folder part") << QStringList{"one/sub/x.zkhelp", "two/x.zkhelp"} << "sub/x"
                                     << "one/sub/x.zkhelp";
    QTest::newRow("upper-case extension gets a second one")
        << QStringList{"one/A.ZKHELP.zkhelp", "two/A.ZKHELP"} << "A.ZKHELP"
        << "one/A.ZKHELP.zkhelp";
    QTest::newRow("only regular files count")
        << QStringList{"one/topic.zkhelp/", "two/topic.zkhelp|", "three/topic.zkhelp"} << "topic"
        << "three/topic.zkhelp";
    QTest::newRow("case matters in the name") << QStringList{"one/Topic.zkhelp"} << "topic"
                                              << "";
}

void TestHelpFinder::findHelpFile()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString root = layOut(dir, entries);
    const QList<QString> folders{root + "/missing", root + "/one", root + "/two", root + "/three"};

    const QString found = HelpFinder().findHelpFile(folders, name);
    QCOMPARE(found, expected.isEmpty() ? QString() : root + u'/' + expected);
}

void TestHelpFinder::findAllFiles_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");

    const QStringList files{"one/intro.zkhelp",   "one/INDEX.ZKHELP",    "one/notes.txt",
                            "one/.hidden.zkhelp", "one/sub/deep.zkhelp", "one/dir.zkhelp/",
                            "two/Setup.zkhelp",   "two/intro.zkhelp.bak"};
    QTest::newRow("every help file, any letter case, no sub-folders")
        << files << "" << QStringList{"one/INDEX.ZKHELP", "one/intro.zkhelp", "two/Setup.zkhelp"};
    QTest::newRow("filter in any letter case")
        << files << "IN" << QStringList{"one/INDEX.ZKHELP", "one/intro.zkhelp"};
    QTest::newRow("filter must stand before the extension") << files << "help" << QStringList{};
    QTest::newRow("wildcards in the filter act as wildcards")
        << files << "s?t" << QStringList{"two/Setup.zkhelp"};
    QTest::newRow("nothing matches") << files << "zzz" << QStringList{};
    QTest::newRow("a set in brackets acts as a set")
        << files << "[xp]" << QStringList{"one/INDEX.ZKHELP", "two/Setup.zkhelp"};
    QTest::newRow("a bracket without its end is taken literally")
        << QStringList{"one/a[b.zkhelp", "one/ab.zkhelp"} << "[" << QStringList{"one/a[b.zkhelp"};
    QTest::newRow("FIFOs, devices and links to them are no help files")
        << QStringList{"one/notes.txt",
                       "one/f.zkhelp|",
                       "one/fifo|",
                       "one/l.zkhelp->fifo",
                       "one/z.zkhelp->/dev/null",
                       "two/t.zkhelp",
                       "one/r.zkhelp->../two/t.zkhelp"}
        << "" << QStringList{"one/r.zkhelp", "two/t.zkhelp"};
}

void TestHelpFinder::findAllFiles()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString root = layOut(dir, entries);
    const QList<QString> folders{root + "/one", root + "/missing", root + "/two"};

    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    const QList<QString> found = HelpFinder().findAllFiles(folders, filter);
    for (const QString &path : found)
        QVERIFY2(QFileInfo(path).isAbsolute(), qPrintable(path));
    QCOMPARE(fileNames(found, root), expected);
    if (filter.isEmpty())
        QCOMPARE(fileNames(statedPaths(HelpFinder().findAllFileStates(folders)), root), expected);
}

void TestHelpFinder::findAllFilesListsEachPathOnce()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString root = layOut(dir, {"a/x.zkhelp", "b/x.zkhelp"});
    const QList<QString> folders{root + "/b", root + "/a", root + "/b/", root + "/a/../b"};

    const QList<QString> expected{root + "/b/x.zkhelp", root + "/a/x.zkhelp"};
    QCOMPARE(HelpFinder().findAllFiles(folders, QString()), expected);
    QCOMPARE(statedPaths(HelpFinder().findAllFileStates(folders)), expected);
}

// Folders in search order, each folder's names as in lower case: what
// -lsf prints and the viewer shows.
void TestHelpFinder::findAllFilesListsInNameOrder()
{
    QTemporaryDir dir;
    const QString root = layOut(dir, {"one/b.zkhelp", "one/\u00e4.zkhelp", "one/A.zkhelp",
                                      "one/C.ZKHELP", "one/_x.zkhelp", "two/a.zkhelp"});
    QCOMPARE(HelpFinder().findAllFiles({root + "/one", root + "/two"}, "").join(u' '),
             (u"@/one/_x.zkhelp @/one/A.zkhelp @/one/b.zkhelp @/one/C.ZKHELP "
              u"@/one/\u00e4.zkhelp @/two/a.zkhelp"_qs)
                 .replace(u'@', root));
}

QTEST_GUILESS_MAIN(TestHelpFinder)
#include "tst_helpfinder.moc"
