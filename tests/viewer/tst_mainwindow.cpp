// The viewer's real window under the offscreen platform: start file and
// start-up dialog, file list, languages, links and the export, driven through
// the widgets' object names; every dialog is answered and counted.
#include "mainwindow.h"
#include "testfiles.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

QByteArray helpFile(const QByteArray &author, const QByteArray &languages,
                    const QByteArray &links = QByteArray())
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zkhelp version=\"1.0\" author=\"" +
           author + "\">" + languages + links + "</zkhelp>\n";
}

QByteArray language(const QByteArray &key, const QByteArray &text)
{
    return "<lang name=\"" + key + "\"><description>" + text + "</description></lang>";
}

// Answers every modal dialog that opens while it lives: message boxes with
// their only button, other dialogs through answer (rejected when none given).
struct DialogAnswerer
{
    struct Seen
    {
        QString title;
        QString text;
    };

    explicit DialogAnswerer(std::function<void(QFileDialog *)> answer = {})
    {
        timer.callOnTimeout([this, answer] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || !dialog->isVisible())
                return;
            auto *box = qobject_cast<QMessageBox *>(dialog);
            seen.append({dialog->windowTitle(), box ? box->text() : QString()});
            auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
            if (fileDialog && answer)
                answer(fileDialog);
            else
                static_cast<QDialog *>(dialog)->reject();
        });
        timer.start(10);
    }

    QTimer timer;
    QList<Seen> seen;
};

// Records what the window hands to the desktop instead of starting a browser.
class UrlObserver : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { opened.append(url.toString()); }

public:
    QStringList opened;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startFile_data();
    void startFile();
    void startupDialog();
    void fileListAndLanguages();
    void followLink_data();
    void followLink();
    void exportButton_data();
    void exportButton();

private:
    QString path(const QString &name) const { return workDir->filePath(name); }
    QString shownText() const;
    void clickLink(const QString &text) const;

    std::unique_ptr<QTemporaryDir> workDir;
    std::unique_ptr<MainWindow> window;
    QString savedCurrent;
};

// Each test runs in a working folder of its own: the window writes "Path"
// there. Its Path names help1 and help2.
void TestMainWindow::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("connectSlotsByName")));
    workDir = std::make_unique<QTemporaryDir>();
    QVERIFY2(workDir->isValid(), qPrintable(workDir->errorString()));
    savedCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workDir->path()));
    QVERIFY(TestFiles::write(path("Path"), path("help1").toUtf8() + "\n" + path("help2").toUtf8()));
    QVERIFY(QDir().mkpath(path("help2")));
    QVERIFY(TestFiles::write(path("help1/intro.zkhelp"),
                             helpFile("Redaktion",
                                      language("en", "Intro EN") + language("de", "Intro DE"),
                                      "<link page=\"usage\"/>")));
}

void TestMainWindow::cleanup()
{
    window.reset();
    QDir::setCurrent(savedCurrent);
    workDir->setAutoRemove(!QTest::currentTestFailed());
}

QString TestMainWindow::shownText() const
{
    return window->findChild<QTextBrowser *>(QStringLiteral("contentBrowser"))->toPlainText();
}

// Clicks the middle of the first place where text is shown.
void TestMainWindow::clickLink(const QString &text) const
{
    auto *browser = window->findChild<QTextBrowser *>(QStringLiteral("contentBrowser"));
    const QTextCursor found = browser->document()->find(text);
    QVERIFY2(!found.isNull(), qPrintable(text));
    QTextCursor middle(browser->document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                      browser->cursorRect(middle).center());
}

void TestMainWindow::startFile_data()
{
    QTest::addColumn<QString>("startFile");
    QTest::addColumn<bool>("shown");

    QTest::newRow("bare name") << "intro" << true;
    QTest::newRow("name with extension") << "intro.zkhelp" << true;
    QTest::newRow("path outside the search folders") << "outside/topic.zkhelp" << true;
    QTest::newRow("that path without extension") << "outside/topic" << true;
    QTest::newRow("unknown name") << "nowhere" << false;
    QTest::newRow("a folder") << "outside" << false;
    QTest::newRow("a folder named like a help file") << "help2/folder.zkhelp" << false;
}

