// Section ids: the valid form, the slug of a title and the ids a file's
// sections without one get.
#include "helpdatadump.h"
#include "sectionids.h"

#include <QTest>

using ZkHelp::HelpData;
using ZkHelp::HelpSection;

Q_DECLARE_METATYPE(ZkHelp::HelpData)

class TestSectionIds : public QObject
{
    Q_OBJECT

private slots:
    void valid_data();
    void valid();
    void slug_data();
    void slug();
    void assign_data();
    void assign();
};

void TestSectionIds::valid_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("valid");

    QTest::newRow("letters, digits, dot, underscore, dash") << "a1.b_c-D" << true;
    QTest::newRow("64 characters") << QString(64, u'x') << true;
    QTest::newRow("65 characters") << QString(65, u'x') << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("dash first") << "-a" << false;
    QTest::newRow("space") << "a b" << false;
    QTest::newRow("umlaut") << "ä" << false;
}

void TestSectionIds::valid()
{
    QFETCH(QString, id);
    QFETCH(bool, valid);
    QCOMPARE(ZkHelp::isValidSectionId(id), valid);
}

void TestSectionIds::slug_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("slug");

    QTest::newRow("umlauts, capitals too") << "Äpfel Öl Über Straße ẞ"
                                           << "aepfel-oel-ueber-strasse-ss";
    QTest::newRow("runs of other characters") << "a  --  b/c...d"
                                              << "a-b-c-d";
    QTest::newRow("no dash at either end") << "  (Erste Schritte!)  "
                                           << "erste-schritte";
    QTest::newRow("other letters separate") << "Café crème"
                                            << "caf-cr-me";
    QTest::newRow("48 characters") << QString(60, u'a') << QString(48, u'a');
    QTest::newRow("no dash where cut") << QString(47, u'a') + " b" << QString(47, u'a');
    QTest::newRow("umlaut cut in two") << QString(47, u'a') + u'ü' << QString(47, u'a') + u'u';
    QTest::newRow("nothing left") << "!?  --"
                                  << "abschnitt";
    QTest::newRow("empty title") << QString() << "abschnitt";
}

void TestSectionIds::slug()
{
    QFETCH(QString, title);
    QFETCH(QString, slug);
    const QString made = ZkHelp::sectionSlug(title);
    QCOMPARE(made, slug);
    QVERIFY(ZkHelp::isValidSectionId(made));
}

void TestSectionIds::assign_data()
{
    QTest::addColumn<HelpData>("before");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("after");

    HelpData collisions;
    collisions.languages["de"].sections = {
        {"Start", "a"}, {"Start", "b"}, {"start!", "c"}, {"Ende", "d", {}, "start-2"}};
    QTest::newRow("collisions: -2 taken, so -3 and -4")
        << collisions << "de"
        << "v=|a=|de:[<start>Start=a;<start-3>Start=b;<start-4>start!=c;"
           "<start-2>Ende=d]|links=";

    HelpData translated;
    translated.languages["de"].sections = {{"Eins", "1"}, {"Zwei", "2", {}, "zwei"}};
    translated.languages["en"].sections = {{"One", "1"}, {"Two", "2"}, {"Three", "3"}};
    translated.languages["fr"].sections = {{"Un", "1", {}, "zwei"}, {"Deux", "2"}};
    QTest::newRow("translations take the reference ids when free")
        << translated << "de"
        << "v=|a=|de:[<eins>Eins=1;<zwei>Zwei=2]|en:[<eins>One=1;<zwei>Two=2;<three>Three=3]|"
           "fr:[<zwei>Un=1;<deux>Deux=2]|links=";
    QTest::newRow("reference chosen")
        << translated << "en"
        << "v=|a=|de:[<one>Eins=1;<zwei>Zwei=2]|en:[<one>One=1;<two>Two=2;<three>Three=3]|"
           "fr:[<zwei>Un=1;<two>Deux=2]|links=";

    HelpData complete;
    complete.languages["de"].sections = {{"A", "a", {}, "x"}};
    QTest::newRow("every id there") << complete << "de" << dump(complete);
}

void TestSectionIds::assign()
{
    QFETCH(HelpData, before);
    QFETCH(QString, reference);
    QFETCH(QString, after);
    HelpData data = before;
    QCOMPARE(ZkHelp::assignSectionIds(data, reference), after != dump(before));
    QCOMPARE(dump(data), after);
}

QTEST_GUILESS_MAIN(TestSectionIds)
#include "tst_sectionids.moc"
