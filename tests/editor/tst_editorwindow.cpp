// The editor window driven through its object names: every case is a short
// script of clicks, edits and commands on a project in a fresh folder, with
// the dialogs it must raise answered in order, then the tree and the files
// on disk compared.
#include "../core/helpdatadump.h"
#include "helpparser.h"
#include "mainwindow.h"
#include "projectmanager.h"
#include "testfiles.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <optional>

namespace {

// Answers the modal dialogs and popup menus that appear, in order, one answer
// each, and records what each showed. One that nobody expected, or that an
// answer did not close within 5 s, is recorded and closed, so no case hangs.
class Answers : public QObject
{
public:
    Answers(const QStringList &answers, const QString &root)
        : pending(answers)
        , root(root)
    {
        connect(&timer, &QTimer::timeout, this, &Answers::poll);
        timer.start(10);
    }
    QStringList pending;
    QStringList seen;

private:
    void poll()
    {
        QWidget *w = QApplication::activePopupWidget();
        if (!w)
            w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || (w == last && since.elapsed() < 5000))
            return;
        const QString answer = w == last || pending.isEmpty() ? QString() : pending.takeFirst();
        seen.append((answer.isEmpty() ? "unanswered " : "") + describe(w));
        last = w;
        since.start();
        // Deferred, so that a menu entry's own dialogs find this timer free.
        QTimer::singleShot(0, w, [this, w, answer] { respond(w, answer); });
    }

    QString describe(QWidget *w) const
    {
        if (auto *box = qobject_cast<QMessageBox *>(w))
            return box->windowTitle() + ": " + box->text();
        if (auto *input = qobject_cast<QInputDialog *>(w))
            return input->windowTitle() + ": " + input->labelText() + " [" + input->textValue() +
                   "]";
        // A folder chooser starts wherever the last file dialog was left.
        if (auto *files = qobject_cast<QFileDialog *>(w);
            files && files->fileMode() == QFileDialog::Directory)
            return files->windowTitle();
        if (auto *files = qobject_cast<QFileDialog *>(w))
            return files->windowTitle() + " in " +
                   files->directory()
                       .absolutePath()
                       .replace(root, "$D")
                       .replace(QDir::homePath(), "~");
        QStringList entries;
        for (const QAction *action : w->actions())
            entries.append(action->isSeparator() ? "-" : action->text());
        return "menu: " + entries.join(" | ");
    }

    void respond(QWidget *w, const QString &answer)
    {
        const QString value = answer.section(':', 1);
        if (!answer.isEmpty() && answer != "cancel") {
            if (auto *box = qobject_cast<QMessageBox *>(w)) {
                for (QAbstractButton *button : box->buttons())
                    if (box->standardButton(button) == buttonNamed(answer))
                        return button->click();
            } else if (auto *input = qobject_cast<QInputDialog *>(w)) {
                input->setTextValue(value);
                return input->accept();
            } else if (auto *files = qobject_cast<QFileDialog *>(w)) {
                // Typed as a user would: selectFile leaves a focused name field alone.
                files->findChild<QLineEdit *>("fileNameEdit")->setText(QDir(root).filePath(value));
                return static_cast<QDialog *>(files)->accept();
            } else if (auto *menu = qobject_cast<QMenu *>(w)) {
                for (QAction *action : menu->actions())
                    if (action->text() == value)
                        return menu->setActiveAction(action), QTest::keyClick(menu, Qt::Key_Return);
            }
        }
        if (auto *dialog = qobject_cast<QDialog *>(w))
            return dialog->reject();
        w->close();
    }

    static QMessageBox::StandardButton buttonNamed(const QString &name)
    {
        const QMap<QString, QMessageBox::StandardButton> buttons{
            {"Save", QMessageBox::Save},     {"Discard", QMessageBox::Discard},
            {"Cancel", QMessageBox::Cancel}, {"Yes", QMessageBox::Yes},
            {"No", QMessageBox::No},         {"Ok", QMessageBox::Ok}};
        return buttons.value(name, QMessageBox::NoButton);
    }

    QTimer timer;
    QString root;
    QPointer<QWidget> last;
    QElapsedTimer since;
};

