// The viewer's real window under the offscreen platform, driven through its
// widgets' object names; every modal dialog is answered and recorded.
#include "dialoganswerer.h"
#include "helpxml.h"
#include "mainwindow.h"
#include "privatehome.h"
#include "qttranslation.h"
#include "searchpanel.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

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
    void initTestCase();
    void init();
    void cleanup();
    void startFile_data();
    void startFile();
    void startupDialog();
    void fileListAndLanguages();
    void followLink_data();
    void followLink();
    void address_data();
    void address();
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
    void keyboard_data();
    void keyboard();
    void toolTips_data();
    void toolTips();

private:
    QString path(const QString &name) const { return workDir->filePath(name); }
    template <class T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QString shownText() const { return child<QTextBrowser>("contentBrowser")->toPlainText(); }
    QString shownLanguage() const { return child<QComboBox>("languageComboBox")->currentText(); }
    // The line under the topic's name: "AUTHOR (vVERSION)".
    QString byline() const { return shownText().section(u'\n', 1, 1); }
    void clickEntry(const char *list, int row) const;

    PrivateHome home;
    std::unique_ptr<QTemporaryDir> workDir;
    std::unique_ptr<MainWindow> window;
    QString savedCurrent;
};

// Qt's key names and buttons as the program shows them.
void TestMainWindow::initTestCase()
{
    ZkHelp::installQtTranslations(*QCoreApplication::instance());
}

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
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("entry");

    const QString viewer = u"ZK-Hilfe-Betrachter"_s;
    QTest::newRow("bare name") << "intro" << u"intro – "_s + viewer << "intro";
    QTest::newRow("name with extension") << "intro.zkhelp" << u"intro – "_s + viewer << "intro";
    QTest::newRow("path outside the search folders")
        << "outside/topic.zkhelp" << u"topic – "_s + viewer << "";
    QTest::newRow("that path without extension") << "outside/topic" << u"topic – "_s + viewer << "";
    QTest::newRow("unknown name") << "nowhere" << viewer << "";
    QTest::newRow("a folder") << "outside" << viewer << "";
    QTest::newRow("a folder named like a help file") << "help2/folder.zkhelp" << viewer << "";
    QTest::newRow("address") << "zkhelp:intro?lang=de" << u"intro – "_s + viewer << "intro";
    QTest::newRow("address of an unknown name") << "zkhelp:nowhere" << viewer << "";
    QTest::newRow("address of a path") << "zkhelp:outside/topic" << viewer << "";
    QTest::newRow("address leaving the folders") << "zkhelp:../outside/topic" << viewer << "";
    QTest::newRow("malformed address") << "zkhelp:intro%" << viewer << "";
}

// A start file that resolves is shown at once, named in the heading and the
// title and marked in the list when it is there; anything else brings up the
// file dialog instead.
void TestMainWindow::startFile()
{
    QFETCH(QString, startFile);
    QFETCH(QString, title);
    QFETCH(QString, entry);
    const bool shown = title.contains(u'–');
    QVERIFY(TestFiles::write(path("outside/topic.zkhelp"), helpFile("Redaktion")));
    QVERIFY(QDir().mkpath(path("help2/folder.zkhelp")));

    const QStringList asked{u"Hilfe-Datei öffnen in "_s + QCoreApplication::applicationDirPath()};
    DialogAnswerer answerer(shown ? QStringList() : QStringList{u"reject"_s});
    window = std::make_unique<MainWindow>(startFile);
    window->show();
    QTRY_COMPARE(answerer.seen, shown ? QStringList() : asked);
    QTest::qWait(30);
    QCOMPARE(answerer.seen.size(), shown ? 0 : 1);
    QCOMPARE(shownText().startsWith(title.section(u' ', 0, 0) + u"\nRedaktion (v1.0)\n"_s), shown);
    QCOMPARE(window->windowTitle(), title);
    const QListWidgetItem *marked = child<QListWidget>("fileListWidget")->currentItem();
    QCOMPARE(marked ? marked->text() : QString(), entry);
    QCOMPARE(marked && marked->isSelected(), !entry.isEmpty());
}

