// The full-text index: what a query finds, how the index follows the files
// on disk, and that no state of the index file keeps a search from answering.
#include "searchindex.h"
#include "testfiles.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using ZkHelp::HelpCollection;
using ZkHelp::SearchIndex;

namespace {

QByteArray helpFile(const QByteArray &languages)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zkhelp version=\"1\" author=\"A\">" +
           languages + "</zkhelp>\n";
}

QByteArray language(const QByteArray &key, const QByteArray &description,
                    const QByteArray &sections = QByteArray())
{
    return "<lang name=\"" + key + "\"><description>" + description + "</description>" + sections +
           "</lang>";
}

QByteArray section(const QByteArray &title, const QByteArray &text)
{
    return "<section name=\"" + title + "\">" + text + "</section>";
}

// "FILE LANG SECTION" per hit, FILE without folder and extension.
QStringList described(const QList<ZkHelp::SearchHit> &hits)
{
    QStringList lines;
    for (const ZkHelp::SearchHit &hit : hits)
        lines.append(QFileInfo(hit.path).completeBaseName() + u' ' + hit.language + u' ' +
                     hit.section);
    return lines;
}

} // namespace

class TestSearchIndex : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void matching_data();
    void matching();
    void updates_data();
    void updates();
    void unusableIndex_data();
    void unusableIndex();
    void answersOnlyFromCurrentFolders();
    void updateBegunAnewMidway();
    void folderSpelledOtherwise_data();
    void folderSpelledOtherwise();

private:
    QString help(const QString &name) const { return dir->filePath(u"help/"_qs + name); }
    QString indexFile() const { return dir->filePath(u"cache/search.sqlite"_qs); }
    HelpCollection collection() const { return HelpCollection({dir->filePath(u"help"_qs)}); }

    std::unique_ptr<QTemporaryDir> dir;
};

void TestSearchIndex::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    QVERIFY(QDir().mkpath(dir->filePath(u"help"_qs)));
}

void TestSearchIndex::matching_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("hits");

    const auto row = [](const char *name, const QString &query, const QStringList &hits) {
        QTest::newRow(name) << query << hits;
    };
    row("word", u"Wort"_qs, {u"c de Wort"_qs});
    row("prefix, title hit first", u"wort*"_qs, {u"c de Wort"_qs, u"a de Einstellungen"_qs});
    row("umlaut typed plainly", u"uber"_qs, {u"a de "_qs});
    row("case and umlaut", u"ÜBER"_qs, {u"a de "_qs});
    row("punctuation is no syntax", u"E-Mail:"_qs, {u"a de "_qs, u"a en Settings"_qs});
    row("words in title and text of one row", u"settings NOW"_qs, {u"a en Settings"_qs});
    row("words of two rows", u"Settings Kurz"_qs, {});
    row("phrase", u"\"das Wörterbuch\""_qs, {u"a de Einstellungen"_qs});
    row("phrase out of order", u"\"Wörterbuch das\""_qs, {});
    row("two Chinese characters", u"中文"_qs, {u"b zh "_qs});
    row("three across words", u"学习中"_qs, {u"b zh "_qs});
    row("Chinese not adjacent", u"中很"_qs, {});
    row("Japanese", u"テキスト"_qs, {u"b zh 标题"_qs});
    row("no hit", u"xyzzy"_qs, {});
    row("no word", u"-- \"\" *"_qs, {});
}

void TestSearchIndex::matching()
{
    QFETCH(QString, query);
    QFETCH(QStringList, hits);
    QVERIFY(TestFiles::write(
        help(u"a.zkhelp"_qs),
        helpFile(language("de", "Kurz über E-Mail",
                          section("Einstellungen", "Die Wortliste und das Wörterbuch")) +
                 language("en", "Short", section("Settings", "Send an E-Mail: now")))));
    QVERIFY(TestFiles::write(
        help(u"b.zkhelp"_qs),
        helpFile(language("zh", "我们学习中文很好", section("标题", "日本語のテキスト")))));
    QVERIFY(TestFiles::write(help(u"c.zkhelp"_qs),
                             helpFile(language("de", "Nichts", section("Wort", "weiter")))));

    SearchIndex index(indexFile());
    index.update(collection());
    QStringList found = described(index.search(query));
    // Only the title-first rule fixes an order; bm25 decides among the rest.
    if (!query.endsWith(u'*')) {
        found.sort();
        hits.sort();
    }
    QCOMPARE(found, hits);
}

