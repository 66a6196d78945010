// zkhelp_cli -site as a process: which files a site holds, what its pages
// say and escape, and how a later run replaces and removes its own files.
#include "helpxml.h"
#include "privatehome.h"
#include "processrun.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

class TestSite : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void page_data();
    void page();
    void laterRun();

private:
    PrivateHome home;
};

namespace {

using HelpXml::language;
using HelpXml::link;
using HelpXml::section;

// a: German reference, an English translation stale against it; sub/b:
// German only, its texts full of markup; c: Arabic.
const FileSet base{
    {"set/a.zkhelp",
     HelpXml::file(
         language("de", "D", section("Eins", "Zeile 1\nZeile 2", "", "s1") + section("Zwei", "z")) +
         language("en", "E", section("One", "o", "de:0000000000000000", "s1")) + link("sub/b") +
         link("javascript:alert(1)") + link("zkhelp:sub/b#2") + link("nix"))},
    {"set/sub/b.zkhelp",
     HelpXml::file(language("de", "&lt;/script&gt;&lt;b&gt;&amp;&quot;'",
                            section("&lt;/script&gt;X", "x") + section("Y", "y")),
                   "version=\"1\" author=\"&lt;i&gt;\"")},
    {"set/c.zkhelp", HelpXml::file(language("ar", "عربي", section("واحد", "نص")))},
};

const QStringList baseFiles{
    "ar/c.html",      "ar/index.html", "ar/search-index.js", "ar/search.html",
    "de/a.html",      "de/index.html", "de/search-index.js", "de/search.html",
    "de/sub/b.html",  "en/a.html",     "en/index.html",      "en/search-index.js",
    "en/search.html", "index.html",    "search.js",          "style.css"};

ProcessRun runSite(const QString &work, const QStringList &args)
{
    return ProcessRun::run(QStringLiteral(ZKHELP_CLI_PATH), QStringList{"-site"} + args, work);
}

// Every file below folder, by its relative path, with its bytes.
FileSet contents(const QString &folder)
{
    FileSet found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        found.insert(QDir(folder).relativeFilePath(path), TestFiles::read(path));
    }
    return found;
}

} // namespace

void TestSite::layout_data()
{
    QTest::addColumn<FileSet>("files");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("written"); // besides the list; none: no site at all
    QTest::addColumn<QString>("err");

    QTest::newRow("every language")
        << base << QStringList{"out", "set"} << 0 << baseFiles << QString();
    QStringList withMap = baseFiles;
    withMap.append("sitemap.xml");
    QTest::newRow("sitemap") << base
                             << QStringList{"out", "set", "--base-url", "https://example.org/h"}
                             << 0 << withMap << QString();
    FileSet broken = base;
    broken.insert("set/broken.zkhelp", "<zkhelp><lang name=\"de\">");
    QTest::newRow("unreadable file left out")
        << broken << QStringList{"out", "set"} << 1 << baseFiles << "set/broken.zkhelp: ";
    FileSet badKey = base;
    badKey.insert("set/d.zkhelp", HelpXml::file(language("../x", "D") + language("de", "D")));
    QStringList withD = baseFiles;
    withD.append("de/d.html");
    QTest::newRow("language key no folder can hold")
        << badKey << QStringList{"out", "set"} << 1 << withD << "Sprache \"../x\"";
    const FileSet reserved{{"set/index.zkhelp", HelpXml::file(language("de", "D"))}};
    QTest::newRow("topic named like the contents")
        << reserved << QStringList{"out", "set"} << 0
        << QStringList{"de/index.html",  "de/index.zkhelp.html", "de/search-index.js",
                       "de/search.html", "index.html",           "search.js",
                       "style.css"}
        << QString();
    QTest::newRow("output inside the set") << base << QStringList{"set/sub/out", "set"} << 2
                                           << QStringList() << "Ausgabeordner liegt im Ordner";
    FileSet foreign = base;
    foreign.insert("out/mine.txt", "mine");
    QTest::newRow("folder of someone else")
        << foreign << QStringList{"out", "set"} << 2 << QStringList() << "nicht von -site";
    QTest::newRow("no set folder")
        << base << QStringList{"out", "nope"} << 2 << QStringList() << "Kein Ordner: nope";
    QTest::newRow("base address no web address")
        << base << QStringList{"out", "set", "--base-url", "javascript:alert(1)"} << 2
        << QStringList() << "Ungueltige Basisadresse";
}

void TestSite::layout()
{
    QFETCH(FileSet, files);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, written);
    QFETCH(QString, err);

    QTemporaryDir work;
    QVERIFY(TestFiles::writeSet(work.path(), files));
    const ProcessRun run = runSite(work.path(), args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(QString::fromUtf8(run.err).contains(err), run.err.constData());

    const QString out = work.filePath(args.first());
    const FileSet found = contents(out);
    if (written.isEmpty()) {
        QVERIFY(!found.contains(".zkhelp-site"));
        FileSet after = contents(work.path());
        after.remove("Path"); // the program's own, as in every run
        QCOMPARE(after, files);
        return;
    }
    QStringList listed = QString::fromUtf8(found.value(".zkhelp-site")).split(u'\n');
    QCOMPARE(listed.takeFirst(), "# zkhelp -site");
    QCOMPARE(listed.takeLast(), QString());
    written.sort();
    QCOMPARE(listed, written);
    written.append(".zkhelp-site");
    written.sort();
    QCOMPARE(found.keys(), written);
}

