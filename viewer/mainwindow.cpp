#include "mainwindow.h"

#include "helpaddress.h"
#include "htmlexportdialog.h"
#include "readeractions.h"
#include "searchpanel.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidgetItem>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>

namespace {

QSettings windowSettings()
{
    return QSettings(QStringLiteral("zkhelp"), QStringLiteral("zkhelp_viewer"));
}

} // namespace

MainWindow::MainWindow(const QString &startFile, QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    restoreSettings();
    setUpReaderActions(this, *ui);
    updateHistoryActions();
    connect(ui->contentBrowser, &TopicView::helpLinkClicked, this, &MainWindow::openLink);
    connect(ui->actionOpen, &QAction::triggered, this, &MainWindow::showOpenDialog);
    connect(ui->fileListWidget, &QListWidget::itemClicked, this, &MainWindow::openEntry);
    connect(ui->fileListWidget, &QListWidget::itemActivated, this, &MainWindow::openEntry);

    const QString programFolder = QCoreApplication::applicationDirPath();
    collection = ZkHelp::HelpCollection::forWorkingFolder(programFolder);
    ui->contentBrowser->showPlaceholder(renderStartPage(
        collection,
        QDir::current().absoluteFilePath(ZkHelp::HelpCollection::workingPathFile(programFolder))));
    loadFileList(QString());
    connectSearch();

    const QString path = startFile.isEmpty() ? QString() : resolveStartFile(collection, startFile);
    if (!path.isEmpty())
        openLinked(path, startFile);
    else if (!startFile.isEmpty() || ui->fileListWidget->count() == 0)
        QTimer::singleShot(0, this, &MainWindow::showOpenDialog);
}

MainWindow::~MainWindow() = default;

void MainWindow::connectSearch()
{
    auto *search = new SearchPanel(collection, ui->fullTextLineEdit, ui->searchResultsList, this);
    connect(search, &SearchPanel::hitActivated, this, &MainWindow::showSearchHit);
    search->reportTo(statusBar());
    search->updateIndex();
}

void MainWindow::restoreSettings()
{
    const QSettings settings = windowSettings();
    restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
    ui->splitter->restoreState(settings.value(QStringLiteral("splitter")).toByteArray());
    ui->contentBrowser->zoomBy(settings.value(QStringLiteral("zoom"), 0).toInt());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    QSettings settings = windowSettings();
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("splitter"), ui->splitter->saveState());
    settings.setValue(QStringLiteral("zoom"), ui->contentBrowser->zoom());
    QMainWindow::closeEvent(event);
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
    markShownEntry();
}

void MainWindow::markShownEntry()
{
    const QString shown = QFileInfo(history.currentPath()).absoluteFilePath();
    QListWidget *list = ui->fileListWidget;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->data(Qt::UserRole).toString() == shown)
            return list->setCurrentRow(row);
    }
    list->setCurrentItem(nullptr);
}

void MainWindow::showOpenDialog()
{
    const QString chosen = askForHelpFile(this, collection.searchPaths());
    if (!chosen.isEmpty())
        openTopic(chosen);
}

// Shows the topic at path in language, or in its first language when it has
// none of that name.
void MainWindow::loadDocument(const QString &path, const QString &language)
{
    addressedSection.clear();
    ScreenTopic topic = readScreenTopic(collection, path);
    {
        // The refill passes through states that are not worth a render.
        const QSignalBlocker blocker(ui->languageComboBox);
        ui->languageComboBox->clear();
        ui->languageComboBox->insertItems(0, topic.data.languages.keys());
        ui->languageComboBox->setCurrentText(language);
    }
    setWindowTitle(topic.name + QStringLiteral(" – ZK-Hilfe-Betrachter"));
    ui->contentBrowser->showTopic(std::move(topic), ui->languageComboBox->currentText());
    markShownEntry();
}

void MainWindow::on_searchLineEdit_textChanged(const QString &arg1)
{
    loadFileList(arg1);
}

