// The editor window driven through its object names: each case is a short
// script of clicks, edits and commands on a project in a fresh folder, with
// the dialogs it raises answered in order; then the dialogs seen, the tree
// and the files on disk are compared.
#include "dialoganswerer.h"
#include "helpdatadump.h"
#include "helpparser.h"
#include "helpxml.h"
#include "mainwindow.h"
#include "privatehome.h"
#include "projecttree.h"
#include "testfiles.h"
#include "treenode.h"

#include <QContextMenuEvent>
#include <QDirIterator>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <optional>

namespace {

// "de:Intro,Usage;en:" gives the languages de with two sections and en with
// none; "!" followed by text gives that text in UTF-8, "%" in Latin-1.
QByteArray helpFile(const QString &outline)
{
    if (outline.startsWith('!') || outline.startsWith('%'))
        return outline.startsWith('!') ? outline.mid(1).toUtf8() : outline.mid(1).toLatin1();
    QByteArray body;
    for (const QString &lang : outline.split(';', Qt::SkipEmptyParts)) {
        const QByteArray key = lang.section(':', 0, 0).toUtf8();
        QByteArray sections;
        for (const QString &section : lang.section(':', 1).split(',', Qt::SkipEmptyParts))
            sections += HelpXml::section(section.toUtf8(), "c-" + section.toUtf8());
        body += HelpXml::language(key, "d-" + key, sections);
    }
    return HelpXml::file(body);
}

// Folders end in "/", children follow in brackets, a collapsed node gets "-".
QString treeDump(const QTreeWidgetItem *item)
{
    QStringList children;
    for (int i = 0; i < item->childCount(); ++i)
        children.append(treeDump(item->child(i)));
    const bool folder = ProjectTree::kindOf(item) == ProjectTree::KindFolder;
    const QString text = item->text(0) + (folder ? "/" : "") + (item->isExpanded() ? "" : "-");
    return children.isEmpty() ? text : text + "(" + children.join(",") + ")";
}

} // namespace

class TestEditorWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init();
    void cleanup();
    void rebuild_data();
    void rebuild() { runCase(); }
    void editing_data();
    void editing() { runCase(); }
    void contextMenu_data();
    void contextMenu() { runCase(); }
    void unsavedEdits_data();
    void unsavedEdits() { runCase(); }
    void projectCommands_data();
    void projectCommands() { runCase(); }
    void diskChanges_data();
    void diskChanges() { runCase(); }
    void recoveryAfterKill_data();
    void recoveryAfterKill();
    void translations_data();
    void translations() { runCase(); }
    void keyboard_data();
    void keyboard() { runCase(); }
    void largeProjects_data();
    void largeProjects() { runCase(); }

private:
    static void addColumns();
    void runCase();
    void step(const QString &line);
    QTreeWidgetItem *node(const QString &path) const;
    DialogAnswerer *answerer = nullptr;
    QString onDisk(const QString &file) const;

    PrivateHome home;
    QTemporaryDir pathDir;
    const QString pathFile = pathDir.filePath("Path");
    std::optional<QTemporaryDir> dir;
    std::optional<MainWindow> window;
};

// Every case starts without the "Path" file that projects are registered in.
void TestEditorWindow::init()
{
    QVERIFY2(pathDir.isValid(), qPrintable(pathDir.errorString()));
    dir.emplace();
    QVERIFY2(dir->isValid(), qPrintable(dir->errorString()));
    window.emplace(pathFile);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*window));
}

void TestEditorWindow::cleanup()
{
    window.reset();
    QDir().rmdir(pathFile);
    QFile::remove(pathFile);
    dir->setAutoRemove(!QTest::currentTestFailed());
}

// files: "REL=OUTLINE" (helpFile) in the project folder "p", opened as a project
// unless there are none; steps and answers, "; " between them: see step() and
// DialogAnswerer; dialogs: see DialogAnswerer;
// tree: treeDump of the top level; disk: onDisk of files after the case.
void TestEditorWindow::addColumns()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QStringList>("disk");
}

