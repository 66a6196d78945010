// The basis of a translated section against its reference text.
#include "translationbasis.h"

#include <QTest>

using ZkHelp::BasisState;
using ZkHelp::HelpData;
using ZkHelp::HelpSection;

Q_DECLARE_METATYPE(ZkHelp::BasisState)

class TestTranslationBasis : public QObject
{
    Q_OBJECT

private slots:
    void basisState_data();
    void basisState();
    void pairedById_data();
    void pairedById();
};

void TestTranslationBasis::basisState_data()
{
    QTest::addColumn<QList<HelpSection>>("reference");
    QTest::addColumn<QString>("basis");
    QTest::addColumn<BasisState>("state");

    const QList<HelpSection> umlauts{{QString(), QString()}, {"Ä", "ü"}};
    QTest::newRow("current, UTF-8 of name and text")
        << umlauts << "de:8be29ca43162fb51" << BasisState::Current;
    QTest::newRow("current, hash in capitals")
        << umlauts << "de:8BE29CA43162FB51" << BasisState::Current;
    QTest::newRow("text changed") << QList<HelpSection>{{}, {"Ä", "ü!"}} << "de:8be29ca43162fb51"
                                  << BasisState::Stale;
    QTest::newRow("name changed") << QList<HelpSection>{{}, {"A", "ü"}} << "de:8be29ca43162fb51"
                                  << BasisState::Stale;
    QTest::newRow("reference section gone")
        << QList<HelpSection>{{"Ä", "ü"}} << "de:8be29ca43162fb51" << BasisState::Stale;
    QTest::newRow("reference language gone")
        << umlauts << "fr:8be29ca43162fb51" << BasisState::Stale;
    QTest::newRow("no basis") << umlauts << QString() << BasisState::Unconfirmed;
}

void TestTranslationBasis::basisState()
{
    QFETCH(QList<HelpSection>, reference);
    QFETCH(QString, basis);
    QFETCH(BasisState, state);

    HelpData data;
    data.languages[QStringLiteral("de")].sections = reference;
    data.languages[QStringLiteral("en")].sections = {{}, {"A", "u", basis}};
    QCOMPARE(ZkHelp::basisState(data, QStringLiteral("en"), 1), state);
    if (reference.size() > 1)
        QCOMPARE(ZkHelp::basisFor(QStringLiteral("de"), reference.at(1)) == basis.toLower(),
                 state == BasisState::Current);
}

void TestTranslationBasis::pairedById_data()
{
    QTest::addColumn<QList<HelpSection>>("reference");
    QTest::addColumn<QString>("id");
    QTest::addColumn<BasisState>("state");
    QTest::addColumn<int>("paired");

    // The translation stands third; "Ä\nü" hashes to 8be29ca43162fb51.
    const HelpSection umlauts{"Ä", "ü", {}, "b"};
    QTest::newRow("same id, position gone")
        << QList<HelpSection>{{"X", "x", {}, "a"}, umlauts} << "b" << BasisState::Current << 1;
    QTest::newRow("same id elsewhere wins over position")
        << QList<HelpSection>{{"X", "x"}, umlauts, {"Ä", "ü!"}} << "b" << BasisState::Current << 1;
    QTest::newRow("id the reference lacks: position")
        << QList<HelpSection>{{"X", "x"}, {"Y", "y"}, {"Ä", "ü", {}, "a"}} << "c"
        << BasisState::Current << 2;
    QTest::newRow("no id: position, even where an id would fit")
        << QList<HelpSection>{{"X", "x"}, umlauts, {"Z", "z"}} << QString() << BasisState::Stale
        << 2;
    QTest::newRow("no id, position gone")
        << QList<HelpSection>{{"X", "x"}, umlauts} << QString() << BasisState::Stale << -1;
    QTest::newRow("same id, text changed")
        << QList<HelpSection>{{"Ä", "ü!", {}, "b"}} << "b" << BasisState::Stale << 0;
    QTest::newRow("first of a doubled id")
        << QList<HelpSection>{umlauts, {"Ä", "ü!", {}, "b"}} << "b" << BasisState::Current << 0;
}

void TestTranslationBasis::pairedById()
{
    QFETCH(QList<HelpSection>, reference);
    QFETCH(QString, id);
    QFETCH(BasisState, state);
    QFETCH(int, paired);

    HelpData data;
    data.languages[QStringLiteral("de")].sections = reference;
    const HelpSection translation{"A", "u", "de:8be29ca43162fb51", id};
    data.languages[QStringLiteral("en")].sections = {{}, {}, translation};
    QCOMPARE(ZkHelp::basisState(data, QStringLiteral("en"), 2), state);
    QCOMPARE(ZkHelp::pairedIndex(data, QStringLiteral("de"), translation, 2), paired);
}

QTEST_GUILESS_MAIN(TestTranslationBasis)
#include "tst_translationbasis.moc"