void TestSearchIndex::updates_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("read");
    QTest::addColumn<QStringList>("alpha");
    QTest::addColumn<QStringList>("beta");

    const QStringList none;
    QTest::newRow("unchanged") << "" << 0 << QStringList{u"a en "_qs} << none;
    QTest::newRow("new") << "new" << 1 << QStringList{u"a en "_qs} << QStringList{u"b en "_qs};
    QTest::newRow("changed size") << "grown" << 1 << none << QStringList{u"a en "_qs};
    QTest::newRow("changed time") << "touched" << 1 << QStringList{u"a en "_qs} << none;
    QTest::newRow("removed") << "removed" << 0 << none << none;
    QTest::newRow("renamed") << "renamed" << 1 << QStringList{u"c en "_qs} << none;
}

// A second program run over the same index reads only what changed.
void TestSearchIndex::updates()
{
    QFETCH(QString, change);
    QFETCH(int, read);
    QFETCH(QStringList, alpha);
    QFETCH(QStringList, beta);
    const QString a = help(u"a.zkhelp"_qs);
    QVERIFY(TestFiles::write(a, helpFile(language("en", "alpha"))));
    SearchIndex(indexFile()).update(collection());

    if (change == u"new")
        QVERIFY(TestFiles::write(help(u"b.zkhelp"_qs), helpFile(language("en", "beta"))));
    if (change == u"grown")
        QVERIFY(TestFiles::write(a, helpFile(language("en", "beta gamma"))));
    if (change == u"touched") {
        QFile file(a);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
    }
    if (change == u"removed")
        QVERIFY(QFile::remove(a));
    if (change == u"renamed")
        QVERIFY(QFile::rename(a, help(u"c.zkhelp"_qs)));

    // A single search answers from the index as it stands unless the
    // listing finds a change.
    const QString copy = dir->filePath(u"copy.sqlite"_qs);
    QVERIFY(QFile::copy(indexFile(), copy));
    SearchIndex single(copy);
    QCOMPARE(described(single.updateAndSearch(collection(), u"alpha"_qs)), alpha);
    QCOMPARE(described(single.search(u"beta"_qs)), beta);

    SearchIndex index(indexFile());
    index.beginUpdate(collection());
    QCOMPARE(index.pendingCount(), read);
    QVERIFY(index.continueUpdate());
    QCOMPARE(described(index.search(u"alpha"_qs)), alpha);
    QCOMPARE(described(index.search(u"beta"_qs)), beta);
}

void TestSearchIndex::unusableIndex_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("inMemory");

    QTest::newRow("no database") << "garbage"
                                 << "neu aufgebaut" << false;
    QTest::newRow("truncated") << "truncated"
                               << "neu aufgebaut" << false;
    QTest::newRow("folder cannot be made") << "blocked"
                                           << "im Speicher" << true;
    QTest::newRow("locked by another program") << "locked"
                                               << "im Speicher" << true;
}

