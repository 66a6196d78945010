// The page the viewer shows, without a window: what of a help text takes
// effect as markup and what shows as written, the heading, and how each kind
// of link appears.
#include "screenpage.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

class TestScreenPage : public QObject
{
    Q_OBJECT

private slots:
    void markup_data();
    void markup();
    void heading();
    void links_data();
    void links();
};

void TestScreenPage::markup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rich");

    QTest::newRow("plain text") << "Tom & Jerry < 3"
                                << "Tom &amp; Jerry &lt; 3";
    QTest::newRow("unknown element") << "steht in <lang name=\"de\">."
                                     << "steht in &lt;lang name=&quot;de&quot;&gt;.";
    QTest::newRow("formatting kept") << "<b>fett</b>, <em>x</em> <code>y</code>"
                                     << "<b>fett</b>, <em>x</em> <code>y</code>";
    QTest::newRow("letter case and blanks") << "<B >x</b >"
                                            << "<b>x</b>";
    QTest::newRow("nested lists") << "<ul><li>a</li><li>b<sub>2</sub></li></ul>"
                                  << "<ul><li>a</li><li>b<sub>2</sub></li></ul>";
    QTest::newRow("never closed") << "<b>offen"
                                  << "&lt;b&gt;offen";
    QTest::newRow("closed, never opened") << "zu</i>"
                                          << "zu&lt;/i&gt;";
    QTest::newRow("crossed") << "<b><i>x</b></i>"
                             << "&lt;b&gt;<i>x&lt;/b&gt;</i>";
    QTest::newRow("line breaks") << "a<br>b<br/>c</br>"
                                 << "a<br>b<br>c&lt;/br&gt;";
    QTest::newRow("attributes") << "<p style=\"x\">y</p>"
                                << "&lt;p style=&quot;x&quot;&gt;y&lt;/p&gt;";
    QTest::newRow("empty formatting element") << "<b/>"
                                              << "&lt;b/&gt;";
    QTest::newRow("character reference") << "&lt;"
                                         << "&amp;lt;";
}

void TestScreenPage::markup()
{
    QFETCH(QString, text);
    QFETCH(QString, rich);
    QCOMPARE(screenMarkup(text), rich);
}

// Name, author and version show as written, the name on top.
void TestScreenPage::heading()
{
    ScreenTopic topic{u"a<b>"_s, {u"<2>"_s, u"Ann & <i>Bob</i>"_s, {}, {}}, {}};
    QTextDocument page;
    page.setHtml(renderScreenPage(topic, {u"Text"_s, {}}));
    QCOMPARE(page.toPlainText(), u"a<b>\nAnn & <i>Bob</i> (v<2>)\nText"_s);
    QCOMPARE(page.begin().blockFormat().headingLevel(), 1);
}

void TestScreenPage::links_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("missing");
    QTest::addColumn<bool>("anchor");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("line");

    QTest::newRow("help file") << "usage" << false << true << ""
                               << "usage";
    QTest::newRow("help file not found") << "x&y" << true << false << "nicht gefunden"
                                         << "x&y";
    QTest::newRow("web") << "https://example.org/" << false << true
                         << "Öffnet außerhalb des Betrachters"
                         << "https://example.org/ ↗";
    QTest::newRow("mail") << "mailto:a@example.org" << false << true
                          << "Öffnet außerhalb des Betrachters"
                          << "mailto:a@example.org ↗";
}

// The link's line of the page, and how its text is formatted.
void TestScreenPage::links()
{
    QFETCH(QString, link);
    QFETCH(bool, missing);
    QFETCH(bool, anchor);
    QFETCH(QString, toolTip);
    QFETCH(QString, line);
    ScreenTopic topic{u"t"_s, {u"1"_s, u"A"_s, {}, {link}}, {}};
    if (missing)
        topic.missingLinks.insert(link);
    QTextDocument page;
    page.setHtml(renderScreenPage(topic, {}));

    QTextCursor text = page.find(link);
    QVERIFY(!text.isNull());
    QCOMPARE(text.block().text(), line);
    text.setPosition(text.selectionStart() + 1);
    const QTextCharFormat format = text.charFormat();
    QCOMPARE(format.isAnchor(), anchor);
    QCOMPARE(format.toolTip(), toolTip);
    QCOMPARE(format.foreground().color() == QColor(u"gray"_s), missing);
}

QTEST_MAIN(TestScreenPage)
#include "tst_screenpage.moc"