void TestEditorWindow::runCase()
{
    QFETCH(QStringList, files);
    QFETCH(QString, steps);
    QFETCH(QString, answers);
    QFETCH(QStringList, dialogs);
    QFETCH(QString, tree);
    QFETCH(QStringList, disk);

    if (!files.isEmpty()) {
        for (const QString &file : files)
            QVERIFY(TestFiles::write(dir->filePath("p/" + file.section('=', 0, 0)),
                                     helpFile(file.section('=', 1))));
        QVERIFY(TestFiles::write(dir->filePath("p/demo.zkproject"),
                                 "<zkproject name=\"Hilfe &amp; Übung\"/>"));
        DialogAnswerer open({"choose:p/demo.zkproject"}, dir->path());
        window->findChild<QAction *>("actionOpenProject")->trigger();
        QCOMPARE(open.seen, QStringList{"Projekt öffnen in ~"});
        QCOMPARE(window->windowHandle()->title(), "Editor - Hilfe & Übung");
    }
    DialogAnswerer answered(answers.split("; ", Qt::SkipEmptyParts), dir->path());
    answerer = &answered;
    for (const QString &line : steps.split("; ", Qt::SkipEmptyParts)) {
        step(line);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(answered.seen, dialogs);
    QCOMPARE(answered.pending, QStringList());
    QCOMPARE(treeDump(window->findChild<QTreeWidget *>("projectTree")->invisibleRootItem()),
             tree.isEmpty() ? "-" : "-(" + tree + ")");
    for (const QString &file : std::as_const(disk))
        QCOMPARE(onDisk(file.section('=', 0, 0)), file);
}

// "REL=DUMP" (helpdatadump.h) as the file is now, or "REL=missing".
QString TestEditorWindow::onDisk(const QString &file) const
{
    const QString path = dir->filePath("p/" + file);
    return file + "=" +
           (QFileInfo(path).isFile() ? dump(ZkHelp::HelpParser().parse(path)) : QString("missing"));
}

// Actions: "click NODE", "menu NODE" (right-click; "-" for empty space), "set
// OBJECT TEXT", "press BUTTON", "trigger ACTION", "select ROW" (of listLinks),
// "close closed|open", "key OBJECT KEYS" (such as Ctrl+Tab, sent to that
// widget); checks: "page PAGE", "enabled OBJECT yes|no" (a widget or an
// action), "shown OBJECT yes|no", "focus OBJECT yes|no", "text OBJECT TEXT",
// "tip NODE TEXT" (its tool tip), "bold NODE yes|no", "hidden NODE yes|no",
// "current NODE" ("-" for none), "status TEXT", "title TEXT" (as the window
// shows it), "info TEXT" (the last box's details, "$P" the "Path" file),
// "disk REL=DUMP"; behind the
// editor's back: "write REL OUTLINE", "touch REL" (a later time, the same
// bytes), "rm REL", "mkdir REL" ("Path" is the search-path file projects are
// registered in), then "activate" (the window becomes active again).
void TestEditorWindow::step(const QString &line)
{
    const QString verb = line.section(' ', 0, 0);
    const QString arg = line.section(' ', 1, 1);
    const QString rest = line.section(' ', 2).replace("\\n", "\n");
    const QString file = arg == "Path" ? pathFile : dir->filePath("p/" + arg);
    QTreeWidget *projectTree = window->findChild<QTreeWidget *>("projectTree");
    auto *edit = window->findChild<QLineEdit *>(arg);
    auto *plainEdit = window->findChild<QPlainTextEdit *>(arg);
    if (verb == "click" || verb == "menu") {
        QTreeWidgetItem *item = node(arg);
        QVERIFY2(item || arg == "-", qPrintable("no node " + arg));
        const QPoint pos = item ? projectTree->visualItemRect(item).center() : QPoint(5, 790);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, pos,
                               projectTree->viewport()->mapToGlobal(pos));
        if (verb == "click")
            QTest::mouseClick(projectTree->viewport(), Qt::LeftButton, {}, pos);
        else
            QApplication::sendEvent(projectTree->viewport(), &menu);
    } else if (verb == "set" && edit) {
        edit->setText(rest);
    } else if (verb == "set") {
        plainEdit->setPlainText(rest);
    } else if (verb == "press") {
        window->findChild<QAbstractButton *>(arg)->click();
    } else if (verb == "trigger") {
        window->findChild<QAction *>(arg)->trigger();
    } else if (verb == "select") {
        window->findChild<QListWidget *>("listLinks")->setCurrentRow(arg.toInt());
    } else if (verb == "close") {
        QCOMPARE(window->close(), arg == "closed");
    } else if (verb == "page") {
        QCOMPARE(window->findChild<QStackedWidget *>("editorStack")->currentWidget()->objectName(),
                 arg);
    } else if (verb == "key") {
        const QKeyCombination keys = QKeySequence(rest)[0];
        auto *target = window->findChild<QWidget *>(arg);
        // A closed dialog does not give the focus back on every platform.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&*window));
        target->setFocus(Qt::OtherFocusReason);
        QVERIFY(target->hasFocus());
        QTest::keyClick(target, keys.key(), keys.keyboardModifiers());
    } else if (verb == "enabled" && window->findChild<QAction *>(arg)) {
        QCOMPARE(window->findChild<QAction *>(arg)->isEnabled(), rest == "yes");
    } else if (verb == "enabled") {
        QCOMPARE(window->findChild<QWidget *>(arg)->isEnabled(), rest == "yes");
    } else if (verb == "focus") {
        QCOMPARE(window->findChild<QWidget *>(arg)->hasFocus(), rest == "yes");
    } else if (verb == "bold" || verb == "hidden") {
        QVERIFY2(node(arg), qPrintable("no node " + arg));
        QCOMPARE(verb == "bold" ? node(arg)->font(0).bold() : node(arg)->isHidden(), rest == "yes");
    } else if (verb == "current") {
        QCOMPARE(projectTree->currentItem(), arg == "-" ? nullptr : node(arg));
    } else if (verb == "info") {
        QVERIFY(answerer && !answerer->details.isEmpty());
        QCOMPARE(answerer->details.last(), line.section(' ', 1).replace("$P", pathFile));
    } else if (verb == "shown") {
        QCOMPARE(window->findChild<QWidget *>(arg)->isVisibleTo(&*window), rest == "yes");
    } else if (verb == "text") {
        QCOMPARE(edit ? edit->text() : plainEdit->toPlainText(), rest);
    } else if (verb == "tip") {
        QVERIFY2(node(arg), qPrintable("no node " + arg));
        QCOMPARE(node(arg)->toolTip(0), rest);
    } else if (verb == "status" || verb == "title") {
        QCOMPARE(verb == "title" ? window->windowHandle()->title()
                                 : window->statusBar()->currentMessage(),
                 line.section(' ', 1));
    } else if (verb == "disk") {
        QCOMPARE(onDisk(arg.section('=', 0, 0)), line.section(' ', 1));
    } else if (verb == "write") {
        QVERIFY(TestFiles::write(file, helpFile(line.section(' ', 2))));
    } else if (verb == "touch") {
        QFile touched(file);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                    QFileDevice::FileModificationTime));
    } else if (verb == "activate") {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&*window, &activate);
        QTest::qWait(20);
    } else if (verb == "rm") {
        QVERIFY(QFile::remove(file));
    } else if (verb == "mkdir") {
        QVERIFY(QDir().mkpath(file));
    } else {
        QFAIL(qPrintable("unknown step " + line));
    }
}