// No Path and no help file: Path comes to name the working folder, and the
// dialog offers the search folders first, the last one at the top. Once it
// is cancelled, the page names the folders read and the ways on, and Ctrl+O
// asks again.
void TestMainWindow::startupDialog()
{
    QVERIFY(QFile::remove(path("Path")));
    QVERIFY(TestFiles::write(path("elsewhere/chosen.zkhelp"), helpFile("Chosen")));
    QList<QUrl> sidebar;
    QString directory;
    const QString appDir = QCoreApplication::applicationDirPath();
    DialogAnswerer answerer({u"reject"_s, u"choose:"_s + path("elsewhere/chosen.zkhelp")});
    answerer.inspectFileDialog = [&](QFileDialog *dialog) {
        sidebar = dialog->sidebarUrls().mid(0, 2);
        directory = dialog->directory().absolutePath();
    };
    window = std::make_unique<MainWindow>();
    window->show();
    const QString dialog = u"Hilfe-Datei öffnen in "_s + appDir;
    QTRY_COMPARE(answerer.seen, QStringList(dialog));
    QCOMPARE(window->windowTitle(), u"ZK-Hilfe-Betrachter"_s);
    for (const QString &told : {workDir->path() + u": 0 Hilfedateien\n"_s, u"„Öffnen...“"_s,
                                workDir->filePath(u"Path"_s)})
        QVERIFY2(shownText().contains(told), qPrintable(told));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    QTRY_COMPARE(answerer.seen, QStringList({dialog, dialog}));

    QCOMPARE(TestFiles::read(path("Path")), workDir->path().toUtf8() + "\n");
    QCOMPARE(sidebar, QList({QUrl::fromLocalFile(workDir->path()), QUrl::fromLocalFile(appDir)}));
    QCOMPARE(directory, appDir);
    QVERIFY(shownText().startsWith(u"chosen\nChosen (v1.0)"_s));
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

    // The first topic comes in its first language; a second click on the
    // same entry keeps the language on screen.
    click(u"intro"_s);
    QCOMPARE(languages->count(), 2);
    QVERIFY(shownText().contains(u"Intro DE"_s));
    languages->setCurrentText(u"en"_s);
    QVERIFY(shownText().contains(u"Intro EN"_s));
    click(u"intro"_s);
    QVERIFY(shownText().contains(u"Intro EN"_s));
    click(u"Box"_s);
    QCOMPARE(shownLanguage(), u"de"_s);
    click(u"a.b"_s);
    QCOMPARE(languages->count(), 0);
    QCOMPARE(shownText(), u"Bitte wählen Sie eine Datei und Sprache aus."_s);
}

void TestMainWindow::followLink_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("dialogs");

    const QStringList none;
    QTest::newRow("plain name") << "usage"
                                << "there" << none << none;
    QTest::newRow("apostrophe, markup, ampersand, umlaut") << "it's <new> & Über"
                                                           << "there" << none << none;
    QTest::newRow("percent and blank") << "100% sicher"
                                       << "there" << none << none;
    QTest::newRow("colon, percent escape, fragment, query") << "Kapitel:1 p%41 a#b?c"
                                                            << "there" << none << none;
    QTest::newRow("missing file: no link") << "xyz"
                                           << "" << none << none;
    QTest::newRow("file removed after the page was shown")
        << "xyz"
        << "removed" << none << QStringList(u"Link: Datei nicht gefunden:\nxyz"_s);
    QTest::newRow("web") << "https://example.org/a?b=1&c=2"
                         << "" << QStringList(u"https://example.org/a?b=1&c=2"_s) << none;
    QTest::newRow("plain web") << "http://example.org/"
                               << "" << QStringList(u"http://example.org/"_s) << none;
    QTest::newRow("mail") << "mailto:hilfe@example.org"
                          << "" << QStringList(u"mailto:hilfe@example.org"_s) << none;
}

