// The viewer's real window under the offscreen platform, driven through its
// widgets' object names; every modal dialog is answered and recorded.
#include "dialoganswerer.h"
#include "helpxml.h"
#include "mainwindow.h"
#include "privatehome.h"
#include "searchpanel.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A help file by author, holding body (one empty language unless given).
QByteArray helpFile(const QByteArray &author, const QByteArray &body = "<lang name=\"de\"/>")
{
    return HelpXml::file(body, "version=\"1.0\" author=\"" + author + '"');
}

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
    void fullTextSearch();
    void history();
    void historyKeepsScroll();
    void findBar_data();
    void findBar();
    void zoomAndWindowRemembered();
    void savePdf_data();
    void savePdf();

private:
    QString path(const QString &name) const { return workDir->filePath(name); }
    template <class T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QString shownText() const { return child<QTextBrowser>("contentBrowser")->toPlainText(); }
    QString shownLanguage() const { return child<QComboBox>("languageComboBox")->currentText(); }
    void clickEntry(const char *list, int row) const;

    PrivateHome home;
    std::unique_ptr<QTemporaryDir> workDir;
    std::unique_ptr<MainWindow> window;
    QString savedCurrent;
};

// Each test runs in a working folder of its own, as the window writes "Path"
// into it; that Path names help1 and help2.
void TestMainWindow::init()
{
    QTest::failOnWarning(QRegularExpression(u"connectSlotsByName"_s));
    workDir = std::make_unique<QTemporaryDir>();
    QVERIFY2(workDir->isValid(), qPrintable(workDir->errorString()));
    savedCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workDir->path()));
    QVERIFY(TestFiles::write(path("Path"), path("help1").toUtf8() + "\n" + path("help2").toUtf8()));
    QVERIFY(QDir().mkpath(path("help2")));
    QVERIFY(TestFiles::write(path("help1/intro.zkhelp"),
                             helpFile("Redaktion",
                                      "<lang name=\"en\"><description>Intro EN</description>"
                                      "</lang><lang name=\"de\"><description>Intro DE"
                                      "</description></lang>")));
}

