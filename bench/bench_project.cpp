// Times the editor's project model on a large project against the cheapest
// tools doing the same walk: listing and saving the members against
// find -name '*.zkhelp', and a registration that finds everything known
// against the bare folder walk it cannot avoid. Prints one table.
//
// Usage: zkhelp_bench_project [FILES] [FOLDERS]   (defaults 20000 and 2000)
// Environment: RUNS (default 5); each figure is the best run, the compared
// commands taking turns. The program folder's "Path" is put back afterwards.
#include "projectmanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Folders two levels deep (so that the walk has to descend), help files
// spread evenly, and one other file per folder that the filter must skip.
bool makeProject(const QString &root, int files, int folders)
{
    const int top = std::max(1, folders / 50);
    for (int i = 0; i < folders; ++i) {
        const QString folder =
            i < top ? QString("teil%1").arg(i) : QString("teil%1/kapitel%2").arg(i % top).arg(i);
        if (!QDir(root).mkpath(folder))
            return false;
        QFile other(QDir(root).filePath(folder + "/notizen.txt"));
        if (!other.open(QIODevice::WriteOnly))
            return false;
        for (int f = i; f < files; f += folders) {
            QFile help(QDir(root).filePath(QString("%1/thema%2.zkhelp").arg(folder).arg(f)));
            if (!help.open(QIODevice::WriteOnly) || help.write("<zkhelp/>\n") != 10)
                return false;
        }
    }
    return true;
}

// Best of runs, in seconds; the measured functions take turns.
void timeInTurns(int runs, const std::vector<std::function<void()>> &work,
                 std::vector<double> &best)
{
    best.assign(work.size(), 1e9);
    for (int r = 0; r < runs; ++r) {
        for (size_t i = 0; i < work.size(); ++i) {
            QElapsedTimer timer;
            timer.start();
            work[i]();
            best[i] = std::min(best[i], timer.nsecsElapsed() / 1e9);
        }
    }
}

// Both cases have the same goal: at most twice the floor.
void row(const char *label, qsizetype items, double measured, double floor, const char *what)
{
    const double ratio = measured / floor;
    std::printf("%-22s %7lld %10.4f %10.4f %6.2fx  <= 2x %-6s  %s\n", label,
                static_cast<long long>(items), measured, floor, ratio,
                ratio <= 2 ? "met" : "MISSED", what);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // One debug line per registered folder would drown the table.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const QStringList args = QCoreApplication::arguments();
    const int files = args.size() > 1 ? args.at(1).toInt() : 20000;
    const int folders = args.size() > 2 ? args.at(2).toInt() : 2000;
    const int runs = qEnvironmentVariableIsSet("RUNS") ? qEnvironmentVariableIntValue("RUNS") : 5;

    QTemporaryDir work;
    const QString root = work.filePath("Projekt Übersicht");
    if (!work.isValid() || !makeProject(root, files, folders)) {
        std::fprintf(stderr, "cannot create the project under %s\n", qPrintable(work.path()));
        return 1;
    }

    const QString pathFile = work.filePath("Path");
    ZkHelp::ProjectManager project(pathFile);
    project.projectDir = root;
    project.projectName = "bench";
    project.projectFile = QDir(root).filePath("bench.zkproject");
    bool ok = project.registerPathInGlobalConfig();
    const qsizetype pathSize = QFileInfo(pathFile).size();

    std::vector<double> listing;
    timeInTurns(runs,
                {[&] {
                     project.refreshFileList();
                     ok = project.saveProject() && ok;
                 },
                 [&] {
                     QProcess find;
                     find.setStandardOutputFile(QProcess::nullDevice());
                     find.start("find", {root, "-name", "*.zkhelp"});
                     ok = find.waitForFinished(-1) && find.exitCode() == 0 && ok;
                 }},
                listing);
    qsizetype walked = 0;
    std::vector<double> registration;
    timeInTurns(runs,
                {[&] { ok = project.registerPathInGlobalConfig() && ok; },
                 [&] {
                     walked = 1;
                     QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot,
                                     QDirIterator::Subdirectories);
                     for (; it.hasNext(); it.next())
                         ++walked;
                 }},
                registration);
    ok = ok && project.files.size() == files && QFileInfo(pathFile).size() == pathSize;
    if (!ok) {
        std::fprintf(stderr, "a run failed or gave the wrong result\n");
        return 1;
    }

    std::printf("%-22s %7s %10s %10s %7s  %-12s  %s\n", "case", "items", "seconds", "floor_s",
                "ratio", "goal", "floor");
    row("refresh + save", files, listing[0], listing[1], "find DIR -name '*.zkhelp'");
    row("second registration", walked, registration[0], registration[1],
        "QDirIterator over the folders");
    return 0;
}