// NODE is the path of shown texts from the top level, such as "a/x.zkhelp/de".
QTreeWidgetItem *TestEditorWindow::node(const QString &path) const
{
    return TreeNode::find(window->findChild<QTreeWidget *>("projectTree"), path);
}

namespace {
const QString unsaved =
    "Ungespeicherte Änderungen: Es gibt ungespeicherte Änderungen. Jetzt speichern?";
const QString failed = "Fehler: Speichern fehlgeschlagen.";
const QString fileMenu = "menu: Sprache hinzufügen... | - | Aus Projekt entfernen (Löschen)";
const QString langMenu = "menu: Sektion hinzufügen... | - | Sprache löschen";
const QString translatedMenu =
    "menu: Sektion hinzufügen... | Als aktuell markieren | - | Sprache löschen";
const QString askKey = "Neu: Sprache (de, en): []";
const QString askSection = "Neu: Sektion Name: []";
const QString askFile = "Löschen: Datei wirklich löschen?\n(Sie wird von der Festplatte entfernt!)";
const QString x = "x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro]|links=";
const QString xb = "x.zkhelp=v=1|a=B|de:d-de[Intro=c-Intro]|links=";
const QString y = "y.zkhelp=v=1|a=A|de:d-de[]|links=";
const QString xyTree = "x.zkhelp(de(Intro)),y.zkhelp(de)";
const QStringList xy{"x.zkhelp=de:Intro", "y.zkhelp=de:"};
const QString editX = "click x.zkhelp; set editAuthor B; ";
} // namespace

void TestEditorWindow::rebuild_data()
{
    addColumns();
    QTest::newRow("folders shared, matched by case, first needed first")
        << QStringList{"top.zkhelp=en:", "a/b/x.zkhelp=de:", "docs/y.zkhelp=", "a/b/y.zkhelp=",
                       "Docs/x.zkhelp=", "a.zkhelp/x.txt=",  "a/x.zkhelp="}
        << "click Docs; page pageEmpty"
        << "" << QStringList{}
        << "Docs/(x.zkhelp),a/(b/(x.zkhelp(de),y.zkhelp),x.zkhelp),docs/(y.zkhelp),top.zkhelp(en)"
        << QStringList{};
    QTest::newRow("keys by code unit, equal section names, unreadable files")
        << QStringList{"k.zkhelp=en:;de:S,S;EN:", "bad.zkhelp=!<zkhelp><lang name=\"de\">",
                       "empty.zkhelp=!", "latin.zkhelp=%<zkhelp><lang name=\"ä\"/></zkhelp>",
                       "ü & <b>.zkhelp=!<zkhelp><lang name=\"a b\"><section name=\"&lt;i&gt;\"/>"
                       "</lang></zkhelp>"}
        << ""
        << "" << QStringList{}
        << "bad.zkhelp,empty.zkhelp,k.zkhelp(EN,de(S,S),en),latin.zkhelp(\uFFFD),"
           "ü & <b>.zkhelp(a b(<i>))"
        << QStringList{};
}