void TestMainWindow::cleanup()
{
    window.reset();
    QDir::setCurrent(savedCurrent);
    workDir->setAutoRemove(!QTest::currentTestFailed());
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

// A start file that resolves is shown at once; anything else brings up the
// file dialog instead.
void TestMainWindow::startFile()
{
    QFETCH(QString, startFile);
    QFETCH(bool, shown);
    QVERIFY(TestFiles::write(path("outside/topic.zkhelp"), helpFile("Redaktion")));
    QVERIFY(QDir().mkpath(path("help2/folder.zkhelp")));

    const QStringList asked{u"Hilfe-Datei öffnen in "_s + QCoreApplication::applicationDirPath()};
    DialogAnswerer answerer(shown ? QStringList() : QStringList{u"reject"_s});
    window = std::make_unique<MainWindow>(startFile);
    window->show();
    QTRY_COMPARE(answerer.seen, shown ? QStringList() : asked);
    QTest::qWait(30);
    QCOMPARE(answerer.seen.size(), shown ? 0 : 1);
    QCOMPARE(shownText().startsWith(u"Redaktion (v1.0)"_s), shown);
    QCOMPARE(child<QListWidget>("fileListWidget")->count(), 1);
    QCOMPARE(child<QListWidget>("fileListWidget")->currentItem(), nullptr);
}

// No Path and no help file: Path comes to name the working folder, and the
// dialog offers the search folders first, the last one at the top.
void TestMainWindow::startupDialog()
{
    QVERIFY(QFile::remove(path("Path")));
    QVERIFY(TestFiles::write(path("elsewhere/chosen.zkhelp"), helpFile("Chosen")));
    QList<QUrl> sidebar;
    QString directory;
    const QString appDir = QCoreApplication::applicationDirPath();
    DialogAnswerer answerer({u"choose:"_s + path("elsewhere/chosen.zkhelp")});
    answerer.inspectFileDialog = [&](QFileDialog *dialog) {
        sidebar = dialog->sidebarUrls().mid(0, 2);
        directory = dialog->directory().absolutePath();
    };
    window = std::make_unique<MainWindow>();
    window->show();
    QTRY_COMPARE(answerer.seen, QStringList(u"Hilfe-Datei öffnen in "_s + appDir));

    QCOMPARE(TestFiles::read(path("Path")), workDir->path().toUtf8() + "\n");
    QCOMPARE(sidebar, QList({QUrl::fromLocalFile(workDir->path()), QUrl::fromLocalFile(appDir)}));
    QCOMPARE(directory, appDir);
    QVERIFY(shownText().startsWith(u"Chosen (v1.0)"_s));
}

void TestMainWindow::fileListAndLanguages()
{
    QVERIFY(TestFiles::write(path("help2/a.b.zkhelp"), helpFile("A", "")));
    QVERIFY(TestFiles::write(path("help2/Box.zkhelp"), helpFile("B")));
    window = std::make_unique<MainWindow>();
    auto *list = child<QListWidget>("fileListWidget");
    auto *languages = child<QComboBox>("languageComboBox");
    const auto names = [list] {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts.append(list->item(row)->text());
        texts.sort();
        return texts;
    };
    const auto click = [list](const QString &name) {
        const QRect place = list->visualItemRect(list->findItems(name, Qt::MatchExactly).value(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    };
    QCOMPARE(names(), QStringList({"Box", "a.b", "intro"}));
    QTest::keyClicks(child<QLineEdit>("searchLineEdit"), u"oX"_s);
    QCOMPARE(names(), QStringList({"Box"}));
    child<QLineEdit>("searchLineEdit")->clear();
    QCOMPARE(names(), QStringList({"Box", "a.b", "intro"}));

    // A second click on the same entry starts again from the first language.
    for (int round = 0; round < 2; ++round) {
        click(u"intro"_s);
        QCOMPARE(languages->count(), 2);
        QVERIFY(shownText().contains(u"Intro DE"_s));
        languages->setCurrentText(u"en"_s);
        QVERIFY(shownText().contains(u"Intro EN"_s));
    }
    click(u"a.b"_s);
    QCOMPARE(languages->count(), 0);
    QCOMPARE(shownText(), u"Bitte wählen Sie eine Datei und Sprache aus."_s);
}

void TestMainWindow::followLink_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("dialogs");

    const QStringList none;
    QTest::newRow("plain name") << "usage" << true << none << none;
    QTest::newRow("apostrophe, markup, ampersand, umlaut")
        << "it's <new> & Über" << true << none << none;
    QTest::newRow("percent and blank") << "100% sicher" << true << none << none;
    QTest::newRow("colon, percent escape, fragment, query")
        << "Kapitel:1 p%41 a#b?c" << true << none << none;
    QTest::newRow("missing file") << "xyz" << false << none
                                  << QStringList(u"Link: Datei nicht gefunden:\nxyz"_s);
    QTest::newRow("web") << "https://example.org/a?b=1&c=2" << false
                         << QStringList(u"https://example.org/a?b=1&c=2"_s) << none;
    QTest::newRow("plain web") << "http://example.org/" << false
                               << QStringList(u"http://example.org/"_s) << none;
    QTest::newRow("mail") << "mailto:hilfe@example.org" << false
                          << QStringList(u"mailto:hilfe@example.org"_s) << none;
}

// Clicks the only link of the page; a help file of that name is by "Target".
void TestMainWindow::followLink()
{
    QFETCH(QString, link);
    QFETCH(bool, loaded);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, dialogs);
    const QByteArray linkElement = "<link page=\"" + link.toHtmlEscaped().toUtf8() + "\"/>";
    QVERIFY(TestFiles::write(path("help1/start.zkhelp"),
                             helpFile("Start", "<lang name=\"de\"/>" + linkElement)));
    if (loaded)
        QVERIFY(TestFiles::write(path("help2/" + link + ".zkhelp"), helpFile("Target")));
    UrlObserver observer;
    const QStringList schemes{u"http"_s, u"https"_s, u"mailto"_s};
    for (const QString &scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &observer, "open");
    window = std::make_unique<MainWindow>(u"start"_s);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(shownText().endsWith(u'\n' + link));

    auto *browser = child<QTextBrowser>("contentBrowser");
    QTextCursor middle = browser->document()->find(link);
    middle.setPosition((middle.selectionStart() + middle.selectionEnd()) / 2);
    DialogAnswerer answerer(dialogs.isEmpty() ? QStringList() : QStringList{u"Ok"_s});
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                      browser->cursorRect(middle).center());
    QTest::qWait(30);
    for (const QString &scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);

    QCOMPARE(shownText().startsWith(u"Target (v1.0)"_s), loaded);
    QCOMPARE(observer.opened, opened);
    QCOMPARE(answerer.seen, dialogs);
}

