// The editor's words for what the check finds in one document, taken from
// the real check so that the sections named are the ones it means.
#include "findingtext.h"
#include "helpparser.h"
#include "helpxml.h"

#include <QBuffer>
#include <QTest>

using namespace HelpXml;

class TestFindingText : public QObject
{
    Q_OBJECT

private slots:
    void words_data();
    void words();
};

// body: of a help file judged against the languages de, en and fr with de
// as reference, its links looked up in no folder; lines: one per finding.
void TestFindingText::words_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("withPlace");
    QTest::addColumn<QString>("lines");
    const QByteArray de = language("de", "D", section("A", "a") + section("B", "b"));
    const QByteArray fr = language("fr", "F", section("A", "a") + section("B", "b"));
    QTest::newRow("second section stale, counted from 1")
        << de + fr + language("en", "E", section("A", "a") + section("B", "b", "de:0000")) << false
        << "Übersetzung veraltet: Abschnitt 2 der Referenz (de) wurde geändert";
    QTest::newRow("its reference section gone; one section too few")
        << language("de", "D", section("A", "a")) +
               language("fr", "F", section("A", "a") + section("B", "b", "de:0000")) +
               language("en", "E", section("A", "a"))
        << true
        << "fr: 2 statt 1 Abschnitte\nfr, Abschnitt 2: Übersetzung veraltet: "
           "Abschnitt 2 der Referenz (de) fehlt";
    QTest::newRow("ids: stale by id, doubled, unknown to the reference")
        << language("de", "D", section("A", "a", "", "a") + section("B", "b", "", "b")) + fr +
               language("en", "E",
                        section("B", "b", "de:0000", "b") + section("C", "c", "", "c") +
                            section("D", "d", "", "c"))
        << true
        << "en: 3 statt 2 Abschnitte\n"
           "en, Abschnitt 1: Übersetzung veraltet: Abschnitt 2 der Referenz (de) wurde geändert\n"
           "en, Abschnitt 2: Kennung fehlt in der Referenz: c\n"
           "en, Abschnitt 3: Kennung doppelt: c\n"
           "en, Abschnitt 3: Kennung fehlt in der Referenz: c";
    QTest::newRow("missing language, empty texts, placed or not")
        << de + language("en", "", section("A", "") + section("B", "b")) << false
        << "Beschreibung leer\nText leer\nSprache fehlt: fr";
    QTest::newRow("missing language named once when placed")
        << de + language("en", "", section("A", "") + section("B", "b")) << true
        << "en: Beschreibung leer\nen, Abschnitt 1: Text leer\nSprache fehlt: fr";
    QTest::newRow("links that lead nowhere, each once; web links are none")
        << de + fr + language("en", "E", section("A", "a") + section("B", "b")) + link("nirgends") +
               link("https://example.org") + link("nirgends") + link("../x")
        << true << "Verweis führt ins Leere: nirgends\nVerweis führt ins Leere: ../x";
}

void TestFindingText::words()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, withPlace);
    QFETCH(QString, lines);
    QByteArray xml = file(body);
    QBuffer buffer(&xml);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const ZkHelp::HelpData doc = ZkHelp::HelpParser().parse(buffer, "x.zkhelp");
    ZkHelp::LinkResolver nowhere;
    const QList<ZkHelp::Finding> findings =
        ZkHelp::brokenLinks("x.zkhelp", doc, nowhere) +
        ZkHelp::checkDocument("x.zkhelp", doc, {"de", "en", "fr"}, "de");
    QStringList texts;
    for (const ZkHelp::Finding &finding : findings)
        texts.append(ZkHelp::findingText(finding, doc, withPlace));
    QCOMPARE(texts.join('\n'), lines);
}

QTEST_MAIN(TestFindingText)
#include "tst_findingtext.moc"
