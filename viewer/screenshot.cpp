// Saves a picture of the viewer showing one topic, for the README:
//   zkhelp_viewer_screenshot OUTPUT.png NAME [LANGUAGE]
// Run it under QT_QPA_PLATFORM=offscreen in a folder whose Path file names the
// help set; the topic is selected in the list as a click would leave it.
#include "mainwindow.h"
#include "qttranslation.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPixmap>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ZkHelp::installQtTranslations(app);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: zkhelp_viewer_screenshot OUTPUT.png NAME [LANGUAGE]\n");
        return 2;
    }
    MainWindow window;
    window.show();

    auto *list = window.findChild<QListWidget *>(QStringLiteral("fileListWidget"));
    const QList<QListWidgetItem *> matches = list->findItems(args.at(2), Qt::MatchExactly);
    if (matches.isEmpty()) {
        std::fprintf(stderr, "no help file named %s along the search folders\n",
                     qPrintable(args.at(2)));
        return 1;
    }
    list->setCurrentItem(matches.first());
    emit list->itemClicked(matches.first());
    if (args.size() > 3) {
        auto *languages = window.findChild<QComboBox *>(QStringLiteral("languageComboBox"));
        languages->setCurrentText(args.at(3));
    }
    QApplication::processEvents();

    if (!window.grab().save(args.at(1))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return 0;
}
