#include "htmlexportdialog.h"

#include "htmlexporter.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

void exportAsHtml(QWidget *parent, const QString &path, const ZkHelp::HelpCollection &collection)
{
    // The export finds its first page by name too; a topic opened from
    // elsewhere, or hidden by one of that name earlier in the folders, is
    // found first in its own folder.
    const QFileInfo file(path);
    const QString name = file.completeBaseName();
    ZkHelp::HelpCollection folders = collection;
    if (QFileInfo(collection.findFile(name)) != file)
        folders =
            ZkHelp::HelpCollection(QList<QString>{file.absolutePath()} + collection.searchPaths());
    const QString folder =
        QFileDialog::getExistingDirectory(parent, QStringLiteral("Export-Ordner wählen"),
                                          QDir::homePath(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    QString reason;
    if (ZkHelp::HtmlExporter().exportPackage(name, folder, folders, &reason)) {
        QMessageBox done(QMessageBox::Information, QStringLiteral("Erfolg"),
                         QStringLiteral("Export nach:\n") + folder, QMessageBox::Ok, parent);
        const QAbstractButton *open =
            done.addButton(QStringLiteral("Ordner öffnen"), QMessageBox::ActionRole);
        done.exec();
        if (done.clickedButton() == open)
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"),
                    QStringLiteral("Export fehlgeschlagen."), QMessageBox::Ok, parent);
    box.setInformativeText(reason);
    box.exec();
}
