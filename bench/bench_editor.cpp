// Times the editor window on a large project: the tree rebuild against
// parsing the same files alone (goal: at most twice that), adding one section
// from the command to the redrawn tree (goal: under 100 ms; only that file's
// nodes are drawn anew) next to it, and the recovery write of one changed
// file against its goal of 20 ms. Prints one table.
//
// Usage: zkhelp_bench_editor [FILES]   (default 2000, in 20 folders; each file
// has 2 languages of 5 sections, so 13 nodes per file and 20 folder nodes)
// Environment: RUNS (default 5); each figure is the best run, the compared
// work taking turns. Runs offscreen unless QT_QPA_PLATFORM says otherwise.
//
//        zkhelp_bench_editor open|documents|parse DIR
// times one opening of the help files in DIR (zkhelp_bench_gen linked30 DIR
// COUNT makes a set) as a project through the window (open), only reading
// them into the editor's session (documents), or only parsing them (parse),
// each with the process's peak memory; one mode per process, so that the
// peaks do not mix.
#include "dialoganswerer.h"
#include "editorsession.h"
#include "helpparser.h"
#include "mainwindow.h"
#include "nodemenu.h"
#include "projecttree.h"
#include "recoverycontroller.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

QString relativePath(int i)
{
    return QString("kapitel%1/thema%2.zkhelp").arg(i % 20).arg(i);
}

bool makeProject(const QString &root, int files)
{
    const QByteArray text = "Ein Absatz mit Umlauten: Größe, Übersicht, Änderung &amp; mehr. "
                            "A paragraph of help text that wraps over a line or two.\n";
    for (int i = 0; i < files; ++i) {
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<zkhelp version=\"1.0\" author=\"Bench\">\n";
        for (const char *key : {"de", "en"}) {
            xml += QByteArray("    <lang name=\"") + key +
                   "\">\n"
                   "        <description>Beschreibung</description>\n";
            for (int s = 0; s < 5; ++s)
                xml += "        <section name=\"Abschnitt " + QByteArray::number(s) + "\">" +
                       text.repeated(3) + "</section>\n";
            xml += "    </lang>\n";
        }
        xml += "    <link page=\"thema0\"/>\n</zkhelp>\n";
        const QString path = QDir(root).filePath(relativePath(i));
        QFile file(path);
        if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) ||
            file.write(xml) != xml.size())
            return false;
    }
    QFile project(QDir(root).filePath("bench.zkproject"));
    return project.open(QIODevice::WriteOnly) && project.write("<zkproject name=\"bench\"/>\n") > 0;
}

double seconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

// The process's peak resident memory in MB, as the kernel counts it.
long peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    }
    return -1;
}

