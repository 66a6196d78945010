// Entry of zkhelp_editor: opens the project named on the command line, if any.
#include "mainwindow.h"
#include "projectfile.h"
#include "qttranslation.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

int refuse(const QString &error)
{
    std::fputs(qPrintable(QStringLiteral("zkhelp_editor: %1\n").arg(error)), stderr);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zkhelp_editor"));
    QApplication::setApplicationVersion(QStringLiteral(ZKHELP_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("zkhelp_editor"));
    ZkHelp::installQtTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Bearbeitet ein Projekt aus Hilfedateien."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("projekt"),
        QStringLiteral("Zu öffnendes Projekt: eine .zkproject-Datei oder ein Ordner mit genau "
                       "einer solchen Datei."),
        QStringLiteral("[projekt]"));
    parser.process(app);

    MainWindow window(ZkHelp::ProjectManager::globalPathFile());
    const QStringList arguments = parser.positionalArguments();
    if (!arguments.isEmpty()) {
        QString error;
        const QString projectFile = ZkHelp::projectFileForArgument(arguments.first(), &error);
        if (projectFile.isEmpty())
            return refuse(error);
        if (!window.openProjectPath(projectFile))
            return refuse(QStringLiteral("Projekt kann nicht gelesen werden: %1").arg(projectFile));
    }
    window.show();
    return app.exec();
}