// "de:Intro,Usage;en:" gives the languages de with two sections and en with
// none; "!" followed by text gives that text in UTF-8, "%" in Latin-1.
QByteArray helpFile(const QString &spec)
{
    if (spec.startsWith('!'))
        return spec.mid(1).toUtf8();
    if (spec.startsWith('%'))
        return spec.mid(1).toLatin1();
    QByteArray xml = "<zkhelp version=\"1\" author=\"A\">";
    for (const QString &lang : spec.split(';', Qt::SkipEmptyParts)) {
        const QString key = lang.section(':', 0, 0);
        xml +=
            "<lang name=\"" + key.toUtf8() + "\"><description>d-" + key.toUtf8() + "</description>";
        for (const QString &section : lang.section(':', 1).split(',', Qt::SkipEmptyParts))
            xml +=
                "<section name=\"" + section.toUtf8() + "\">c-" + section.toUtf8() + "</section>";
        xml += "</lang>";
    }
    return xml + "</zkhelp>";
}

// Folders end in "/", languages and sections are the children in brackets.
QString treeDump(const QTreeWidgetItem *item)
{
    QStringList children;
    for (int i = 0; i < item->childCount(); ++i)
        children.append(treeDump(item->child(i)));
    const bool folder = item->data(0, MainWindow::RoleKind) == MainWindow::KindFolder;
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

private:
    static void addColumns();
    void runCase();
    void step(const QString &line);
    QTreeWidgetItem *node(const QString &path) const;
    QString tree() const;

    const QString pathFile = ZkHelp::ProjectManager::globalPathFile();
    std::optional<QByteArray> savedPath;
    std::optional<QTemporaryDir> dir;
    std::optional<MainWindow> window;
};

void TestEditorWindow::init()
{
    savedPath.reset();
    if (QFile::exists(pathFile))
        savedPath = TestFiles::read(pathFile);
    QFile::remove(pathFile);
    dir.emplace();
    QVERIFY2(dir->isValid(), qPrintable(dir->errorString()));
    window.emplace();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*window));
}

void TestEditorWindow::cleanup()
{
    window.reset();
    QDir().rmdir(pathFile);
    QFile::remove(pathFile);
    if (savedPath)
        QVERIFY(TestFiles::write(pathFile, *savedPath));
    dir->setAutoRemove(!QTest::currentTestFailed());
    dir.reset();
}

// files: "rel=spec" below the project folder "p" (none: no project is opened);
// steps: see step(); answers and dialogs: see Answers; disk: "rel=dump" of
// files read back after the case, or "rel=missing".
void TestEditorWindow::addColumns()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QStringList>("disk");
}

void TestEditorWindow::runCase()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, dialogs);
    QFETCH(QString, tree);
    QFETCH(QStringList, disk);

    if (!files.isEmpty()) {
        for (const QString &file : files)
            QVERIFY(TestFiles::write(dir->filePath("p/" + file.section('=', 0, 0)),
                                     helpFile(file.section('=', 1))));
        QVERIFY(TestFiles::write(dir->filePath("p/demo.zkproject"),
                                 "<zkproject name=\"Hilfe &amp; Übung\"/>"));
        Answers open({"choose:p/demo.zkproject"}, dir->path());
        window->findChild<QAction *>("actionOpenProject")->trigger();
        QCOMPARE(open.seen, QStringList{"Projekt öffnen in ~"});
        QCOMPARE(window->windowTitle(), "Editor - Hilfe & Übung");
    }

    Answers answered(answers, dir->path());
    for (const QString &line : std::as_const(steps)) {
        step(line);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(answered.seen, dialogs);
    QCOMPARE(answered.pending, QStringList());
    QCOMPARE(this->tree(), tree);
    for (const QString &file : std::as_const(disk)) {
        const QString path = dir->filePath("p/" + file.section('=', 0, 0));
        QCOMPARE(file.section('=', 0, 0) + "=" +
                     (QFileInfo(path).isFile() ? dump(ZkHelp::HelpParser().parse(path))
                                               : QString("missing")),
                 file);
    }
}

