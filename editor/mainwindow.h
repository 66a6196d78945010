// The editor's one window: the project tree on the left, a page per node kind
// on the right, and the commands that edit, save and rebuild the project.
#pragma once

#include "diskwatch.h"
#include "editorsession.h"
#include "helpdata.h"
#include "nodemenu.h"
#include "projectmanager.h"
#include "projectview.h"
#include "recoverycontroller.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class QTreeWidgetItem;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // searchPathFile is the "Path" file that projects are registered in (the
    // program's own, ZkHelp::ProjectManager::globalPathFile(), for the
    // editor program).
    explicit MainWindow(const QString &searchPathFile, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Re-reads every member file of the project and redraws the tree; no node
    // is current afterwards.
    void loadProjectView();

    // Moves the fields of the visible page into the document of the current
    // node. Never writes to disk.
    void syncUiToData();

    // Opens the project file path as the open command does once its dialog
    // has a file; returns false, changing nothing, when it cannot be read.
    bool openProjectPath(const QString &path);

protected:
    // Asks about unsaved edits; the window stays open when the user cancels.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_projectTree_itemClicked(QTreeWidgetItem *item, int column);
    void on_projectTree_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void on_projectTree_customContextMenuRequested(const QPoint &pos);
    void on_actionSave_triggered();
    void on_actionNewProject_triggered();
    void on_actionOpenProject_triggered();
    void on_actionNewFile_triggered();
    void on_actionReload_triggered();
    void on_actionRegisterPath_triggered();
    void on_actionReferenceLanguage_triggered();

private:
    void redrawTree();
    void showNode(QTreeWidgetItem *item);
    void showPlace(QTreeWidgetItem *item, const QString &message);
    void showUnsaved();
    void enableProjectCommands();
    bool saveFile(const QString &filePath);
    bool writeFile(const QString &filePath);
    void reportSaveFailure();
    bool maybeSave(const QString &exceptFile = QString());
    void writeStructure(const QString &filePath, const NodeMenu::Edit &edit);
    void removeFile(const QString &filePath);

    std::unique_ptr<Ui::MainWindow> ui;
    ZkHelp::ProjectManager projectManager;
    ZkHelp::EditorSession session;
    ZkHelp::RecoveryController recovery;
    ZkHelp::DiskWatch disk;
    NodeMenu menu;
    std::unique_ptr<ProjectView> view;
};