void TestEditorWindow::editing_data()
{
    addColumns();
    QTest::newRow("author committed by clicking a language of the file, saved there")
        << xy
        << "click x.zkhelp; page pageFile; text editAuthor A; set editAuthor Neu & <b>Ä; "
           "click x.zkhelp/de; page pageLanguage; text editLangDescription d-de; "
           "press btnSaveLang; status Gespeichert: x.zkhelp"
        << "" << QStringList{} << xyTree
        << QStringList{"x.zkhelp=v=1|a=Neu & <b>Ä|de:d-de[Intro=c-Intro]|links=", y};
    QTest::newRow("section renamed at once in the tree, on disk only when saved")
        << xy
        << "click x.zkhelp/de/Intro; text editContent c-Intro; set editSectionName Start; "
           "set editContent Zeile 1\\n  Zeile 2; click y.zkhelp; disk " +
               x + "; click x.zkhelp/de/Start; trigger actionSave"
        << "" << QStringList{} << "x.zkhelp(de(Start)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[Start=Zeile 1\n  Zeile 2]|links="};
    QTest::newRow("links trimmed, blanks refused, removed; clicking again refills")
        << QStringList{"x.zkhelp=!<zkhelp><link page=\"alt\"/></zkhelp>"}
        << "click x.zkhelp; set editNewLink   neu  ; press btnAddLink; text editNewLink ; "
           "set editNewLink    ; press btnAddLink; text editNewLink    ; press btnSaveFile; "
           "disk x.zkhelp=v=|a=|links=alt,neu; select 0; press btnRemoveLink; "
           "set editVersion 2; click x.zkhelp; text editVersion ; set editAuthor B; "
           "trigger actionSave"
        << "" << QStringList{} << "x.zkhelp" << QStringList{"x.zkhelp=v=|a=B|links=alt,neu"};
    const QString doubled = "Kennung schon vergeben: Die Kennung 'ueber-uns' trägt schon ein "
                            "anderer Abschnitt dieser Sprache.";
    const QString invalid = "Ungültige Kennung: '2 x' taugt nicht als Kennung: 1 bis 64 "
                            "Buchstaben, Ziffern, '.', '_' und '-' (ASCII), am Anfang ein "
                            "Buchstabe oder eine Ziffer.";
    QTest::newRow("section ids: slugs for new sections, doubled and invalid ones refused")
        << xy
        << "menu x.zkhelp/de; text editSectionId ueber-uns; menu x.zkhelp/de; "
           "text editSectionId ueber-uns-2; set editSectionId ueber-uns; "
           "key editSectionId Return; text editSectionId ueber-uns-2; set editSectionId 2 x; "
           "key editSectionId Return; text editSectionId ueber-uns-2; set editSectionId -x; "
           "trigger actionSave; disk x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro;"
           "<ueber-uns>Über uns=...;<ueber-uns-2>Über uns=...]|links=; "
           "set editSectionId kontakt.1; key editSectionId Return; trigger actionSave"
        << "pick:Sektion hinzufügen...; type:Über uns; pick:Sektion hinzufügen...; type:Über uns; "
           "Ok; Ok"
        << QStringList{langMenu, askSection, langMenu, askSection, doubled, invalid}
        << "x.zkhelp(de(Intro,Über uns,Über uns)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro;<ueber-uns>Über uns=...;"
                       "<kontakt.1>Über uns=...]|links=",
                       y};
    QTest::newRow("section ids: a translation takes the reference's id at its place")
        << QStringList{"x.zkhelp=de:Intro;en:"}
        << "menu x.zkhelp/de; menu x.zkhelp/en; text editSectionId contact; menu x.zkhelp/en; "
           "text editSectionId kontakt"
        << "pick:Sektion hinzufügen...; type:Kontakt; pick:Sektion hinzufügen...; type:Contact; "
           "pick:Sektion hinzufügen...; type:Hello"
        << QStringList{langMenu, askSection, translatedMenu, askSection, translatedMenu, askSection}
        << "x.zkhelp(de(Intro,Kontakt),en(Contact,Hello))"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro;<kontakt>Kontakt=...]|"
                       "en:d-en[<contact>Contact=...;<kontakt>Hello=...]|links="};
    QTest::newRow("save: nothing before a click, one failure per trigger on a folder")
        << QStringList{"a/x.zkhelp=de:"}
        << "trigger actionSave; click a; trigger actionSave; press btnSaveFile; "
           "press btnSaveLang; press btnSaveSection"
        << "Ok; Ok; Ok; Ok" << QStringList{failed, failed, failed, failed} << "a/(x.zkhelp(de))"
        << QStringList{"a/x.zkhelp=v=1|a=A|de:d-de[]|links="};
}

