// The full-text index: what a query finds, how the index follows the files
// on disk, and that no state of the index file keeps a search from answering.
#include "filesizelimit.h"
#include "helpxml.h"
#include "searchindex.h"
#include "searchquery.h"
#include "testfiles.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <optional>

#include <sys/wait.h>
#include <unistd.h>

using ZkHelp::HelpCollection;
using ZkHelp::SearchIndex;
using ZkHelp::SearchQuery;

namespace {

using HelpXml::language;
using HelpXml::section;

// "FILE LANG SECTION" per hit, FILE without folder and extension.
QStringList described(const QList<ZkHelp::SearchHit> &hits)
{
    QStringList lines;
    for (const ZkHelp::SearchHit &hit : hits)
        lines.append(QFileInfo(hit.path).completeBaseName() + u' ' + hit.language + u' ' +
                     hit.section);
    return lines;
}

// Runs statement on file as another program would: its first value, none
// when it failed.
std::optional<QVariant> runOn(const QString &file, const QString &statement)
{
    std::optional<QVariant> value;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"other"_qs);
        other.setDatabaseName(file);
        QSqlQuery query(other);
        if (other.open() && query.exec(statement))
            value = query.next() ? query.value(0) : QVariant();
    }
    QSqlDatabase::removeDatabase(u"other"_qs);
    return value;
}

bool alter(const QString &file, const QString &statement)
{
    return runOn(file, statement).has_value();
}

qint64 indexPages(const QString &file, const QString &kind)
{
    return runOn(file, u"PRAGMA "_qs + kind).value_or(-1).toLongLong();
}

// Leaves file as a program does that dies while it has the index open.
void endUncleanly(const QString &file)
{
    const pid_t child = fork();
    if (child == 0) {
        new SearchIndex(file);
        _exit(0);
    }
    QVERIFY(child > 0);
    QCOMPARE(waitpid(child, nullptr, 0), child);
}

} // namespace

class TestSearchIndex : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void matching_data();
    void matching();
    void titleHitsFirst_data();
    void titleHitsFirst();
    void matchRules_data();
    void matchRules();
    void snippetAgreesWithMatching_data();
    void snippetAgreesWithMatching();
    void queryBounds_data();
    void queryBounds();
    void damagedIndex_data();
    void damagedIndex();
    void damageFoundBySearch_data();
    void damageFoundBySearch();
    void fullDiskLeavesNoFile();
    void shadowedFiles_data();
    void shadowedFiles();
    void updates_data();
    void updates();
    void unusableIndex_data();
    void unusableIndex();
    void answersOnlyFromCurrentFolders();
    void updateBegunAnewMidway();
    void folderSpelledOtherwise_data();
    void folderSpelledOtherwise();
    void indexesOnTwoThreads_data();
    void indexesOnTwoThreads();
    void olderLayoutRebuilt();
    void changedTextsForgotten_data();
    void changedTextsForgotten();
    void damagedTextsRebuilt();
    void freedSpaceGivenBack();
    void waitsForAnotherProgram();

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
        HelpXml::file(language("de", "Kurz über E-Mail",
                               section("Einstellungen", "Die Wortliste und das Wörterbuch")) +
                      language("en", "Short", section("Settings", "Send an E-Mail: now")))));
    QVERIFY(TestFiles::write(
        help(u"b.zkhelp"_qs),
        HelpXml::file(language("zh", "我们学习中文很好", section("标题", "日本語のテキスト")))));
    QVERIFY(TestFiles::write(help(u"c.zkhelp"_qs),
                             HelpXml::file(language("de", "Nichts", section("Wort", "weiter")))));

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

// Rows whose title holds the whole query come first, whatever bm25 says:
// the files are made so that it would rank a body full of the words above
// them.
void TestSearchIndex::titleHitsFirst_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("titleHits");

    QTest::newRow("word") << u"wort"_qs
                          << QStringList{u"half de Wort"_qs, u"title de Wort Liste"_qs};
    QTest::newRow("phrase") << u"\"wort liste\""_qs << QStringList{u"title de Wort Liste"_qs};
    QTest::newRow("two words, one in a title")
        << u"liste wort"_qs << QStringList{u"title de Wort Liste"_qs};
}

