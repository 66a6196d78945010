// HTML escaping, the page and stylesheet files, and the linked export.
#include "filesizelimit.h"
#include "helpcollection.h"
#include "helpparser.h"
#include "helpxml.h"
#include "htmlexporter.h"
#include "htmltext.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using ZkHelp::HelpData;
using ZkHelp::HtmlExporter;

class TestHtmlExporter : public QObject
{
    Q_OBJECT

private slots:
    void cleanHtml_data();
    void cleanHtml();
    void page_data();
    void page();
    void styleSheet();
    void exportPackage_data();
    void exportPackage();
    void exportWarnsOncePerMissingName();
    void outputFolderCannotBeCreated();
    void outputFolderWithParentsIsCreated();
    void linksLeadToTheirPages_data();
    void linksLeadToTheirPages();
    void failedWritesFailTheExport_data();
    void failedWritesFailTheExport();
    void longLinkChain();
};

namespace {

const QByteArray bom = "\xEF\xBB\xBF";

QByteArray helpFile(const QStringList &links)
{
    QByteArray body = HelpXml::language("de", "");
    for (const QString &link : links)
        body += HelpXml::link(link.toUtf8());
    return HelpXml::file(body);
}

// Every file below folder, as paths relative to it, sorted.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// Where an address in a page leads: the file it names, relative to the page.
QString resolveAddress(const QString &pagePath, const QString &escapedAddress)
{
    const QString address = QUrl::fromPercentEncoding(HtmlText::decode(escapedAddress).toUtf8());
    return QDir::cleanPath(QFileInfo(pagePath).path() + u'/' + address);
}

// The stylesheet and link addresses of a page, in page order.
QStringList addressesIn(const QString &pagePath)
{
    static const QRegularExpression address(QStringLiteral("href=[\"']([^\"']*)[\"']"));
    QStringList addresses;
    const QString page = QString::fromUtf8(TestFiles::read(pagePath));
    for (const QRegularExpressionMatch &match : address.globalMatch(page))
        addresses.append(match.captured(1));
    return addresses;
}

} // namespace

void TestHtmlExporter::cleanHtml_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("reserved characters") << "a<b & 'c'"
                                         << "a&lt;b &amp; &#39;c&#39;";
    QTest::newRow("quotation mark and greater-than") << "\"x\">"
                                                     << "&quot;x&quot;&gt;";
    QTest::newRow("existing reference escaped again") << "&amp;"
                                                      << "&amp;amp;";
    QTest::newRow("umlauts") << QString::fromUtf8("Größe") << "Gr&#246;&#223;e";
    QTest::newRow("euro sign and first non-ASCII")
        << QString::fromUtf8("€\u0080") << "&#8364;&#128;";
    QTest::newRow("controls and DEL pass through")
        << QStringLiteral("\t\n\r\x7f") << QStringLiteral("\t\n\r\x7f");
    QTest::newRow("outside the BMP is one reference") << QString::fromUtf8("a😀b") << "a&#128512;b";
    QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) + u'x' << "&#65533;x";
    QTest::newRow("lone low surrogate") << u'x' + QString(QChar(0xDE00)) << "x&#65533;";
    QTest::newRow("low before high")
        << QString(QChar(0xDE00)) + QChar(0xD83D) << "&#65533;&#65533;";
}

void TestHtmlExporter::cleanHtml()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ZkHelp::cleanHtml(text), expected);
}

void TestHtmlExporter::page_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray head = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"UTF-8\">\n";
    QTest::newRow("languages sorted, links listed")
        << QByteArray("<zkhelp version=\"2\" author=\"J\xC3\xBCrgen\">"
                      "<lang name=\"en\"><description>E</description></lang>"
                      "<lang name=\"de\"><description>D &amp; d</description>"
                      "<section name=\"S1\">one\ntwo</section><section name=\"&lt;\"/></lang>"
                      "<link page=\"it's\"/><link page=\"b\"/></zkhelp>")
        << "a&b"
        << head + "<title>a&amp;b</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n"
                  "</head>\n<body>\n<h1>a&amp;b</h1>\n"
                  "<div class='meta-info'>Author: J&#252;rgen | Version: 2</div>\n"
                  "<h2>Inhalt</h2>\n"
                  "<details open>\n<summary>de</summary>\n<div>\n<p><i>D &amp; d</i></p>\n"
                  "<div class='section-box'>\n<span class='section-title'>S1</span>\none\ntwo\n"
                  "</div>\n"
                  "<div class='section-box'>\n<span class='section-title'>&lt;</span>\n\n"
                  "</div>\n</div>\n</details>\n"
                  "<details open>\n<summary>en</summary>\n<div>\n<p><i>E</i></p>\n</div>\n"
                  "</details>\n"
                  "<h2>Siehe auch:</h2>\n<ul>\n"
                  "<li><a href='it&#39;s.html'>it&#39;s</a></li>\n"
                  "<li><a href='b.html'>b</a></li>\n</ul>\n"
                  "</body>\n</html>\n";
    QTest::newRow("no languages, no links, empty meta")
        << QByteArray("<zkhelp/>") << "t"
        << head + "<title>t</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n"
                  "</head>\n<body>\n<h1>t</h1>\n"
                  "<div class='meta-info'>Author:  | Version: </div>\n"
                  "<h2>Inhalt</h2>\n</body>\n</html>\n";
}