// Clicks the only link of the page; a help file of that name is by "Target"
// when target is "there", or gone by the click when "removed".
void TestMainWindow::followLink()
{
    QFETCH(QString, link);
    QFETCH(QString, target);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, dialogs);
    const bool loaded = target == u"there"_s;
    const QByteArray linkElement = "<link page=\"" + link.toHtmlEscaped().toUtf8() + "\"/>";
    QVERIFY(TestFiles::write(path("help1/start.zkhelp"),
                             helpFile("Start", "<lang name=\"de\"/>" + linkElement)));
    if (!target.isEmpty())
        QVERIFY(TestFiles::write(path("help2/" + link + ".zkhelp"), helpFile("Target")));
    UrlObserver observer;
    const QStringList schemes{u"http"_s, u"https"_s, u"mailto"_s};
    for (const QString &scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &observer, "open");
    window = std::make_unique<MainWindow>(u"start"_s);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(shownText().contains(u'\n' + link));
    if (target == u"removed"_s)
        QVERIFY(QFile::remove(path("help2/" + link + ".zkhelp")));

    auto *browser = child<QTextBrowser>("contentBrowser");
    QTextCursor middle = browser->document()->find(link);
    middle.setPosition((middle.selectionStart() + middle.selectionEnd()) / 2);
    DialogAnswerer answerer(dialogs.isEmpty() ? QStringList() : QStringList{u"Ok"_s});
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                      browser->cursorRect(middle).center());
    QTest::qWait(30);
    for (const QString &scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);

    QCOMPARE(byline() == u"Target (v1.0)"_s, loaded);
    QCOMPARE(observer.opened, opened);
    QCOMPARE(answerer.seen, dialogs);
}

void TestMainWindow::address_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("clicked"); // a link of a page rather than the start argument
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("top"); // the line the view starts at
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("fillers"); // help files besides
    // Which section and language an address picks is proven on the address
    // alone; these rows prove the window shows it and says what was missing.

    QTest::newRow("language and id") << "zkhelp:guide?lang=en#second" << false << "en"
                                     << "Second"
                                     << "" << 0;
    QTest::newRow("interface language") << "zkhelp:guide#second" << false << "en"
                                        << "Second"
                                        << "" << 0;
    QTest::newRow("missing section") << "zkhelp:guide?lang=en#9" << false << "en"
                                     << "guide"
                                     << "Abschnitt nicht gefunden: 9" << 3000;
    QTest::newRow("missing language") << "zkhelp:guide?lang=fr#1" << false << "en"
                                      << "First"
                                      << "Sprache nicht vorhanden: fr" << 0;
    QTest::newRow("both missing") << "zkhelp:g%75ide?lang=fr#x" << false << "en"
                                  << "guide"
                                  << "Sprache nicht vorhanden: fr; Abschnitt nicht gefunden: x"
                                  << 0;
    QTest::newRow("link") << "zkhelp:guide?lang=en#second" << true << "en"
                          << "Second"
                          << "" << 0;
    QTest::newRow("link, missing section") << "zkhelp:guide#nope" << true << "en"
                                           << "guide"
                                           << "Abschnitt nicht gefunden: nope" << 0;
}

// The interface language is British English, so that an address without a
// language of the file's shows the English text, not the first (German).
void TestMainWindow::address()
{
    QFETCH(QString, address);
    QFETCH(bool, clicked);
    QFETCH(int, fillers);
    const QByteArray sections = HelpXml::section("First", "one", "", "first") +
                                HelpXml::section("Second", "two", "", "second");
    QVERIFY(TestFiles::write(
        path("help1/guide.zkhelp"),
        helpFile("Guide", HelpXml::language("de", "Anleitung",
                                            HelpXml::section("Erster", "eins", "", "first") +
                                                HelpXml::section("Zweiter", "zwei", "", "second")) +
                              HelpXml::language("en", "Guide", sections))));
    QVERIFY(
        TestFiles::write(path("help1/start.zkhelp"),
                         helpFile("Start", "<lang name=\"de\"/>" +
                                               HelpXml::link(address.toHtmlEscaped().toUtf8()))));
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const auto restore = qScopeGuard([&saved] { QLocale::setDefault(saved); });
    // Enough files new to the index that it is still built, counting in the
    // status bar, once the topic is shown.
    for (int i = 0; i < fillers; ++i)
        QVERIFY(TestFiles::write(path(u"help2/f%1.zkhelp"_s.arg(i)), helpFile("F")));
    window = std::make_unique<MainWindow>(clicked ? u"start"_s : address);
    // What the address lacked outlasts the count of the index built meanwhile.
    QTRY_VERIFY(!window->findChild<SearchPanel *>()->isIndexing());
    auto *browser = child<QTextBrowser>("contentBrowser");
    if (clicked) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTextCursor middle = browser->document()->find(address);
        middle.setPosition((middle.selectionStart() + middle.selectionEnd()) / 2);
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                          browser->cursorRect(middle).center());
    }
    QTEST(shownLanguage(), "language");
    QTEST(browser->textCursor().block().text(), "top");
    QTEST(window->statusBar()->currentMessage(), "status");
}

