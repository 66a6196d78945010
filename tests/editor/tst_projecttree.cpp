// The tree's own rules, on a tree no window shows: which nodes the filter
// keeps, and that a large project's file nodes, filled only when needed,
// show what they would have shown filled up front.
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

namespace {

// The texts from the top down to item.
QString pathOf(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (; item; item = item->parent())
        texts.prepend(item->text(0));
    return texts.join(u'/');
}

// What item shows: text, mark, tool tip and whether it is expanded, with its
// children.
QString shown(const QTreeWidgetItem *item)
{
    QString text = item->text(0) + (item->icon(0).isNull() ? "" : "!") + item->toolTip(0) +
                   (item->isExpanded() ? "" : "-");
    for (int i = 0; i < item->childCount(); ++i)
        text += '(' + shown(item->child(i)) + ')';
    return text;
}

struct ShownProject
{
    QTreeWidget tree;
    QLineEdit filter;
    QAction next, previous;
    ProjectView view;

    ShownProject(const ZkHelp::EditorSession &session, const QString &dir,
                 const QStringList &members, int maxNodes)
        : view(&tree, session, maxNodes)
    {
        view.bindControls(&filter, &next, &previous);
        view.redraw(dir, members, {});
        tree.show();
    }

    void step(const QString &step, const QString &dir)
    {
        const QStringList parts = step.section(' ', -1).split(u'/');
        const QString path = QDir(dir).filePath(parts.value(0));
        if (step == "+" || step == "-")
            (step == "+" ? next : previous).trigger();
        else if (step.startsWith("open "))
            tree.findItems(parts.value(0), Qt::MatchExactly).value(0)->setExpanded(true);
        else
            view.select({ProjectTree::Kind(ProjectTree::KindFile + 100 * (parts.size() - 1)), path,
                         parts.value(1), parts.value(2).toInt()});
    }
};

} // namespace

// steps: "+" and "-" move to the next and previous mark, "open FILE" expands
// a file node, "FILE[/LANG[/SECTION]]" selects a node; current: the texts
// down to the node current after them. w lacks a language, x has marked
// sections, a and y have none.
void TestProjectTree::fillWhenNeeded_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("current");
    QTest::newRow("a section selected") << QStringList{"x.zkhelp/en/0"} << "x.zkhelp/en/A";
    QTest::newRow("a section gone: its language") << QStringList{"x.zkhelp/de/7"} << "x.zkhelp/de";
    QTest::newRow("forward to a file") << QStringList{"w.zkhelp", "+"} << "x.zkhelp";
    QTest::newRow("forward into a file") << QStringList{"x.zkhelp", "+"} << "x.zkhelp/en";
    QTest::newRow("backward to a file's last mark")
        << QStringList{"y.zkhelp", "-"} << "x.zkhelp/en/A";
    QTest::newRow("a file expanded") << QStringList{"open x.zkhelp"} << "";
}

// The same project drawn whole and drawn with file nodes filled when needed
// shows the same after the same steps.
void TestProjectTree::fillWhenNeeded()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, current);
    QTemporaryDir dir;
    const QByteArray fine = HelpXml::section("A", "a");
    const QList<std::pair<QString, QByteArray>> files{
        {"a.zkhelp", HelpXml::language("de", "d", fine) + HelpXml::language("en", "d", fine)},
        {"w.zkhelp", HelpXml::language("de", "d", fine)},
        {"x.zkhelp", HelpXml::language("de", "d", fine + HelpXml::section("B", "b")) +
                         HelpXml::language("en", "d", HelpXml::section("A", ""))},
        {"y.zkhelp", HelpXml::language("de", "d", fine) + HelpXml::language("en", "d", fine)}};
    QStringList members;
    for (const auto &[name, body] : files) {
        QVERIFY(TestFiles::write(dir.filePath(name), HelpXml::file(body)));
        members.append(name);
    }
    ZkHelp::EditorSession session;
    session.load(dir.path(), members);
    ShownProject whole(session, dir.path(), members, 1000);
    ShownProject lazy(session, dir.path(), members, 0);
    for (QTreeWidgetItemIterator it(&lazy.tree); *it; ++it)
        QCOMPARE(ProjectTree::kindOf(*it), ProjectTree::KindFile);
    for (const QString &step : std::as_const(steps)) {
        whole.step(step, dir.path());
        lazy.step(step, dir.path());
    }
    QCOMPARE(pathOf(lazy.tree.currentItem()), current);
    QCOMPARE(pathOf(whole.tree.currentItem()), current);
    // A file node once filled may have been left collapsed; unfilled, it
    // shows its own mark only.
    const auto below = [](const QTreeWidgetItem *file, bool filled) {
        QString text = file->toolTip(0);
        for (int i = 0; filled && i < file->childCount(); ++i)
            text += '(' + shown(file->child(i)) + ')';
        return text;
    };
    for (int i = 0; i < lazy.tree.topLevelItemCount(); ++i) {
        const QTreeWidgetItem *file = lazy.tree.topLevelItem(i);
        QCOMPARE(below(file, true), below(whole.tree.topLevelItem(i), file->childCount() > 0));
    }
}

QTEST_MAIN(TestProjectTree)
#include "tst_projecttree.moc"
