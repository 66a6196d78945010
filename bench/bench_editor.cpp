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
#include "dialoganswerer.h"
#include "helpparser.h"
#include "mainwindow.h"
#include "nodemenu.h"
#include "projecttree.h"
#include "recoverycontroller.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>

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
    const int files = args.size() > 1 ? args.at(1).toInt() : 2000;
    const int runs = qEnvironmentVariableIsSet("RUNS") ? qEnvironmentVariableIntValue("RUNS") : 5;

    QTemporaryDir work;
    const QString root = work.filePath("Projekt Übersicht");
    if (!work.isValid() || !makeProject(root, files)) {
        std::fprintf(stderr, "cannot create the project under %s\n", qPrintable(work.path()));
        return 1;
    }
    // The recovery folder lies in the scratch folder too.
    qputenv("XDG_DATA_HOME", work.filePath("data").toLocal8Bit());
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