void TestSearchIndex::titleHitsFirst()
{
    QFETCH(QString, query);
    QFETCH(QStringList, titleHits);
    const QByteArray filler = QByteArray("Text ").repeated(80);
    QVERIFY(TestFiles::write(help(u"body.zkhelp"_qs),
                             HelpXml::file(language("de", "Wort Liste Wort Liste Wort Wort"))));
    QVERIFY(TestFiles::write(help(u"title.zkhelp"_qs),
                             HelpXml::file(language("de", "", section("Wort Liste", filler)))));
    QVERIFY(TestFiles::write(
        help(u"half.zkhelp"_qs),
        HelpXml::file(language("de", "", section("Wort", "Liste Liste Liste Liste")))));

    SearchIndex index(indexFile());
    index.update(collection());
    const QStringList found = described(index.search(query));
    // The body row comes after them.
    QCOMPARE_GT(found.size(), titleHits.size());
    QStringList first = found.mid(0, titleHits.size());
    first.sort();
    QCOMPARE(first, titleHits);
}

void TestSearchIndex::matchRules_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("hits");

    const auto row = [](const char *name, const QString &query, const QStringList &hits) {
        QTest::newRow(name) << query << hits;
    };
    row("file name is no word", u"intro"_qs, {});
    row("language key is no word", u"de"_qs, {});
    row("name of a file, word of another", u"mail"_qs, {u"post de "_qs});
    row("Hindi word", u"हिन्दी"_qs, {u"intro hi "_qs});
    row("Hindi word start", u"हिन"_qs, {});
    row("Hindi vowel sign counts", u"की"_qs, {u"intro hi "_qs});
    row("Hindi other vowel sign", u"कि"_qs, {u"mail hi "_qs});
    row("Tamil word", u"தமிழ்"_qs, {u"intro ta "_qs});
    row("Tamil word start", u"தமி"_qs, {});
    row("Arabic without harakat", u"مرحبا"_qs, {u"intro ar "_qs});
    row("Arabic with harakat", u"مَرْحَبًا"_qs, {u"intro ar "_qs});
    row("Arabic single letter", u"م"_qs, {});
    row("Thai whole run", u"ภาษาไทย"_qs, {u"intro th "_qs});
    row("Thai part of a run", u"ไทย"_qs, {});
    row("Latin accent left out", u"uber"_qs, {u"intro de "_qs});
    row("Latin decomposed", u"U\u0308ber"_qs, {u"intro de "_qs});
    row("Chinese", u"中文"_qs, {u"intro zh "_qs});
}

// Only the texts are words, and a word keeps its marks in every script;
// the marks writers mostly leave out are ignored like accents.
void TestSearchIndex::matchRules()
{
    QFETCH(QString, query);
    QFETCH(QStringList, hits);
    QVERIFY(TestFiles::write(
        help(u"intro.zkhelp"_qs),
        HelpXml::file(language("de", "Kurz über alles") + language("hi", "हिन्दी की किताब") +
                      language("ta", "தமிழ் மொழி") + language("ar", "مَرْحَبًا بكم") +
                      language("th", "ภาษาไทย ดี") + language("zh", "我们学习中文"))));
    QVERIFY(TestFiles::write(help(u"mail.zkhelp"_qs),
                             HelpXml::file(language("de", "Nichts", section("Kapitel", "Inhalt")) +
                                           language("hi", "का कि"))));
    QVERIFY(TestFiles::write(help(u"post.zkhelp"_qs), HelpXml::file(language("de", "Die Mail"))));

    SearchIndex index(indexFile());
    index.update(collection());
    QStringList found = described(index.search(query));
    found.sort();
    QCOMPARE(found, hits);
}

void TestSearchIndex::snippetAgreesWithMatching_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("start");

    QTest::newRow("Hindi vowel signs") << u"कि का की अन्त"_qs << u"की"_qs << u"…की"_qs;
    QTest::newRow("Arabic harakat") << u"من مرح مَرْحَبًا"_qs << u"مرحبا"_qs << u"…مَر"_qs;
    QTest::newRow("Latin decomposed") << u"aa bb U\u0308ber"_qs << u"uber"_qs << u"…U\u0308b"_qs;
}

