// The editor window: the tree, the page, menu, disk watch and recovery wired
// to it, the document and project commands, and the one question asked
// before edits would be dropped.
#include "mainwindow.h"
#include "projecttree.h"
#include "prompts.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QStandardPaths>
#include <QStyle>
#include <QTreeWidgetItemIterator>

#include <algorithm>

using ZkHelp::HelpData;
using namespace ProjectTree;

MainWindow::MainWindow(const QString &searchPathFile, QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
    , projectManager(searchPathFile)
    , recovery(
          session,
          QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
              QStringLiteral("/recovery"),
          [this](const ZkHelp::RecoveryController::Offer &offer) {
              return Prompts::recovery(this, offer);
          },
          [this] { return ui->editorStack->typed(session); }, this)
    , disk(
          session, [this](const QString &path) { return Prompts::diskVersion(this, path); }, this)
    , menu(session, this)
{
    ui->setupUi(this);
    warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    ui->projectTree->setContextMenuPolicy(Qt::CustomContextMenu);
    // All rows are one line high; saying so spares the view measuring 26,000
    // of them after each rebuild of a large project.
    ui->projectTree->setUniformRowHeights(true);
    connect(ui->editorStack, &NodePage::saveRequested, this, &MainWindow::on_actionSave_triggered);
    // Whatever is typed reaches the recovery folder within a second.
    connect(ui->editorStack, &NodePage::edited, &recovery, &ZkHelp::RecoveryController::schedule);
    connect(&recovery, &ZkHelp::RecoveryController::restored, this, &MainWindow::redrawTree);
    connect(&disk, &ZkHelp::DiskWatch::aboutToCheck, this, &MainWindow::syncUiToData);
    connect(&disk, &ZkHelp::DiskWatch::reloaded, this, [this] {
        redrawTree();
        recovery.schedule();
    });
    connect(&disk, &ZkHelp::DiskWatch::overwriteChosen, this, &MainWindow::writeFile);
    connect(&disk, &ZkHelp::DiskWatch::message, this,
            [this](const QString &text) { statusBar()->showMessage(text, 2000); });
    connect(&menu, &NodeMenu::aboutToEdit, this, &MainWindow::syncUiToData);
    connect(&menu, &NodeMenu::structureEdited, this, &MainWindow::writeStructure);
    connect(&menu, &NodeMenu::fileRemovalConfirmed, this, &MainWindow::removeFile);
}

MainWindow::~MainWindow() = default;

void MainWindow::loadProjectView()
{
    ui->projectTree->clear();
    currentItem = nullptr;
    ui->editorStack->release();
    setWindowTitle(tr("Editor - %1").arg(projectManager.projectName));

    session.load(projectManager.projectDir, projectManager.files);
    session.setPreferredReference(projectManager.referenceLanguage());
    recovery.setProject(projectManager.projectDir);
    redrawTree();
}

// Draws the tree from the documents held, without reading a file; the node
// that was current stays so when it is still there.
void MainWindow::redrawTree()
{
    const NodeRef shown = currentItem ? nodeOf(currentItem) : NodeRef();
    ui->projectTree->clear();
    currentItem = nullptr;
    ProjectTree::build(ui->projectTree, projectManager.projectDir, projectManager.files, session);
    ui->projectTree->expandAll();
    projectLanguages = session.languages();
    for (QTreeWidgetItemIterator it(ui->projectTree); *it; ++it) {
        if (kindOf(*it) == KindFile)
            markStatus(*it);
    }
    if (QTreeWidgetItem *item = ProjectTree::find(ui->projectTree, shown)) {
        ui->projectTree->setCurrentItem(item);
        on_projectTree_itemClicked(item, 0);
        return;
    }
    ui->editorStack->release();
}

void MainWindow::on_projectTree_itemClicked(QTreeWidgetItem *item, int)
{
    if (currentItem && currentItem != item)
        syncUiToData();
    currentItem = item;
    ui->editorStack->show(nodeOf(item), session);
}

void MainWindow::syncUiToData()
{
    HelpData *doc = currentItem ? session.document(ui->editorStack->node().path) : nullptr;
    if (!doc || !ui->editorStack->apply(*doc))
        return;
    if (kindOf(currentItem) == KindSection)
        currentItem->setText(0, ui->editorStack->sectionName());
    QTreeWidgetItem *fileNode = currentItem;
    while (fileNode && kindOf(fileNode) != KindFile)
        fileNode = fileNode->parent();
    markStatus(fileNode);
}

void MainWindow::markStatus(QTreeWidgetItem *fileNode)
{
    if (!fileNode)
        return;
    ProjectTree::markStatus(fileNode, session.findings(nodeOf(fileNode).path, projectLanguages),
                            warningIcon, fileIcon);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->setAccepted(maybeSave());
    if (event->isAccepted())
        recovery.finish();
}

bool MainWindow::saveFile(const QString &filePath)
{
    const auto decision = disk.confirmBeforeWrite(filePath);
    if (decision != ZkHelp::DiskWatch::Decision::Write)
        return decision == ZkHelp::DiskWatch::Decision::Discarded;
    return writeFile(filePath);
}

// Writes the document of filePath as it is, whatever the disk holds now.
bool MainWindow::writeFile(const QString &filePath)
{
    recovery.schedule();
    if (!session.save(filePath)) {
        reportSaveFailure();
        return false;
    }
    markStatus(ProjectTree::find(ui->projectTree, {KindFile, filePath, {}, 0}));
    statusBar()->showMessage(tr("Gespeichert: %1").arg(QFileInfo(filePath).fileName()), 2000);
    return true;
}

void MainWindow::reportSaveFailure()
{
    Prompts::box(this, QMessageBox::Critical, tr("Fehler"), tr("Speichern fehlgeschlagen."),
                 QMessageBox::Ok, session.errorString());
}

// Asked before every command that would drop documents from memory. Returns
// whether the command may go on; exceptFile is the one the command itself
// writes or deletes.
bool MainWindow::maybeSave(const QString &exceptFile)
{
    syncUiToData();
    QStringList changed = session.changedFiles();
    changed.removeAll(exceptFile);
    if (changed.isEmpty())
        return true;
    const auto answer = QMessageBox::question(
        this, tr("Ungespeicherte Änderungen"),
        tr("Es gibt ungespeicherte Änderungen. Jetzt speichern?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard) {
        recovery.discard();
        return true;
    }
    if (answer != QMessageBox::Save)
        return false;
    return std::all_of(changed.cbegin(), changed.cend(),
                       [this](const QString &path) { return saveFile(path); });
}

void MainWindow::on_actionSave_triggered()
{
    if (!currentItem)
        return;
    syncUiToData();
    saveFile(nodeOf(currentItem).path);
}

void MainWindow::on_projectTree_customContextMenuRequested(const QPoint &pos)
{
    if (QTreeWidgetItem *item = ui->projectTree->itemAt(pos))
        menu.popup(nodeOf(item), ui->projectTree->viewport()->mapToGlobal(pos));
}

// Writes a language or section change of one file and rebuilds. Edits of
// other files would be dropped by the rebuild, so they are asked about
// first; a failed write keeps the document in memory as it was, edits
// included, instead of rebuilding it away.
void MainWindow::writeStructure(const QString &filePath, const HelpData &changed)
{
    if (!maybeSave(filePath) ||
        disk.confirmBeforeWrite(filePath) != ZkHelp::DiskWatch::Decision::Write)
        return;
    recovery.schedule();
    if (session.replaceAndSave(filePath, changed))
        loadProjectView();
    else
        reportSaveFailure();
}

void MainWindow::removeFile(const QString &filePath)
{
    if (!maybeSave(filePath))
        return;
    projectManager.removeFileFromProject(filePath, true);
    loadProjectView();
    ui->editorStack->clear();
}

void MainWindow::on_actionNewProject_triggered()
{
    if (!maybeSave())
        return;
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Projektordner wählen"),
                                                             QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("Neues Projekt"), tr("Projektname:"),
                                               QLineEdit::Normal, tr("MeinProjekt"), &ok);
    if (!ok || name.isEmpty())
        return;
    if (!projectManager.createProject(folder, name)) {
        Prompts::box(this, QMessageBox::Critical, tr("Fehler"),
                     tr("Projekt konnte nicht angelegt werden."), QMessageBox::Ok,
                     projectManager.errorString());
        return;
    }
    loadProjectView();
    recovery.offer();
    QMessageBox::information(this, tr("Info"), tr("Projekt erstellt!"));
}

void MainWindow::on_actionOpenProject_triggered()
{
    if (!maybeSave())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Projekt öffnen"), QDir::homePath(),
                                                      tr("Projekte (*.zkproject)"));
    if (!path.isEmpty())
        openProjectPath(path);
}

