// The PO reader and writer: what each kind of line gives, where a malformed
// file fails, and the escapes and line breaks written.
#include "pofile.h"

#include <QTest>

class TestPoFile : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void writtenForm();
};

namespace {

const QByteArray header = "msgid \"\"\nmsgstr \"Language: de\\n\"\n\n";

} // namespace

void TestPoFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("errorLine"); // 0: read whole
    QTest::addColumn<QString>("last");  // error, or context|id|str|flags of the last entry

    QTest::newRow("escapes, octal and hex")
        << header + "msgctxt \"c\"\nmsgid \"a\\n\\t\\\"\\\\\\101\\x42\"\nmsgstr \"x\"\n"
        << 0 << "c|a\n\t\"\\AB|x|";
    QTest::newRow("continued lines, comments, flags")
        << header + "# t\n#. e\n#: a\n#, fuzzy, c-format\nmsgid \"\"\n\"one\\n\"\n\"two\"\n"
                    "msgstr \"\"\n\"eins\"\n"
        << 0 << "|one\ntwo|eins|fuzzy,c-format";
    QTest::newRow("BOM, CRLF, obsolete entry with its flag ignored")
        << "\xEF\xBB\xBF" + QByteArray(header).replace("\n", "\r\n") +
               "#, fuzzy\r\n#~ msgid \"old\"\r\n#~ msgstr \"alt\"\r\n\r\nmsgid \"n\"\r\nmsgstr "
               "\"m\"\r\n"
        << 0 << "|n|m|";
    QTest::newRow("unterminated") << header + "msgid \"a\nmsgstr \"\"\n"
                                  << 4 << "Zeichenkette nicht abgeschlossen";
    QTest::newRow("text after the string") << header + "msgid \"a\" x\n"
                                           << 4 << "Text nach der Zeichenkette";
    QTest::newRow("unknown keyword") << header + "msgfoo \"a\"\n"
                                     << 4 << "unbekanntes Schluesselwort: msgfoo";
    QTest::newRow("string without keyword") << header + "\"a\"\n"
                                            << 4 << "Zeichenkette ohne Schluesselwort";
    QTest::newRow("msgstr without msgid") << header + "msgstr \"a\"\n"
                                          << 4 << "msgstr an dieser Stelle nicht erwartet";
    QTest::newRow("msgctxt after msgid") << header + "msgid \"a\"\nmsgctxt \"b\"\n"
                                         << 5 << "msgctxt an dieser Stelle nicht erwartet";
    QTest::newRow("comment inside a message") << header + "msgid \"a\"\n# x\nmsgstr \"\"\n"
                                              << 5 << "Kommentar mitten in einer Meldung";
    QTest::newRow("msgstr missing at the end") << header + "msgctxt \"c\"\nmsgid \"a\"\n"
                                               << 5 << "msgstr fehlt";
    QTest::newRow("keyword without string") << header + "msgid a\n"
                                            << 4 << "Zeichenkette in Anfuehrungszeichen erwartet";
    QTest::newRow("plural") << header + "msgid \"a\"\nmsgid_plural \"b\"\n"
                            << 5 << "Pluralformen werden nicht unterstuetzt";
    QTest::newRow("plural msgstr") << header + "msgid \"a\"\nmsgstr[0] \"b\"\n"
                                   << 5 << "Pluralformen werden nicht unterstuetzt";
    QTest::newRow("unknown escape") << header + "msgid \"\\q\"\n"
                                    << 4 << "unbekannte Escape-Sequenz \\q";
    QTest::newRow("NUL byte") << header + QByteArray("# a\0b\n", 6) << 4
                              << "NUL-Zeichen in der Zeile";
    QTest::newRow("NUL escape") << header + "msgid \"\\0\"\n"
                                << 4 << "NUL-Zeichen in der Zeichenkette";
    QTest::newRow("invalid UTF-8") << header + "# \xC3\x28\n" << 4 << "kein gueltiges UTF-8";
    QTest::newRow("invalid UTF-8 by escape") << header + "msgid \"\\303\"\nmsgstr \"\"\n"
                                             << 4 << "kein gueltiges UTF-8";
    QTest::newRow("duplicate message")
        << header + "msgctxt \"c\"\nmsgid \"a\"\nmsgstr \"\"\n\nmsgctxt \"c\"\nmsgid \"a\"\nmsgstr "
                    "\"\"\n"
        << 9 << "doppelte Meldung (zuerst in Zeile 5)";
    QTest::newRow("other charset")
        << QByteArray("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n")
        << 1 << "Zeichensatz ISO-8859-1 wird nicht unterstuetzt, nur UTF-8";
}

void TestPoFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, errorLine);
    QFETCH(QString, last);

    const ZkHelp::PoReadResult result = ZkHelp::readPo(bytes);
    QCOMPARE(result.errorLine, errorLine);
    if (errorLine > 0) {
        QCOMPARE(result.error, last);
        QVERIFY(result.entries.isEmpty());
        return;
    }
    QCOMPARE(result.entries.size(), 2);
    const ZkHelp::PoEntry &entry = result.entries.last();
    QCOMPARE(QStringList({entry.context, entry.id, entry.str, entry.flags.join(u',')}).join(u'|'),
             last);
}

void TestPoFile::writtenForm()
{
    ZkHelp::PoEntry entry;
    entry.hasContext = true;
    entry.context = QStringLiteral("a/b#1/text");
    entry.id = QStringLiteral("Zeile \"eins\"\r\nZeile\tzwei \\ \x01 ü\n");
    entry.str = QStringLiteral("ende\n");
    entry.references = {QStringLiteral("name\nmit Zeilenende")};
    const QByteArray bytes = ZkHelp::writePo({entry});
    QCOMPARE(bytes,
             QByteArray("#: name mit Zeilenende\nmsgctxt \"a/b#1/text\"\nmsgid \"\"\n"
                        "\"Zeile \\\"eins\\\"\\r\\n\"\n\"Zeile\\tzwei \\\\ \\001 \xC3\xBC\\n\"\n"
                        "msgstr \"ende\\n\"\n"));
}

QTEST_GUILESS_MAIN(TestPoFile)
#include "tst_pofile.moc"