void TestEditorWindow::contextMenu_data()
{
    addColumns();
    QTest::newRow("file: language added, written with the page's edits")
        << xy << editX + "menu x.zkhelp; page pageLanguage"
        << "pick:Sprache hinzufügen...; type:DE <ü> " << QStringList{fileMenu, askKey}
        << "x.zkhelp(DE <ü> ,de(Intro)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=v=1|a=B|DE <ü> :...[]|de:d-de[Intro=c-Intro]|links=", y};
    QTest::newRow("file: a key it has already is refused, shown as typed")
        << xy << "menu x.zkhelp; menu x.zkhelp"
        << "pick:Sprache hinzufügen...; type:<b>; pick:Sprache hinzufügen...; type:<b>; Ok"
        << QStringList{fileMenu, askKey, fileMenu, askKey, "Neu: Sprache '<b>' existiert bereits."}
        << "x.zkhelp(<b>,de(Intro)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=v=1|a=A|<b>:...[]|de:d-de[Intro=c-Intro]|links="};
    QTest::newRow("file: deleted with its edits, without asking about them")
        << xy << editX + "menu x.zkhelp; page pageEmpty"
        << "pick:Aus Projekt entfernen (Löschen); Yes" << QStringList{fileMenu, askFile}
        << "y.zkhelp(de)" << QStringList{"x.zkhelp=missing", y};
    QTest::newRow("file in a folder: deleted, the folder current, named in the question")
        << QStringList{"a/x.zkhelp=de:", "a/y.zkhelp=de:", "b/z.zkhelp=de:"}
        << "menu a/x.zkhelp; info x.zkhelp [No]; current a; status Datei gelöscht: a/x.zkhelp; "
           "title Editor - Hilfe & Übung; menu b/z.zkhelp; current -; page pageEmpty"
        << "pick:Aus Projekt entfernen (Löschen); Yes; pick:Aus Projekt entfernen (Löschen); Yes"
        << QStringList{fileMenu, askFile, fileMenu, askFile} << "a/(y.zkhelp(de))"
        << QStringList{"a/x.zkhelp=missing", "b/z.zkhelp=missing"};
    QTest::newRow("language: section added last, then the first deleted after a No")
        << xy << "menu x.zkhelp/de; menu x.zkhelp/de/Intro; menu x.zkhelp/de/Intro"
        << "pick:Sektion hinzufügen...; type:Intro; pick:Sektion löschen; No; "
           "pick:Sektion löschen; Yes"
        << QStringList{langMenu,
                       askSection,
                       "menu: Sektion löschen",
                       "Löschen: Sektion löschen?",
                       "menu: Sektion löschen",
                       "Löschen: Sektion löschen?"}
        << xyTree << QStringList{"x.zkhelp=v=1|a=A|de:d-de[<intro>Intro=...]|links="};
    QTest::newRow("language: deleted, the others keep their order")
        << QStringList{"x.zkhelp=de:;en:S;fr:"} << "menu x.zkhelp/en"
        << "pick:Sprache löschen; Yes"
        << QStringList{translatedMenu, "Löschen: Sprache 'en' löschen?"} << "x.zkhelp(de,fr)"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[]|fr:d-fr[]|links="};
    QTest::newRow("folder and empty space: no menu")
        << QStringList{"a/x.zkhelp=de:"} << "menu a; menu -"
        << "" << QStringList{} << "a/(x.zkhelp(de))" << QStringList{};
    QTest::newRow("failed write keeps the tree and the edits")
        << xy << editX + "rm x.zkhelp; mkdir x.zkhelp; menu x.zkhelp/de; trigger actionReload"
        << "pick:Sektion hinzufügen...; type:Neu; Ok; Cancel"
        << QStringList{langMenu, askSection, failed, unsaved} << xyTree
        << QStringList{"x.zkhelp=missing", y};
}

void TestEditorWindow::unsavedEdits_data()
{
    addColumns();
    QTest::newRow("cancelled: nothing changes")
        << xy
        << editX + "trigger actionReload; trigger actionOpenProject; trigger actionNewProject; "
                   "trigger actionNewFile; close open; text editAuthor B"
        << "Cancel; Cancel; Cancel; Cancel; Cancel"
        << QStringList{unsaved, unsaved, unsaved, unsaved, unsaved} << xyTree << QStringList{x};
    QTest::newRow("reload, discarded: the edit is gone")
        << xy
        << editX + "trigger actionReload; page pageFile; enabled editorStack no; "
                   "click x.zkhelp; enabled editorStack yes; text editAuthor A"
        << "Discard" << QStringList{unsaved} << xyTree << QStringList{x};
    QTest::newRow("closing, saved") << xy << editX + "close closed"
                                    << "Save" << QStringList{unsaved} << xyTree << QStringList{xb};
    QTest::newRow("an edit typed back is none")
        << xy << editX + "set editAuthor A; trigger actionReload; close closed"
        << "" << QStringList{} << xyTree << QStringList{x};
    QTest::newRow("section added in another file: the edits stay, unsaved, in bold")
        << xy
        << editX + "title Editor - Hilfe & Übung*; menu y.zkhelp/de; bold x.zkhelp yes; "
                   "bold y.zkhelp no; click x.zkhelp; text editAuthor B; trigger actionSave; "
                   "bold x.zkhelp no; title Editor - Hilfe & Übung"
        << "pick:Sektion hinzufügen...; type:S" << QStringList{langMenu, askSection}
        << "x.zkhelp(de(Intro)),y.zkhelp(de(S))"
        << QStringList{xb, "y.zkhelp=v=1|a=A|de:d-de[<s>S=...]|links="};
    QTest::newRow("the question names the files with edits, in their folders")
        << QStringList{"a/x.zkhelp=de:Intro", "y.zkhelp=de:"}
        << "click a/x.zkhelp; set editAuthor B; click y.zkhelp; set editAuthor C; "
           "bold y.zkhelp yes; bold a/x.zkhelp yes; trigger actionReload; "
           "info a/x.zkhelp\ny.zkhelp [Save]"
        << "Cancel" << QStringList{unsaved} << "a/(x.zkhelp(de(Intro))),y.zkhelp(de)"
        << QStringList{};
    QTest::newRow("failed save abandons the command")
        << xy << editX + "rm x.zkhelp; mkdir x.zkhelp; trigger actionNewFile"
        << "Save; Ok" << QStringList{unsaved, failed} << xyTree << QStringList{"x.zkhelp=missing"};
}