void TestMainWindow::exportButton_data()
{
    QTest::addColumn<QString>("startFile");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("author");
    QTest::addColumn<bool>("opened");

    const QString choose = u"Export-Ordner wählen"_s;
    const QString success = choose + u"|Erfolg: Export nach:\n%1"_s;
    QTest::newRow("no topic shown") << ""
                                    << "out"
                                    << "Ok"
                                    << "Export: Bitte wählen Sie eine Datei aus der Liste."
                                    << "" << false;
    QTest::newRow("folder dialog cancelled") << "intro"
                                             << ""
                                             << "Ok" << choose << "" << false;
    QTest::newRow("written") << "intro"
                             << "out"
                             << "Ok" << success << "Redaktion" << false;
    QTest::newRow("written, folder opened") << "intro"
                                            << "out"
                                            << "Ordner öffnen" << success << "Redaktion" << true;
    QTest::newRow("topic outside, named like one in the folders")
        << "outside/intro.zkhelp"
        << "out"
        << "Ok" << success << "Draussen" << false;
    QTest::newRow("folder inside a file") << "intro"
                                          << "blocker/out"
                                          << "Ok" << choose + "|Fehler: Export fehlgeschlagen."
                                          << "" << false;
}

// The topic on screen is exported, whatever the list shows. The folder is
// typed into the dialog as a user would, one that cannot exist included;
// "result" is every dialog seen, one after the other, the last one answered
// with answer.
void TestMainWindow::exportButton()
{
    QFETCH(QString, startFile);
    QFETCH(QString, folder);
    QFETCH(QString, answer);
    QFETCH(QString, result);
    QFETCH(QString, author);
    QFETCH(bool, opened);
    QVERIFY(QDir().mkpath(path("out")));
    QVERIFY(TestFiles::write(path("blocker"), "a file"));
    QVERIFY(TestFiles::write(path("outside/intro.zkhelp"), helpFile("Draussen")));
    const QString target = folder.isEmpty() ? QString() : path(folder);
    UrlObserver observer;
    QDesktopServices::setUrlHandler(u"file"_s, &observer, "open");

    window = std::make_unique<MainWindow>(startFile);
    child<QListWidget>("fileListWidget")->setCurrentRow(0);
    DialogAnswerer answerer({u"reject"_s, answer});
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
    QDesktopServices::unsetUrlHandler(u"file"_s);

    QCOMPARE(answerer.seen.join(u"|"_s), QString(result).replace(u"%1"_s, target));
    QCOMPARE(QFile::exists(path("out/intro.html")), !author.isEmpty());
    QVERIFY(TestFiles::read(path("out/intro.html")).contains(author.toUtf8()));
    QCOMPARE(observer.opened,
             opened ? QStringList(QUrl::fromLocalFile(target).toString()) : QStringList());
}

void TestMainWindow::clickEntry(const char *list, int row) const
{
    auto *view = child<QAbstractItemView>(list);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(row, 0)).center());
}