void TestHtmlExporter::page()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, title);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString sourcePath = dir.filePath(QStringLiteral("in.zkhelp"));
    QVERIFY(TestFiles::write(sourcePath, source));
    const QString pagePath = dir.filePath(QStringLiteral("out.html"));
    QVERIFY(TestFiles::write(pagePath, QByteArray(50000, 'x')));

    HtmlExporter().writeHtmlPage(ZkHelp::HelpParser().parse(sourcePath), pagePath, title);
    QCOMPARE(TestFiles::read(pagePath), bom + expected);
}

void TestHtmlExporter::styleSheet()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    HtmlExporter().writeCssFile(dir.path());
    const QByteArray css = TestFiles::read(dir.filePath(QStringLiteral("style.css")));

    QVERIFY(css.startsWith(bom));
    QVERIFY(
        css.endsWith(".meta-info { font-size: 0.9em; color: #7f8c8d; margin-bottom: 20px; }\n"));
    const QList<QByteArray> lines = css.mid(bom.size()).chopped(1).split('\n');
    QCOMPARE(lines.size(), 14);
    for (const char *selector : {"body {", "h3 {", "details {", "summary {", "summary:hover {",
                                 ".section-box {", ".section-title {", "ul {", "li a {"})
        QVERIFY2(css.contains("\n" + QByteArray(selector)) || css.startsWith(bom + selector),
                 selector);
}

void TestHtmlExporter::exportPackage_data()
{
    // Each source line is "name: link link ..."; names without a line do not exist.
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("links to itself")
        << QStringList{"a: a"} << "a" << QStringList{"a.html"} << QStringList{};
    QTest::newRow("two files in a cycle")
        << QStringList{"a: b", "b: a"} << "a" << QStringList{"a.html", "b.html"} << QStringList{};
    QTest::newRow("repeated link gives one page")
        << QStringList{"a: b b c", "b:", "c: b"} << "a" << QStringList{"a.html", "b.html", "c.html"}
        << QStringList{};
    QTest::newRow("name with and without extension are two pages")
        << QStringList{"a: a.zkhelp"} << "a" << QStringList{"a.html", "a.zkhelp.html"}
        << QStringList{};
    QTest::newRow("missing start leaves only the stylesheet")
        << QStringList{} << "gone" << QStringList{}
        << QStringList{"Export Warnung: Verlinkte Datei nicht gefunden: \"gone\""};
    QTest::newRow("name leaving the folder gets no page, export goes on")
        << QStringList{"a: ../a x/../../a /tmp/evil b", "b:"} << "a"
        << QStringList{"a.html", "b.html"}
        << QStringList{"Export Warnung: Seite läge außerhalb des Ausgabeordners: \"../a\"",
                       "Export Warnung: Seite läge außerhalb des Ausgabeordners: \"x/../../a\"",
                       "Export Warnung: Seite läge außerhalb des Ausgabeordners: \"/tmp/evil\""};
    QTest::newRow("names with folder parts get pages in sub-folders")
        << QStringList{"a: sub/b sub/../c", "sub/b: a", "c:"} << "a"
        << QStringList{"a.html", "c.html", "sub/b.html"} << QStringList{};
    QTest::newRow("addresses lead to their name's page")
        << QStringList{"a: zkhelp:sub/b?lang=de#2 zkhelp:c?x=1 zkhelp:../a zkhelp:%zz",
                       "sub/b: zkhelp:a#1", "c:"}
        << "a" << QStringList{"a.html", "c.html", "sub/b.html"} << QStringList{};
}