void TestMainWindow::startFile()
{
    QFETCH(QString, startFile);
    QFETCH(bool, shown);
    QVERIFY(
        TestFiles::write(path("outside/topic.zkhelp"), helpFile("Redaktion", language("de", "x"))));
    QVERIFY(QDir().mkpath(path("help2/folder.zkhelp")));

    DialogAnswerer answerer;
    window = std::make_unique<MainWindow>(startFile);
    window->show();
    QTest::qWait(50);

    QCOMPARE(shownText().startsWith(QStringLiteral("Redaktion (v1.0)")), shown);
    QCOMPARE(answerer.seen.size(), shown ? 0 : 1);
    auto *list = window->findChild<QListWidget *>(QStringLiteral("fileListWidget"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->currentItem(), nullptr);
}

// No Path and no help file: Path names the working folder, and the dialog
// offers the search folders, the last one first.
void TestMainWindow::startupDialog()
{
    QVERIFY(QFile::remove(path("Path")));
    QVERIFY(TestFiles::write(path("elsewhere/chosen.zkhelp"),
                             helpFile("Gewählt", language("de", "x"))));
    QList<QUrl> sidebar;
    QString directory;
    DialogAnswerer answerer([&](QFileDialog *dialog) {
        sidebar = dialog->sidebarUrls().mid(0, 2);
        directory = dialog->directory().absolutePath();
        dialog->selectFile(path("elsewhere/chosen.zkhelp"));
        static_cast<QDialog *>(dialog)->accept();
    });
    window = std::make_unique<MainWindow>();
    window->show();
    QTRY_COMPARE_WITH_TIMEOUT(answerer.seen.size(), 1, 5000);

    QCOMPARE(TestFiles::read(path("Path")), workDir->path().toUtf8() + "\n");
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Hilfe-Datei öffnen"));
    const QString appDir = QCoreApplication::applicationDirPath();
    QCOMPARE(sidebar,
             QList<QUrl>({QUrl::fromLocalFile(workDir->path()), QUrl::fromLocalFile(appDir)}));
    QCOMPARE(directory, appDir);
    QVERIFY(shownText().startsWith(QStringLiteral("Gewählt (v1.0)")));
}

void TestMainWindow::fileListAndLanguages()
{
    QVERIFY(TestFiles::write(path("help2/a.b.zkhelp"), helpFile("A", QByteArray())));
    QVERIFY(TestFiles::write(path("help2/Box.zkhelp"), helpFile("B", language("de", "x"))));
    window = std::make_unique<MainWindow>();
    auto *search = window->findChild<QLineEdit *>(QStringLiteral("searchLineEdit"));
    auto *list = window->findChild<QListWidget *>(QStringLiteral("fileListWidget"));
    auto *languages = window->findChild<QComboBox *>(QStringLiteral("languageComboBox"));
    const auto names = [list] {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts.append(list->item(row)->text());
        texts.sort();
        return texts;
    };
    QCOMPARE(names(), QStringList({"Box", "a.b", "intro"}));
    QTest::keyClicks(search, QStringLiteral("oX"));
    QCOMPARE(names(), QStringList({"Box"}));
    search->clear();
    QCOMPARE(names(), QStringList({"Box", "a.b", "intro"}));

    const QListWidgetItem *intro =
        list->findItems(QStringLiteral("intro"), Qt::MatchExactly).first();
    QCOMPARE(intro->data(Qt::UserRole).toString(),
             QFileInfo(path("help1/intro.zkhelp")).absoluteFilePath());
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(intro).center());
        QCOMPARE(languages->count(), 2);
        QCOMPARE(languages->currentText(), QStringLiteral("de"));
        QVERIFY(shownText().contains(QStringLiteral("Intro DE")));
        languages->setCurrentText(QStringLiteral("en"));
        QVERIFY(shownText().contains(QStringLiteral("Intro EN")));
    }
    const QListWidgetItem *empty = list->findItems(QStringLiteral("a.b"), Qt::MatchExactly).first();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(empty).center());
    QCOMPARE(languages->count(), 0);
    QCOMPARE(shownText(), QStringLiteral("Bitte wählen Sie eine Datei und Sprache aus."));
}