// The status bar shows how far the index is while it is built. A hit opens its topic in its
// language at its section.
void TestMainWindow::fullTextSearch()
{
    for (int i = 0; i < 6000; ++i)
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
    // The count may stand for a few milliseconds only.
    QSignalSpy messages(window->statusBar(), &QStatusBar::messageChanged);
    const QAbstractItemModel *results = child<QAbstractItemView>("searchResultsList")->model();
    // The files are listed on another thread, then indexed in slices.
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    QVERIFY(!messages.isEmpty());
    const QString count = messages.first().first().toString();
    QVERIFY2(count.startsWith(u"Index: "_s) && count.endsWith(u" von 6002 Dateien"_s),
             qPrintable(count));
    QCOMPARE(window->statusBar()->currentMessage(), QString());

    QTest::keyClicks(child<QLineEdit>("fullTextLineEdit"), u"fuellwort"_s);
    QTRY_COMPARE(results->rowCount(), 500);

    child<QLineEdit>("fullTextLineEdit")->setText(u"nirgends"_s);
    QTRY_COMPARE(window->statusBar()->currentMessage(), u"Keine Treffer."_s);
    // A pasted text: only its first 32 words are searched, and that is said.
    QStringList pasted;
    for (int i = 0; i < 33; ++i)
        pasted.append(u"fuellwort wort%1"_s.arg(i));
    child<QLineEdit>("fullTextLineEdit")->setText(pasted.join(u' '));
    QTRY_COMPARE(window->statusBar()->currentMessage(), u"Suchanfrage gekuerzt auf 32 Woerter"_s);
    child<QLineEdit>("fullTextLineEdit")->setText(u"NEEDLE hides"_s);
    QTRY_COMPARE(results->rowCount(), 1);
    clickEntry("searchResultsList", 0);
    QCOMPARE(shownLanguage(), u"en"_s);
    auto *browser = child<QTextBrowser>("contentBrowser");
    QCOMPARE(browser->textCursor().block().text(), u"Second"_s);
    QStringList marked;
    for (const QTextEdit::ExtraSelection &mark : browser->extraSelections())
        marked.append(mark.cursor.selectedText());
    QCOMPARE(marked, QStringList({u"needle"_s, u"hides"_s}));
    // Another topic drops the marks; the hit keeps its language over the
    // one on screen.
    auto *files = child<QListWidget>("fileListWidget");
    clickEntry("fileListWidget", files->row(files->findItems(u"f0"_s, Qt::MatchExactly)[0]));
    QCOMPARE(browser->extraSelections().size(), 0);
    QCOMPARE(shownLanguage(), u"de"_s);
    clickEntry("searchResultsList", 0);
    QCOMPARE(shownLanguage(), u"en"_s);
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
        return byline().section(u' ', 0, 0) + u' ' + shownLanguage() + u' ' +
               QString::number(back->isEnabled()) + QString::number(forward->isEnabled());
    };
    QCOMPARE(state(), u"Redaktion de 00"_s);
    child<QComboBox>("languageComboBox")->setCurrentText(u"en"_s);
    const int usageRow = child<QListWidget>("fileListWidget")
                             ->row(child<QListWidget>("fileListWidget")
                                       ->findItems(u"usage"_s, Qt::MatchExactly)
                                       .value(0));
    clickEntry("fileListWidget", usageRow);
    QCOMPARE(state(), u"Usage en 10"_s);
    child<QComboBox>("languageComboBox")->setCurrentText(u"de"_s);
    back->trigger();
    QCOMPARE(state(), u"Redaktion en 01"_s);
    forward->trigger();
    QCOMPARE(state(), u"Usage de 10"_s);
    back->trigger();
    clickEntry("fileListWidget", usageRow);
    QCOMPARE(state(), u"Usage en 10"_s);
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
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("match");
    QTest::addColumn<QString>("count");
    QTest::addColumn<bool>("open");

    const QList<QKeyCombination> none;
    const QKeyCombination enter(Qt::Key_Return);
    const QKeyCombination f3(Qt::Key_F3);
    const QKeyCombination back(Qt::SHIFT | Qt::Key_F3);
    QTest::newRow("typing finds the first") << "alpha" << none << "" << 0 << "3 Treffer" << true;
    QTest::newRow("Enter goes on")
        << "alpha" << QList<QKeyCombination>{enter} << "" << 1 << "3 Treffer" << true;
    QTest::newRow("F3 goes round the end")
        << "alpha" << QList<QKeyCombination>{f3, f3, f3} << "" << 0 << "3 Treffer" << true;
    QTest::newRow("Shift+F3 goes back round")
        << "alpha" << QList<QKeyCombination>{back} << "" << 2 << "3 Treffer" << true;
    QTest::newRow("next button") << "alpha" << none << "findNextButton" << 1 << "3 Treffer" << true;
    QTest::newRow("previous button")
        << "alpha" << none << "findPreviousButton" << 2 << "3 Treffer" << true;
    QTest::newRow("one match") << "gamma" << none << "" << 3 << "1 Treffer" << true;
    QTest::newRow("no match") << "omega" << none << "" << -1 << "0 Treffer" << true;
    QTest::newRow("a match lost while typing")
        << "alphas" << none << "" << -1 << "0 Treffer" << true;
    QTest::newRow("Escape closes")
        << "alpha" << QList<QKeyCombination>{QKeyCombination(Qt::Key_Escape)} << "" << -1 << ""
        << false;
    QTest::newRow("close button") << "alpha" << none << "findCloseButton" << -1 << "" << false;
}

