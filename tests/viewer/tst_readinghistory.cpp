// Back and Forward through the topics read, without a window: each move
// leaves the current step at a place of its own, so that every step shows
// where it comes back to.
#include "readinghistory.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

class TestReadingHistory : public QObject
{
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
};

void TestReadingHistory::moves_data()
{
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("ways");

    // A move is a topic to visit, "<" for Back or ">" for Forward; move i
    // leaves the step it starts from in language "Li" scrolled to i * 10.
    // "shown" is the current step's topic at the end, after Back or Forward
    // with the place it came back to: "PATH/LANGUAGE/SCROLL". "ways" says
    // whether Back and Forward are open.
    QTest::newRow("first topic") << QStringList{"a"} << "a"
                                 << "00";
    QTest::newRow("new step") << QStringList{"a", "b"} << "b"
                              << "10";
    QTest::newRow("same topic again is no step") << QStringList{"a", "a"} << "a"
                                                 << "00";
    QTest::newRow("back to where it was left") << QStringList{"a", "b", "<"} << "a/L1/10"
                                               << "01";
    QTest::newRow("forward to where it was left") << QStringList{"a", "b", "<", ">"} << "b/L2/20"
                                                  << "10";
    QTest::newRow("places kept along the way")
        << QStringList{"a", "b", "c", "<", "<", ">", ">"} << "c/L3/30"
        << "10";
    QTest::newRow("a new step after back drops the ones ahead")
        << QStringList{"a", "b", "c", "<", "<", "d"} << "d"
        << "10";
    QTest::newRow("back from it to the step it follows")
        << QStringList{"a", "b", "c", "<", "d", "<"} << "b/L4/40"
        << "11";
    QTest::newRow("the topic ahead visited anew starts afresh")
        << QStringList{"a", "b", "<", "b"} << "b"
        << "10";
}

void TestReadingHistory::moves()
{
    QFETCH(QStringList, moves);
    QFETCH(QString, shown);
    QFETCH(QString, ways);
    ReadingHistory history;
    std::optional<ReadingHistory::Step> step;
    for (int i = 0; i < moves.size(); ++i) {
        const ReadingHistory::Place left{u"L%1"_s.arg(i), i * 10};
        step.reset();
        if (moves[i] == u"<")
            step = history.back(left);
        else if (moves[i] == u">")
            step = history.forward(left);
        else
            history.visit(moves[i], left);
    }
    QString reached = history.currentPath();
    if (step) {
        QCOMPARE(step->path, reached);
        reached += u'/' + step->place.language + u'/' + QString::number(step->place.scroll);
    }
    QCOMPARE(reached, shown);
    QCOMPARE(QString::number(history.canGoBack()) + QString::number(history.canGoForward()), ways);
}

QTEST_GUILESS_MAIN(TestReadingHistory)
#include "tst_readinghistory.moc"