// Actions: "click NODE", "menu NODE" (right-click; "-" for empty space), "set
// OBJECT TEXT", "press BUTTON", "trigger ACTION", "select ROW" (of listLinks),
// "close closed|open"; checks: "page PAGE", "text OBJECT TEXT", "status TEXT",
// "title TEXT", "disk REL=DUMP"; behind the editor's back: "write REL SPEC",
// "rm REL", "mkdir REL" ("Path" is the program folder's search-path file).
void TestEditorWindow::step(const QString &line)
{
    const QString verb = line.section(' ', 0, 0);
    const QString arg = line.section(' ', 1, 1);
    const QString rest = line.section(' ', 2).replace("\\n", "\n");
    QTreeWidget *projectTree = window->findChild<QTreeWidget *>("projectTree");
    if (verb == "click" || verb == "menu") {
        QTreeWidgetItem *item = node(arg);
        QVERIFY2(item || arg == "-", qPrintable("no node " + arg));
        const QPoint pos = item ? projectTree->visualItemRect(item).center()
                                : QPoint(5, projectTree->viewport()->height() - 5);
        if (verb == "click") {
            QTest::mouseClick(projectTree->viewport(), Qt::LeftButton, {}, pos);
        } else {
            QContextMenuEvent event(QContextMenuEvent::Mouse, pos,
                                    projectTree->viewport()->mapToGlobal(pos));
            QApplication::sendEvent(projectTree->viewport(), &event);
        }
    } else if (verb == "set") {
        if (auto *edit = window->findChild<QLineEdit *>(arg))
            edit->setText(rest);
        else
            window->findChild<QPlainTextEdit *>(arg)->setPlainText(rest);
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
    } else if (verb == "text") {
        auto *edit = window->findChild<QLineEdit *>(arg);
        QCOMPARE(edit ? edit->text() : window->findChild<QPlainTextEdit *>(arg)->toPlainText(),
                 rest);
    } else if (verb == "status") {
        QCOMPARE(window->statusBar()->currentMessage(), line.section(' ', 1));
    } else if (verb == "title") {
        QCOMPARE(window->windowTitle(), line.section(' ', 1));
    } else if (verb == "disk") {
        const QString path = dir->filePath("p/" + arg.section('=', 0, 0));
        QCOMPARE(dump(ZkHelp::HelpParser().parse(path)), line.section(' ', 1).section('=', 1));
    } else if (verb == "write") {
        QVERIFY(TestFiles::write(dir->filePath("p/" + arg), helpFile(line.section(' ', 2))));
    } else if (verb == "rm") {
        QVERIFY(QFile::remove(arg == "Path" ? pathFile : dir->filePath("p/" + arg)));
    } else if (verb == "mkdir") {
        QVERIFY(QDir().mkpath(arg == "Path" ? pathFile : dir->filePath("p/" + arg)));
    } else {
        QFAIL(qPrintable("unknown step " + line));
    }
}