void TestEditorWindow::projectCommands_data()
{
    addColumns();
    QTest::newRow("no project: its commands disabled")
        << QStringList{}
        << "enabled actionNewFile no; enabled actionRegisterPath no; enabled actionReload no; "
           "enabled actionSave no; enabled actionReferenceLanguage no; enabled actionNextMark no; "
           "enabled treeFilterLineEdit no; enabled actionAddSection no; enabled actionOpenProject "
           "yes; title ZK Help Editor"
        << "" << QStringList{} << "" << QStringList{};
    QTest::newRow("new project in a folder with help files")
        << QStringList{} << "write s/a.zkhelp de:; trigger actionNewProject; title Editor - Neu & Ü"
        << "choose:p; type:Neu & Ü; Ok"
        << QStringList{"Projektordner wählen", "Neues Projekt: Projektname: [MeinProjekt]",
                       "Info: Projekt erstellt!"}
        << "s/(a.zkhelp(de))" << QStringList{};
    QTest::newRow("new file: extension added, shown in its folder; another one kept")
        << QStringList{"s/y.zkhelp=de:"} << "trigger actionNewFile; trigger actionNewFile"
        << "choose:p/s/neu; choose:p/notiz.txt"
        << QStringList{"Neue Datei in $D/p", "Neue Datei in $D/p"}
        << "s/(neu.zkhelp(de),y.zkhelp(de))"
        << QStringList{"s/neu.zkhelp=v=1.0|a=Ich|de:Neue Beschreibung[]|links=",
                       "notiz.txt=v=1.0|a=Ich|de:Neue Beschreibung[]|links="};
    QTest::newRow("new file that cannot be written says so")
        << QStringList{"s/y.zkhelp=de:"} << "write block de:; trigger actionNewFile"
        << "choose:p/block/neu; Ok"
        << QStringList{"Neue Datei in $D/p", "Fehler: Datei konnte nicht angelegt werden."}
        << "s/(y.zkhelp(de))" << QStringList{"block/neu.zkhelp=missing"};
    QTest::newRow("reload sees changes behind the editor's back; register path")
        << xy
        << "rm x.zkhelp; write a/z.zkhelp en:; trigger actionReload; trigger actionRegisterPath; "
           "info $P; rm Path; mkdir Path; trigger actionRegisterPath"
        << "Ok; Ok"
        << QStringList{"Info: Pfad (inkl. Unterordner) wurde registriert.",
                       "Info: Pfad konnte nicht registriert werden."}
        << "a/(z.zkhelp(en)),y.zkhelp(de)" << QStringList{};
}

// Another program (or a second editor) writes x.zkhelp as author "O"; the
// editor's own edit makes the author "B". The rules of each answer, a touch
// and a deleted file are proven on the watch alone; here, that the window
// asks when it becomes active, before a write and before adding a section.
void TestEditorWindow::diskChanges_data()
{
    addColumns();
    const QString other = "write x.zkhelp de:Intro,Fremd; ";
    const QString changed = "Datei geändert: \"x.zkhelp\" wurde außerhalb des Editors geändert. "
                            "Die eigene Fassung speichern und die andere überschreiben?";
    const QString theirs = "x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro;Fremd=c-Fremd]|links=";
    const QString theirsTree = "x.zkhelp(de(Intro,Fremd)),y.zkhelp(de)";
    QTest::newRow("no edits: read anew, the node stays current")
        << xy
        << "click x.zkhelp/de/Intro; " + other +
               "activate; status Neu geladen: x.zkhelp; "
               "page pageSection; enabled editorStack yes; text editContent c-Intro"
        << "" << QStringList{} << theirsTree << QStringList{theirs};
    QTest::newRow("edits, coming back: save ours")
        << xy << editX + other + "activate"
        << "Save" << QStringList{changed} << xyTree << QStringList{xb};
    QTest::newRow("edits, saving: discard ours, theirs shown")
        << xy << editX + other + "trigger actionSave; page pageFile; text editAuthor A"
        << "Discard" << QStringList{changed} << theirsTree << QStringList{theirs};
    QTest::newRow("unsaved question, then the other version: cancel abandons")
        << xy << editX + other + "trigger actionReload; text editAuthor B"
        << "Save; Cancel" << QStringList{unsaved, changed} << xyTree << QStringList{theirs};
    QTest::newRow("adding a section asks too")
        << xy << other + "menu x.zkhelp/de"
        << "pick:Sektion hinzufügen...; type:S; Save" << QStringList{langMenu, askSection, changed}
        << "x.zkhelp(de(Intro,S)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro;<s>S=...]|links="};
}

// cutShort: the copy lost its second half in the crash; shown: the boxes
// the next start shows, then the section's text.
void TestEditorWindow::recoveryAfterKill_data()
{
    QTest::addColumn<bool>("cutShort");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("offered back") << false
                                  << QByteArray("Wiederherstellen: Es gibt ungesicherte Änderungen "
                                                "aus einer früheren Sitzung. "
                                                "Wiederherstellen?|c-Intro und mehr\n");
    QTest::newRow("copy cut short: only named")
        << true
        << QByteArray("Wiederherstellen: Ungesicherte Änderungen aus einer früheren Sitzung sind "
                      "beschädigt und werden nicht wiederhergestellt.|c-Intro\n");
}

