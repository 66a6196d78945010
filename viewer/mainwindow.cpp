#include "mainwindow.h"

#include "helpfilechoice.h"
#include "htmlexportdialog.h"
#include "searchpanel.h"
#include "searchquery.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QListWidgetItem>
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
    setUpActions();
    connectFindBar();
    connect(ui->contentBrowser, &TopicView::helpLinkClicked, this, &MainWindow::openLink);
    restoreSettings();

    collection = ZkHelp::HelpCollection::forWorkingFolder(QCoreApplication::applicationDirPath());
    loadFileList(QString());
    connectSearch();

    const QString path = startFile.isEmpty() ? QString() : resolveStartFile(collection, startFile);
    if (!path.isEmpty())
        openTopic(path);
    else if (!startFile.isEmpty() || ui->fileListWidget->count() == 0)
        QTimer::singleShot(0, this, &MainWindow::showStartupDialog);
}

MainWindow::~MainWindow() = default;

void MainWindow::setUpActions()
{
    ui->actionBack->setShortcut(QKeySequence::Back);
    ui->actionForward->setShortcut(QKeySequence::Forward);
    ui->actionBack->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    ui->actionForward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    ui->actionFind->setShortcut(QKeySequence::Find);
    ui->actionFindNext->setShortcut(Qt::Key_F3);
    ui->actionFindPrevious->setShortcut(Qt::SHIFT | Qt::Key_F3);
    ui->actionZoomIn->setShortcut(QKeySequence::ZoomIn);
    ui->actionZoomOut->setShortcut(QKeySequence::ZoomOut);
    ui->actionZoomReset->setShortcut(Qt::CTRL | Qt::Key_0);
    ui->actionPrint->setShortcut(QKeySequence::Print);
    // Not on the tool bar, yet their keys work anywhere in the window.
    addActions({ui->actionFindNext, ui->actionFindPrevious});
    updateHistoryActions();

    TopicView *view = ui->contentBrowser;
    connect(ui->actionZoomIn, &QAction::triggered, view, [view] { view->zoomBy(1); });
    connect(ui->actionZoomOut, &QAction::triggered, view, [view] { view->zoomBy(-1); });
    connect(ui->actionZoomReset, &QAction::triggered, view, &TopicView::resetZoom);
    connect(ui->actionPrint, &QAction::triggered, view, &TopicView::printWithDialog);
}

void MainWindow::connectFindBar()
{
    FindBar *bar = ui->findBar;
    TopicView *view = ui->contentBrowser;
    connect(ui->actionFind, &QAction::triggered, bar, &FindBar::open);
    connect(ui->actionFindNext, &QAction::triggered, bar, &FindBar::findNext);
    connect(ui->actionFindPrevious, &QAction::triggered, bar, &FindBar::findPrevious);
    const auto findOnPage = [bar, view](bool backward, bool fromSelectionStart) {
        return [=](const QString &text) {
            bar->showFound(view->findInPage(text, backward, fromSelectionStart));
        };
    };
    connect(bar, &FindBar::find, view, findOnPage(false, true));
    connect(bar, &FindBar::next, view, findOnPage(false, false));
    connect(bar, &FindBar::previous, view, findOnPage(true, false));
    connect(bar, &FindBar::closed, view, qOverload<>(&QWidget::setFocus));
}

void MainWindow::connectSearch()
{
    auto *search = new SearchPanel(collection, ui->fullTextLineEdit, ui->searchResultsList, this);
    connect(search, &SearchPanel::hitActivated, this, &MainWindow::showSearchHit);
    connect(search, &SearchPanel::indexProgress, this, [this](qsizetype indexed, qsizetype total) {
        statusBar()->showMessage(
            QStringLiteral("Index: %1 von %2 Dateien").arg(indexed).arg(total));
    });
    connect(search, &SearchPanel::indexFinished, statusBar(), &QStatusBar::clearMessage);
    connect(search, &SearchPanel::nothingFound, this,
            [this] { statusBar()->showMessage(QStringLiteral("Keine Treffer."), 3000); });
    connect(search, &SearchPanel::queryShortened, this,
            [this] { statusBar()->showMessage(ZkHelp::truncationMessage(), 5000); });
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
}

void MainWindow::showStartupDialog()
{
    const QString chosen = askForHelpFile(this, collection.searchPaths());
    if (!chosen.isEmpty())
        openTopic(chosen);
}

// Shows the topic at path in language, or in its first language when it has
// none of that name.
void MainWindow::loadDocument(const QString &path, const QString &language)
{
    ZkHelp::HelpData topic = collection.fileData(path);
    {
        // The refill passes through states that are not worth a render.
        const QSignalBlocker blocker(ui->languageComboBox);
        ui->languageComboBox->clear();
        ui->languageComboBox->insertItems(0, topic.languages.keys());
        ui->languageComboBox->setCurrentText(language);
    }
    ui->contentBrowser->showTopic(std::move(topic), ui->languageComboBox->currentText());
}

void MainWindow::on_searchLineEdit_textChanged(const QString &arg1)
{
    loadFileList(arg1);
}

void MainWindow::on_fileListWidget_itemClicked(QListWidgetItem *item)
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
    const QListWidgetItem *item = ui->fileListWidget->currentItem();
    if (!item) {
        QMessageBox::warning(this, QStringLiteral("Export"),
                             QStringLiteral("Bitte wählen Sie eine Datei aus der Liste."));
        return;
    }
    exportAsHtml(this, item->text(), collection);
}

void MainWindow::openLink(const QString &name)
{
    const QString path = collection.findFile(name);
    if (!isHelpFile(path)) {
        QMessageBox::information(this, QStringLiteral("Link"),
                                 QStringLiteral("Datei nicht gefunden:\n") + name);
        return;
    }
    openTopic(path);
}

void MainWindow::openTopic(const QString &path, const QString &language)
{
    history.visit(path, currentPlace());
    loadDocument(path, language);
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

void MainWindow::showSearchHit(const QString &path, const QString &language, int sectionIndex)
{
    openTopic(path, language);
    ui->contentBrowser->scrollToSection(sectionIndex);
}

void MainWindow::on_actionSavePdf_triggered()
{
    const QString path = history.currentPath();
    const QString topic =
        path.isEmpty() ? QStringLiteral("hilfe") : QFileInfo(path).completeBaseName();
    ui->contentBrowser->savePdfWithDialog(topic);
}