void TestHtmlExporter::exportPackage()
{
    QFETCH(QStringList, sources);
    QFETCH(QString, start);
    QFETCH(QStringList, pages);
    QFETCH(QStringList, warnings);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString helpDir = dir.filePath(QStringLiteral("help"));
    for (const QString &source : sources) {
        const QString name = source.section(u':', 0, 0);
        const QStringList links = source.section(u':', 1).split(u' ', Qt::SkipEmptyParts);
        QVERIFY(TestFiles::write(helpDir + u'/' + name + ".zkhelp", helpFile(links)));
    }
    // Something an escaping name would overwrite if it were written.
    const QString outside = dir.filePath(QStringLiteral("a.html"));
    QVERIFY(TestFiles::write(outside, "keep"));
    for (const QString &warning : warnings)
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));

    const QString outputDir = dir.filePath(QStringLiteral("out"));
    QVERIFY(HtmlExporter().exportPackage(start, outputDir, ZkHelp::HelpCollection({helpDir})));

    QStringList expected = pages + QStringList{"style.css"};
    expected.sort();
    QCOMPARE(filesBelow(outputDir), expected);
    QCOMPARE(TestFiles::read(outside), QByteArray("keep"));
    // A name that got no page is no address either.
    for (const QString &page : std::as_const(pages)) {
        const QString pagePath = outputDir + u'/' + page;
        for (const QString &address : addressesIn(pagePath))
            QVERIFY2(expected.contains(
                         QDir(outputDir).relativeFilePath(resolveAddress(pagePath, address))),
                     qPrintable(page + ": " + address));
    }
    if (!pages.isEmpty()) {
        const QByteArray first = TestFiles::read(outputDir + u'/' + pages.first());
        QVERIFY(first.contains("<h1>" + start.toUtf8() + "</h1>"));
    }
}

void TestHtmlExporter::exportWarnsOncePerMissingName()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("a.zkhelp")), helpFile({"gone", "b"})));
    QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("b.zkhelp")), helpFile({"gone", "a"})));

    QTest::ignoreMessage(QtWarningMsg, "Export Warnung: Verlinkte Datei nicht gefunden: \"gone\"");
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    QVERIFY(HtmlExporter().exportPackage(QStringLiteral("a"), dir.filePath(QStringLiteral("out")),
                                         ZkHelp::HelpCollection({dir.path()})));
}

void TestHtmlExporter::outputFolderCannotBeCreated()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString outputDir = dir.filePath(QStringLiteral("taken"));
    QVERIFY(TestFiles::write(outputDir, "a file"));

    QTest::ignoreMessage(
        QtWarningMsg,
        qPrintable(QStringLiteral("Konnte Ausgabeordner nicht erstellen: \"%1\"").arg(outputDir)));
    QVERIFY(!HtmlExporter().exportPackage(QStringLiteral("a"), outputDir,
                                          ZkHelp::HelpCollection({dir.path()})));
    QCOMPARE(TestFiles::read(outputDir), QByteArray("a file"));
}

void TestHtmlExporter::outputFolderWithParentsIsCreated()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("a.zkhelp")), helpFile({})));
    const QString outputDir = dir.filePath(QStringLiteral("x/y/z"));

    QVERIFY(HtmlExporter().exportPackage(QStringLiteral("a"), outputDir,
                                         ZkHelp::HelpCollection({dir.path()})));
    QVERIFY(QFileInfo(outputDir + QStringLiteral("/a.html")).isFile());
    QVERIFY(QFileInfo(outputDir + QStringLiteral("/style.css")).isFile());
}

// A page at start links to name, whose file links back; every address on
// both pages must lead to a file this export wrote, never out of it.
void TestHtmlExporter::linksLeadToTheirPages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("address");

    QTest::newRow("plain") << "b"
                           << "b.html"
                           << "b.html";
    QTest::newRow("script address") << "javascript:alert(1)"
                                    << "javascript:alert(1).html"
                                    << "javascript%3Aalert(1).html";
    QTest::newRow("fragment") << "a#b"
                              << "a#b.html"
                              << "a%23b.html";
    QTest::newRow("query") << "q?x"
                           << "q?x.html"
                           << "q%3Fx.html";
    QTest::newRow("percent") << "p%41"
                             << "p%41.html"
                             << "p%2541.html";
    QTest::newRow("backslash") << "a\\b"
                               << "a\\b.html"
                               << "a%5Cb.html";
    QTest::newRow("apostrophe and umlaut")
        << QString::fromUtf8("it's Ü") << QString::fromUtf8("it's Ü.html")
        << "it&#39;s &#220;.html";
    QTest::newRow("one folder down") << "sub/b"
                                     << "sub/b.html"
                                     << "sub/b.html";
    QTest::newRow("two folders down, with a colon") << "x/y:z/b"
                                                    << "x/y:z/b.html"
                                                    << "x/y%3Az/b.html";
}