// The piece shown for a hit, with room for little more than the word,
// starts at the word the index matched.
void TestSearchIndex::snippetAgreesWithMatching()
{
    QFETCH(QString, text);
    QFETCH(QString, query);
    QFETCH(QString, start);
    const QString snippet = SearchQuery(query).snippet(text, 3);
    QVERIFY2(snippet.startsWith(start), qPrintable(snippet));
}

void TestSearchIndex::queryBounds_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("truncated");

    const auto words = [](int from, int to) {
        QStringList list;
        for (int i = from; i <= to; ++i)
            list.append(u"w"_qs + QString::number(i));
        return list.join(u' ');
    };
    const QString chinese = u"我们学习中文很好"_qs.repeated(5);
    QTest::newRow("repeats count once")
        << QStringList(4000, u"ordner"_qs).join(u' ') << u"ordner"_qs << false;
    QTest::newRow("repeats in any case") << u"Wort wort WORT wort*"_qs << u"Wort wort*"_qs << false;
    QTest::newRow("32 words") << words(1, 32) << words(1, 32) << false;
    QTest::newRow("40 words") << words(1, 40) << words(1, 32) << true;
    QTest::newRow("40 words, repeated")
        << words(1, 40) + u' ' + words(1, 40) << words(1, 32) << true;
    QTest::newRow("phrase across the bound")
        << words(1, 30) + u" \"a b c d\""_qs << words(1, 30) + u" \"a b\""_qs << true;
    QTest::newRow("Chinese run, its pairs counted") << chinese << chinese.left(33) << true;
}

void TestSearchIndex::queryBounds()
{
    QFETCH(QString, query);
    QFETCH(QString, asked);
    QFETCH(bool, truncated);
    const SearchQuery parsed(query);
    QCOMPARE(parsed.matchExpression(), SearchQuery(asked).matchExpression());
    QCOMPARE(parsed.isTruncated(), truncated);
}

void TestSearchIndex::damagedIndex_data()
{
    QTest::addColumn<QString>("damage");

    QTest::newRow("segment page zeroed by another program") << u"segment"_qs;
    QTest::newRow("random bytes over a page") << u"bytes"_qs;
    QTest::newRow("truncated") << u"truncated"_qs;
}

// After a program ended without closing the index, damage that searches
// would not notice is found: the index is rebuilt and answers in full.
void TestSearchIndex::damagedIndex()
{
    QFETCH(QString, damage);
    for (int i = 0; i < 300; ++i) {
        QVERIFY(
            TestFiles::write(help(QString::number(i) + u".zkhelp"_qs),
                             HelpXml::file(language("en", "filler word" + QByteArray::number(i)))));
    }
    SearchIndex(indexFile()).update(collection());
    endUncleanly(indexFile());
    if (damage == u"segment") {
        QVERIFY(alter(indexFile(), u"UPDATE entries_data SET block = zeroblob(length(block)) "
                                   "WHERE id = (SELECT max(id) FROM entries_data)"_qs));
    } else {
        QFile file(indexFile());
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 pages = file.size() / 4096;
        if (damage == u"truncated") {
            QVERIFY(file.resize(pages / 2 * 4096));
        } else {
            QRandomGenerator random(7);
            QByteArray bytes(4096, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
            QVERIFY(file.seek(pages / 2 * 4096));
            QCOMPARE(file.write(bytes), bytes.size());
        }
    }

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"neu aufgebaut"_qs));
    QTest::failOnWarning(QRegularExpression(u"Suchindex"_qs));
    SearchIndex index(indexFile());
    index.update(collection());
    QCOMPARE(index.search(u"filler"_qs, 1000).size(), 300);
    QCOMPARE(described(index.search(u"word299"_qs)), QStringList{u"299 en "_qs});
}

void TestSearchIndex::damageFoundBySearch_data()
{
    QTest::addColumn<bool>("single");

    QTest::newRow("viewer: rebuilt in slices") << false;
    QTest::newRow("console: rebuilt at once") << true;
}