void TestSite::page_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("stale translation")
        << "en/a.html"
        << QStringList{"<html lang=\"en\" dir=\"ltr\">",
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">",
                       "<link rel=\"alternate\" hreflang=\"de\" href=\"../de/a.html\">",
                       "<link rel=\"alternate\" hreflang=\"en\" href=\"../en/a.html\">",
                       "<a class=\"skip\" href=\"#main\">",
                       "<li><a href=\"../de/a.html\" hreflang=\"de\" lang=\"de\" "
                       "dir=\"ltr\">de</a>",
                       "<li aria-current=\"page\" lang=\"en\" dir=\"ltr\">en</li>",
                       "<p class=\"banner\" role=\"note\">Diese &#220;bersetzung ist "
                       "m&#246;glicherweise nicht aktuell. <a href=\"../de/a.html\"",
                       "<section id=\"s1\">\n<h2>One</h2>\n<p class=\"stale\"><strong>veraltet"
                       "</strong> <a href=\"../de/a.html#s1\" hreflang=\"de\">",
                       "<li><a href=\"../de/sub/b.html\" hreflang=\"de\">sub/b</a></li>",
                       "<li><a href=\"../de/sub/b.html#2\" hreflang=\"de\">zkhelp:sub/b#2</a>",
                       "<li>javascript:alert(1)</li>",
                       "<li>nix</li>",
                       "<form class=\"search\" role=\"search\" action=\"search.html\">"}
        << QStringList{"href=\"javascript", "<script"};
    QTest::newRow("reference")
        << "de/a.html"
        << QStringList{"<section id=\"s1\">\n<h2>Eins</h2>\n<div class=\"text\">Zeile 1\nZeile 2"
                       "</div>",
                       "<section id=\"2\">", "<li><a href=\"../de/sub/b.html#2\">"}
        << QStringList{"banner", "veraltet", "<br"};
    QTest::newRow("markup in texts, a folder deep")
        << "de/sub/b.html"
        << QStringList{"href=\"../../style.css\"", "action=\"../search.html\"",
                       "&lt;/script&gt;&lt;b&gt;&amp;&quot;&#39;", "Autor: &lt;i&gt;"}
        << QStringList{"</script><b>", "<i>"};
    QTest::newRow("contents without translation")
        << "en/index.html"
        << QStringList{"<li><a href=\"a.html\">a</a> <span class=\"description\">E</span></li>",
                       "<li><a href=\"../de/sub/b.html\" hreflang=\"de\">sub/b</a> <span "
                       "class=\"note\">nicht &#252;bersetzt</span>",
                       "<li><a href=\"../ar/c.html\" hreflang=\"ar\">c</a>"}
        << QStringList();
    QTest::newRow("right to left")
        << "ar/c.html" << QStringList{"<html lang=\"ar\" dir=\"rtl\">"} << QStringList();
    QTest::newRow("languages")
        << "index.html"
        << QStringList{"<li><a href=\"ar/index.html\" hreflang=\"ar\" lang=\"ar\" dir=\"rtl\">ar"}
        << QStringList();
    QTest::newRow("sitemap")
        << "sitemap.xml"
        << QStringList{"<url><loc>https://example.org/h/en/a.html</loc><xhtml:link "
                       "rel=\"alternate\" hreflang=\"de\" "
                       "href=\"https://example.org/h/de/a.html\"/>"
                       "<xhtml:link rel=\"alternate\" hreflang=\"en\" "
                       "href=\"https://example.org/h/en/a.html\"/></url>",
                       "<url><loc>https://example.org/h/de/sub/b.html</loc><xhtml:link "
                       "rel=\"alternate\" hreflang=\"de\" href=\"https://example.org/h/de/sub/"
                       "b.html\"/></url>"}
        << QStringList();
    QTest::newRow("search index") << "de/search-index.js" << QStringList{"\\u003c/script\\u003e"}
                                  << QStringList{"</script>"};
}

void TestSite::page()
{
    QFETCH(QString, page);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);

    QTemporaryDir work;
    QVERIFY(TestFiles::writeSet(work.path(), base));
    QCOMPARE(runSite(work.path(), {"out", "set", "--base-url", "https://example.org/h/"}).exitCode,
             0);
    const QString text = QString::fromUtf8(TestFiles::read(work.filePath("out/" + page)));
    for (const QString &piece : present)
        QVERIFY2(text.contains(piece), qPrintable(piece));
    for (const QString &piece : absent)
        QVERIFY2(!text.contains(piece), qPrintable(piece));
}

// The same set gives the same bytes; a topic gone takes its pages along,
// while files the site did not write stay, wherever its list points.
void TestSite::laterRun()
{
    QTemporaryDir work;
    QVERIFY(TestFiles::writeSet(work.path(), base));
    QCOMPARE(runSite(work.path(), {"out", "set"}).exitCode, 0);
    const FileSet first = contents(work.filePath("out"));
    QCOMPARE(runSite(work.path(), {"out", "set"}).exitCode, 0);
    QCOMPARE(contents(work.filePath("out")), first);

    QVERIFY(QFile::remove(work.filePath("set/sub/b.zkhelp")));
    QVERIFY(TestFiles::write(work.filePath("out/mine.txt"), "mine"));
    QVERIFY(TestFiles::write(work.filePath("victim.txt"), "victim"));
    QVERIFY(TestFiles::write(work.filePath("out/.zkhelp-site"),
                             first.value(".zkhelp-site") + "../victim.txt\n"));
    QCOMPARE(runSite(work.path(), {"out", "set"}).exitCode, 0);
    FileSet expected = first;
    expected.remove("de/sub/b.html");
    expected.insert("mine.txt", "mine");
    const FileSet now = contents(work.filePath("out"));
    QCOMPARE(QStringList(now.keys()), QStringList(expected.keys()));
    QVERIFY(!QFileInfo::exists(work.filePath("out/de/sub")));
    QCOMPARE(TestFiles::read(work.filePath("victim.txt")), "victim");
}

QTEST_GUILESS_MAIN(TestSite)
#include "tst_site.moc"