void TestHtmlExporter::linksLeadToTheirPages()
{
    QFETCH(QString, name);
    QFETCH(QString, page);
    QFETCH(QString, address);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString helpDir = dir.filePath(QStringLiteral("help"));
    QVERIFY(TestFiles::write(helpDir + QStringLiteral("/a.zkhelp"), helpFile({name})));
    QVERIFY(TestFiles::write(helpDir + u'/' + name + QStringLiteral(".zkhelp"), helpFile({"a"})));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));

    const QString outputDir = QDir(dir.filePath(QStringLiteral("out"))).absolutePath();
    QVERIFY(HtmlExporter().exportPackage(QStringLiteral("a"), outputDir,
                                         ZkHelp::HelpCollection({helpDir})));
    QStringList expected{"a.html", page, "style.css"};
    expected.sort();
    QCOMPARE(filesBelow(outputDir), expected);

    const QString startPage = outputDir + QStringLiteral("/a.html");
    QCOMPARE(addressesIn(startPage), (QStringList{"style.css", address}));
    QCOMPARE(resolveAddress(startPage, address), outputDir + u'/' + page);
    const QString linkedPage = outputDir + u'/' + page;
    const QStringList back = addressesIn(linkedPage);
    QCOMPARE(back.size(), 2);
    QCOMPARE(resolveAddress(linkedPage, back.at(0)), outputDir + QStringLiteral("/style.css"));
    QCOMPARE(resolveAddress(linkedPage, back.at(1)), startPage);
}

// The disk refuses some files: whatever was cut short is gone, the rest of the
// export is written, and the export as a whole reports failure.
void TestHtmlExporter::failedWritesFailTheExport_data()
{
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<int>("sectionSize");

    QTest::newRow("stylesheet is a folder") << "style.css" << 0;
    QTest::newRow("page is a folder") << "b.html" << 0;
    QTest::newRow("page cut short within the write buffer") << "b.html" << 8000;
    QTest::newRow("page cut short beyond the write buffer") << "b.html" << 100000;
}

void TestHtmlExporter::failedWritesFailTheExport()
{
    QFETCH(QString, blocked);
    QFETCH(int, sectionSize);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString helpDir = dir.filePath(QStringLiteral("help"));
    QVERIFY(TestFiles::write(helpDir + QStringLiteral("/a.zkhelp"), helpFile({"b", "c"})));
    QVERIFY(TestFiles::write(helpDir + QStringLiteral("/b.zkhelp"),
                             "<zkhelp><lang name=\"de\"><section>" + QByteArray(sectionSize, 'x') +
                                 "</section></lang></zkhelp>"));
    QVERIFY(TestFiles::write(helpDir + QStringLiteral("/c.zkhelp"), helpFile({})));
    const QString outputDir = dir.filePath(QStringLiteral("out"));
    const QString blockedPath = outputDir + u'/' + blocked;
    if (sectionSize == 0)
        QVERIFY(QDir().mkpath(blockedPath));
    QTest::ignoreMessage(
        QtWarningMsg,
        qPrintable(QStringLiteral("Export Warnung: Datei konnte nicht geschrieben werden: \"%1\"")
                       .arg(blockedPath)));

    bool exported = true;
    {
        const auto limit = sectionSize > 0 ? std::make_unique<FileSizeLimit>(4096) : nullptr;
        exported = HtmlExporter().exportPackage(QStringLiteral("a"), outputDir,
                                                ZkHelp::HelpCollection({helpDir}));
    }
    QVERIFY(!exported);
    QVERIFY(!QFileInfo(blockedPath).isFile());
    QStringList written{"a.html", "b.html", "c.html", "style.css"};
    written.removeOne(blocked);
    QCOMPARE(QDir(outputDir).entryList(QDir::Files, QDir::Name), written);
    for (const QString &file : written) {
        const QByteArray bytes = TestFiles::read(outputDir + u'/' + file);
        QVERIFY2(bytes.endsWith(file.endsWith(u".css") ? "}\n" : "</html>\n"), qPrintable(file));
    }
}

// Far longer than the call stack would allow if each link were a level of
// recursion; pages come out complete and in link order.
void TestHtmlExporter::longLinkChain()
{
    const int length = 50000;
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    for (int i = 0; i < length; ++i) {
        const QString next = QString::number(i + 1 < length ? i + 1 : 0);
        QVERIFY(TestFiles::write(dir.filePath(QString::number(i) + QStringLiteral(".zkhelp")),
                                 helpFile({next})));
    }
    const QString outputDir = dir.filePath(QStringLiteral("out"));
    QVERIFY(HtmlExporter().exportPackage(QStringLiteral("0"), outputDir,
                                         ZkHelp::HelpCollection({dir.path()})));
    QCOMPARE(QDir(outputDir).entryList(QDir::Files).size(), length + 1);
    QVERIFY(TestFiles::read(outputDir + QStringLiteral("/49999.html")).contains("href='0.html'"));
}

QTEST_GUILESS_MAIN(TestHtmlExporter)
#include "tst_htmlexporter.moc"
