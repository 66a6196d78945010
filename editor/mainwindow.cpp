// The editor window: tree rebuild, page fill and commit, the document and
// project commands, and the one question asked before edits would be dropped.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>

#include <algorithm>

using ZkHelp::HelpData;
using ZkHelp::HelpLanguage;
using ZkHelp::HelpSection;

namespace {

bool sameSections(const QList<HelpSection> &a, const QList<HelpSection> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const HelpSection &x, const HelpSection &y) {
                          return x.name == y.name && x.content == y.content;
                      });
}

// Field by field, so that an edit typed back to what it was counts as none.
bool sameDocument(const HelpData &a, const HelpData &b)
{
    if (a.version != b.version || a.author != b.author || a.links != b.links ||
        a.languages.keys() != b.languages.keys())
        return false;
    for (auto lang = a.languages.cbegin(); lang != a.languages.cend(); ++lang) {
        const HelpLanguage &other = b.languages.value(lang.key());
        if (lang->description != other.description || !sameSections(lang->sections, other.sections))
            return false;
    }
    return true;
}

// A box whose text carries a key the user typed shows it as typed, never as
// markup.
QMessageBox::StandardButton plainTextBox(QWidget *parent, QMessageBox::Icon icon,
                                         const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

int kindOf(const QTreeWidgetItem *item)
{
    return item->data(0, MainWindow::RoleKind).toInt();
}

QString filePathOf(const QTreeWidgetItem *item)
{
    return item->data(0, MainWindow::RoleFilePath).toString();
}

QString langKeyOf(const QTreeWidgetItem *item)
{
    return item->data(0, MainWindow::RoleLangKey).toString();
}

int sectionIndexOf(const QTreeWidgetItem *item)
{
    return item->data(0, MainWindow::RoleSectionIndex).toInt();
}

// The file node with its language and section nodes, built before it joins
// the tree so that the view hears of the whole subtree once.
QTreeWidgetItem *makeFileNode(const QString &name, const QString &path, const HelpData &doc,
                              const QIcon &icon)
{
    auto *fileNode = new QTreeWidgetItem({name});
    fileNode->setIcon(0, icon);
    fileNode->setData(0, MainWindow::RoleKind, MainWindow::KindFile);
    fileNode->setData(0, MainWindow::RoleFilePath, path);
    for (auto lang = doc.languages.cbegin(); lang != doc.languages.cend(); ++lang) {
        auto *langNode = new QTreeWidgetItem(fileNode, {lang.key()});
        langNode->setData(0, MainWindow::RoleKind, MainWindow::KindLanguage);
        langNode->setData(0, MainWindow::RoleFilePath, path);
        langNode->setData(0, MainWindow::RoleLangKey, lang.key());
        for (int i = 0; i < lang->sections.size(); ++i) {
            auto *sectionNode = new QTreeWidgetItem(langNode, {lang->sections.at(i).name});
            sectionNode->setData(0, MainWindow::RoleKind, MainWindow::KindSection);
            sectionNode->setData(0, MainWindow::RoleFilePath, path);
            sectionNode->setData(0, MainWindow::RoleLangKey, lang.key());
            sectionNode->setData(0, MainWindow::RoleSectionIndex, i);
        }
    }
    return fileNode;
}

} // namespace

QTreeWidgetItem *getFolderItem(QTreeWidget *tree, QTreeWidgetItem *parent, const QString &name)
{
    const int count = parent ? parent->childCount() : tree->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem *child = parent ? parent->child(i) : tree->topLevelItem(i);
        if (child->text(0) == name && kindOf(child) == MainWindow::KindFolder)
            return child;
    }
    auto *folder = new QTreeWidgetItem({name});
    folder->setIcon(0, tree->style()->standardIcon(QStyle::SP_DirIcon));
    folder->setData(0, MainWindow::RoleKind, MainWindow::KindFolder);
    if (parent)
        parent->addChild(folder);
    else
        tree->addTopLevelItem(folder);
    return folder;
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    ui->projectTree->setContextMenuPolicy(Qt::CustomContextMenu);
    // All rows are one line high; saying so spares the view measuring 26,000
    // of them after each rebuild of a large project.
    ui->projectTree->setUniformRowHeights(true);
    // The page buttons are the only pairs that connecting by name cannot make.
    for (QPushButton *button : {ui->btnSaveFile, ui->btnSaveLang, ui->btnSaveSection})
        connect(button, &QPushButton::clicked, this, &MainWindow::on_actionSave_triggered);
}

