// Entry of zkhelp_editor: no arguments of its own, no project open at start.
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("zkhelp_editor"));
    MainWindow window(ZkHelp::ProjectManager::globalPathFile());
    window.show();
    return app.exec();
}
