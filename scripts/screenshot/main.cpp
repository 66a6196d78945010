// Opens a project in the real editor window through its own "Projekt öffnen"
// dialog, clicks one section node and saves a picture of the whole window.
//
// Usage: zkhelp_editor_screenshot PROJECT_FILE NODE_PATH OUTPUT.png
// NODE_PATH names the node by its shown texts, e.g. "intro.zkhelp/en/Overview".
#include "dialoganswerer.h"
#include "mainwindow.h"
#include "qttranslation.h"
#include "treenode.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ZkHelp::installQtTranslations(app);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: %s PROJECT_FILE NODE_PATH OUTPUT.png\n", argv[0]);
        return 1;
    }
    // Opening registers the project; a scratch "Path" keeps that to itself.
    QTemporaryDir scratch;
    MainWindow window(scratch.filePath("Path"));
    window.show();
    DialogAnswerer answerer({"choose:" + args.at(1)});
    window.findChild<QAction *>("actionOpenProject")->trigger();

    auto *tree = window.findChild<QTreeWidget *>("projectTree");
    QTreeWidgetItem *node = TreeNode::find(tree, args.at(2));
    if (!node) {
        std::fprintf(stderr, "no node %s\n", qPrintable(args.at(2)));
        return 1;
    }
    tree->setCurrentItem(node);
    emit tree->itemClicked(node, 0);
    QApplication::processEvents();
    return window.grab().save(args.at(3)) ? 0 : 1;
}