int openOnce(const QString &mode, const QString &root, const QString &pathFile)
{
    QStringList members;
    for (QDirIterator it(root, {"*.zkhelp"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        members.append(QDir(root).relativeFilePath(it.next()));
    members.sort();
    const QString projectFile = QDir(root).filePath("bench.zkproject");
    QFile project(projectFile);
    if (!project.exists() && (!project.open(QIODevice::WriteOnly) ||
                              project.write("<zkproject name=\"bench\"/>\n") <= 0)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(projectFile));
        return 1;
    }
    int nodes = 0;
    ZkHelp::EditorSession session;
    const ZkHelp::HelpParser parser;
    std::optional<MainWindow> window;
    const double time = seconds([&] {
        if (mode == u"open") {
            window.emplace(pathFile);
            window->openProjectPath(projectFile);
        } else if (mode == u"documents") {
            session.load(root, members);
        } else {
            for (const QString &member : std::as_const(members))
                parser.parse(QDir(root).filePath(member));
        }
    });
    if (window) {
        for (QTreeWidgetItemIterator it(window->findChild<QTreeWidget *>("projectTree")); *it; ++it)
            ++nodes;
    }
    std::printf("%-10s %7lld files %8d nodes %8.3f s %6ld MB peak\n", qPrintable(mode),
                static_cast<long long>(members.size()), nodes, time, peakMegabytes());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Registration logs one debug line per folder, and the offscreen plugin
    // warns about what it cannot do; the node counts below catch real faults.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\ndefault.warning=false"));
    const QStringList args = QCoreApplication::arguments();
    QTemporaryDir work;
    qputenv("XDG_DATA_HOME", work.filePath("data").toLocal8Bit());
    if (args.size() == 3)
        return openOnce(args.at(1), QDir(args.at(2)).absolutePath(), work.filePath("Path"));
    const int files = args.size() > 1 ? args.at(1).toInt() : 2000;
    const int runs = qEnvironmentVariableIsSet("RUNS") ? qEnvironmentVariableIntValue("RUNS") : 5;

    const QString root = work.filePath("Projekt Übersicht");
    if (!work.isValid() || !makeProject(root, files)) {
        std::fprintf(stderr, "cannot create the project under %s\n", qPrintable(work.path()));
        return 1;
    }
    MainWindow window(work.filePath("Path"));
    DialogAnswerer opener({"choose:" + QDir(root).filePath("bench.zkproject")}, QString(), 0);
    window.findChild<QAction *>("actionOpenProject")->trigger();
    auto *tree = window.findChild<QTreeWidget *>("projectTree");
    const auto countNodes = [tree] {
        int nodes = 0;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            ++nodes;
        return nodes;
    };
    const int nodes = countNodes();

    const ZkHelp::HelpParser parser;
    double rebuild = 1e9, parsing = 1e9, addSection = 1e9;
    for (int r = 0; r < runs; ++r) {
        rebuild = std::min(rebuild, seconds([&] { window.loadProjectView(); }));
        parsing = std::min(parsing, seconds([&] {
                               for (int i = 0; i < files; ++i)
                                   parser.parse(QDir(root).filePath(relativePath(i)));
                           }));
    }
    // Through the window's own menu command, its name dialog answered at once.
    DialogAnswerer names(QStringList(runs, QStringLiteral("type:Neu")), QString(), 0);
    auto *menu = window.findChild<NodeMenu *>();
    for (int r = 0; r < runs; ++r) {
        addSection = std::min(addSection, seconds([&] {
                                  menu->addSection(QDir(root).filePath(relativePath(0)),
                                                   QStringLiteral("de"));
                              }));
    }
    // One file of the project changed and not saved: what reaches the
    // recovery folder is that one document.
    QTreeWidgetItem *section = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it && !section; ++it) {
        if (ProjectTree::kindOf(*it) == ProjectTree::KindSection)
            section = *it;
    }
    emit tree->itemClicked(section, 0);
    auto *content = window.findChild<QPlainTextEdit *>("editContent");
    auto *keeper = window.findChild<ZkHelp::RecoveryController *>();
    double recovery = 1e9;
    for (int r = 0; r < runs; ++r) {
        content->setPlainText(QStringLiteral("Geändert, Lauf %1").arg(r));
        recovery = std::min(recovery, seconds([&] { keeper->keep(); }));
    }
    const int added = runs;
    const bool ok = nodes == 13 * files + 20 && countNodes() == nodes + added;
    if (!ok) {
        std::fprintf(stderr, "wrong tree: %d nodes, then %d\n", nodes, countNodes());
        return 1;
    }
    const QByteArray addRow = QStringLiteral("add a section, %1 files").arg(files).toUtf8();
    std::printf("%-26s %7s %10s %10s %7s  %-12s  %s\n", "case", "nodes", "seconds", "floor_s",
                "ratio", "goal", "floor");
    const double ratio = rebuild / parsing;
    std::printf("%-26s %7d %10.4f %10.4f %6.2fx  <= 2x %-6s  %s\n", "editor rebuild", nodes,
                rebuild, parsing, ratio, ratio <= 2 ? "met" : "MISSED",
                "HelpParser::parse of every file");
    std::printf("%-26s %7d %10.4f %10.4f %6.2fx  < 100 ms %-3s  %s\n", addRow.constData(),
                nodes + added, addSection, rebuild, addSection / rebuild,
                addSection < 0.100 ? "met" : "MISSED", "the full rebuild");
    std::printf("%-26s %7d %10.4f %10.4f %6.2fx  <= 20 ms %-3s  %s\n", "recovery write", 1,
                recovery, 0.020, recovery / 0.020, recovery <= 0.020 ? "met" : "MISSED",
                "goal: one changed file of the project");
    return 0;
}