// Damage that only a search runs into: the viewer goes on answering from
// what is indexed while the index is rebuilt slice by slice, the console
// tool answers in full.
void TestSearchIndex::damageFoundBySearch()
{
    QFETCH(bool, single);
    const int files = 300;
    for (int i = 0; i < files; ++i) {
        QVERIFY(TestFiles::write(help(QString::number(i) + u".zkhelp"_qs),
                                 HelpXml::file(HelpXml::language("en", "filler"))));
    }
    SearchIndex(indexFile()).update(collection());
    QVERIFY(alter(indexFile(), u"DELETE FROM entries_data WHERE id > 10"_qs));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"neu aufgebaut"_qs));
    QTest::failOnWarning(QRegularExpression(u"Such"_qs));
    SearchIndex index(indexFile());
    if (single) {
        QCOMPARE(index.updateAndSearch(collection(), u"filler"_qs, 1000).size(), files);
        return;
    }
    index.beginUpdate(collection());
    QCOMPARE(index.pendingCount(), 0);
    QCOMPARE(index.search(u"filler"_qs, 1000).size(), 0);
    QCOMPARE(index.pendingCount(), files);
    QVERIFY(!index.continueUpdate(QDeadlineTimer(1)));
    QCOMPARE(index.search(u"filler"_qs, 1000).size(), files - index.pendingCount());
    QVERIFY(index.continueUpdate());
    QCOMPARE(index.search(u"filler"_qs, 1000).size(), files);
}

// A run that gives up on its index file for a failed write leaves no
// partial file behind to fill the disk.
void TestSearchIndex::fullDiskLeavesNoFile()
{
    for (int i = 0; i < 300; ++i) {
        QVERIFY(TestFiles::write(help(QString::number(i) + u".zkhelp"_qs),
                                 HelpXml::file(language("en", "filler " + QByteArray::number(i)))));
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"neu aufgebaut"_qs));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"im Speicher"_qs));
    {
        const FileSizeLimit limit(64 * 1024);
        SearchIndex index(indexFile());
        index.update(collection());
        QVERIFY(index.isInMemory());
        QCOMPARE(index.search(u"filler"_qs, 1000).size(), 300);
    }
    QCOMPARE(QFileInfo(indexFile()).dir().entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestSearchIndex::shadowedFiles_data()
{
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("query");

    QTest::newRow("update, then search") << false << u"second"_qs;
    QTest::newRow("single search, index unchanged") << true << u"second"_qs;
    QTest::newRow("single search, no shadowed file hit") << true << u"third"_qs;
}

// Only the file a name opens gives hits under that name.
void TestSearchIndex::shadowedFiles()
{
    QFETCH(bool, single);
    QFETCH(QString, query);
    QVERIFY(TestFiles::write(help(u"a.zkhelp"_qs), HelpXml::file(language("en", "first"))));
    QVERIFY(TestFiles::write(dir->filePath(u"second/a.zkhelp"_qs),
                             HelpXml::file(language("en", "first second"))));
    QVERIFY(TestFiles::write(dir->filePath(u"second/b.zkhelp"_qs),
                             HelpXml::file(language("en", "second third"))));
    const HelpCollection both({dir->filePath(u"help"_qs), dir->filePath(u"second"_qs)});
    SearchIndex(indexFile()).update(both);

    SearchIndex index(indexFile());
    if (!single)
        index.update(both);
    const QList<ZkHelp::SearchHit> hits =
        single ? index.updateAndSearch(both, query) : index.search(query);
    QCOMPARE(described(hits), QStringList{u"b en "_qs});
    QCOMPARE(described(index.search(u"first"_qs)), QStringList{u"a en "_qs});
    QCOMPARE(index.search(u"first"_qs).constFirst().path, help(u"a.zkhelp"_qs));
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
    QVERIFY(TestFiles::write(a, HelpXml::file(language("en", "alpha"))));
    SearchIndex(indexFile()).update(collection());

    if (change == u"new")
        QVERIFY(TestFiles::write(help(u"b.zkhelp"_qs), HelpXml::file(language("en", "beta"))));
    if (change == u"grown")
        QVERIFY(TestFiles::write(a, HelpXml::file(language("en", "beta gamma"))));
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
                                 HelpXml::file(language("en", "filler " + QByteArray::number(i)))));
    }
    QVERIFY(TestFiles::write(help(u"z.zkhelp"_qs), HelpXml::file(language("en", "needle"))));
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
    QVERIFY(TestFiles::write(help(u"a.zkhelp"_qs), HelpXml::file(language("en", "shared word"))));
    QVERIFY(TestFiles::write(dir->filePath(u"other/b.zkhelp"_qs),
                             HelpXml::file(language("en", "shared word"))));
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
                                 HelpXml::file(language("en", "filler " + QByteArray::number(i)))));
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
    QVERIFY(TestFiles::write(help(u"a.zkhelp"_qs), HelpXml::file(language("en", "alpha"))));
    const HelpCollection spelled({dir->path() + u'/' + spelling});

    SearchIndex index(indexFile());
    QCOMPARE(described(index.updateAndSearch(spelled, u"alpha"_qs)), QStringList{u"a en "_qs});
    index.beginUpdate(collection());
    QCOMPARE(index.pendingCount(), 0);
    QCOMPARE(described(index.search(u"alpha"_qs)), QStringList{u"a en "_qs});
}