// Typed, not saved, the process killed: the next start offers the text back,
// and the file on disk never saw it.
void TestEditorWindow::recoveryAfterKill()
{
    QFETCH(bool, cutShort);
    QFETCH(QByteArray, shown);
    QVERIFY(TestFiles::write(dir->filePath("p/x.zkhelp"), helpFile("de:Intro")));
    QVERIFY(TestFiles::write(dir->filePath("p/demo.zkproject"), "<zkproject name=\"demo\"/>"));
    const QByteArray onDisk = TestFiles::read(dir->filePath("p/x.zkhelp"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dir->filePath("data"));
    const auto start = [&](QProcess &driver, const QStringList &args) {
        driver.setProcessEnvironment(environment);
        driver.start(RECOVERY_DRIVER_PATH,
                     QStringList{pathFile, dir->filePath("p/demo.zkproject")} + args);
    };
    const auto kept = [&](const QString &name) {
        QDirIterator it(dir->filePath("data"), {name}, QDir::Files, QDirIterator::Subdirectories);
        return it.hasNext() ? it.next() : QString();
    };

    QProcess typing;
    start(typing, {"type", " und mehr"});
    QVERIFY(typing.waitForReadyRead(10000));
    QCOMPARE(typing.readAll(), "typed\n");
    QTRY_VERIFY_WITH_TIMEOUT(!kept("index.json").isEmpty(), 2000);
    typing.kill();
    QVERIFY(typing.waitForFinished(5000));
    const QString copy = kept("*.zkhelp");
    if (cutShort)
        QVERIFY(QFile::resize(copy, QFileInfo(copy).size() / 2));

    QProcess recovering;
    start(recovering, {"recover"});
    QVERIFY(recovering.waitForFinished(10000));
    QCOMPARE(recovering.readAllStandardOutput(), shown);
    QCOMPARE(TestFiles::read(dir->filePath("p/x.zkhelp")), onDisk);
}

// x.zkhelp is written in de and translated into en; "@" in a dump shows a
// section's basis.
void TestEditorWindow::translations_data()
{
    addColumns();
    const QStringList deEn{"x.zkhelp=de:Intro;en:Intro"};
    const QString confirmed = "x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro]|"
                              "en:d-en[Intro=c-Intro@de:722daa617f7e259f]|links=";
    QTest::newRow("reference beside the translation; saving an edit confirms it")
        << deEn
        << "click x.zkhelp/en/Intro; text referenceContent Intro\n\nc-Intro; set editContent neu; "
           "trigger actionSave; click x.zkhelp/en; text referenceDescription d-de; "
           "click x.zkhelp/de/Intro; shown referenceContent no"
        << "" << QStringList{} << "x.zkhelp(de(Intro),en(Intro))"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro]|en:d-en[Intro=neu@de:"
                       "722daa617f7e259f]|links="};
    QTest::newRow("marked as current, then stale once the reference changes")
        << deEn
        << "menu x.zkhelp/en/Intro; disk " + confirmed +
               "; click x.zkhelp/de/Intro; set editContent neu de; click x.zkhelp; "
               "tip x.zkhelp/en/Intro Übersetzung veraltet: Abschnitt 1 der Referenz (de) wurde "
               "geändert"
        << "pick:Als aktuell markieren"
        << QStringList{"menu: Als aktuell markieren | Sektion löschen"}
        << "x.zkhelp(de(Intro),en(Intro))" << QStringList{confirmed};
    QTest::newRow("missing language and section count; another reference")
        << QStringList{"x.zkhelp=de:A,B;en:A", "y.zkhelp=fr:"}
        << "tip x.zkhelp/en 1 statt 2 Abschnitte; "
           "tip x.zkhelp en: 1 statt 2 Abschnitte\nSprache fehlt: fr; "
           "trigger actionReferenceLanguage; tip x.zkhelp/de 2 statt 1 Abschnitte; "
           "tip x.zkhelp/en "
        << "type:en"
        << QStringList{"Referenzsprache: Übersetzt wird aus: [(erste Sprache jeder "
                       "Datei)]"}
        << "x.zkhelp(de(A,B),en(A)),y.zkhelp(fr)" << QStringList{};
}

