// The tree's own rules, on a tree no window shows: which nodes the filter
// keeps.
#include "projecttree.h"

#include <QApplication>
#include <QTest>
#include <QTreeWidget>

class TestProjectTree : public QObject
{
    Q_OBJECT

private slots:
    void filter_data();
    void filter();
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

QTEST_MAIN(TestProjectTree)
#include "tst_projecttree.moc"
