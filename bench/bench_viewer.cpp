// Times the viewer's window against the bare work it cannot avoid, side by
// side in one process:
//   - one change of the search text over a folder of many help files against
//     HelpCollection::files alone for the same filter;
//   - a click on a list entry showing a large one-language document against
//     parsing that file plus setHtml of the same page in a bare QTextBrowser.
// Usage (under QT_QPA_PLATFORM=offscreen): zkhelp_bench_viewer FLAT_DIR WORK_DIR [RUNS]
// FLAT_DIR holds the help files (bench_gen flat); WORK_DIR is an empty
// folder for the large document and the Path file. Each figure is the best
// of RUNS runs, the two sides taking turns.
#include "eventtiming.h"
#include "helpcollection.h"
#include "helpwriter.h"
#include "mainwindow.h"
#include "savefile.h"
#include "screenpage.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBrowser>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

namespace {

const QString bigName = QStringLiteral("bench_big");

// One language of sectionCount sections of about 1 KB each, with some
// markup that the page has to render.
ZkHelp::HelpData bigDocument(int sectionCount)
{
    const QStringList words =
        QStringLiteral("Hilfe Datei öffnen schließen Fenster Größe Änderung Ordner "
                       "Menü Übersicht Sprache Abschnitt speichern Verweis Export")
            .split(u' ');
    QRandomGenerator rng(2024);
    ZkHelp::HelpData data;
    data.author = QStringLiteral("Benchmark");
    data.version = QStringLiteral("1.0");
    ZkHelp::HelpLanguage &language = data.languages[QStringLiteral("de")];
    language.description = QStringLiteral("Ein großes Dokument.");
    for (int s = 0; s < sectionCount; ++s) {
        QString text;
        while (text.size() < 1000) {
            text += words.at(rng.bounded(int(words.size()))) + u' ';
            if (rng.bounded(40) == 0)
                text += QStringLiteral("<b>fett</b> ");
        }
        language.sections.append({QStringLiteral("Abschnitt %1").arg(s), text});
    }
    for (int l = 0; l < 20; ++l)
        data.links.append(QStringLiteral("thema_%1").arg(l));
    return data;
}

struct Pair
{
    double viewer = std::numeric_limits<double>::max();
    double floor = std::numeric_limits<double>::max();
};

// Best of runs for both sides, the order swapped every other run.
Pair bestOf(int runs, const std::function<void()> &viewer, const std::function<void()> &floor)
{
    Pair best;
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0) {
            best.viewer = std::min(best.viewer, timedWithEvents(viewer));
            best.floor = std::min(best.floor, timedWithEvents(floor));
        } else {
            best.floor = std::min(best.floor, timedWithEvents(floor));
            best.viewer = std::min(best.viewer, timedWithEvents(viewer));
        }
    }
    return best;
}

void row(const QString &what, const Pair &pair, const char *floorName, double goal)
{
    const double ratio = pair.viewer / pair.floor;
    std::printf("%-44s %9.1f ms  %-34s %9.1f ms %7.2fx  <= %.1fx  %s\n", qPrintable(what),
                pair.viewer, floorName, pair.floor, ratio, goal, ratio <= goal ? "met" : "MISSED");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: zkhelp_bench_viewer FLAT_DIR WORK_DIR [RUNS]\n");
        return 2;
    }
    const QString flatDir = QDir(args.at(1)).absolutePath();
    const QDir work(args.at(2));
    const int runs = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 20;

    const QString bigDir = work.absoluteFilePath(QStringLiteral("big"));
    const QString bigPath = bigDir + u'/' + bigName + QStringLiteral(".zkhelp");
    const ZkHelp::HelpData big = bigDocument(2000);
    if (!QDir().mkpath(bigDir) || !ZkHelp::HelpWriter().writeXml(big, bigPath) ||
        !QDir::setCurrent(work.absolutePath()) ||
        !ZkHelp::saveFile(QStringLiteral("Path"), (flatDir + u'\n' + bigDir + u'\n').toUtf8())) {
        std::fprintf(stderr, "cannot prepare %s\n", qPrintable(work.absolutePath()));
        return 1;
    }

    MainWindow window;
    window.show();
    QCoreApplication::processEvents();
    auto *search = window.findChild<QLineEdit *>(QStringLiteral("searchLineEdit"));
    auto *list = window.findChild<QListWidget *>(QStringLiteral("fileListWidget"));
    auto *content = window.findChild<QTextBrowser *>(QStringLiteral("contentBrowser"));
    const int allFiles = list->count();

    const ZkHelp::HelpCollection collection = ZkHelp::HelpCollection::fromPathFile(
        QStringLiteral("Path"), QCoreApplication::applicationDirPath());
    // A run changes the text to "x" and back to empty on each side, the
    // sides taking turns by whole runs: what one change frees is what the
    // next change of the same side allocates from, on both sides alike. The
    // floor keeps its result until its next change replaces it, as the list
    // keeps its entries.
    QList<QString> found;
    Pair filtered, everything;
    int matches = 0;
    const auto viewerRun = [&] {
        filtered.viewer = std::min(filtered.viewer,
                                   timedWithEvents([&] { search->setText(QStringLiteral("x")); }));
        matches = list->count();
        everything.viewer =
            std::min(everything.viewer, timedWithEvents([&] { search->setText(QString()); }));
    };
    const auto floorRun = [&] {
        filtered.floor =
            std::min(filtered.floor,
                     timedWithEvents([&] { found = collection.files(QStringLiteral("x")); }));
        everything.floor =
            std::min(everything.floor, timedWithEvents([&] { found = collection.files(); }));
    };
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0) {
            viewerRun();
            floorRun();
        } else {
            floorRun();
            viewerRun();
        }
    }

    search->setText(bigName);
    QCoreApplication::processEvents();
    const QRect entry = list->visualItemRect(list->item(0));
    QTextBrowser bare;
    bare.resize(content->size());
    bare.show();
    const QString page = renderScreenPage({bigName, big, {}}, big.languages.first());
    const Pair click = bestOf(
        runs, [&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center()); },
        [&] {
            const ScreenTopic topic = readScreenTopic(collection, bigPath);
            bare.setHtml(page);
        });
    if (!content->toPlainText().startsWith(bigName + QStringLiteral("\nBenchmark (v1.0)"))) {
        std::fprintf(stderr, "the click did not show the document\n");
        return 1;
    }

    std::printf("zkhelp_viewer benchmark: best of %d runs, sides taking turns\n", runs);
    std::printf("data: %d help files listed; %.1f MiB document, 1 language, %lld sections\n\n",
                allFiles, double(QFileInfo(bigPath).size()) / 1048576.0,
                static_cast<long long>(big.languages.first().sections.size()));
    std::printf("%-44s %12s  %-34s %12s %8s %8s\n", "case", "viewer", "floor", "floor time",
                "ratio", "goal");
    row(QStringLiteral("filter \"x\" (%1 of %2 listed)").arg(matches).arg(allFiles), filtered,
        "HelpCollection::files", 1.5);
    row(QStringLiteral("empty filter (%1 listed)").arg(allFiles), everything,
        "HelpCollection::files", 1.5);
    row(QStringLiteral("click on the %1 MiB document")
            .arg(double(QFileInfo(bigPath).size()) / 1048576.0, 0, 'f', 1),
        click, "parse + setHtml in bare QTextBrowser", 1.3);
    return 0;
}
