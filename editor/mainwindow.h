// The editor's one window: the project tree on the left, a page per node kind
// on the right, and the commands that edit, save and rebuild the project.
#pragma once

#include "helpdata.h"
#include "helpparser.h"
#include "helpwriter.h"
#include "projectmanager.h"

#include <QMainWindow>
#include <QMap>
#include <QString>

#include <memory>

class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class MainWindow;
}

// Returns the folder node called name under parent (the top level when parent
// is null), appending a new one when there is none yet.
QTreeWidgetItem *getFolderItem(QTreeWidget *tree, QTreeWidgetItem *parent, const QString &name);

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The data every tree node carries in column 0.
    enum Role {
        RoleKind = Qt::UserRole + 1,
        RoleFilePath,
        RoleLangKey,
        RoleSectionIndex,
    };
    enum Kind {
        KindFolder = 100,
        KindFile = 200,
        KindLanguage = 300,
        KindSection = 400,
    };

    explicit MainWindow(QWidget *parent = nullptr);
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
    void on_projectTree_customContextMenuRequested(const QPoint &pos);
    void on_btnAddLink_clicked();
    void on_btnRemoveLink_clicked();
    void on_actionSave_triggered();
    void on_actionNewProject_triggered();
    void on_actionOpenProject_triggered();
    void on_actionNewFile_triggered();
    void on_actionReload_triggered();
    void on_actionRegisterPath_triggered();
    void addLanguage(QString filePath);
    void addSection(QString filePath, QString langKey);
    void deleteItem(QTreeWidgetItem *item);

private:
    bool saveFile(const QString &filePath);
    QStringList changedFiles() const;
    bool maybeSave(const QString &exceptFile = QString());
    void writeStructure(const QString &filePath, const ZkHelp::HelpData &changed);

    std::unique_ptr<Ui::MainWindow> ui;
    ZkHelp::HelpParser parser;
    ZkHelp::HelpWriter writer;
    ZkHelp::ProjectManager projectManager;
    QMap<QString, ZkHelp::HelpData> loadedFiles;
    // Each document as last read from or written to its file, to tell real
    // edits from none.
    QMap<QString, ZkHelp::HelpData> storedFiles;
    QTreeWidgetItem *currentItem = nullptr;
};
