// Addresses of help files, languages and sections: reading, the canonical
// form, and what an address picks in a document.
#include "helpaddress.h"

#include <QTest>

using ZkHelp::HelpAddress;
using ZkHelp::HelpData;
using ZkHelp::HelpLanguage;
using ZkHelp::HelpSection;

class TestHelpAddress : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void canonical_data();
    void canonical();
    void section_data();
    void section();
    void language_data();
    void language();
};

void TestHelpAddress::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("section");

    QTest::newRow("name only") << "zkhelp:topic" << true << "topic"
                               << ""
                               << "";
    QTest::newRow("all parts") << "zkhelp:sub/topic?lang=de#start" << true << "sub/topic"
                               << "de"
                               << "start";
    QTest::newRow("encoded UTF-8") << "zkhelp:%C3%BCber%3Fx?lang=d%65#a%23b" << true << "über?x"
                                   << "de"
                                   << "a#b";
    QTest::newRow("unknown keys ignored") << "zkhelp:t?x=1&lang=en&y#2" << true << "t"
                                          << "en"
                                          << "2";
    QTest::newRow("first lang wins") << "zkhelp:t?lang=en&lang=de" << true << "t"
                                     << "en"
                                     << "";
    QTest::newRow("dot segments kept") << "zkhelp:a/./b" << true << "a/./b"
                                       << ""
                                       << "";
    QTest::newRow("other scheme") << "http:topic" << false << ""
                                  << ""
                                  << "";
    QTest::newRow("empty name") << "zkhelp:?lang=de#1" << false << ""
                                << ""
                                << "";
    QTest::newRow("dot-dot part") << "zkhelp:a/../b" << false << ""
                                  << ""
                                  << "";
    QTest::newRow("encoded dot-dot") << "zkhelp:%2E%2E/b" << false << ""
                                     << ""
                                     << "";
    QTest::newRow("absolute path") << "zkhelp:/etc/passwd" << false << ""
                                   << ""
                                   << "";
    QTest::newRow("encoded absolute") << "zkhelp:%2Fetc" << false << ""
                                      << ""
                                      << "";
    QTest::newRow("colons in name") << "zkhelp:C:x:1" << true << "C:x:1"
                                    << ""
                                    << "";
    QTest::newRow("backslash climbing") << "zkhelp:a%5C..%5Cb" << false << ""
                                        << ""
                                        << "";
    QTest::newRow("drive letter, slash") << "zkhelp:c:/x" << false << ""
                                         << ""
                                         << "";
    QTest::newRow("drive letter") << "zkhelp:C:%5Cx" << false << ""
                                  << ""
                                  << "";
    QTest::newRow("stray percent") << "zkhelp:a%2" << false << ""
                                   << ""
                                   << "";
    QTest::newRow("percent not hex") << "zkhelp:a%zz" << false << ""
                                     << ""
                                     << "";
    QTest::newRow("bad in section") << "zkhelp:a#%" << false << ""
                                    << ""
                                    << "";
    QTest::newRow("bad in lang") << "zkhelp:a?lang=%g0" << false << ""
                                 << ""
                                 << "";
    QTest::newRow("not UTF-8") << "zkhelp:%FF" << false << ""
                               << ""
                               << "";
    QTest::newRow("100 KB of percent") << "zkhelp:" + QString(100000, u'%') << false << ""
                                       << ""
                                       << "";
    QTest::newRow("100 KB name") << "zkhelp:" + QString(100000, u'a') << true
                                 << QString(100000, u'a') << ""
                                 << "";
}

void TestHelpAddress::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<HelpAddress> address = HelpAddress::parse(text);
    QCOMPARE(address.has_value(), valid);
    if (!address)
        return;
    QTEST(address->name, "name");
    QTEST(address->language, "language");
    QTEST(address->section, "section");
}

void TestHelpAddress::canonical_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("text");

    QTest::newRow("plain") << "sub/topic"
                           << "de"
                           << "start"
                           << "zkhelp:sub/topic?lang=de#start";
    QTest::newRow("no language") << "t"
                                 << ""
                                 << "3"
                                 << "zkhelp:t#3";
    QTest::newRow("name only") << "t"
                               << ""
                               << ""
                               << "zkhelp:t";
    QTest::newRow("URL syntax encoded") << "a?b#c%d e"
                                        << "x&y=z"
                                        << "s#t"
                                        << "zkhelp:a%3Fb%23c%25d%20e?lang=x%26y%3Dz#s%23t";
    QTest::newRow("UTF-8") << "über"
                           << ""
                           << "ä"
                           << "zkhelp:%C3%BCber#%C3%A4";
}

void TestHelpAddress::canonical()
{
    QFETCH(QString, name);
    QFETCH(QString, language);
    QFETCH(QString, section);
    QFETCH(QString, text);
    const HelpAddress address{name, language, section};
    QCOMPARE(address.toString(), text);
    QCOMPARE(HelpAddress::parse(text), std::optional<HelpAddress>(address));
}

void TestHelpAddress::section_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<int>("index");

    QTest::newRow("by id") << "zwei" << 1;
    QTest::newRow("by position") << "3" << 2;
    QTest::newRow("id before position") << "1" << 2;
    QTest::newRow("leading zero") << "02" << 1;
    QTest::newRow("position zero") << "0" << -1;
    QTest::newRow("past the end") << "4" << -1;
    QTest::newRow("overflow") << "99999999999999999999" << -1;
    QTest::newRow("signed") << "+2" << -1;
    QTest::newRow("unknown id") << "drei" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestHelpAddress::section()
{
    QFETCH(QString, section);
    HelpLanguage language;
    language.sections = {HelpSection{"A", "a", {}, "eins"}, HelpSection{"B", "b", {}, "zwei"},
                         HelpSection{"C", "c", {}, "1"}};
    QTEST(ZkHelp::addressedSection(language, section), "index");
}

void TestHelpAddress::language_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QStringList>("interface");
    QTest::addColumn<QString>("key");

    QTest::newRow("wanted present") << "fr" << QStringList{"de"} << "fr";
    QTest::newRow("wanted missing") << "it" << QStringList{"de"} << "de";
    QTest::newRow("none wanted") << "" << QStringList{"fr", "de"} << "fr";
    QTest::newRow("exact before primary") << "" << QStringList{"en-GB"} << "en-GB";
    QTest::newRow("primary part") << "" << QStringList{"es-MX", "fr-CA"} << "fr";
    QTest::newRow("interface order") << "" << QStringList{"it", "de-AT", "fr"} << "de";
    QTest::newRow("first language") << "it" << QStringList{"es"} << "de";
    QTest::newRow("no interface") << "" << QStringList{} << "de";
}

void TestHelpAddress::language()
{
    QFETCH(QString, wanted);
    QFETCH(QStringList, interface);
    HelpData data;
    for (const char *key : {"de", "en", "en-GB", "fr"})
        data.languages.insert(QString::fromLatin1(key), HelpLanguage{});
    QTEST(ZkHelp::addressedLanguage(data, wanted, interface), "key");
    QCOMPARE(ZkHelp::addressedLanguage(HelpData{}, wanted, interface), QString());
}

QTEST_APPLESS_MAIN(TestHelpAddress)
#include "tst_helpaddress.moc"
