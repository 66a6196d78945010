// zkhelp_viewer: shows help files found along the search folders.
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // QApplication has taken its own options out of argv by now.
    const QString startFile = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    MainWindow window(startFile);
    window.show();
    return app.exec();
}
