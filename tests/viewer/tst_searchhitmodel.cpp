// The full-text hits as the viewer lists them, without a window: an entry's
// text and tool tip, and where activating it leads.
#include "searchhitmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSearchHitModel : public QObject
{
    Q_OBJECT

private slots:
    void entry_data();
    void entry();
    void rows();
};

void TestSearchHitModel::entry_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("section");
    QTest::addColumn<int>("sectionIndex");
    QTest::addColumn<QString>("text");

    QTest::newRow("description") << "/h/intro.zkhelp"
                                 << "" << -1 << "intro (en)";
    QTest::newRow("first section") << "/h/intro.zkhelp"
                                   << "Start" << 0 << "intro (en): Start";
    QTest::newRow("later section") << "/h/guide.zkhelp"
                                   << "Second" << 3 << "guide (en): Second";
    QTest::newRow("dots in the name") << "/h/a.b.zkhelp"
                                      << "" << -1 << "a.b (en)";
}

void TestSearchHitModel::entry()
{
    QFETCH(QString, path);
    QFETCH(QString, section);
    QFETCH(int, sectionIndex);
    QFETCH(QString, text);
    SearchHitModel model;
    model.setHits({{path, u"en"_s, section, sectionIndex, u"around the hit"_s}});

    const QModelIndex entry = model.index(0);
    QCOMPARE(entry.data().toString(), text);
    QCOMPARE(entry.data(Qt::ToolTipRole).toString(), u"around the hit"_s);
    QCOMPARE(entry.data(SearchHitModel::PathRole).toString(), path);
    QCOMPARE(entry.data(SearchHitModel::LanguageRole).toString(), u"en"_s);
    QCOMPARE(entry.data(SearchHitModel::SectionRole).toInt(), sectionIndex);
}

// Each search replaces the entries of the one before.
void TestSearchHitModel::rows()
{
    SearchHitModel model;
    QAbstractItemModelTester tester(&model);
    const ZkHelp::SearchHit hit{u"/h/x.zkhelp"_s, u"de"_s, QString(), -1, QString()};
    model.setHits({hit, hit, hit});
    QCOMPARE(model.rowCount(), 3);
    model.setHits({hit});
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.index(0).data().toString(), u"x (de)"_s);
    model.setHits({});
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestSearchHitModel)
#include "tst_searchhitmodel.moc"
