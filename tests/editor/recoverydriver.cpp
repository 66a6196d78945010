// Drives the real editor window for the crash test, in a process of its own
// that the test may kill:
//   recoverydriver PATHFILE PROJECT type TEXT   opens PROJECT, types TEXT into
//       the first section of x.zkhelp, says "typed" and runs until killed;
//   recoverydriver PATHFILE PROJECT recover     opens PROJECT answering the
//       recovery question with Yes, prints that section's text and quits.
#include "dialoganswerer.h"
#include "mainwindow.h"
#include "treenode.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4)
        return 2;
    MainWindow window(args.at(1));
    window.show();
    DialogAnswerer answerer({"Yes"});
    if (!window.openProjectPath(args.at(2)))
        return 3;
    auto *tree = window.findChild<QTreeWidget *>("projectTree");
    QTreeWidgetItem *section = TreeNode::find(tree, "x.zkhelp/de/Intro");
    if (!section)
        return 4;
    emit tree->itemClicked(section, 0);
    auto *content = window.findChild<QPlainTextEdit *>("editContent");
    if (args.at(3) == "recover") {
        std::printf("%s|%s\n", qPrintable(answerer.seen.join(';')),
                    qPrintable(content->toPlainText()));
        return 0;
    }
    content->setFocus();
    content->moveCursor(QTextCursor::End);
    QTest::keyClicks(content, args.value(4));
    std::printf("typed\n");
    std::fflush(stdout);
    return app.exec();
}
