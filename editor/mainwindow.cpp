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
    view = std::make_unique<ProjectView>(ui->projectTree, session);
    view->bindControls(ui->treeFilterLineEdit, ui->actionNextMark, ui->actionPreviousMark);
    connect(ui->editorStack, &NodePage::saveRequested, this, &MainWindow::on_actionSave_triggered);
    // Whatever is typed reaches the recovery folder within a second.
    connect(ui->editorStack, &NodePage::edited, &recovery, &ZkHelp::RecoveryController::schedule);
    connect(ui->editorStack, &NodePage::edited, this, &MainWindow::showUnsaved);
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
    menu.bind(NodeMenu::Command::AddLanguage, ui->actionAddLanguage);
    menu.bind(NodeMenu::Command::AddSection, ui->actionAddSection, ui->projectTree);
    menu.bind(NodeMenu::Command::Confirm, ui->actionConfirm);
    menu.bind(NodeMenu::Command::Remove, ui->actionDelete, ui->projectTree);
    connect(ui->actionQuit, &QAction::triggered, this, &QWidget::close);
    enableProjectCommands();
}

MainWindow::~MainWindow() = default;

void MainWindow::loadProjectView()
{
    ui->editorStack->release();
    setWindowTitle(tr("Editor - %1[*]").arg(projectManager.projectName));
    enableProjectCommands();
    session.setLinkFolders(projectManager.linkFolders());
    session.load(projectManager.projectDir, projectManager.files);
    session.setPreferredReference(projectManager.referenceLanguage());
    recovery.setProject(projectManager.projectDir);
    redrawTree();
}

// Draws the tree from the documents held, without reading a file; the node
// that was current stays so when it is still there.
void MainWindow::redrawTree()
{
    showNode(
        view->redraw(projectManager.projectDir, projectManager.files, ui->editorStack->node()));
    showUnsaved();
}

// Whatever moves the current node, the page follows, the old one's fields
// kept first.
void MainWindow::on_projectTree_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    syncUiToData();
    showNode(current);
}

// Clicking the node shown again fills its page anew from the document.
void MainWindow::on_projectTree_itemClicked(QTreeWidgetItem *item, int)
{
    showNode(item);
}

void MainWindow::showNode(QTreeWidgetItem *item)
{
    const NodeRef node = item ? nodeOf(item) : NodeRef();
    menu.setNode(node);
    if (item)
        ui->editorStack->show(node, session);
    else
        ui->editorStack->release();
}

// After a command changed the tree: its node and what was done.
void MainWindow::showPlace(QTreeWidgetItem *item, const QString &message)
{
    showNode(item);
    showUnsaved();
    statusBar()->showMessage(message, 5000);
}

void MainWindow::showUnsaved()
{
    const QStringList changed = session.unsaved(ui->editorStack->typed(session)).keys();
    setWindowModified(!changed.isEmpty());
    view->markUnsaved(changed);
}

void MainWindow::enableProjectCommands()
{
    const bool open = !projectManager.projectDir.isEmpty();
    for (QAction *action :
         {ui->actionSave, ui->actionNewFile, ui->actionReload, ui->actionRegisterPath,
          ui->actionReferenceLanguage, ui->actionNextMark, ui->actionPreviousMark})
        action->setEnabled(open);
    ui->treeFilterLineEdit->setEnabled(open);
}

void MainWindow::syncUiToData()
{
    const NodeRef node = ui->editorStack->node();
    HelpData *doc = session.document(node.path);
    if (doc && ui->editorStack->apply(*doc))
        view->refresh(node);
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
    view->refresh({KindFile, filePath, {}, 0});
    showUnsaved();
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
    QStringList names;
    for (const QString &path : std::as_const(changed))
        names.append(QDir(projectManager.projectDir).relativeFilePath(path));
    const auto answer = Prompts::unsaved(this, names);
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
    syncUiToData();
    if (ui->projectTree->currentItem())
        saveFile(nodeOf(ui->projectTree->currentItem()).path);
}

void MainWindow::on_projectTree_customContextMenuRequested(const QPoint &pos)
{
    if (QTreeWidgetItem *item = ui->projectTree->itemAt(pos))
        menu.popup(nodeOf(item), ui->projectTree->viewport()->mapToGlobal(pos));
}

// Writes a language or section change of one file and redraws that file's
// nodes alone; the edits of other files stay as they are. A failed write
// keeps the document in memory as it was, edits included.
void MainWindow::writeStructure(const QString &filePath, const NodeMenu::Edit &edit)
{
    if (disk.confirmBeforeWrite(filePath) != ZkHelp::DiskWatch::Decision::Write)
        return;
    recovery.schedule();
    if (!session.replaceAndSave(filePath, edit.changed))
        return reportSaveFailure();
    // The page's node may be gone or moved: it is not to be kept.
    ui->editorStack->release();
    showPlace(view->redrawFile(filePath, edit.place), edit.message);
}

void MainWindow::removeFile(const QString &filePath)
{
    projectManager.removeFileFromProject(filePath, true);
    session.drop(filePath);
    recovery.schedule();
    ui->editorStack->clear();
    showPlace(
        view->removeFile(filePath),
        tr("Datei gelöscht: %1").arg(QDir(projectManager.projectDir).relativeFilePath(filePath)));
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
    if (!maybeSave())
        return;
    QFileDialog dialog(this, tr("Neue Datei"), projectManager.projectDir, tr("Hilfe (*.zkhelp)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without extension would otherwise never become a member.
    dialog.setDefaultSuffix(ZkHelp::helpFileExtension.mid(1));
    const QString path = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : "";
    if (path.isEmpty())
        return;
    if (!session.createFile(path)) {
        Prompts::box(this, QMessageBox::Critical, tr("Fehler"),
                     tr("Datei konnte nicht angelegt werden."), QMessageBox::Ok,
                     session.errorString());
        return;
    }
    projectManager.refreshFileList();
    projectManager.saveProject();
    loadProjectView();
    showPlace(view->select({KindFile, path, {}, 0}),
              tr("Datei angelegt: %1").arg(QDir(projectManager.projectDir).relativeFilePath(path)));
}

void MainWindow::on_actionReload_triggered()
{
    if (!maybeSave())
        return;
    projectManager.refreshFileList();
    loadProjectView();
}

void MainWindow::on_actionReferenceLanguage_triggered()
{
    const QString automatic = tr("(erste Sprache jeder Datei)");
    const QStringList choices = QStringList{automatic} + view->languages();
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
    if (projectManager.registerPathInGlobalConfig())
        Prompts::box(this, QMessageBox::Information, tr("Info"),
                     tr("Pfad (inkl. Unterordner) wurde registriert."), QMessageBox::Ok,
                     projectManager.pathFile());
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
