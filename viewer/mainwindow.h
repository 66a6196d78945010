// The viewer's window: the list of help files along the search folders, the
// document on screen in one language, link navigation and the HTML export.
#pragma once

#include "helpcollection.h"
#include "helpdata.h"
#include "htmlexporter.h"

#include <QList>
#include <QMainWindow>
#include <QString>

#include <memory>

class QListWidgetItem;
class QUrl;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Creates the "Path" file in the working folder when it is missing, reads
    // the search folders once and lists every help file. startFile (a help
    // file name or a path, with or without ".zkhelp") is shown at once; when
    // it cannot be resolved, or when it is empty and no help file was found,
    // a file dialog opens as soon as the event loop runs.
    explicit MainWindow(const QString &startFile = QString(), QWidget *parent = nullptr);
    ~MainWindow() override;

private slots:
    void on_searchLineEdit_textChanged(const QString &arg1);
    void on_fileListWidget_itemClicked(QListWidgetItem *item);
    void on_languageComboBox_currentIndexChanged(int index);
    void on_exportButton_clicked();
    void on_contentBrowser_anchorClicked(const QUrl &link);

private:
    void loadFileList(const QString &filter);
    void showStartupDialog();
    void displayContent();
    void loadDocument(const QString &path);
    QString resolveStartFile(const QString &startFile) const;

    std::unique_ptr<Ui::MainWindow> ui;
    ZkHelp::HelpCollection collection;
    ZkHelp::HtmlExporter exporter;
    ZkHelp::HelpData currentData;
};