MainWindow::~MainWindow() = default;

void MainWindow::loadProjectView()
{
    ui->projectTree->clear();
    loadedFiles.clear();
    currentItem = nullptr;
    // The page keeps showing the last node, but typing there would reach no
    // document, so it stays disabled until a node is clicked.
    ui->editorStack->setEnabled(false);
    setWindowTitle(tr("Editor - %1").arg(projectManager.projectName));

    const QDir projectDir(projectManager.projectDir);
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    // Built apart from the view, which then takes the whole tree at once
    // instead of hearing of every node.
    QTreeWidgetItem staging;
    for (const QString &entry : std::as_const(projectManager.files)) {
        const QString path = projectDir.filePath(entry);
        if (!QFile::exists(path))
            continue;
        const HelpData doc = parser.parse(path);
        loadedFiles.insert(path, doc);

        QStringList folders = entry.split('/');
        const QString name = folders.takeLast();
        QTreeWidgetItem *parent = &staging;
        for (const QString &folder : std::as_const(folders))
            parent = getFolderItem(ui->projectTree, parent, folder);
        parent->addChild(makeFileNode(name, path, doc, fileIcon));
    }
    ui->projectTree->addTopLevelItems(staging.takeChildren());
    storedFiles = loadedFiles;
    ui->projectTree->expandAll();
}

void MainWindow::on_projectTree_itemClicked(QTreeWidgetItem *item, int)
{
    if (currentItem && currentItem != item)
        syncUiToData();
    currentItem = item;
    ui->editorStack->setEnabled(true);
    const QString path = filePathOf(item);
    const auto doc = loadedFiles.constFind(path);
    const bool loaded = doc != loadedFiles.cend();

    switch (kindOf(item)) {
    case KindFile:
        ui->editorStack->setCurrentWidget(ui->pageFile);
        if (loaded) {
            ui->editAuthor->setText(doc->author);
            ui->editVersion->setText(doc->version);
            ui->listLinks->clear();
            ui->listLinks->addItems(doc->links);
        }
        break;
    case KindLanguage:
        ui->editorStack->setCurrentWidget(ui->pageLanguage);
        if (loaded && doc->languages.contains(langKeyOf(item)))
            ui->editLangDescription->setText(doc->languages.value(langKeyOf(item)).description);
        break;
    case KindSection: {
        ui->editorStack->setCurrentWidget(ui->pageSection);
        if (!loaded || !doc->languages.contains(langKeyOf(item)))
            break;
        const QList<HelpSection> &sections = doc->languages.find(langKeyOf(item))->sections;
        const int index = sectionIndexOf(item);
        if (index >= 0 && index < sections.size()) {
            ui->editSectionName->setText(sections.at(index).name);
            ui->editContent->setPlainText(sections.at(index).content);
        }
        break;
    }
    default:
        ui->editorStack->setCurrentWidget(ui->pageEmpty);
    }
}

