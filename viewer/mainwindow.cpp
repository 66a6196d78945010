#include "mainwindow.h"

#include "screenpage.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidgetItem>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>

namespace {

const QString helpExtension = QStringLiteral(".zkhelp");

// A folder is never a help file, whatever it is called; taking one would
// show an empty page where the file dialog should have opened.
bool isFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

MainWindow::MainWindow(const QString &startFile, QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    // Every link, web and mail links included, must reach
    // on_contentBrowser_anchorClicked instead of being opened by the browser.
    ui->contentBrowser->setOpenLinks(false);

    collection = ZkHelp::HelpCollection::forWorkingFolder(QCoreApplication::applicationDirPath());
    loadFileList(QString());

    if (startFile.isEmpty()) {
        if (ui->fileListWidget->count() == 0)
            QTimer::singleShot(0, this, &MainWindow::showStartupDialog);
        return;
    }
    const QString path = resolveStartFile(startFile);
    if (path.isEmpty()) {
        QTimer::singleShot(0, this, &MainWindow::showStartupDialog);
        return;
    }
    loadDocument(path);
}

MainWindow::~MainWindow() = default;

// A bare name along the search folders first, then the argument as a path of
// its own, then that path with the extension added.
QString MainWindow::resolveStartFile(const QString &startFile) const
{
    const QString candidates[] = {collection.findFile(startFile), startFile,
                                  startFile + helpExtension};
    for (const QString &candidate : candidates) {
        if (isFile(candidate))
            return candidate;
    }
    return QString();
}

void MainWindow::loadFileList(const QString &filter)
{
    QListWidget *list = ui->fileListWidget;
    list->clear();
    const QList<QString> paths = collection.files(filter);
    for (const QString &path : paths) {
        auto *item = new QListWidgetItem(QFileInfo(path).completeBaseName());
        item->setData(Qt::UserRole, path);
        list->addItem(item);
    }
}

void MainWindow::showStartupDialog()
{
    QFileDialog dialog(this, QString(), QString(), QString());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("ZK Help Files (*.zkhelp)"));
    dialog.setWindowTitle(QStringLiteral("Hilfe-Datei öffnen"));

    QList<QUrl> places = dialog.sidebarUrls();
    const QList<QString> &searchPaths = collection.searchPaths();
    for (const QString &folder : searchPaths)
        places.prepend(QUrl::fromLocalFile(folder));
    dialog.setSidebarUrls(places);
    if (!searchPaths.isEmpty())
        dialog.setDirectory(searchPaths.first());

    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty())
        loadDocument(chosen.first());
}

void MainWindow::loadDocument(const QString &path)
{
    currentData = collection.fileData(path);
    {
        // The refill passes through states that are not worth a render.
        const QSignalBlocker blocker(ui->languageComboBox);
        ui->languageComboBox->clear();
        ui->languageComboBox->insertItems(0, currentData.languages.keys());
    }
    displayContent();
}

void MainWindow::displayContent()
{
    const QString key = ui->languageComboBox->currentText();
    const auto language = currentData.languages.constFind(key);
    if (key.isEmpty() || language == currentData.languages.constEnd()) {
        ui->contentBrowser->setText(
            QStringLiteral("<h3>Bitte wählen Sie eine Datei und Sprache aus.</h3>"));
        return;
    }
    ui->contentBrowser->setHtml(renderScreenPage(currentData, *language));
}

void MainWindow::on_searchLineEdit_textChanged(const QString &arg1)
{
    loadFileList(arg1);
}

void MainWindow::on_fileListWidget_itemClicked(QListWidgetItem *item)
{
    loadDocument(item->data(Qt::UserRole).toString());
}

void MainWindow::on_languageComboBox_currentIndexChanged(int index)
{
    Q_UNUSED(index);
    displayContent();
}

void MainWindow::on_exportButton_clicked()
{
    const QListWidgetItem *item = ui->fileListWidget->currentItem();
    if (!item) {
        QMessageBox::warning(this, QStringLiteral("Export"),
                             QStringLiteral("Bitte wählen Sie eine Datei aus der Liste."));
        return;
    }
    const QString name = item->text();
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Export-Ordner wählen"), QDir::homePath(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    QString reason;
    if (exporter.exportPackage(name, folder, collection, &reason)) {
        QMessageBox::information(this, QStringLiteral("Erfolg"),
                                 QStringLiteral("Export nach:\n") + folder);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"),
                    QStringLiteral("Export fehlgeschlagen."), QMessageBox::Ok, this);
    box.setInformativeText(reason);
    box.exec();
}

void MainWindow::on_contentBrowser_anchorClicked(const QUrl &link)
{
    if (ZkHelp::isDesktopLink(link.toString())) {
        QDesktopServices::openUrl(link);
        return;
    }
    // toString() keeps "<", ">" and "%" percent-encoded; the lookup needs the
    // name exactly as the help file wrote it.
    const QString name = QUrl::fromPercentEncoding(link.toEncoded());
    const QString path = collection.findFile(name);
    if (!isFile(path)) {
        QMessageBox::information(this, QStringLiteral("Link"),
                                 QStringLiteral("Datei nicht gefunden:\n") + name);
        return;
    }
    loadDocument(path);
}
