// The viewer's window: the list of help files along the search folders, the
// page on screen with its language, and the HTML export. It wires together
// the parts that do the rest: the page (TopicView) with its find bar, the
// full-text search (SearchPanel) and the reading history for Back and
// Forward; and it keeps its size and zoom between runs.
#pragma once

#include "helpcollection.h"
#include "helpfilechoice.h"
#include "readinghistory.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

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
    // a file dialog opens as soon as the event loop runs. A "zkhelp:"
    // address opens at its language and section. Until a topic is
    // shown, the page tells where help files were looked for.
    explicit MainWindow(const QString &startFile = QString(), QWidget *parent = nullptr);
    ~MainWindow() override;

    // What showAddress put on screen: its address (empty when the name was
    // found nowhere) and whether that is all the address asked for.
    struct AddressAnswer
    {
        bool exact = false;
        QString shown;
    };

    // Shows a "zkhelp:" address as a link to it would. A name found nowhere leaves the page on
    // screen and says so on the status bar, not in a box: a caller waits for the answer.
    AddressAnswer showAddress(const QString &address);

    // "zkhelp:NAME?lang=KEY" of the page on screen, with "#SECTION" while it
    // is the page an address scrolled to that section; empty before any
    // page, or for one no name in the search folders leads to.
    QString currentAddress() const;

private slots:
    void on_searchLineEdit_textChanged(const QString &arg1);
    void on_languageComboBox_currentIndexChanged(int index);
    void on_exportButton_clicked();
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
    void showSearchHit(const QString &path, const QString &language, int sectionIndex,
                       const QStringList &words);
    void openEntry(QListWidgetItem *item);
    void markShownEntry();
    void openLink(const QString &name);
    // The topic at path as link, a name or a "zkhelp:" address, shows it.
    AddressedPlace openLinked(const QString &path, const QString &link);
    void connectSearch();
    void restoreSettings();
    void loadFileList(const QString &filter);
    void showOpenDialog();
    void loadDocument(const QString &path, const QString &language);

    std::unique_ptr<Ui::MainWindow> ui;
    ZkHelp::HelpCollection collection;
    ReadingHistory history;
    // The section as an address asked for it, while its page is on screen.
    QString addressedSection;
};
