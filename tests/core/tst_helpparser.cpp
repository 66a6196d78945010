// Reading .zkhelp files: the model built from well-formed, odd and broken input.
#include "helpdatadump.h"
#include "helpparser.h"
#include "helpxml.h"
#include "testfiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using ZkHelp::HelpParser;

class TestHelpParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void missingFile_data();
    void missingFile();
    void largeDocument();
};

namespace {

QByteArray wrap(const QByteArray &body)
{
    return HelpXml::file(body);
}

} // namespace

void TestHelpParser::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("warns");

    const QString noLinks = QStringLiteral("links=");
    QTest::newRow("empty file") << QByteArray() << "v=|a=|" + noLinks << true;
    QTest::newRow("minimal") << QByteArray("<zkhelp version=\"1.0\" author=\"\"/>")
                             << "v=1.0|a=|" + noLinks << false;
    QTest::newRow("no version attribute")
        << QByteArray("<zkhelp author=\"x\"/>") << "v=|a=x|" + noLinks << false;
    QTest::newRow("keys come out sorted")
        << wrap("<lang name=\"en\"><description>E</description></lang>"
                "<lang name=\"de\"><description>D</description></lang>")
        << "v=1|a=A|de:D[]|en:E[]|" + noLinks << false;
    QTest::newRow("keys are case-sensitive") << wrap("<lang name=\"de\"/><lang name=\"DE\"/>")
                                             << "v=1|a=A|DE:[]|de:[]|" + noLinks << false;
    QTest::newRow("second block of a key wins")
        << wrap("<lang name=\"de\"><description>first</description></lang>"
                "<lang name=\"de\"><description>second</description></lang>")
        << "v=1|a=A|de:second[]|" + noLinks << false;
    QTest::newRow("block without usable key is dropped")
        << wrap("<lang name=\"a\"/><lang><section name=\"s\">x</section></lang>"
                "<lang name=\"\"><description>y</description></lang><lang name=\"b\"/>")
        << "v=1|a=A|a:[]|b:[]|" + noLinks << false;
    QTest::newRow("lang attribute as key, name wins over it")
        << wrap("<lang lang=\"fr\"/><lang name=\"it\" lang=\"es\"/>")
        << "v=1|a=A|fr:[]|it:[]|" + noLinks << false;
    QTest::newRow("section trimmed, inner layout kept, nameless title")
        << wrap("<lang name=\"de\"><section>\n   line one\n    line two  \n</section>"
                "<section name=\"s\">b</section><section name=\"s\">c</section></lang>")
        << "v=1|a=A|de:[=line one\n    line two;s=b;s=c]|" + noLinks << false;
    QTest::newRow("escaped markup and CDATA come back literally")
        << wrap("<lang name=\"de\"><section name=\"m\">&lt;b&gt; &amp; "
                "<![CDATA[<i>&amp;</i>]]></section></lang>")
        << "v=1|a=A|de:[m=<b> & <i>&amp;</i>]|" + noLinks << false;
    QTest::newRow("child element in a section stops reading")
        << wrap("<lang name=\"de\"><description>ok</description></lang><link page=\"x\"/>"
                "<lang name=\"en\"><section name=\"s\">a <b>b</b></section></lang>")
        << "v=1|a=A|de:ok[]|links=x" << true;
    QTest::newRow("section ids read, invalid ones kept as they stand")
        << wrap("<lang name=\"de\">" + HelpXml::section("a", "x", "", "start.1_b-c") +
                HelpXml::section("b", "y", "en:0", "-bad id!") +
                "<section id=\"\" name=\"c\">z</section></lang>")
        << "v=1|a=A|de:[<start.1_b-c>a=x;<-bad id!>b=y@en:0;c=z]|" + noLinks << false;
    QTest::newRow("links are file level, in order, duplicates kept")
        << wrap("<link page=\"b\"/><lang name=\"de\"><link page=\"a\">text</link></lang>"
                "<link/><link page=\"b\"/>")
        << "v=1|a=A|de:[]|links=b,a,b" << false;
    QTest::newRow("other letter case is not a block")
        << wrap("<Lang name=\"de\"><section name=\"s\">x</section></Lang>") << "v=1|a=A|" + noLinks
        << false;
    QTest::newRow("nested block keeps only the inner one")
        << wrap("<lang name=\"outer\"><lang name=\"inner\"><description>i</description></lang>"
                "</lang>")
        << "v=1|a=A|inner:i[]|" + noLinks << false;
    QTest::newRow("block inside an unknown wrapper counts")
        << QByteArray("<doc><zkhelp version=\"2\"/><wrap><lang name=\"de\"/></wrap></doc>")
        << "v=2|a=|de:[]|" + noLinks << false;
    QTest::newRow("byte-order mark and CR LF line ends")
        << QByteArray("\xEF\xBB\xBF<zkhelp version=\"1\" author=\"A\">\r\n<lang name=\"de\">"
                      "<section name=\"s\">a\r\nb</section></lang></zkhelp>\r\n")
        << "v=1|a=A|de:[s=a\nb]|" + noLinks << false;
    const QByteArray loneCRs = "<zkhelp version=\"1\" author=\"A\"><lang name=\"d\re\">"
                               "<section name=\"s\">x\ry\r\rz&#13;!</section></lang></zkhelp>";
    QTest::newRow("lone CRs end lines, in attributes blanks")
        << loneCRs << "v=1|a=A|d e:[s=x\ny\n\nz\r!]|" + noLinks << false;
    QTest::newRow("lone CRs, read past a declared encoding")
        << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + loneCRs
        << "v=1|a=A|d e:[s=x\ny\n\nz\r!]|" + noLinks << false;
    QTest::newRow("declared encoding is ignored")
        << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><zkhelp version=\"1\" "
                      "author=\"Gr\xC3\xB6\xC3\x9F"
                      "e\"/>")
        << QString::fromUtf8("v=1|a=Größe|") + noLinks << false;
    QTest::newRow("invalid UTF-8 becomes replacement characters")
        << QByteArray("<zkhelp version=\"1\" author=\"a\xFF"
                      "b\"/>")
        << QString::fromUtf8("v=1|a=a\uFFFDb|") + noLinks << false;
    QTest::newRow("truncated document keeps finished blocks")
        << QByteArray("<zkhelp version=\"1\" author=\"A\"><lang name=\"de\"/><lang name=\"en\">"
                      "<description>half")
        << "v=1|a=A|de:[]|" + noLinks << true;
    const QString utf16Text = QString::fromUtf8("<zkhelp version=\"1\" author=\"čas a čaj\"/>");
    QTest::newRow("UTF-16LE with byte-order mark")
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char *>(utf16Text.utf16()), 2 * utf16Text.size())
        << QString::fromUtf8("v=1|a=čas a čaj|") + noLinks << false;
    QTest::newRow("entity declarations are refused")
        << QByteArray("<!DOCTYPE zkhelp [<!ENTITY e \"xxxxxxxx\">]>"
                      "<zkhelp version=\"1\" author=\"&e;&e;\"/>")
        << "v=|a=|" + noLinks << true;
    QTest::newRow("document type without entities is read")
        << QByteArray("<!DOCTYPE zkhelp><zkhelp version=\"1\" author=\"A\"/>")
        << "v=1|a=A|" + noLinks << false;
    QTest::newRow("not XML at all") << QByteArray("just some text") << "v=|a=|" + noLinks << true;
}

