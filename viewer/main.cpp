// zkhelp_viewer: shows help files found along the search folders.
#include "mainwindow.h"
#include "qttranslation.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zkhelp_viewer"));
    QApplication::setApplicationVersion(QStringLiteral(ZKHELP_VERSION));
    ZkHelp::installQtTranslations(app);

    // QApplication has taken its own options (-platform, -style, ...) out of
    // the arguments by now, so only the viewer's remain.
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zeigt die Hilfedateien in den Suchordnern der Datei Path."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("datei"),
        QStringLiteral("Zuerst gezeigte Hilfedatei: ein Name (mit oder ohne .zkhelp), gesucht in "
                       "den Suchordnern, der Pfad einer Hilfedatei oder eine Adresse "
                       "zkhelp:NAME[?lang=SPRACHE][#ABSCHNITT]."),
        QStringLiteral("[datei]"));
    parser.process(app);

    MainWindow window(parser.positionalArguments().value(0));
    window.show();
    return app.exec();
}