void TestSearchIndex::indexesOnTwoThreads_data()
{
    QTest::addColumn<bool>("shared");

    QTest::newRow("an index file each") << false;
    QTest::newRow("one index file") << true;
}

// Indexes opened on two threads at the same moment each keep a connection
// of their own.
void TestSearchIndex::indexesOnTwoThreads()
{
    QFETCH(bool, shared);
    QVERIFY(
        TestFiles::write(help(u"a.zkhelp"_qs), HelpXml::file(HelpXml::language("en", "alpha"))));
    const HelpCollection folders = collection();
    for (int round = 0; round < 10; ++round) {
        std::atomic<int> ready = 0;
        QStringList found[2];
        const auto search = [&](int i) {
            const QString file = shared ? indexFile() : indexFile() + QString::number(i);
            for (++ready; ready < 2;)
                QThread::yieldCurrentThread();
            SearchIndex index(file);
            found[i] = described(index.updateAndSearch(folders, u"alpha"_qs));
        };
        const std::unique_ptr<QThread> threads[] = {
            std::unique_ptr<QThread>(QThread::create(search, 0)),
            std::unique_ptr<QThread>(QThread::create(search, 1))};
        for (const auto &thread : threads)
            thread->start();
        for (const auto &thread : threads)
            QVERIFY(thread->wait());
        QCOMPARE(found[0], QStringList{u"a en "_qs});
        QCOMPARE(found[1], QStringList{u"a en "_qs});
    }
}

// An index another version of the programs wrote is rebuilt without a word,
// and the space its tables took is given back.
void TestSearchIndex::olderLayoutRebuilt()
{
    QVERIFY(TestFiles::write(help(u"a.zkhelp"_qs), HelpXml::file(language("en", "alpha"))));
    QVERIFY(QDir().mkpath(dir->filePath(u"cache"_qs)));
    QVERIFY(alter(indexFile(), u"CREATE TABLE entries(text)"_qs));
    QVERIFY(alter(indexFile(), u"INSERT INTO entries VALUES (zeroblob(1000000))"_qs));
    QVERIFY(alter(indexFile(), u"PRAGMA user_version=5"_qs));

    QTest::failOnWarning(QRegularExpression(u"."_qs));
    QCOMPARE(described(SearchIndex(indexFile()).updateAndSearch(collection(), u"alpha"_qs)),
             QStringList{u"a en "_qs});
    QVERIFY(QFileInfo(indexFile()).size() < 500000);
}

void TestSearchIndex::changedTextsForgotten_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("as written") << QByteArray("alpha Menu");
    QTest::newRow("accents and vowel points") << QByteArray("alpha Übersicht café שָׁלוֹם");
    QTest::newRow("Japanese") << QByteArray("alpha 日本語の説明");
}