void TestHelpParser::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(bool, warns);

    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("topic.zkhelp"));
    QVERIFY(TestFiles::write(path, bytes));

    if (warns) {
        const QString prefix = QStringLiteral("XML Parsing Fehler in \"%1\" : \"").arg(path);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(u'^' + QRegularExpression::escape(prefix)));
    } else {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    }
    QString reason;
    QCOMPARE(dump(HelpParser().parse(path, &reason)), expected);
    QCOMPARE(reason.startsWith(QStringLiteral("XML Parsing Fehler in %1: ").arg(path)), warns);
    QCOMPARE(reason.isEmpty(), !warns);
}

void TestHelpParser::missingFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    const QString special = QStringLiteral("keine reguläre Datei");
    QTest::newRow("no such file") << QStringLiteral("absent.zkhelp")
                                  << QStringLiteral("No such file or directory");
    QTest::newRow("a folder") << QStringLiteral("folder.zkhelp") << special;
    QTest::newRow("a FIFO nobody writes to") << QStringLiteral("fifo.zkhelp") << special;
    QTest::newRow("a link to an endless device") << QStringLiteral("zero.zkhelp") << special;
}

void TestHelpParser::missingFile()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.zkhelp")));
    QCOMPARE(mkfifo(qPrintable(dir.filePath(QStringLiteral("fifo.zkhelp"))), 0600), 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("zero.zkhelp"))));
    const QString path = dir.filePath(name);

    QTest::ignoreMessage(
        QtWarningMsg, qPrintable(QStringLiteral("Kann XML-Datei nicht öffnen: \"%1\"").arg(path)));
    QString given;
    QCOMPARE(dump(HelpParser().parse(path, &given)), QStringLiteral("v=|a=|links="));
    QCOMPARE(given, QStringLiteral("Kann XML-Datei nicht öffnen: %1: %2").arg(path, reason));
}

// Many blocks and sections: every one must arrive, in order, with no limit.
void TestHelpParser::largeDocument()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QByteArray body;
    for (int lang = 0; lang < 200; ++lang) {
        body += "<lang name=\"l" + QByteArray::number(lang) + "\">";
        for (int section = 0; section < 50; ++section)
            body += "<section name=\"s" + QByteArray::number(section) + "\">text</section>";
        body += "</lang>";
    }
    const QString path = dir.filePath(QStringLiteral("big.zkhelp"));
    QVERIFY(TestFiles::write(path, wrap(body)));

    const ZkHelp::HelpData data = HelpParser().parse(path);
    QCOMPARE(data.languages.size(), 200);
    const ZkHelp::HelpLanguage &last = data.languages.value(QStringLiteral("l199"));
    QCOMPARE(last.sections.size(), 50);
    QCOMPARE(last.sections.last().name, QStringLiteral("s49"));
}

QTEST_GUILESS_MAIN(TestHelpParser)
#include "tst_helpparser.moc"