// Every command from the keyboard, and where the tree and the page stand
// afterwards.
void TestEditorWindow::keyboard_data()
{
    addColumns();
    const QStringList deEn{"x.zkhelp=de:Intro;en:Intro", "y.zkhelp=de:;en:"};
    QTest::newRow("arrow keys: the page follows, the old one's fields kept")
        << xy
        << "click x.zkhelp; set editAuthor B; key projectTree Down; current x.zkhelp/de; "
           "page pageLanguage; key projectTree Down; text editSectionName Intro; "
           "set editContent neu; key projectTree Up; key projectTree Up; page pageFile; "
           "text editAuthor B; key projectTree End; current y.zkhelp/de; "
           "text editLangDescription d-de; title Editor - Hilfe & Übung*; bold x.zkhelp yes; "
           "bold y.zkhelp no; key projectTree Home; trigger actionSave"
        << "" << QStringList{} << xyTree
        << QStringList{"x.zkhelp=v=1|a=B|de:d-de[Intro=neu]|links=", y};
    QTest::newRow("Tab and Ctrl+Tab leave the section text as they found it")
        << xy
        << "click x.zkhelp/de/Intro; key editContent Tab; focus editContent no; "
           "key editContent Ctrl+Tab; focus editContent no; key editContent Shift+Tab; "
           "focus editContent no; text editContent c-Intro; key editSectionName Del; "
           "text editSectionName "
        << "" << QStringList{} << xyTree << QStringList{x};
    QTest::newRow("menu entries as the node offers them")
        << deEn
        << "click x.zkhelp; enabled actionAddLanguage yes; enabled actionAddSection no; "
           "enabled actionConfirm no; enabled actionDelete yes; click x.zkhelp/de; "
           "enabled actionAddLanguage no; enabled actionAddSection yes; enabled actionConfirm no; "
           "click x.zkhelp/en/Intro; enabled actionAddSection no; enabled actionConfirm yes; "
           "trigger actionConfirm; current x.zkhelp/en/Intro; page pageSection; "
           "status Als aktuell markiert: Intro"
        << "" << QStringList{} << "x.zkhelp(de(Intro),en(Intro)),y.zkhelp(de,en)"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro]|"
                       "en:d-en[Intro=c-Intro@de:722daa617f7e259f]|links="};
    QTest::newRow("Ins adds a section, Del deletes it: the place is kept")
        << xy
        << "click x.zkhelp/de; key projectTree Ins; current x.zkhelp/de/Neu; page pageSection; "
           "text editSectionName Neu; status Sektion hinzugefügt: Neu; key projectTree Del; "
           "info x.zkhelp, Sprache de, Sektion Neu [No]; current x.zkhelp/de; "
           "status Sektion gelöscht: Neu; page pageLanguage"
        << "type:Neu; Yes" << QStringList{askSection, "Löschen: Sektion löschen?"} << xyTree
        << QStringList{x};
    QTest::newRow("languages added and deleted from the menu")
        << xy
        << "click y.zkhelp; trigger actionAddLanguage; current y.zkhelp/en; page pageLanguage; "
           "status Sprache hinzugefügt: en; tip x.zkhelp Sprache fehlt: en; key projectTree Del; "
           "current y.zkhelp; status Sprache gelöscht: en; tip x.zkhelp "
        << "type:en; Yes" << QStringList{askKey, "Löschen: Sprache 'en' löschen?"} << xyTree
        << QStringList{x, y};
    QTest::newRow("file keys: open, new project, new file, quit")
        << xy
        << "key projectTree Ctrl+O; key projectTree Ctrl+Shift+N; key projectTree Ctrl+N; "
           "current neu.zkhelp; page pageFile; status Datei angelegt: neu.zkhelp; "
           "set editAuthor B; key projectTree Ctrl+Q; info neu.zkhelp [Save]"
        << "reject; reject; choose:p/neu; Cancel"
        << QStringList{"Projekt öffnen in ~", "Projektordner wählen", "Neue Datei in $D/p", unsaved}
        << "neu.zkhelp(de)," + xyTree << QStringList{x};
}

// Marks in words, reached with F8; the tree filtered by file name.
void TestEditorWindow::largeProjects_data()
{
    addColumns();
    QTest::newRow("F8 and Shift+F8 go round the marks shown")
        << QStringList{"x.zkhelp=de:A,B;en:A", "y.zkhelp=de:", "z.zkhelp=de:;en:"}
        << "click x.zkhelp/de; key projectTree F8; current x.zkhelp/en; page pageLanguage; "
           "key projectTree F8; current y.zkhelp; key projectTree F8; current x.zkhelp; "
           "key projectTree Shift+F8; current y.zkhelp; set treeFilterLineEdit Y; "
           "key projectTree F8; current y.zkhelp"
        << "" << QStringList{} << "x.zkhelp(de(A,B),en(A)),y.zkhelp(de),z.zkhelp(de,en)"
        << QStringList{};
    QTest::newRow("links that lead nowhere are marked; web, mail and member links are not")
        << QStringList{"x.zkhelp=!<zkhelp><link page=\"y\"/><link page=\"nirgends\"/>"
                       "<link page=\"https://example.org/\"/><link page=\"../p/y\"/>"
                       "<link page=\"nirgends\"/><link page=\"mailto:a@b.de\"/></zkhelp>",
                       "a/y.zkhelp="}
        << "tip x.zkhelp Verweis führt ins Leere: nirgends\nVerweis führt ins Leere: ../p/y; "
           "tip a/y.zkhelp "
        << "" << QStringList{} << "a/(y.zkhelp),x.zkhelp" << QStringList{};
    QTest::newRow("filter: files by name in any case, their folders kept, also after a reload")
        << QStringList{"a/Alpha.zkhelp=de:", "a/beta.zkhelp=de:", "b/gamma.zkhelp=de:"}
        << "set treeFilterLineEdit LPH; hidden a no; hidden a/Alpha.zkhelp no; "
           "hidden a/beta.zkhelp yes; hidden b yes; trigger actionReload; hidden b yes; "
           "hidden a/beta.zkhelp yes; set treeFilterLineEdit ; hidden b no; "
           "hidden a/beta.zkhelp no"
        << "" << QStringList{} << "a/(Alpha.zkhelp(de),beta.zkhelp(de)),b/(gamma.zkhelp(de))"
        << QStringList{};
}

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