void TestMainWindow::exportButton_data()
{
    QTest::addColumn<bool>("selectEntry");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("written");

    const QString choose = u"Export-Ordner wählen"_s;
    QTest::newRow("no entry chosen")
        << false << "out"
        << "Export: Bitte wählen Sie eine Datei aus der Liste." << false;
    QTest::newRow("folder dialog cancelled") << true << "" << choose << false;
    QTest::newRow("written") << true << "out" << choose + "|Erfolg: Export nach:\n%1" << true;
    QTest::newRow("folder inside a file")
        << true << "blocker/out" << choose + "|Fehler: Export fehlgeschlagen." << false;
}

// The folder is typed into the dialog as a user would, one that cannot
// exist included; "result" is every dialog seen, one after the other.
void TestMainWindow::exportButton()
{
    QFETCH(bool, selectEntry);
    QFETCH(QString, folder);
    QFETCH(QString, result);
    QFETCH(bool, written);
    QVERIFY(QDir().mkpath(path("out")));
    QVERIFY(TestFiles::write(path("blocker"), "a file"));
    const QString target = folder.isEmpty() ? QString() : path(folder);

    window = std::make_unique<MainWindow>();
    if (selectEntry)
        child<QListWidget>("fileListWidget")->setCurrentRow(0);
    DialogAnswerer answerer({u"reject"_s, u"Ok"_s});
    // Accepted as it stands: the dialog itself would refuse a folder that
    // cannot exist before the window sees it.
    answerer.inspectFileDialog = [&](QFileDialog *dialog) {
        if (target.isEmpty())
            return;
        dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(target);
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    };
    child<QPushButton>("exportButton")->click();
    QTest::qWait(30);

    QCOMPARE(answerer.seen.join(u"|"_s), QString(result).replace(u"%1"_s, target));
    QCOMPARE(QFile::exists(path("out/intro.html")), written);
}

void TestMainWindow::clickEntry(const char *list, int row) const
{
    auto *view = child<QAbstractItemView>(list);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(row, 0)).center());
}

// Hits come in while the index is still being built, complete once it is;
// the status bar shows how far it is. A hit opens its topic in its language
// at its section.
void TestMainWindow::fullTextSearch()
{
    for (int i = 0; i < 3000; ++i)
        QVERIFY(TestFiles::write(path(u"help2/f%1.zkhelp"_s.arg(i)),
                                 helpFile("F", "<lang name=\"de\"><description>Fuellwort "
                                               "</description></lang>")));
    QVERIFY(TestFiles::write(
        path(u"help1/guide.zkhelp"_s),
        helpFile("Guide", "<lang name=\"de\"><description>Anleitung</description></lang>"
                          "<lang name=\"en\"><description>Guide</description>"
                          "<section name=\"First\">one</section><section name=\"Second\">"
                          "Lorem ipsum dolor, the needle hides here.</section></lang>")));
    window = std::make_unique<MainWindow>();
    QSignalSpy finished(window->findChild<SearchPanel *>(), &SearchPanel::indexFinished);
    const QAbstractItemModel *results = child<QAbstractItemView>("searchResultsList")->model();
    QVERIFY(window->statusBar()->currentMessage().startsWith(u"Index: "_s));
    QVERIFY(window->statusBar()->currentMessage().endsWith(u" von 3002 Dateien"_s));

    QTest::keyClicks(child<QLineEdit>("fullTextLineEdit"), u"fuellwort"_s);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    QCOMPARE(window->statusBar()->currentMessage(), QString());
    QTRY_COMPARE(results->rowCount(), 500);

    child<QLineEdit>("fullTextLineEdit")->setText(u"nirgends"_s);
    QTRY_COMPARE(window->statusBar()->currentMessage(), u"Keine Treffer."_s);
    // A pasted text: only its first 32 words are searched, and that is said.
    QStringList pasted;
    for (int i = 0; i < 33; ++i)
        pasted.append(u"fuellwort wort%1"_s.arg(i));
    child<QLineEdit>("fullTextLineEdit")->setText(pasted.join(u' '));
    QTRY_COMPARE(window->statusBar()->currentMessage(), u"Suchanfrage gekuerzt auf 32 Woerter"_s);
    child<QLineEdit>("fullTextLineEdit")->setText(u"NEEDLE"_s);
    QTRY_COMPARE(results->rowCount(), 1);
    clickEntry("searchResultsList", 0);
    QCOMPARE(shownLanguage(), u"en"_s);
    QCOMPARE(child<QTextBrowser>("contentBrowser")->textCursor().block().text(), u"Second"_s);
}

