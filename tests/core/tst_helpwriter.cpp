// Writing .zkhelp files: the exact layout, the way back through the reader,
// and that a failed save never costs the file that was there.
#include "filesizelimit.h"
#include "helpdatadump.h"
#include "helpparser.h"
#include "helpwriter.h"
#include "testfiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using ZkHelp::HelpData;
using ZkHelp::HelpLanguage;
using ZkHelp::HelpSection;

Q_DECLARE_METATYPE(ZkHelp::HelpData)
Q_DECLARE_METATYPE(ZkHelp::HelpSection)

class TestHelpWriter : public QObject
{
    Q_OBJECT

private slots:
    void exactLayout();
    void roundTrip_data();
    void roundTrip();
    void basisIsWrittenAfterName();
    void sectionAttributes_data();
    void sectionAttributes();
    void replacesExistingFile();
    void missingFolder();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
};

namespace {

HelpData sampleDocument()
{
    HelpData data;
    data.version = QStringLiteral("1.0");
    data.author = QStringLiteral("Max & Co");
    data.languages[QStringLiteral("en")].description = QStringLiteral("English");
    HelpLanguage &de = data.languages[QStringLiteral("de")];
    de.sections = {{QStringLiteral("Erster"), QStringLiteral("a < b\nc")},
                   {QStringLiteral("Leer"), QString()}};
    data.links = {QStringLiteral("next"), QStringLiteral("sub/other.zkhelp")};
    return data;
}

} // namespace

void TestHelpWriter::exactLayout()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("t.zkhelp"));
    QVERIFY(ZkHelp::HelpWriter().writeXml(sampleDocument(), path));

    QCOMPARE(TestFiles::read(path), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                               "<zkhelp version=\"1.0\" author=\"Max &amp; Co\">\n"
                                               "    <lang name=\"de\">\n"
                                               "        <description></description>\n"
                                               "        <section name=\"Erster\">a &lt; b\n"
                                               "c</section>\n"
                                               "        <section name=\"Leer\"></section>\n"
                                               "    </lang>\n"
                                               "    <lang name=\"en\">\n"
                                               "        <description>English</description>\n"
                                               "    </lang>\n"
                                               "    <link page=\"next\"/>\n"
                                               "    <link page=\"sub/other.zkhelp\"/>\n"
                                               "</zkhelp>\n"));
}

void TestHelpWriter::roundTrip_data()
{
    QTest::addColumn<HelpData>("data");

    QTest::newRow("empty document") << HelpData();
    QTest::newRow("languages, sections and links") << sampleDocument();

    HelpData special;
    special.version = QStringLiteral("\"2\" <beta>");
    special.author = QString::fromUtf8("Jürgen Groß 😀");
    HelpLanguage &block = special.languages[QStringLiteral("de-CH")];
    block.description = QStringLiteral("&amp; stays literal, ]]> too");
    block.sections = {{QStringLiteral("same"), QStringLiteral("<b>bold</b>")},
                      {QStringLiteral("same"), QStringLiteral("line\n\tindented")}};
    special.links = {QStringLiteral("a'b"), QStringLiteral("a'b")};
    QTest::newRow("reserved characters, umlauts, duplicates") << special;

    HelpData carriageReturns;
    carriageReturns.author = QStringLiteral("a\rb");
    carriageReturns.languages[QStringLiteral("k\r")] = {
        QStringLiteral("d\re"), {{QStringLiteral("n\rm"), QStringLiteral("x\ry\r\nz")}}};
    QTest::newRow("carriage returns everywhere") << carriageReturns;

    HelpData confirmed = sampleDocument();
    confirmed.languages[QStringLiteral("en")].sections = {
        {QStringLiteral("Erster"), QStringLiteral("a < b"), QStringLiteral("de:0123456789abcdef")}};
    QTest::newRow("section with basis") << confirmed;

    HelpData named = sampleDocument();
    named.languages[QStringLiteral("en")].sections = {
        {QStringLiteral("A"), QStringLiteral("a"), QString(), QStringLiteral("a.1_x-y")},
        {QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("de:0"), QStringLiteral("b")}};
    QTest::newRow("sections with ids") << named;
}