QTreeWidgetItem *TestEditorWindow::node(const QString &path) const
{
    QTreeWidget *projectTree = window->findChild<QTreeWidget *>("projectTree");
    QTreeWidgetItem *item = projectTree->invisibleRootItem();
    for (const QString &text : path.split('/')) {
        QTreeWidgetItem *next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i)
            if (item->child(i)->text(0) == text)
                next = item->child(i);
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

QString TestEditorWindow::tree() const
{
    QTreeWidgetItem *root = window->findChild<QTreeWidget *>("projectTree")->invisibleRootItem();
    QStringList top;
    for (int i = 0; i < root->childCount(); ++i)
        top.append(treeDump(root->child(i)));
    return top.join(",");
}

namespace {
const QString unsaved =
    "Ungespeicherte Änderungen: Es gibt ungespeicherte Änderungen. Jetzt speichern?";
const QString failed = "Fehler: Speichern fehlgeschlagen.";
const QString fileMenu = "menu: Sprache hinzufügen... | - | Aus Projekt entfernen (Löschen)";
const QString langMenu = "menu: Sektion hinzufügen... | - | Sprache löschen";
const QString askKey = "Neu: Sprache (de, en): []";
const QString askSection = "Neu: Sektion Name: []";
const QString x = "x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro]|links=";
const QString y = "y.zkhelp=v=1|a=A|de:d-de[]|links=";
const QStringList xy{"x.zkhelp=de:Intro", "y.zkhelp=de:"};
} // namespace

void TestEditorWindow::rebuild_data()
{
    addColumns();
    QTest::newRow("folders shared, matched by case, first needed first")
        << QStringList{"top.zkhelp=en:", "a/b/x.zkhelp=de:", "docs/y.zkhelp=", "a/b/y.zkhelp=",
                       "Docs/x.zkhelp=", "a.zkhelp/x.txt=",  "a/x.zkhelp="}
        << QStringList{"click Docs", "page pageEmpty", "title Editor - Hilfe & Übung"}
        << QStringList{} << QStringList{}
        << "Docs/(x.zkhelp),a/(b/(x.zkhelp(de),y.zkhelp),x.zkhelp),docs/(y.zkhelp),top.zkhelp(en)"
        << QStringList{};
    QTest::newRow("keys by code unit, equal section names, unreadable files")
        << QStringList{"k.zkhelp=en:;de:S,S;EN:", "bad.zkhelp=!<zkhelp><lang name=\"de\">",
                       "empty.zkhelp=!", "latin.zkhelp=%<zkhelp><lang name=\"ä\"/></zkhelp>",
                       "ü & <b>.zkhelp=!<zkhelp><lang name=\"a b\"><section name=\"&lt;i&gt;\"/>"
                       "</lang></zkhelp>"}
        << QStringList{} << QStringList{} << QStringList{}
        << "bad.zkhelp,empty.zkhelp,k.zkhelp(EN,de(S,S),en),latin.zkhelp(\uFFFD),"
           "ü & <b>.zkhelp(a b(<i>))"
        << QStringList{};
}

void TestEditorWindow::editing_data()
{
    addColumns();
    QTest::newRow("author committed by clicking a language of the file, saved there")
        << xy
        << QStringList{"click x.zkhelp",
                       "page pageFile",
                       "text editAuthor A",
                       "set editAuthor Neu & <b>Ä",
                       "click x.zkhelp/de",
                       "page pageLanguage",
                       "text editLangDescription d-de",
                       "press btnSaveLang",
                       "status Gespeichert: x.zkhelp"}
        << QStringList{} << QStringList{} << "x.zkhelp(de(Intro)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=v=1|a=Neu & <b>Ä|de:d-de[Intro=c-Intro]|links=", y};
    QTest::newRow("section renamed at once in the tree, on disk only when saved")
        << xy
        << QStringList{"click x.zkhelp/de/Intro",
                       "text editContent c-Intro",
                       "set editSectionName Start",
                       "set editContent Zeile 1\\n  Zeile 2",
                       "click y.zkhelp",
                       "disk " + x,
                       "click x.zkhelp/de/Start",
                       "trigger actionSave"}
        << QStringList{} << QStringList{} << "x.zkhelp(de(Start)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[Start=Zeile 1\n  Zeile 2]|links="};
    QTest::newRow("links trimmed, blanks refused, removed; clicking again refills")
        << QStringList{"x.zkhelp=!<zkhelp><link page=\"alt\"/></zkhelp>"}
        << QStringList{"click x.zkhelp",
                       "set editNewLink   neu  ",
                       "press btnAddLink",
                       "text editNewLink ",
                       "set editNewLink    ",
                       "press btnAddLink",
                       "text editNewLink    ",
                       "press btnSaveFile",
                       "disk x.zkhelp=v=|a=|links=alt,neu",
                       "select 0",
                       "press btnRemoveLink",
                       "set editVersion 2",
                       "click x.zkhelp",
                       "text editVersion ",
                       "set editAuthor B",
                       "trigger actionSave"}
        << QStringList{} << QStringList{} << "x.zkhelp"
        << QStringList{"x.zkhelp=v=|a=B|links=alt,neu"};
    QTest::newRow("save: nothing before a click, one failure per trigger on a folder")
        << QStringList{"a/x.zkhelp=de:"}
        << QStringList{"trigger actionSave", "click a",           "trigger actionSave",
                       "press btnSaveFile",  "press btnSaveLang", "press btnSaveSection"}
        << QStringList{"Ok", "Ok", "Ok", "Ok"} << QStringList{failed, failed, failed, failed}
        << "a/(x.zkhelp(de))" << QStringList{"a/x.zkhelp=v=1|a=A|de:d-de[]|links="};
}