void MainWindow::openEntry(QListWidgetItem *item)
{
    openTopic(item->data(Qt::UserRole).toString());
}

void MainWindow::on_languageComboBox_currentIndexChanged(int index)
{
    Q_UNUSED(index);
    ui->contentBrowser->showLanguage(ui->languageComboBox->currentText());
}

void MainWindow::on_exportButton_clicked()
{
    const QString path = history.currentPath();
    if (path.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Export"),
                             QStringLiteral("Bitte wählen Sie eine Datei aus der Liste."));
        return;
    }
    exportAsHtml(this, path, collection);
}

void MainWindow::openLink(const QString &name)
{
    const QString path = linkedHelpFile(collection, name);
    if (path.isEmpty()) {
        QMessageBox::information(this, QStringLiteral("Link"),
                                 QStringLiteral("Datei nicht gefunden:\n") + name);
        return;
    }
    openLinked(path, name);
}

AddressedPlace MainWindow::openLinked(const QString &path, const QString &link)
{
    const AddressedPlace place = addressedPlace(collection, path, link, QLocale().uiLanguages());
    openTopic(path, place.language);
    ui->contentBrowser->scrollToSection(place.section);
    if (!place.missing.isEmpty())
        statusBar()->showMessage(place.missing);
    if (place.section >= 0)
        addressedSection = ZkHelp::HelpAddress::parse(link)->section;
    return place;
}

MainWindow::AddressAnswer MainWindow::showAddress(const QString &address)
{
    const QString path = linkedHelpFile(collection, address);
    if (path.isEmpty()) {
        const QString name = ZkHelp::linkedHelpName(address);
        statusBar()->showMessage(QStringLiteral("Datei nicht gefunden: ") +
                                 (name.isEmpty() ? address : name));
        return {};
    }
    statusBar()->clearMessage();
    return {openLinked(path, address).missing.isEmpty(), currentAddress()};
}

QString MainWindow::currentAddress() const
{
    const QString name = collection.nameOf(history.currentPath());
    if (name.isEmpty())
        return QString();
    return ZkHelp::HelpAddress{name, ui->languageComboBox->currentText(), addressedSection}
        .toString();
}

// Without a language of its own, a topic keeps the one on screen.
void MainWindow::openTopic(const QString &path, const QString &language)
{
    const ReadingHistory::Place left = currentPlace();
    history.visit(path, left);
    loadDocument(path, language.isEmpty() ? left.language : language);
    updateHistoryActions();
}

void MainWindow::showStep(const ReadingHistory::Step &step)
{
    loadDocument(step.path, step.place.language);
    ui->contentBrowser->setScrollPosition(step.place.scroll);
    updateHistoryActions();
}

ReadingHistory::Place MainWindow::currentPlace() const
{
    return {ui->languageComboBox->currentText(), ui->contentBrowser->scrollPosition()};
}

void MainWindow::updateHistoryActions()
{
    ui->actionBack->setEnabled(history.canGoBack());
    ui->actionForward->setEnabled(history.canGoForward());
}

void MainWindow::on_actionBack_triggered()
{
    if (history.canGoBack())
        showStep(history.back(currentPlace()));
}

void MainWindow::on_actionForward_triggered()
{
    if (history.canGoForward())
        showStep(history.forward(currentPlace()));
}

void MainWindow::showSearchHit(const QString &path, const QString &language, int sectionIndex,
                               const QStringList &words)
{
    openTopic(path, language);
    ui->contentBrowser->scrollToSection(sectionIndex);
    ui->contentBrowser->highlight(words);
}

void MainWindow::on_actionSavePdf_triggered()
{
    const QString path = history.currentPath();
    const QString topic =
        path.isEmpty() ? QStringLiteral("hilfe") : QFileInfo(path).completeBaseName();
    ui->contentBrowser->savePdfWithDialog(topic);
}
