// Entry of zkhelp_editor: opens the project named on the command line, if any.
#include "mainwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

// The project file that argument names: the file itself, or the one project
// file in a folder. A folder with none or several is refused rather than
// guessed at, as is any other file, which opening would later overwrite with
// a project list. On refusal the result is empty and error says why.
QString projectFileFor(const QString &argument, QString &error)
{
    const QFileInfo info(argument);
    if (info.isDir()) {
        const QDir folder(argument);
        const QStringList found =
            folder.entryList({QStringLiteral("*.zkproject")}, QDir::Files, QDir::Name);
        if (found.size() == 1)
            return folder.absoluteFilePath(found.first());
        error = found.isEmpty()
                    ? QStringLiteral("Kein Projekt (*.zkproject) im Ordner: %1").arg(argument)
                    : QStringLiteral("Mehrere Projekte im Ordner %1, bitte eines angeben: %2")
                          .arg(argument, found.join(QStringLiteral(", ")));
        return QString();
    }
    if (!info.isFile()) {
        error = QStringLiteral("Projekt nicht gefunden: %1").arg(argument);
        return QString();
    }
    if (info.suffix().compare(QStringLiteral("zkproject"), Qt::CaseInsensitive) != 0) {
        error = QStringLiteral("Keine Projektdatei (*.zkproject): %1").arg(argument);
        return QString();
    }
    return info.absoluteFilePath();
}

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
        const QString projectFile = projectFileFor(arguments.first(), error);
        if (projectFile.isEmpty())
            return refuse(error);
        if (!window.openProjectPath(projectFile))
            return refuse(QStringLiteral("Projekt kann nicht gelesen werden: %1").arg(projectFile));
    }
    window.show();
    return app.exec();
}