void MainWindow::on_actionNewFile_triggered()
{
    if (projectManager.projectDir.isEmpty()) {
        QMessageBox::warning(this, tr("Info"), tr("Bitte erst ein Projekt öffnen/erstellen."));
        return;
    }
    if (!maybeSave())
        return;
    QFileDialog dialog(this, tr("Neue Datei"), projectManager.projectDir, tr("Hilfe (*.zkhelp)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without extension would otherwise never become a member.
    dialog.setDefaultSuffix(ZkHelp::helpFileExtension.mid(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;

    if (!session.createFile(dialog.selectedFiles().constFirst())) {
        Prompts::box(this, QMessageBox::Critical, tr("Fehler"),
                     tr("Datei konnte nicht angelegt werden."), QMessageBox::Ok,
                     session.errorString());
        return;
    }
    projectManager.refreshFileList();
    projectManager.saveProject();
    loadProjectView();
}

void MainWindow::on_actionReload_triggered()
{
    if (projectManager.projectDir.isEmpty() || !maybeSave())
        return;
    projectManager.refreshFileList();
    loadProjectView();
}

void MainWindow::on_actionReferenceLanguage_triggered()
{
    if (projectManager.projectDir.isEmpty()) {
        QMessageBox::warning(this, tr("Info"), tr("Kein Projekt geöffnet."));
        return;
    }
    const QString automatic = tr("(erste Sprache jeder Datei)");
    const QStringList choices = QStringList{automatic} + projectLanguages;
    bool ok = false;
    const QString chosen = QInputDialog::getItem(
        this, tr("Referenzsprache"), tr("Übersetzt wird aus:"), choices,
        std::max(0, int(choices.indexOf(session.preferredReferenceLanguage()))), false, &ok);
    if (!ok)
        return;
    const QString key = chosen == automatic ? QString() : chosen;
    projectManager.setReferenceLanguage(key);
    syncUiToData();
    session.setPreferredReference(key);
    redrawTree();
}

void MainWindow::on_actionRegisterPath_triggered()
{
    if (projectManager.projectDir.isEmpty()) {
        QMessageBox::warning(this, tr("Info"), tr("Kein Projekt geöffnet."));
        return;
    }
    if (projectManager.registerPathInGlobalConfig())
        QMessageBox::information(this, tr("Info"),
                                 tr("Pfad (inkl. Unterordner) wurde registriert."));
    else
        Prompts::box(this, QMessageBox::Warning, tr("Info"),
                     tr("Pfad konnte nicht registriert werden."), QMessageBox::Ok,
                     projectManager.errorString());
}

bool MainWindow::openProjectPath(const QString &path)
{
    if (!projectManager.openProject(path))
        return false;
    loadProjectView();
    recovery.offer();
    return true;
}
