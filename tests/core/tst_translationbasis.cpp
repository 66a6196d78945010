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

QTEST_GUILESS_MAIN(TestTranslationBasis)
#include "tst_translationbasis.moc"
