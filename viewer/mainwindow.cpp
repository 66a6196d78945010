#include "mainwindow.h"

#include "helplinks.h"
#include "screenpage.h"
#include "searchquery.h"
#include "ui_mainwindow.h"

#include <QAbstractTextDocumentLayout>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidgetItem>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QUrl>

namespace {

const QString helpExtension = QStringLiteral(".zkhelp");

// Where a full-text hit leads, kept on its entry in the result list.
constexpr int languageRole = Qt::UserRole + 1;
constexpr int sectionRole = Qt::UserRole + 2;

// Far more than a reader looks through, few enough to list at once.
constexpr int shownHits = 500;
// A slice of indexing plus the commit after it (which grows with the slice)
// leaves the event loop free well within 50 ms.
constexpr int indexSliceMilliseconds = 8;
constexpr int minZoomSteps = -8;
constexpr int maxZoomSteps = 20;

QSettings windowSettings()
{
    return QSettings(QStringLiteral("zkhelp"), QStringLiteral("zkhelp_viewer"));
}

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
    setUpActions();
    restoreSettings();

    collection = ZkHelp::HelpCollection::forWorkingFolder(QCoreApplication::applicationDirPath());
    loadFileList(QString());

    searchDelay.setSingleShot(true);
    searchDelay.setInterval(200);
    connect(&searchDelay, &QTimer::timeout, this, &MainWindow::runFullTextSearch);
    connect(&indexTimer, &QTimer::timeout, this, &MainWindow::indexSome);
    startIndexing();

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
    openTopic(path);
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

    auto *closeFind = new QAction(ui->findBar);
    closeFind->setShortcut(Qt::Key_Escape);
    closeFind->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ui->findBar->addAction(closeFind);
    connect(closeFind, &QAction::triggered, this, &MainWindow::closeFindBar);
    updateHistoryActions();
}

void MainWindow::restoreSettings()
{
    const QSettings settings = windowSettings();
    restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
    ui->splitter->restoreState(settings.value(QStringLiteral("splitter")).toByteArray());
    zoomBy(settings.value(QStringLiteral("zoom"), 0).toInt());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    QSettings settings = windowSettings();
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("splitter"), ui->splitter->saveState());
    settings.setValue(QStringLiteral("zoom"), zoomSteps);
    QMainWindow::closeEvent(event);
}

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
        openTopic(chosen.first());
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
    openTopic(item->data(Qt::UserRole).toString());
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
    openTopic(path);
}

// A new step after the one on screen; the steps ahead of it are dropped.
// Showing the topic on screen again is no step of its own.
void MainWindow::openTopic(const QString &path, const QString &language)
{
    if (historyIndex < 0 || history.at(historyIndex).path != path) {
        if (historyIndex >= 0)
            history[historyIndex].language = ui->languageComboBox->currentText();
        history.resize(historyIndex + 1);
        history.append({path, QString()});
        ++historyIndex;
    }
    loadDocument(path);
    showLanguage(language);
    updateHistoryActions();
}

void MainWindow::goToStep(qsizetype step)
{
    history[historyIndex].language = ui->languageComboBox->currentText();
    historyIndex = step;
    loadDocument(history.at(step).path);
    showLanguage(history.at(step).language);
    updateHistoryActions();
}

void MainWindow::updateHistoryActions()
{
    ui->actionBack->setEnabled(historyIndex > 0);
    ui->actionForward->setEnabled(historyIndex + 1 < history.size());
}

void MainWindow::on_actionBack_triggered()
{
    if (historyIndex > 0)
        goToStep(historyIndex - 1);
}

void MainWindow::on_actionForward_triggered()
{
    if (historyIndex + 1 < history.size())
        goToStep(historyIndex + 1);
}

void MainWindow::showLanguage(const QString &language)
{
    if (!language.isEmpty() && ui->languageComboBox->findText(language) >= 0)
        ui->languageComboBox->setCurrentText(language);
}

// Section k is the k-th third-level heading of the page; -1 is the top.
void MainWindow::scrollToSection(int sectionIndex)
{
    QTextDocument *document = ui->contentBrowser->document();
    int heading = -1;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (sectionIndex < 0 || block.blockFormat().headingLevel() != 3 ||
            ++heading != sectionIndex)
            continue;
        ui->contentBrowser->setTextCursor(QTextCursor(block));
        const QRectF place = document->documentLayout()->blockBoundingRect(block);
        ui->contentBrowser->verticalScrollBar()->setValue(int(place.top()));
        return;
    }
    ui->contentBrowser->verticalScrollBar()->setValue(0);
}

void MainWindow::startIndexing()
{
    index.beginUpdate(collection);
    if (index.pendingCount() > 0)
        indexTimer.start(0);
    indexSome();
}

// One slice of indexing; searching meanwhile answers from what is done.
void MainWindow::indexSome()
{
    if (!index.continueUpdate(QDeadlineTimer(indexSliceMilliseconds))) {
        statusBar()->showMessage(QStringLiteral("Index: %1 von %2 Dateien")
                                     .arg(index.fileCount() - index.pendingCount())
                                     .arg(index.fileCount()));
        return;
    }
    if (!indexTimer.isActive())
        return;
    indexTimer.stop();
    statusBar()->clearMessage();
    if (!ui->searchResultsList->isHidden())
        runFullTextSearch();
}

void MainWindow::on_fullTextLineEdit_textChanged(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        searchDelay.stop();
        ui->searchResultsList->clear();
        ui->searchResultsList->hide();
        return;
    }
    searchDelay.start();
}