void TestMainWindow::followLink_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("message");

    QTest::newRow("plain name") << "usage"
                                << "usage"
                                << ""
                                << "";
    QTest::newRow("apostrophe, markup, ampersand, umlaut") << "it's <new> & Über"
                                                           << "it's <new> & Über"
                                                           << ""
                                                           << "";
    QTest::newRow("percent and blanks") << "100% sicher"
                                        << "100% sicher"
                                        << ""
                                        << "";
    QTest::newRow("missing file") << "xyz"
                                  << ""
                                  << ""
                                  << "Datei nicht gefunden:\nxyz";
    QTest::newRow("web") << "https://example.org/a?b=1&c=2"
                         << ""
                         << "https://example.org/a?b=1&c=2"
                         << "";
    QTest::newRow("plain web") << "http://example.org/"
                               << ""
                               << "http://example.org/"
                               << "";
    QTest::newRow("mail") << "mailto:hilfe@example.org"
                          << ""
                          << "mailto:hilfe@example.org"
                          << "";
}

// Clicks the one link of the shown page; a help file it names is by "Ziel".
void TestMainWindow::followLink()
{
    QFETCH(QString, link);
    QFETCH(QString, loaded);
    QFETCH(QString, opened);
    QFETCH(QString, message);
    QString escaped = link.toHtmlEscaped();
    QVERIFY(TestFiles::write(
        path("help1/start.zkhelp"),
        helpFile("Start", language("de", "x"), "<link page=\"" + escaped.toUtf8() + "\"/>")));
    if (!loaded.isEmpty())
        QVERIFY(TestFiles::write(path("help2/" + loaded + ".zkhelp"),
                                 helpFile("Ziel", language("de", "Ziel"))));
    UrlObserver observer;
    for (const char *scheme : {"http", "https", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &observer, "open");
    window = std::make_unique<MainWindow>(QStringLiteral("start"));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(shownText().endsWith(link));

    DialogAnswerer answerer;
    clickLink(link);
    QTest::qWait(30);
    for (const char *scheme : {"http", "https", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

    QCOMPARE(shownText().startsWith(QStringLiteral("Ziel (v1.0)")), !loaded.isEmpty());
    QCOMPARE(observer.opened, opened.isEmpty() ? QStringList() : QStringList(opened));
    QCOMPARE(answerer.seen.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(answerer.seen.first().title, QStringLiteral("Link"));
        QCOMPARE(answerer.seen.first().text, message);
    }
}

void TestMainWindow::exportButton_data()
{
    QTest::addColumn<bool>("selectEntry");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("written");

    QTest::newRow("no entry chosen") << false << "out"
                                     << "Export"
                                     << "Bitte wählen Sie eine Datei aus der Liste." << false;
    QTest::newRow("folder dialog cancelled") << true << ""
                                             << ""
                                             << "" << false;
    QTest::newRow("written") << true << "out"
                             << "Erfolg"
                             << "Export nach:\n%1" << true;
    QTest::newRow("folder inside a file") << true << "blocker/out"
                                          << "Fehler"
                                          << "Export fehlgeschlagen." << false;
}

void TestMainWindow::exportButton()
{
    QFETCH(bool, selectEntry);
    QFETCH(QString, folder);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, written);
    QVERIFY(QDir().mkpath(path("out")));
    QVERIFY(TestFiles::write(path("blocker"), "a file"));
    const QString target = folder.isEmpty() ? QString() : path(folder);

    window = std::make_unique<MainWindow>();
    auto *list = window->findChild<QListWidget *>(QStringLiteral("fileListWidget"));
    if (selectEntry)
        list->setCurrentRow(0);
    // The folder is typed as a user would, a folder that cannot exist included.
    DialogAnswerer answerer([&](QFileDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Export-Ordner wählen"));
        if (target.isEmpty())
            return dialog->reject();
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(target);
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    });
    window->findChild<QPushButton *>(QStringLiteral("exportButton"))->click();
    QTest::qWait(30);

    QStringList titles;
    for (const DialogAnswerer::Seen &seen : std::as_const(answerer.seen))
        titles.append(seen.title);
    QStringList expected;
    if (selectEntry)
        expected.append(QStringLiteral("Export-Ordner wählen"));
    if (!title.isEmpty())
        expected.append(title);
    QCOMPARE(titles, expected);
    if (!title.isEmpty())
        QCOMPARE(answerer.seen.last().text, text.replace(QStringLiteral("%1"), target));
    QCOMPARE(QFile::exists(path("out/intro.html")), written);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
