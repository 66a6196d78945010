#include "helpfilechoice.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

bool isHelpFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString resolveStartFile(const ZkHelp::HelpCollection &collection, const QString &startFile)
{
    const QString candidates[] = {collection.findFile(startFile), startFile,
                                  startFile + ZkHelp::helpFileExtension};
    for (const QString &candidate : candidates) {
        if (isHelpFile(candidate))
            return candidate;
    }
    return QString();
}

QString askForHelpFile(QWidget *parent, const QList<QString> &searchPaths)
{
    QFileDialog dialog(parent, QString(), QString(), QString());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("ZK Help Files (*.zkhelp)"));
    dialog.setWindowTitle(QStringLiteral("Hilfe-Datei öffnen"));

    QList<QUrl> places = dialog.sidebarUrls();
    for (const QString &folder : searchPaths)
        places.prepend(QUrl::fromLocalFile(folder));
    dialog.setSidebarUrls(places);
    if (!searchPaths.isEmpty())
        dialog.setDirectory(searchPaths.first());

    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
