// zkhelp_viewer: shows help files found along the search folders.
#include "helpaddress.h"
#include "mainwindow.h"
#include "qttranslation.h"
#include "viewerservice.h"
#include "zkhelp/helpclient.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QUrl>

namespace {

// The desktop hands files over as "file:" URLs, as its scheme handler must
// take URLs.
QString startArgument(const QString &argument)
{
    return argument.startsWith(u"file:") ? QUrl(argument).toLocalFile() : argument;
}

} // namespace

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

    const QString start = startArgument(parser.positionalArguments().value(0));
    const bool isAddress = ZkHelp::HelpAddress::isAddress(start);
    if (isAddress && ZkHelp::showInRunningViewer(start))
        return 0;
    MainWindow window(start);
    ViewerService service(&window);
    // Another viewer may have taken the name while this one started.
    if (!service.registerOnBus() && isAddress && ZkHelp::showInRunningViewer(start))
        return 0;
    window.show();
    return app.exec();
}