void MainWindow::syncUiToData()
{
    if (!currentItem)
        return;
    const auto doc = loadedFiles.find(filePathOf(currentItem));
    if (doc == loadedFiles.end())
        return;
    QWidget *page = ui->editorStack->currentWidget();

    switch (kindOf(currentItem)) {
    case KindFile:
        if (page != ui->pageFile)
            return;
        doc->author = ui->editAuthor->text();
        doc->version = ui->editVersion->text();
        doc->links.clear();
        for (int row = 0; row < ui->listLinks->count(); ++row)
            doc->links.append(ui->listLinks->item(row)->text());
        return;
    case KindLanguage: {
        const auto lang = doc->languages.find(langKeyOf(currentItem));
        if (page == ui->pageLanguage && lang != doc->languages.end())
            lang->description = ui->editLangDescription->text();
        return;
    }
    case KindSection: {
        const auto lang = doc->languages.find(langKeyOf(currentItem));
        const int index = sectionIndexOf(currentItem);
        if (page != ui->pageSection || lang == doc->languages.end() || index < 0 ||
            index >= lang->sections.size())
            return;
        HelpSection &section = lang->sections[index];
        section.name = ui->editSectionName->text();
        section.content = ui->editContent->toPlainText();
        currentItem->setText(0, section.name);
        return;
    }
    default:
        return;
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::saveFile(const QString &filePath)
{
    // A node without a loaded document (a folder) must not write an empty one.
    const auto doc = loadedFiles.constFind(filePath);
    if (doc == loadedFiles.cend() || !writer.writeXml(*doc, filePath)) {
        QMessageBox::critical(this, tr("Fehler"), tr("Speichern fehlgeschlagen."));
        return false;
    }
    storedFiles.insert(filePath, *doc);
    statusBar()->showMessage(tr("Gespeichert: %1").arg(QFileInfo(filePath).fileName()), 2000);
    return true;
}

QStringList MainWindow::changedFiles() const
{
    QStringList changed;
    for (auto doc = loadedFiles.cbegin(); doc != loadedFiles.cend(); ++doc) {
        const auto stored = storedFiles.constFind(doc.key());
        if (stored == storedFiles.cend() || !sameDocument(*doc, *stored))
            changed.append(doc.key());
    }
    return changed;
}

// Asked before every command that would drop documents from memory. Returns
// whether the command may go on; exceptFile is the one the command itself
// writes or deletes.
bool MainWindow::maybeSave(const QString &exceptFile)
{
    syncUiToData();
    QStringList changed = changedFiles();
    changed.removeAll(exceptFile);
    if (changed.isEmpty())
        return true;
    const auto answer = QMessageBox::question(
        this, tr("Ungespeicherte Änderungen"),
        tr("Es gibt ungespeicherte Änderungen. Jetzt speichern?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard)
        return true;
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
    saveFile(filePathOf(currentItem));
}

void MainWindow::on_btnAddLink_clicked()
{
    if (!currentItem || kindOf(currentItem) != KindFile)
        return;
    const QString link = ui->editNewLink->text().trimmed();
    if (link.isEmpty())
        return;
    ui->listLinks->addItem(link);
    ui->editNewLink->clear();
}

void MainWindow::on_btnRemoveLink_clicked()
{
    qDeleteAll(ui->listLinks->selectedItems());
}

void MainWindow::on_projectTree_customContextMenuRequested(const QPoint &pos)
{
    QTreeWidgetItem *item = ui->projectTree->itemAt(pos);
    if (!item)
        return;
    const QString path = filePathOf(item);
    QMenu menu(this);
    const auto addEntry = [&](const QString &text, auto run) {
        connect(menu.addAction(text), &QAction::triggered, this, run);
    };
    switch (kindOf(item)) {
    case KindFile:
        addEntry(tr("Sprache hinzufügen..."), [=] { addLanguage(path); });
        menu.addSeparator();
        addEntry(tr("Aus Projekt entfernen (Löschen)"), [=] { deleteItem(item); });
        break;
    case KindLanguage: {
        const QString key = langKeyOf(item);
        addEntry(tr("Sektion hinzufügen..."), [=] { addSection(path, key); });
        menu.addSeparator();
        addEntry(tr("Sprache löschen"), [=] { deleteItem(item); });
        break;
    }
    case KindSection:
        addEntry(tr("Sektion löschen"), [=] { deleteItem(item); });
        break;
    default:
        return;
    }
    menu.exec(ui->projectTree->viewport()->mapToGlobal(pos));
}

void MainWindow::addLanguage(QString filePath)
{
    syncUiToData();
    bool ok = false;
    const QString key = QInputDialog::getText(this, tr("Neu"), tr("Sprache (de, en):"),
                                              QLineEdit::Normal, QString(), &ok);
    if (!ok || key.isEmpty() || !loadedFiles.contains(filePath))
        return;
    HelpData doc = loadedFiles.value(filePath);
    if (doc.languages.contains(key)) {
        plainTextBox(this, QMessageBox::Warning, tr("Neu"),
                     tr("Sprache '%1' existiert bereits.").arg(key), QMessageBox::Ok);
        return;
    }
    doc.languages.insert(key, HelpLanguage{QStringLiteral("..."), {}});
    writeStructure(filePath, doc);
}

void MainWindow::addSection(QString filePath, QString langKey)
{
    syncUiToData();
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("Neu"), tr("Sektion Name:"),
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok || name.isEmpty())
        return;
    HelpData doc = loadedFiles.value(filePath);
    const auto lang = doc.languages.find(langKey);
    if (!loadedFiles.contains(filePath) || lang == doc.languages.end())
        return;
    lang->sections.append(HelpSection{name, QStringLiteral("...")});
    writeStructure(filePath, doc);
}

void MainWindow::deleteItem(QTreeWidgetItem *item)
{
    const int kind = kindOf(item);
    const QString filePath = filePathOf(item);
    const QString key = langKeyOf(item);
    QString question;
    switch (kind) {
    case KindSection:
        question = tr("Sektion löschen?");
        break;
    case KindLanguage:
        question = tr("Sprache '%1' löschen?").arg(key);
        break;
    case KindFile:
        question = tr("Datei wirklich löschen?\n(Sie wird von der Festplatte entfernt!)");
        break;
    default:
        return;
    }
    syncUiToData();
    if (plainTextBox(this, QMessageBox::Question, tr("Löschen"), question,
                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;

    if (kind == KindFile) {
        if (!maybeSave(filePath))
            return;
        projectManager.removeFileFromProject(filePath, true);
        loadedFiles.remove(filePath);
        loadProjectView();
        currentItem = nullptr;
        ui->editorStack->setCurrentWidget(ui->pageEmpty);
        return;
    }
    if (!loadedFiles.contains(filePath))
        return;
    HelpData doc = loadedFiles.value(filePath);
    const auto lang = doc.languages.find(key);
    if (lang == doc.languages.end())
        return;
    if (kind == KindLanguage) {
        doc.languages.erase(lang);
    } else {
        const int index = sectionIndexOf(item);
        if (index < 0 || index >= lang->sections.size())
            return;
        lang->sections.removeAt(index);
    }
    writeStructure(filePath, doc);
}

// Writes a language or section change of one file and rebuilds. Edits of
// other files would be dropped by the rebuild, so they are asked about first;
// a failed write keeps the document in memory as it was, edits included,
// instead of rebuilding it away.
void MainWindow::writeStructure(const QString &filePath, const HelpData &changed)
{
    if (!maybeSave(filePath))
        return;
    const HelpData before = loadedFiles.value(filePath);
    loadedFiles.insert(filePath, changed);
    if (!saveFile(filePath)) {
        loadedFiles.insert(filePath, before);
        return;
    }
    loadProjectView();
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
    if (!ok || name.isEmpty() || !projectManager.createProject(folder, name))
        return;
    loadProjectView();
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
    dialog.setDefaultSuffix(QStringLiteral("zkhelp"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;

    HelpData doc;
    doc.version = QStringLiteral("1.0");
    doc.author = QStringLiteral("Ich");
    doc.languages.insert(QStringLiteral("de"), HelpLanguage{tr("Neue Beschreibung"), {}});
    if (!writer.writeXml(doc, dialog.selectedFiles().constFirst()))
        return;
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
        QMessageBox::warning(this, tr("Info"), tr("Pfad konnte nicht registriert werden."));
}

bool MainWindow::openProjectPath(const QString &path)
{
    if (!projectManager.openProject(path))
        return false;
    loadProjectView();
    return true;
}
