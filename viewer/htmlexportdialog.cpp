#include "htmlexportdialog.h"

#include "htmlexporter.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

void exportAsHtml(QWidget *parent, const QString &name, const ZkHelp::HelpCollection &collection)
{
    const QString folder =
        QFileDialog::getExistingDirectory(parent, QStringLiteral("Export-Ordner wählen"),
                                          QDir::homePath(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    QString reason;
    if (ZkHelp::HtmlExporter().exportPackage(name, folder, collection, &reason)) {
        QMessageBox::information(parent, QStringLiteral("Erfolg"),
                                 QStringLiteral("Export nach:\n") + folder);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"),
                    QStringLiteral("Export fehlgeschlagen."), QMessageBox::Ok, parent);
    box.setInformativeText(reason);
    box.exec();
}
