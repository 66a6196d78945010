// The viewer's window: the list of help files along the search folders, the
// full-text search over them, the document on screen in one language, link
// navigation with its history, find in page, zoom, printing and the HTML
// export.
#pragma once

#include "helpcollection.h"
#include "htmlexporter.h"
#include "readinghistory.h"
#include "searchindex.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <memory>

class QListWidgetItem;

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
    void on_fullTextLineEdit_textChanged(const QString &text);
    void on_searchResultsList_itemClicked(QListWidgetItem *item);
    void on_searchResultsList_itemActivated(QListWidgetItem *item);
    void on_actionBack_triggered();
    void on_actionForward_triggered();
    void on_actionSavePdf_triggered();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void openTopic(const QString &path, const QString &language = QString());
    void showStep(const ReadingHistory::Step &step);
    ReadingHistory::Place currentPlace() const;
    void updateHistoryActions();
    void showSearchResult(const QListWidgetItem *item);
    void indexSome();
    void runFullTextSearch();
    void setUpActions();
    void connectFindBar();
    void openLink(const QString &name);
    void restoreSettings();
    void startIndexing();
    void loadFileList(const QString &filter);
    void showStartupDialog();
    void loadDocument(const QString &path, const QString &language);
    QString resolveStartFile(const QString &startFile) const;

    std::unique_ptr<Ui::MainWindow> ui;
    ZkHelp::HelpCollection collection;
    ZkHelp::HtmlExporter exporter;

    ReadingHistory history;

    ZkHelp::SearchIndex index;
    QTimer indexTimer;
    QTimer searchDelay;
};
