// The tree's own rules, on a tree no window shows: which nodes the filter
// keeps, and that file nodes filled only when needed show what they would
// have shown filled up front.
#include "editorsession.h"
#include "helpxml.h"
#include "projecttree.h"
#include "projectview.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

class TestProjectTree : public QObject
{
    Q_OBJECT

private slots:
    void filter_data();
    void filter();
    void fillWhenNeeded_data();
    void fillWhenNeeded();
};

// members: file paths, each a file node below its folder nodes; shown: the
// nodes left visible, depth first, folders ending in "/".
void TestProjectTree::filter_data()
{
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QStringList members{"a/b/Alpha.zkhelp", "a/beta.zkhelp", "c/gamma.zkhelp",
                              "alpha.zkhelp"};
    QTest::newRow("every folder above a match, none without one")
        << members << "ALPHA"
        << "a/ b/ Alpha.zkhelp alpha.zkhelp";
    QTest::newRow("a folder's own name is no match") << members << "c"
                                                     << "";
    QTest::newRow("part of a name, in any case") << members << "Ta.Z"
                                                 << "a/ beta.zkhelp";
    QTest::newRow("empty: all") << members << ""
                                << "a/ b/ Alpha.zkhelp beta.zkhelp c/ gamma.zkhelp alpha.zkhelp";
}

void TestProjectTree::filter()
{
    QFETCH(QStringList, members);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QTreeWidget tree;
    for (const QString &member : std::as_const(members)) {
        QStringList folders = member.split('/');
        auto *file = new QTreeWidgetItem({folders.takeLast()});
        file->setData(0, ProjectTree::RoleKind, ProjectTree::KindFile);
        new QTreeWidgetItem(file, {"de"});
        QTreeWidgetItem *parent = nullptr;
        for (const QString &folder : std::as_const(folders))
            parent = getFolderItem(&tree, parent, folder);
        parent ? parent->addChild(file) : tree.addTopLevelItem(file);
    }
    // A narrower filter first: what it hid must come back.
    ProjectTree::filter(&tree, "zzz");
    ProjectTree::filter(&tree, text);
    QStringList visible;
    for (QTreeWidgetItemIterator it(&tree, QTreeWidgetItemIterator::NotHidden); *it; ++it) {
        const auto kind = ProjectTree::kindOf(*it);
        if (kind == ProjectTree::KindFolder || kind == ProjectTree::KindFile)
            visible.append((*it)->text(0) + (kind == ProjectTree::KindFolder ? "/" : ""));
    }
    QCOMPARE(visible.join(' '), shown);
}

// Texts, marks and expansion of item and the nodes below it.
static QString shown(const QTreeWidgetItem *item)
{
    QString text = item->text(0) + item->toolTip(0) + (item->isExpanded() ? "" : "-");
    for (int i = 0; i < item->childCount(); ++i)
        text += '(' + shown(item->child(i)) + ')';
    return text;
}

// steps: "+" and "-" the next and previous mark, "FILE [LANG [SECTION]]" a
// node selected, "open FILE" a file node expanded; x has marked sections, w
// lacks a language. current: the current node and its parent.
void TestProjectTree::fillWhenNeeded_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("current");
    QTest::newRow("a section") << QStringList{"x en 0"} << "A en";
    QTest::newRow("a section gone: its language") << QStringList{"x de 7"} << "de x";
    QTest::newRow("forward into a file") << QStringList{"x", "+"} << "A en";
    QTest::newRow("backward to a file's last mark") << QStringList{"y", "-"} << "A en";
    QTest::newRow("expanded") << QStringList{"w", "open x"} << "w ";
}

// A project drawn whole and one drawn with file nodes filled when needed
// show the same after the same steps.
void TestProjectTree::fillWhenNeeded()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, current);
    QTemporaryDir dir;
    const QByteArray de = HelpXml::language("de", "d", HelpXml::section("A", "a"));
    const QByteArray files[] = {de, de + HelpXml::language("en", "d", HelpXml::section("A", "")),
                                de + HelpXml::language("en", "d", HelpXml::section("A", "a"))};
    for (int i = 0; i < 3; ++i)
        QVERIFY(TestFiles::write(dir.filePath(QString("wxy").at(i)), HelpXml::file(files[i])));
    ZkHelp::EditorSession session;
    session.load(dir.path(), {"w", "x", "y"});
    QTreeWidget trees[2];
    QAction moves[2][2];
    QLineEdit filter;
    std::unique_ptr<ProjectView> views[2];
    for (int lazy = 0; lazy < 2; ++lazy) {
        views[lazy] = std::make_unique<ProjectView>(&trees[lazy], session, lazy ? 0 : 100);
        views[lazy]->bindControls(&filter, &moves[lazy][0], &moves[lazy][1]);
        views[lazy]->redraw(dir.path(), {"w", "x", "y"}, {});
        for (int i = 0; i < 3; ++i)
            QCOMPARE(trees[lazy].topLevelItem(i)->childCount() == 0, bool(lazy));
        for (const QString &step : std::as_const(steps)) {
            const QStringList at = step.split(' ');
            if (step == "+" || step == "-")
                moves[lazy][step == "-"].trigger();
            else if (at.first() == "open")
                trees[lazy].findItems(at.last(), Qt::MatchExactly).first()->setExpanded(true);
            else
                views[lazy]->select({ProjectTree::Kind(100 + 100 * at.size()),
                                     dir.filePath(at.first()), at.value(1), at.value(2).toInt()});
        }
        const QTreeWidgetItem *item = trees[lazy].currentItem();
        QCOMPARE(item->text(0) + ' ' + (item->parent() ? item->parent()->text(0) : ""), current);
    }
    for (int i = 0; i < 3; ++i) {
        QTreeWidgetItem *lazy = trees[1].topLevelItem(i), *whole = trees[0].topLevelItem(i);
        lazy->setExpanded(lazy->childCount() > 0);
        QCOMPARE(lazy->childCount() ? shown(lazy) : lazy->toolTip(0),
                 lazy->childCount() ? shown(whole) : whole->toolTip(0));
    }
}

QTEST_MAIN(TestProjectTree)
#include "tst_projecttree.moc"
