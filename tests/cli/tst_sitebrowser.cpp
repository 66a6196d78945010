// The search of a published site in a real browser: headless Chromium opens
// search.html?q=... from file:// and the hits it shows must be the (topic,
// section) pairs zkhelp_cli -search finds in that language.
#include "helpxml.h"
#include "privatehome.h"
#include "processrun.h"
#include "testfiles.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

class TestSiteBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameHitsAsConsole_data();
    void sameHitsAsConsole();

private:
    QStringList browserHits(const QString &language, const QString &query) const;
    QStringList consoleHits(const QString &language, const QString &query) const;

    PrivateHome home;
    QTemporaryDir work;
    QString chromium;
};

namespace {

using HelpXml::language;
using HelpXml::section;

// Every section's id is its title in lower case, so that a hit of the
// console, which names the title, gives the page's anchor.
QByteArray sectionOf(const QByteArray &title, const QByteArray &text)
{
    return section(title, text, QByteArray(), title.toLower());
}

const QMap<QString, QByteArray> topics{
    {"net.zkhelp",
     HelpXml::file(language("de", "Netzwerk und Ärger",
                            sectionOf("Post", "E-Mail senden über die Straße") +
                                sectionOf("Proxy", "Der Proxy-Server\nZweite Zeile ÉCOLE")) +
                   language("en", "Network", sectionOf("Mail", "send mail")))},
    {"cjk.zkhelp", HelpXml::file(language("zh", "帮助", sectionOf("c1", "打开文件夹设置")) +
                                 language("ja", "ヘルプ", sectionOf("j1", "ファイルを開きます")) +
                                 language("de", "Chinesisch und Japanisch"))},
    {"markup.zkhelp", HelpXml::file(language("de", "Bilder",
                                             section("&lt;img src=x onerror=alert(1)&gt;Bild",
                                                     "Bild &lt;b&gt;", QByteArray(), "bild")))},
};

} // namespace

void TestSiteBrowser::initTestCase()
{
    chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        QSKIP("chromium is not installed");
    QVERIFY(work.isValid());
    QVERIFY(TestFiles::write(work.filePath("Path"), (work.filePath("one") + u'\n').toUtf8()));
    for (auto it = topics.cbegin(); it != topics.cend(); ++it)
        QVERIFY(TestFiles::write(work.filePath("one/" + it.key()), it.value()));
    // No folder: the set of the search folders, the one -search searches.
    const ProcessRun run = ProcessRun::run(ZKHELP_CLI_PATH, {"-site", "site"}, work.path());
    QVERIFY2(run.exitCode == 0, run.err.constData());
}

// The hits the results list shows, as "PAGE#ANCHOR".
QStringList TestSiteBrowser::browserHits(const QString &language, const QString &query) const
{
    QUrl url = QUrl::fromLocalFile(work.filePath("site/" + language + "/search.html"));
    QUrlQuery asked;
    asked.addQueryItem(QStringLiteral("q"), QString::fromUtf8(QUrl::toPercentEncoding(query)));
    url.setQuery(asked);
    const ProcessRun run = ProcessRun::run(chromium,
                                           {"--headless", "--disable-gpu", "--no-sandbox",
                                            "--user-data-dir=" + work.filePath("profile"),
                                            "--dump-dom", url.toString(QUrl::FullyEncoded)},
                                           work.path());
    const QString dom = QString::fromUtf8(run.out);
    const QRegularExpressionMatch list =
        QRegularExpression(QStringLiteral("<ol id=\"results\">(.*)</ol>"),
                           QRegularExpression::DotMatchesEverythingOption)
            .match(dom);
    if (!list.hasMatch())
        return {QStringLiteral("no results list: ") + run.err};
    // Texts of the index are shown as text, never taken for markup.
    if (list.captured(1).contains(QStringLiteral("<img")))
        return {QStringLiteral("markup from a text: ") + list.captured(1)};
    QStringList hits;
    auto links =
        QRegularExpression(QStringLiteral("href=\"([^\"]*)\"")).globalMatch(list.captured(1));
    while (links.hasNext())
        hits.append(links.next().captured(1));
    hits.sort();
    return hits;
}

// -search's hits in language, each as the page and anchor it shows in the site.
QStringList TestSiteBrowser::consoleHits(const QString &language, const QString &query) const
{
    const ProcessRun run = ProcessRun::run(ZKHELP_CLI_PATH, {"-search", query}, work.path());
    QStringList hits;
    for (const QString &line : QString::fromUtf8(run.out).split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() != 3 || fields.at(1) != language)
            continue;
        const QString page = fields.at(0).chopped(7) + QStringLiteral(".html");
        const QString anchor =
            fields.at(2).contains(u"Bild") ? QStringLiteral("bild") : fields.at(2).toLower();
        hits.append(anchor.isEmpty() ? page : page + u'#' + anchor);
    }
    hits.sort();
    return hits;
}

void TestSiteBrowser::sameHitsAsConsole_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("count");

    const auto row = [](const char *name, const char *language, const char *query, int count) {
        QTest::newRow(name) << QString::fromUtf8(language) << QString::fromUtf8(query) << count;
    };
    row("word", "de", "post", 1);
    row("case and accents of the query", "de", "ÄRGER", 1);
    row("case and accents of the text", "de", "ecole", 1);
    row("terms in two rows", "de", "arger ecole", 0);
    row("every term", "de", "proxy ecole", 1);
    row("prefix", "de", "prox*", 1);
    row("whole words only", "de", "stras", 0);
    row("phrase", "de", "\"zweite zeile\"", 1);
    row("phrase out of order", "de", "\"zeile zweite\"", 0);
    row("punctuation splits", "de", "E-Mail", 1);
    row("other language", "en", "mail", 1);
    row("Chinese pair", "zh", "文件", 1);
    row("Chinese run as a phrase of pairs", "zh", "件夹设", 1);
    row("Japanese", "ja", "ファイル", 1);
    row("markup as text", "de", "bild", 1);
}

void TestSiteBrowser::sameHitsAsConsole()
{
    QFETCH(QString, language);
    QFETCH(QString, query);
    QFETCH(int, count);

    const QStringList expected = consoleHits(language, query);
    QCOMPARE(expected.size(), count);
    QCOMPARE(browserHits(language, query), expected);
}

QTEST_GUILESS_MAIN(TestSiteBrowser)
#include "tst_sitebrowser.moc"
