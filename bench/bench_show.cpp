// Times Show of the running viewer, from the call on the session bus to its
// answer, beside the same address shown by a window of this process
// (MainWindow::showAddress plus the events it leaves): what the bus and the
// other process add to the viewer's own show.
// Usage (inside a session bus, under QT_QPA_PLATFORM=offscreen, in a folder
// whose Path names FLAT_DIR, with a viewer started there):
//   zkhelp_bench_show FLAT_DIR [RUNS]
#include "eventtiming.h"
#include "helpaddress.h"
#include "mainwindow.h"
#include "zkhelp/helpclient.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <limits>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zkhelp_bench_show FLAT_DIR [RUNS]\n");
        return 2;
    }
    const int runs = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 20;
    QStringList addresses;
    const QStringList names =
        QDir(args.at(1))
            .entryList({QStringLiteral("*.zkhelp")}, QDir::Files | QDir::CaseSensitive, QDir::Name);
    for (qsizetype i = 0; i < names.size(); i += std::max<qsizetype>(1, names.size() / 10))
        addresses.append(
            ZkHelp::HelpAddress{names.at(i).chopped(7), QStringLiteral("de"), QStringLiteral("1")}
                .toString());

    // The running viewer lists the folder first.
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    QDeadlineTimer started(30000);
    while (!bus || !bus->isServiceRegistered(ZkHelp::viewerBusName)) {
        if (started.hasExpired()) {
            std::fprintf(stderr, "no viewer on the session bus\n");
            return 1;
        }
        QThread::msleep(50);
    }

    MainWindow window;
    window.show();
    double overBus = std::numeric_limits<double>::max();
    double own = std::numeric_limits<double>::max();
    for (int run = 0; run < runs; ++run) {
        for (const QString &address : std::as_const(addresses)) {
            std::optional<ZkHelp::ViewerAnswer> answer;
            overBus = std::min(
                overBus, timedWithEvents([&] { answer = ZkHelp::showInRunningViewer(address); }));
            own = std::min(own, timedWithEvents([&] { window.showAddress(address); }));
            if (!answer || answer->shown != address) {
                std::fprintf(stderr, "the running viewer showed %s for %s\n",
                             answer ? qPrintable(answer->shown) : "nothing", qPrintable(address));
                return 1;
            }
        }
    }
    std::printf("zkhelp_viewer on the session bus: best of %d runs over %lld topics of %lld\n\n",
                runs, static_cast<long long>(addresses.size()),
                static_cast<long long>(names.size()));
    std::printf("%-44s %12s  %-34s %12s %8s %10s\n", "case", "viewer", "floor", "floor time",
                "ratio", "goal");
    std::printf("%-44s %9.1f ms  %-34s %9.1f ms %7.2fx  <= 100 ms  %s\n",
                "Show over the bus, call to answer", overBus, "showAddress in this process", own,
                overBus / own, overBus <= 100 ? "met" : "MISSED");
    return 0;
}