void TestHelpWriter::roundTrip()
{
    QFETCH(HelpData, data);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("t.zkhelp"));

    QVERIFY(ZkHelp::HelpWriter().writeXml(data, path));
    QCOMPARE(dump(ZkHelp::HelpParser().parse(path)), dump(data));
}

void TestHelpWriter::basisIsWrittenAfterName()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("t.zkhelp"));
    HelpData data;
    data.languages[QStringLiteral("en")].sections = {
        {QStringLiteral("S"), QStringLiteral("T"), QStringLiteral("de:305fe78497408d98")}};

    QVERIFY(ZkHelp::HelpWriter().writeXml(data, path));
    QVERIFY2(TestFiles::read(path).contains(
                 "<section name=\"S\" basis=\"de:305fe78497408d98\">T</section>"),
             TestFiles::read(path));
}

void TestHelpWriter::sectionAttributes_data()
{
    QTest::addColumn<HelpSection>("section");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("no id, no basis")
        << HelpSection{"S", "T"} << QByteArray("<section name=\"S\">T");
    QTest::newRow("id before name")
        << HelpSection{"S", "T", {}, "s-1"} << QByteArray("<section id=\"s-1\" name=\"S\">T");
    QTest::newRow("id, name, basis") << HelpSection{"S", "T", "de:1", "s"}
                                     << QByteArray("<section id=\"s\" name=\"S\" basis=\"de:1\">T");
}

void TestHelpWriter::sectionAttributes()
{
    QFETCH(HelpSection, section);
    QFETCH(QByteArray, line);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("t.zkhelp"));
    HelpData data;
    data.languages[QStringLiteral("de")].sections = {section};

    QVERIFY(ZkHelp::HelpWriter().writeXml(data, path));
    QCOMPARE(TestFiles::read(path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<zkhelp version=\"\" author=\"\">\n"
                                    "    <lang name=\"de\">\n"
                                    "        <description></description>\n"
                                    "        " +
                                        line +
                                        "</section>\n"
                                        "    </lang>\n"
                                        "</zkhelp>\n");
}

void TestHelpWriter::replacesExistingFile()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("t.zkhelp"));
    QVERIFY(TestFiles::write(path, QByteArray(10000, 'x')));

    QVERIFY(ZkHelp::HelpWriter().writeXml(HelpData(), path));
    QCOMPARE(TestFiles::read(path), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                               "<zkhelp version=\"\" author=\"\"/>\n"));
}

void TestHelpWriter::missingFolder()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("plain")), "x"));
    const QString path = dir.filePath(QStringLiteral("plain/t.zkhelp"));

    QTest::ignoreMessage(
        QtWarningMsg,
        qPrintable(QStringLiteral("Konnte Datei nicht zum Schreiben öffnen: \"%1\"").arg(path)));
    QVERIFY(!ZkHelp::HelpWriter().writeXml(sampleDocument(), path));
    QVERIFY(!QFileInfo::exists(path));
}

void TestHelpWriter::failedWriteKeepsOldFile_data()
{
    // Sizes below and above the save file's 16 KB write buffer fail at
    // different steps: in its final flush or in a write.
    QTest::addColumn<int>("descriptionSize");
    QTest::newRow("character XML cannot hold") << 0;
    QTest::newRow("disk full within the write buffer") << 8000;
    QTest::newRow("disk full beyond the write buffer") << 100000;
}

void TestHelpWriter::failedWriteKeepsOldFile()
{
    QFETCH(int, descriptionSize);
    const bool diskFull = descriptionSize > 0;
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("t.zkhelp"));
    const QByteArray old = "<zkhelp version=\"old\"/>";
    QVERIFY(TestFiles::write(path, old));

    HelpData data = sampleDocument();
    if (diskFull)
        data.languages[QStringLiteral("en")].description = QString(descriptionSize, u'x');
    else
        data.author = QStringLiteral("control \x01 character");

    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("Fehler beim Schreiben: \"%1\"").arg(path)));
    bool written = true;
    {
        const auto limit = diskFull ? std::make_unique<FileSizeLimit>(4096) : nullptr;
        written = ZkHelp::HelpWriter().writeXml(data, path);
    }
    QVERIFY(!written);
    QCOMPARE(TestFiles::read(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"t.zkhelp"});
}

QTEST_GUILESS_MAIN(TestHelpWriter)
#include "tst_helpwriter.moc"