// The words of a file's old texts no longer answer once it changed: they
// are removed by the forms they were indexed in.
void TestSearchIndex::changedTextsForgotten()
{
    QFETCH(QByteArray, text);
    const QString a = help(u"a.zkhelp"_qs);
    QVERIFY(TestFiles::write(a, HelpXml::file(language("en", text, section(text, text)))));
    SearchIndex(indexFile()).update(collection());
    QVERIFY(TestFiles::write(a, HelpXml::file(language("en", "beta gamma"))));

    SearchIndex index(indexFile());
    index.update(collection());
    QCOMPARE(described(index.search(u"beta"_qs)), QStringList{u"a en "_qs});
    QCOMPARE(index.search(QString::fromUtf8(text).mid(6), 10).size(), 0);
    QCOMPARE(index.search(u"alpha"_qs, 10).size(), 0);
}

// Texts of a hit that do not unpack are damage the search runs into.
void TestSearchIndex::damagedTextsRebuilt()
{
    QVERIFY(TestFiles::write(help(u"a.zkhelp"_qs), HelpXml::file(language("en", "alpha"))));
    SearchIndex(indexFile()).update(collection());
    QVERIFY(alter(indexFile(), u"UPDATE texts SET rows = x'00000010ff'"_qs));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"neu aufgebaut"_qs));
    SearchIndex index(indexFile());
    QCOMPARE(described(index.updateAndSearch(collection(), u"alpha"_qs)), QStringList{u"a en "_qs});
}

// An index that shrinks gives its pages back to the file system, and no
// update leaves freed pages behind.
void TestSearchIndex::freedSpaceGivenBack()
{
    const auto fileText = [](int file) {
        QByteArray text;
        for (int word = 0; word < 400; ++word)
            text += "w" + QByteArray::number(file * 1000 + word) + ' ';
        return text;
    };
    for (int file = 0; file < 60; ++file) {
        QVERIFY(TestFiles::write(help(u"f%1.zkhelp"_qs.arg(file)),
                                 HelpXml::file(language("en", fileText(file)))));
    }
    SearchIndex index(indexFile());
    index.update(collection());
    const qint64 whole = indexPages(indexFile(), u"page_count"_qs);
    for (int file = 6; file < 60; ++file)
        QVERIFY(QFile::remove(help(u"f%1.zkhelp"_qs.arg(file))));

    index.update(collection());
    QCOMPARE(indexPages(indexFile(), u"freelist_count"_qs), 0);
    QCOMPARE_LT(indexPages(indexFile(), u"page_count"_qs), whole);
    QCOMPARE(described(index.search(u"w5001"_qs)), QStringList{u"f5 en "_qs});
}

// Another of these programs may hold the index for longer than a busy time
// without committing, as while it compares files this one has just
// indexed: an update waits for it instead of going on in memory.
void TestSearchIndex::waitsForAnotherProgram()
{
    QVERIFY(TestFiles::write(help(u"a.zkhelp"_qs), HelpXml::file(language("en", "alpha"))));
    // Its mark says that another program has the index open.
    const SearchIndex other(indexFile());
    std::atomic<bool> locked = false;
    const std::unique_ptr<QThread> holder(QThread::create([this, &locked] {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"holder"_qs);
            db.setDatabaseName(indexFile());
            QSqlQuery query(db);
            if (db.open() && query.exec(u"BEGIN IMMEDIATE"_qs)) {
                locked = true;
                QThread::msleep(3000);
                query.exec(u"COMMIT"_qs);
            }
        }
        QSqlDatabase::removeDatabase(u"holder"_qs);
    }));
    holder->start();
    QTRY_VERIFY(locked);

    QTest::failOnWarning(QRegularExpression(u"."_qs));
    SearchIndex index(indexFile());
    QCOMPARE(described(index.updateAndSearch(collection(), u"alpha"_qs)), QStringList{u"a en "_qs});
    QVERIFY(!index.isInMemory());
    QVERIFY(holder->wait());
}

QTEST_MAIN(TestSearchIndex)
#include "tst_searchindex.moc"