void TestEditorWindow::contextMenu_data()
{
    addColumns();
    QTest::newRow("file: language added, written with the page's edits")
        << xy << QStringList{"click x.zkhelp", "set editAuthor B", "menu x.zkhelp", "page pageFile"}
        << QStringList{"pick:Sprache hinzufügen...", "type:DE <ü> "}
        << QStringList{fileMenu, askKey} << "x.zkhelp(DE <ü> ,de(Intro)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=v=1|a=B|DE <ü> :...[]|de:d-de[Intro=c-Intro]|links=", y};
    QTest::newRow("file: a key it has already is refused")
        << xy << QStringList{"menu x.zkhelp"}
        << QStringList{"pick:Sprache hinzufügen...", "type:de", "Ok"}
        << QStringList{fileMenu, askKey, "Neu: Sprache 'de' existiert bereits."}
        << "x.zkhelp(de(Intro)),y.zkhelp(de)" << QStringList{x};
    QTest::newRow("file: deleted from disk and tree")
        << xy << QStringList{"click x.zkhelp/de/Intro", "menu y.zkhelp", "page pageEmpty"}
        << QStringList{"pick:Aus Projekt entfernen (Löschen)", "Yes"}
        << QStringList{fileMenu, "Löschen: Datei wirklich löschen?\n(Sie wird von der "
                                 "Festplatte entfernt!)"}
        << "x.zkhelp(de(Intro))" << QStringList{x, "y.zkhelp=missing"};
    QTest::newRow("language: section added after the last")
        << xy << QStringList{"menu x.zkhelp/de"}
        << QStringList{"pick:Sektion hinzufügen...", "type:Intro"}
        << QStringList{langMenu, askSection} << "x.zkhelp(de(Intro,Intro)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[Intro=c-Intro;Intro=...]|links="};
    QTest::newRow("language: deleted, the others keep their order")
        << QStringList{"x.zkhelp=de:;en:S;fr:"} << QStringList{"menu x.zkhelp/en"}
        << QStringList{"pick:Sprache löschen", "Yes"}
        << QStringList{langMenu, "Löschen: Sprache 'en' löschen?"} << "x.zkhelp(de,fr)"
        << QStringList{"x.zkhelp=v=1|a=A|de:d-de[]|fr:d-fr[]|links="};
    QTest::newRow("section: the only one deleted; No keeps it")
        << xy << QStringList{"menu x.zkhelp/de/Intro", "menu x.zkhelp/de/Intro"}
        << QStringList{"pick:Sektion löschen", "No", "pick:Sektion löschen", "Yes"}
        << QStringList{"menu: Sektion löschen", "Löschen: Sektion löschen?",
                       "menu: Sektion löschen", "Löschen: Sektion löschen?"}
        << "x.zkhelp(de),y.zkhelp(de)" << QStringList{"x.zkhelp=v=1|a=A|de:d-de[]|links="};
    QTest::newRow("folder and empty space: no menu")
        << QStringList{"a/x.zkhelp=de:"} << QStringList{"menu a", "menu -"} << QStringList{}
        << QStringList{} << "a/(x.zkhelp(de))" << QStringList{};
    QTest::newRow("failed write keeps the tree and the edits")
        << xy << QStringList{"click x.zkhelp", "set editAuthor B", "rm x.zkhelp",
                             "mkdir x.zkhelp", "menu x.zkhelp/de", "trigger actionReload"}
        << QStringList{"pick:Sektion hinzufügen...", "type:Neu", "Ok", "Cancel"}
        << QStringList{langMenu, askSection, failed, unsaved} << "x.zkhelp(de(Intro)),y.zkhelp(de)"
        << QStringList{"x.zkhelp=missing", y};
}