void TestMainWindow::findBar()
{
    QFETCH(QString, text);
    QFETCH(QList<QKeyCombination>, keys);
    QFETCH(QString, button);
    QFETCH(int, match);
    QFETCH(QString, count);
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
    if (!button.isEmpty())
        QTest::mouseClick(child<QToolButton>(qPrintable(button)), Qt::LeftButton);

    auto *browser = child<QTextBrowser>("contentBrowser");
    const QTextCursor cursor = browser->textCursor();
    const QList<qsizetype> starts{shownText().indexOf(u"Alpha"_s), shownText().indexOf(u"alpha"_s),
                                  shownText().indexOf(u"ALPHA"_s), shownText().indexOf(u"gamma"_s)};
    QCOMPARE(cursor.hasSelection() ? starts.indexOf(cursor.selectionStart()) : -1, match);
    QCOMPARE(child<QLabel>("findCountLabel")->text(), count);
    QCOMPARE(browser->extraSelections().size(), count.section(u' ', 0, 0).toInt());
    QCOMPARE(field->palette().color(QPalette::Base) != normal, count == u"0 Treffer"_s);
    QCOMPARE(child<QWidget>("findBar")->isVisible(), open);
}

// Zoom, size and splitter come back in the next window. Ctrl+wheel zooms,
// the description too, in steps Ctrl+0 undoes with the rest; the status
// bar tells the level.
void TestMainWindow::zoomAndWindowRemembered()
{
    window = std::make_unique<MainWindow>(u"intro"_s);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *browser = child<QTextBrowser>("contentBrowser");
    const qreal normal = browser->font().pointSizeF();
    const auto descriptionHeight = [this] {
        auto *browser = child<QTextBrowser>("contentBrowser");
        return browser->cursorRect(browser->document()->find(u"Intro DE"_s)).height();
    };
    const int normalHeight = descriptionHeight();
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
    browser = child<QTextBrowser>("contentBrowser");
    QCOMPARE(browser->font().pointSizeF(), zoomed);
    // A notch, then a touchpad's small turns making up another.
    for (const int turn : {120, 40, 40, 40}) {
        const QPointF centre = browser->viewport()->rect().center();
        QWheelEvent wheel(centre, browser->viewport()->mapToGlobal(centre), {}, {0, turn},
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(browser->viewport(), &wheel);
    }
    QCOMPARE(browser->font().pointSizeF(), zoomed + 2);
    QVERIFY(descriptionHeight() > normalHeight);
    QVERIFY(window->statusBar()->currentMessage().contains(
        QRegularExpression(u"^Zoom: 1[1-9]\\d %$"_s)));
    QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(browser->font().pointSizeF(), normal);
    QCOMPARE(descriptionHeight(), normalHeight);
    QCOMPARE(window->statusBar()->currentMessage(), u"Zoom: 100 %"_s);
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

void TestMainWindow::keyboard_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("focused");

    QTest::newRow("Return opens") << QKeyCombination(Qt::Key_Return) << "fileListWidget";
    QTest::newRow("Enter opens") << QKeyCombination(Qt::Key_Enter) << "fileListWidget";
    QTest::newRow("Ctrl+L") << QKeyCombination(Qt::CTRL | Qt::Key_L) << "searchLineEdit";
    QTest::newRow("Ctrl+Shift+F") << QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::Key_F)
                                  << "fullTextLineEdit";
}

// The key is pressed on the list's first entry; only Enter opens it.
void TestMainWindow::keyboard()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, focused);
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *list = child<QListWidget>("fileListWidget");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, key.key(), key.keyboardModifiers());
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    QCOMPARE(byline() == u"Redaktion (v1.0)"_s, focused == u"fileListWidget"_s);
}

void TestMainWindow::toolTips_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("open") << "actionOpen"
                          << "Öffnen (Strg+O)";
    QTest::newRow("back") << "actionBack"
                          << "Zurück (Alt+Links)";
    QTest::newRow("zoom in") << "actionZoomIn"
                             << "Vergrößern (Strg++)";
    QTest::newRow("no key") << "actionSavePdf"
                            << "Als PDF speichern";
}

void TestMainWindow::toolTips()
{
    QFETCH(QString, action);
    QFETCH(QString, toolTip);
    window = std::make_unique<MainWindow>(u"intro"_s);
    QCOMPARE(window->findChild<QAction *>(action)->toolTip(), toolTip);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