void MainWindow::runFullTextSearch()
{
    const QString query = ui->fullTextLineEdit->text();
    if (query.trimmed().isEmpty())
        return;
    // Files changed since the last update count too.
    if (!indexTimer.isActive())
        startIndexing();
    QListWidget *list = ui->searchResultsList;
    list->clear();
    const QList<ZkHelp::SearchHit> hits = index.search(query, shownHits);
    // An index the search found damaged is rebuilt in slices too.
    if (index.pendingCount() > 0 && !indexTimer.isActive())
        indexTimer.start(0);
    for (const ZkHelp::SearchHit &hit : hits) {
        QString text =
            QFileInfo(hit.path).completeBaseName() + QStringLiteral(" (") + hit.language + u')';
        if (hit.sectionIndex >= 0)
            text += QStringLiteral(": ") + hit.section;
        auto *item = new QListWidgetItem(text, list);
        item->setToolTip(hit.snippet);
        item->setData(Qt::UserRole, hit.path);
        item->setData(languageRole, hit.language);
        item->setData(sectionRole, hit.sectionIndex);
    }
    list->show();
    if (indexTimer.isActive())
        return;
    if (ZkHelp::SearchQuery(query).isTruncated())
        statusBar()->showMessage(ZkHelp::truncationMessage(), 5000);
    else if (hits.isEmpty())
        statusBar()->showMessage(QStringLiteral("Keine Treffer."), 3000);
}

void MainWindow::showSearchResult(const QListWidgetItem *item)
{
    openTopic(item->data(Qt::UserRole).toString(), item->data(languageRole).toString());
    scrollToSection(item->data(sectionRole).toInt());
}

void MainWindow::on_searchResultsList_itemClicked(QListWidgetItem *item)
{
    showSearchResult(item);
}

void MainWindow::on_searchResultsList_itemActivated(QListWidgetItem *item)
{
    showSearchResult(item);
}

void MainWindow::on_actionFind_triggered()
{
    ui->findBar->show();
    ui->findLineEdit->setFocus();
    ui->findLineEdit->selectAll();
}

void MainWindow::on_actionFindNext_triggered()
{
    if (ui->findBar->isHidden())
        return on_actionFind_triggered();
    findInPage(false);
}

void MainWindow::on_actionFindPrevious_triggered()
{
    if (ui->findBar->isHidden())
        return on_actionFind_triggered();
    findInPage(true);
}

void MainWindow::on_findLineEdit_returnPressed()
{
    findInPage(false);
}

// While typing, the match grows where it stands instead of moving on.
void MainWindow::on_findLineEdit_textEdited(const QString &text)
{
    Q_UNUSED(text);
    findInPage(false, true);
}

// Goes round the page's end; a text found nowhere colours the field.
void MainWindow::findInPage(bool backward, bool fromSelectionStart)
{
    const QString text = ui->findLineEdit->text();
    QTextCursor found;
    if (!text.isEmpty()) {
        QTextDocument *document = ui->contentBrowser->document();
        QTextCursor from = ui->contentBrowser->textCursor();
        if (fromSelectionStart)
            from.setPosition(from.selectionStart());
        const QTextDocument::FindFlags flags =
            backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
        found = document->find(text, from, flags);
        if (found.isNull()) {
            QTextCursor wrapped(document);
            if (backward)
                wrapped.movePosition(QTextCursor::End);
            found = document->find(text, wrapped, flags);
        }
        if (!found.isNull())
            ui->contentBrowser->setTextCursor(found);
    }
    QPalette palette;
    if (!text.isEmpty() && found.isNull())
        palette.setColor(QPalette::Base, QColor(255, 190, 190));
    ui->findLineEdit->setPalette(palette);
}

void MainWindow::closeFindBar()
{
    ui->findBar->hide();
    ui->findLineEdit->setPalette(QPalette());
    ui->contentBrowser->setFocus();
}

void MainWindow::zoomBy(int steps)
{
    const int target = qBound(minZoomSteps, zoomSteps + steps, maxZoomSteps);
    ui->contentBrowser->zoomIn(target - zoomSteps);
    zoomSteps = target;
}

void MainWindow::on_actionZoomIn_triggered()
{
    zoomBy(1);
}

void MainWindow::on_actionZoomOut_triggered()
{
    zoomBy(-1);
}

void MainWindow::on_actionZoomReset_triggered()
{
    zoomBy(-zoomSteps);
}

void MainWindow::on_actionPrint_triggered()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        ui->contentBrowser->print(&printer);
}

void MainWindow::on_actionSavePdf_triggered()
{
    const QString topic = historyIndex < 0
                              ? QStringLiteral("hilfe")
                              : QFileInfo(history.at(historyIndex).path).completeBaseName();
    QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("Als PDF speichern"),
                                     QDir::home().filePath(topic + QStringLiteral(".pdf")),
                                     QStringLiteral("PDF-Dateien (*.pdf)"));
    if (file.isEmpty())
        return;
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        file += QStringLiteral(".pdf");
    // Written beside the target and put in its place only when complete, so
    // a failed write leaves an older file of that name as it was.
    QTemporaryFile part(file + QStringLiteral(".XXXXXX"));
    bool written = part.open();
    if (written) {
        part.close();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(part.fileName());
        ui->contentBrowser->document()->print(&printer);
        written = QFileInfo(part.fileName()).size() > 0 &&
                  (!QFileInfo::exists(file) || QFile::remove(file)) &&
                  QFile::rename(part.fileName(), file);
    }
    if (!written)
        QMessageBox::critical(this, QStringLiteral("Fehler"),
                              QStringLiteral("PDF konnte nicht geschrieben werden:\n") + file);
}