// Back and forward, each topic in the language it had when it was left.
void TestMainWindow::history()
{
    QVERIFY(TestFiles::write(path(u"help2/usage.zkhelp"_s),
                             helpFile("Usage", "<lang name=\"de\"/><lang name=\"en\"/>")));
    window = std::make_unique<MainWindow>(u"intro"_s);
    auto *back = window->findChild<QAction *>(u"actionBack"_s);
    auto *forward = window->findChild<QAction *>(u"actionForward"_s);
    const auto state = [&] {
        return shownText().section(u' ', 0, 0) + u' ' + shownLanguage() + u' ' +
               QString::number(back->isEnabled()) + QString::number(forward->isEnabled());
    };
    QCOMPARE(state(), u"Redaktion de 00"_s);
    child<QComboBox>("languageComboBox")->setCurrentText(u"en"_s);
    const int usageRow = child<QListWidget>("fileListWidget")
                             ->row(child<QListWidget>("fileListWidget")
                                       ->findItems(u"usage"_s, Qt::MatchExactly)
                                       .value(0));
    clickEntry("fileListWidget", usageRow);
    QCOMPARE(state(), u"Usage de 10"_s);
    child<QComboBox>("languageComboBox")->setCurrentText(u"en"_s);
    back->trigger();
    QCOMPARE(state(), u"Redaktion en 01"_s);
    forward->trigger();
    QCOMPARE(state(), u"Usage en 10"_s);
    back->trigger();
    clickEntry("fileListWidget", usageRow);
    QCOMPARE(state(), u"Usage de 10"_s);
}

// Back and Forward show each page scrolled as far as it was left, even where
// a long page shown anew is not laid out that far yet.
void TestMainWindow::historyKeepsScroll()
{
    // Long lines first: a layout that has reached only them guesses the
    // page far too short.
    const auto page = [](int sections) {
        QByteArray text = "<description>" + QByteArray("Wort ").repeated(300) + "</description>";
        for (int i = 0; i < sections; ++i)
            text += "<section name=\"S" + QByteArray::number(i) + "\">Text</section>";
        return helpFile("Long", "<lang name=\"de\">" + text + "</lang>");
    };
    QVERIFY(TestFiles::write(path(u"help1/long.zkhelp"_s), page(6000)));
    QVERIFY(TestFiles::write(path(u"help1/short.zkhelp"_s), page(30)));
    window = std::make_unique<MainWindow>(u"long"_s);
    window->show();
    QScrollBar *bar = child<QTextBrowser>("contentBrowser")->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 200000);
    bar->setValue(200000);
    auto *files = child<QListWidget>("fileListWidget");
    clickEntry("fileListWidget", files->row(files->findItems(u"short"_s, Qt::MatchExactly)[0]));
    bar->setValue(100);
    window->findChild<QAction *>(u"actionBack"_s)->trigger();
    QCOMPARE(bar->value(), 200000);
    window->findChild<QAction *>(u"actionForward"_s)->trigger();
    QCOMPARE(bar->value(), 100);
}

void TestMainWindow::findBar_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<int>("match");
    QTest::addColumn<bool>("coloured");
    QTest::addColumn<bool>("open");

    const QKeyCombination enter(Qt::Key_Return);
    const QKeyCombination f3(Qt::Key_F3);
    const QKeyCombination back(Qt::SHIFT | Qt::Key_F3);
    QTest::newRow("typing finds the first")
        << "alpha" << QList<QKeyCombination>() << 0 << false << true;
    QTest::newRow("Enter goes on")
        << "alpha" << QList<QKeyCombination>{enter} << 1 << false << true;
    QTest::newRow("F3 goes round the end")
        << "alpha" << QList<QKeyCombination>{f3, f3, f3} << 0 << false << true;
    QTest::newRow("Shift+F3 goes back round")
        << "alpha" << QList<QKeyCombination>{back} << 2 << false << true;
    QTest::newRow("no match") << "omega" << QList<QKeyCombination>() << -1 << true << true;
    QTest::newRow("Escape closes")
        << "alpha" << QList<QKeyCombination>{QKeyCombination(Qt::Key_Escape)} << 0 << false
        << false;
}