void TestEditorWindow::unsavedEdits_data()
{
    addColumns();
    const QStringList edit{"click x.zkhelp", "set editAuthor B"};
    const QString xb = "x.zkhelp=v=1|a=B|de:d-de[Intro=c-Intro]|links=";
    QTest::newRow("reload, cancelled: nothing changes")
        << xy << edit + QStringList{"trigger actionReload", "text editAuthor B", "close open"}
        << QStringList{"Cancel", "Cancel"} << QStringList{unsaved, unsaved}
        << "x.zkhelp(de(Intro)),y.zkhelp(de)" << QStringList{x};
    QTest::newRow("reload, discarded: the edit is gone")
        << xy << edit + QStringList{"trigger actionReload", "click x.zkhelp", "text editAuthor A"}
        << QStringList{"Discard"} << QStringList{unsaved} << "x.zkhelp(de(Intro)),y.zkhelp(de)"
        << QStringList{x};
    QTest::newRow("closing, saved")
        << xy << edit + QStringList{"close closed"} << QStringList{"Save"} << QStringList{unsaved}
        << "x.zkhelp(de(Intro)),y.zkhelp(de)" << QStringList{xb};
    QTest::newRow("an edit typed back is none")
        << xy << edit + QStringList{"set editAuthor A", "trigger actionReload", "close closed"}
        << QStringList{} << QStringList{} << "x.zkhelp(de(Intro)),y.zkhelp(de)" << QStringList{x};
    QTest::newRow("section added in another file, cancelled")
        << xy << edit + QStringList{"menu y.zkhelp/de"}
        << QStringList{"pick:Sektion hinzufügen...", "type:S", "Cancel"}
        << QStringList{langMenu, askSection, unsaved} << "x.zkhelp(de(Intro)),y.zkhelp(de)"
        << QStringList{x, y};
    QTest::newRow("section added in another file, others saved first")
        << xy << edit + QStringList{"menu y.zkhelp/de"}
        << QStringList{"pick:Sektion hinzufügen...", "type:S", "Save"}
        << QStringList{langMenu, askSection, unsaved} << "x.zkhelp(de(Intro)),y.zkhelp(de(S))"
        << QStringList{xb, "y.zkhelp=v=1|a=A|de:d-de[S=...]|links="};
    QTest::newRow("deleting the edited file asks nothing")
        << xy << edit + QStringList{"menu x.zkhelp"}
        << QStringList{"pick:Aus Projekt entfernen (Löschen)", "Yes"}
        << QStringList{fileMenu, "Löschen: Datei wirklich löschen?\n(Sie wird von der "
                                 "Festplatte entfernt!)"}
        << "y.zkhelp(de)" << QStringList{"x.zkhelp=missing"};
    QTest::newRow("failed save abandons the new file")
        << xy << edit + QStringList{"rm x.zkhelp", "mkdir x.zkhelp", "trigger actionNewFile"}
        << QStringList{"Save", "Ok"} << QStringList{unsaved, failed}
        << "x.zkhelp(de(Intro)),y.zkhelp(de)" << QStringList{"x.zkhelp=missing"};
    QTest::newRow("open project, cancelled before the dialog")
        << xy << edit + QStringList{"trigger actionOpenProject", "trigger actionNewProject"}
        << QStringList{"Cancel", "Cancel"} << QStringList{unsaved, unsaved}
        << "x.zkhelp(de(Intro)),y.zkhelp(de)" << QStringList{x};
}

void TestEditorWindow::projectCommands_data()
{
    addColumns();
    QTest::newRow("no project: warnings only")
        << QStringList{} << QStringList{"trigger actionNewFile", "trigger actionRegisterPath",
                                        "trigger actionReload",  "trigger actionSave",
                                        "title ZK Help Editor",  "close closed"}
        << QStringList{"Ok", "Ok"}
        << QStringList{"Info: Bitte erst ein Projekt öffnen/erstellen.",
                       "Info: Kein Projekt geöffnet."}
        << "" << QStringList{};
    QTest::newRow("new project in a folder with help files")
        << QStringList{}
        << QStringList{"write s/a.zkhelp de:", "trigger actionNewProject", "title Editor - Neu & Ü"}
        << QStringList{"choose:p", "type:Neu & Ü", "Ok"}
        << QStringList{"Projektordner wählen", "Neues Projekt: Projektname: [MeinProjekt]",
                       "Info: Projekt erstellt!"}
        << "s/(a.zkhelp(de))" << QStringList{};
    QTest::newRow("new file: extension added, shown in its folder")
        << QStringList{"s/y.zkhelp=de:"} << QStringList{"trigger actionNewFile"}
        << QStringList{"choose:p/s/neu"} << QStringList{"Neue Datei in $D/p"}
        << "s/(neu.zkhelp(de),y.zkhelp(de))"
        << QStringList{"s/neu.zkhelp=v=1.0|a=Ich|de:Neue Beschreibung[]|links="};
    QTest::newRow("new file: another extension kept, not a member")
        << xy << QStringList{"trigger actionNewFile"} << QStringList{"choose:p/notiz.txt"}
        << QStringList{"Neue Datei in $D/p"} << "x.zkhelp(de(Intro)),y.zkhelp(de)"
        << QStringList{"notiz.txt=v=1.0|a=Ich|de:Neue Beschreibung[]|links="};
    QTest::newRow("reload sees files changed behind the editor's back; register path")
        << xy << QStringList{"rm x.zkhelp",
                             "write a/z.zkhelp en:",
                             "trigger actionReload",
                             "trigger actionRegisterPath",
                             "rm Path",
                             "mkdir Path",
                             "trigger actionRegisterPath"}
        << QStringList{"Ok", "Ok"}
        << QStringList{"Info: Pfad (inkl. Unterordner) wurde registriert.",
                       "Info: Pfad konnte nicht registriert werden."}
        << "a/(z.zkhelp(en)),y.zkhelp(de)" << QStringList{};
}

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
