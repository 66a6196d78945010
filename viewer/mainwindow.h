// The viewer's window: the list of help files along the search folders, the
// full-text search over them, the document on screen in one language, link
// navigation with its history, find in page, zoom, printing and the HTML
// export.
#pragma once

#include "helpcollection.h"
#include "helpdata.h"
#include "htmlexporter.h"
#include "searchindex.h"

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QTimer>

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
    void on_fullTextLineEdit_textChanged(const QString &text);
    void on_searchResultsList_itemClicked(QListWidgetItem *item);
    void on_searchResultsList_itemActivated(QListWidgetItem *item);
    void on_actionBack_triggered();
    void on_actionForward_triggered();
    void on_actionFind_triggered();
    void on_actionFindNext_triggered();
    void on_actionFindPrevious_triggered();
    void on_findLineEdit_returnPressed();
    void on_findLineEdit_textEdited(const QString &text);
    void on_actionZoomIn_triggered();
    void on_actionZoomOut_triggered();
    void on_actionZoomReset_triggered();
    void on_actionPrint_triggered();
    void on_actionSavePdf_triggered();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // A topic as it was left: its file and the language it was shown in.
    struct Step
    {
        QString path;
        QString language;
    };

    void openTopic(const QString &path, const QString &language = QString());
    void goToStep(qsizetype index);
    void updateHistoryActions();
    void showLanguage(const QString &language);
    void scrollToSection(int sectionIndex);
    void showSearchResult(const QListWidgetItem *item);
    void indexSome();
    void runFullTextSearch();
    void findInPage(bool backward, bool fromSelectionStart = false);
    void closeFindBar();
    void zoomBy(int steps);
    void setUpActions();
    void restoreSettings();
    void startIndexing();
    void loadFileList(const QString &filter);
    void showStartupDialog();
    void displayContent();
    void loadDocument(const QString &path);
    QString resolveStartFile(const QString &startFile) const;

    std::unique_ptr<Ui::MainWindow> ui;
    ZkHelp::HelpCollection collection;
    ZkHelp::HtmlExporter exporter;
    ZkHelp::HelpData currentData;

    QList<Step> history;
    qsizetype historyIndex = -1;

    ZkHelp::SearchIndex index;
    QTimer indexTimer;
    QTimer searchDelay;
    int zoomSteps = 0;
};