void TestMainWindow::findBar()
{
    QFETCH(QString, text);
    QFETCH(QList<QKeyCombination>, keys);
    QFETCH(int, match);
    QFETCH(bool, coloured);
    QFETCH(bool, open);
    QVERIFY(TestFiles::write(path(u"help1/page.zkhelp"_s),
                             helpFile("P", "<lang name=\"de\"><description>Alpha beta alpha "
                                           "gamma ALPHA</description></lang>")));
    window = std::make_unique<MainWindow>(u"page"_s);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *field = child<QLineEdit>("findLineEdit");
    const QColor normal = field->palette().color(QPalette::Base);
    QTest::keySequence(window.get(), QKeySequence::Find);
    QVERIFY(field->hasFocus());
    QTest::keyClicks(field, text);
    for (const QKeyCombination key : keys)
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());

    const QTextCursor cursor = child<QTextBrowser>("contentBrowser")->textCursor();
    const QList<qsizetype> starts{shownText().indexOf(u"Alpha"_s), shownText().indexOf(u"alpha"_s),
                                  shownText().indexOf(u"ALPHA"_s)};
    QCOMPARE(cursor.hasSelection() ? starts.indexOf(cursor.selectionStart()) : -1, match);
    QCOMPARE(field->palette().color(QPalette::Base) != normal, coloured);
    QCOMPARE(child<QWidget>("findBar")->isVisible(), open);
}

// Zoom, size and splitter come back in the next window.
void TestMainWindow::zoomAndWindowRemembered()
{
    window = std::make_unique<MainWindow>(u"intro"_s);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *browser = child<QTextBrowser>("contentBrowser");
    const qreal normal = browser->font().pointSizeF();
    QTest::keySequence(window.get(), QKeySequence::ZoomIn);
    QTest::keySequence(window.get(), QKeySequence::ZoomIn);
    QTest::keySequence(window.get(), QKeySequence::ZoomOut);
    const qreal zoomed = browser->font().pointSizeF();
    QVERIFY(zoomed > normal);
    window->resize(640, 480);
    child<QSplitter>("splitter")->setSizes({100, 500});
    const QList<int> sizes = child<QSplitter>("splitter")->sizes();
    window->close();

    window = std::make_unique<MainWindow>(u"intro"_s);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(window->size(), QSize(640, 480));
    QCOMPARE(child<QSplitter>("splitter")->sizes(), sizes);
    QCOMPARE(child<QTextBrowser>("contentBrowser")->font().pointSizeF(), zoomed);
    QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(child<QTextBrowser>("contentBrowser")->font().pointSizeF(), normal);
    window->close();
}

void TestMainWindow::savePdf_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("failure");

    QTest::newRow("written") << "out"
                             << "";
    QTest::newRow("folder missing")
        << "missing/out"
        << "Fehler: PDF konnte nicht geschrieben werden:\n%1/missing/out.pdf";
}

// "chosen" is typed into the file dialog; the extension is added to it.
void TestMainWindow::savePdf()
{
    QFETCH(QString, chosen);
    QFETCH(QString, failure);
    failure.replace(u"%1"_s, workDir->path());
    window = std::make_unique<MainWindow>(u"intro"_s);
    DialogAnswerer answerer({u"choose:"_s + path(chosen), u"Ok"_s}, workDir->path());
    window->findChild<QAction *>(u"actionSavePdf"_s)->trigger();
    QStringList dialogs{u"Als PDF speichern in ~"_s};
    if (!failure.isEmpty())
        dialogs.append(failure);
    QCOMPARE(answerer.seen, dialogs);
    QCOMPARE(TestFiles::read(path(chosen + u".pdf"_s)).startsWith("%PDF"), failure.isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