// Whatever state the index file is in, the search answers and the log says
// what happened once.
void TestSearchIndex::unusableIndex()
{
    QFETCH(QString, damage);
    QFETCH(QString, warning);
    QFETCH(bool, inMemory);
    for (int i = 0; i < 200; ++i) {
        QVERIFY(TestFiles::write(help(QString::number(i) + u".zkhelp"_qs),
                                 helpFile(language("en", "filler " + QByteArray::number(i)))));
    }
    QVERIFY(TestFiles::write(help(u"z.zkhelp"_qs), helpFile(language("en", "needle"))));
    const QString file =
        damage == u"blocked" ? dir->filePath(u"blocker/sub/search.sqlite"_qs) : indexFile();
    QSqlDatabase holder = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"holder"_qs);
    if (damage == u"garbage")
        QVERIFY(TestFiles::write(file, QByteArray(8192, 'x')));
    if (damage == u"truncated") {
        SearchIndex(file).update(collection());
        QFile index(file);
        QVERIFY(index.resize(index.size() / 2));
    }
    if (damage == u"blocked")
        QVERIFY(TestFiles::write(dir->filePath(u"blocker"_qs), "a file"));
    if (damage == u"locked") {
        SearchIndex(file).update(HelpCollection());
        holder.setDatabaseName(file);
        QVERIFY(holder.open());
        QVERIFY(QSqlQuery(u"BEGIN IMMEDIATE"_qs, holder).isActive());
    }

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    QTest::failOnWarning(QRegularExpression(u"Suchindex"_qs));
    {
        SearchIndex index(file);
        index.update(collection());
        QCOMPARE(described(index.search(u"needle"_qs)), QStringList{u"z en "_qs});
        QCOMPARE(described(index.search(u"filler 7"_qs)), QStringList{u"7 en "_qs});
        QCOMPARE(index.isInMemory(), inMemory);
    }
    holder.close();
    holder = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"holder"_qs);
}

// One index file serves two sets of folders; each search sees its own.
void TestSearchIndex::answersOnlyFromCurrentFolders()
{
    QVERIFY(TestFiles::write(help(u"a.zkhelp"_qs), helpFile(language("en", "shared word"))));
    QVERIFY(TestFiles::write(dir->filePath(u"other/b.zkhelp"_qs),
                             helpFile(language("en", "shared word"))));
    const HelpCollection other({dir->filePath(u"other"_qs)});
    SearchIndex(indexFile()).update(other);

    SearchIndex index(indexFile());
    index.update(collection());
    QCOMPARE(described(index.search(u"shared"_qs)), QStringList{u"a en "_qs});
    index.beginUpdate(other);
    QCOMPARE(index.pendingCount(), 0);
    QCOMPARE(described(index.search(u"shared"_qs)), QStringList{u"b en "_qs});
}

// The viewer begins a new update when the files change while it indexes:
// the files already written stay, the rest are read, none is skipped.
void TestSearchIndex::updateBegunAnewMidway()
{
    const int files = 300;
    for (int i = 0; i < files; ++i) {
        QVERIFY(TestFiles::write(help(QString::number(i) + u".zkhelp"_qs),
                                 helpFile(language("en", "filler " + QByteArray::number(i)))));
    }
    SearchIndex index(indexFile());
    index.beginUpdate(collection());
    QVERIFY(!index.continueUpdate(QDeadlineTimer(1)));
    const qsizetype written = files - index.pendingCount();
    QVERIFY(written > 0);

    index.beginUpdate(collection());
    QCOMPARE(index.pendingCount(), files - written);
    QVERIFY(index.continueUpdate());
    for (const int i : {0, 150, files - 1}) {
        QCOMPARE(described(index.search(u"filler "_qs + QString::number(i))),
                 QStringList{QString::number(i) + u" en "_qs});
    }
}

void TestSearchIndex::folderSpelledOtherwise_data()
{
    QTest::addColumn<QString>("spelling");

    QTest::newRow("trailing slash") << u"help/"_qs;
    QTest::newRow("dot segments") << u"help/./../help"_qs;
    QTest::newRow("doubled slashes") << u"help//"_qs;
}

// However a Path line writes a folder, its files are indexed under it and
// found by both kinds of search.
void TestSearchIndex::folderSpelledOtherwise()
{
    QFETCH(QString, spelling);
    QVERIFY(TestFiles::write(help(u"a.zkhelp"_qs), helpFile(language("en", "alpha"))));
    const HelpCollection spelled({dir->path() + u'/' + spelling});

    SearchIndex index(indexFile());
    QCOMPARE(described(index.updateAndSearch(spelled, u"alpha"_qs)), QStringList{u"a en "_qs});
    index.beginUpdate(collection());
    QCOMPARE(index.pendingCount(), 0);
    QCOMPARE(described(index.search(u"alpha"_qs)), QStringList{u"a en "_qs});
}

QTEST_MAIN(TestSearchIndex)
#include "tst_searchindex.moc"
