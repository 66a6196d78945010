// The viewer's event loop while its search index is built: the longest gap
// between two ticks of a 10 ms timer, from the first tick until the first
// tick after the window's search has listed, indexed and tidied every file.
// Usage (under QT_QPA_PLATFORM=offscreen): zkhelp_bench_indexgap FLAT_DIR WORK_DIR
// WORK_DIR is an empty folder: it gets the Path file and the index cache.
#include "mainwindow.h"
#include "searchpanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zkhelp_bench_indexgap FLAT_DIR WORK_DIR\n");
        return 2;
    }
    const QString work = QString::fromLocal8Bit(argv[2]);
    qputenv("XDG_CACHE_HOME", QDir(work).filePath(QStringLiteral("cache")).toLocal8Bit());
    QApplication app(argc, argv);
    QDir::setCurrent(work);
    QFile path(QStringLiteral("Path"));
    if (!path.open(QIODevice::WriteOnly) || path.write(argv[1]) < 0)
        return 1;
    path.close();

    QElapsedTimer built;
    built.start();
    MainWindow window;
    window.show();
    const SearchPanel *search = window.findChild<SearchPanel *>();
    qint64 longest = 0;
    QElapsedTimer gap;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (gap.isValid())
            longest = qMax(longest, gap.elapsed());
        gap.start();
        if (!search->isIndexing())
            app.quit();
    });
    tick.start(10);
    app.exec();
    std::printf("%lld %lld\n", static_cast<long long>(longest),
                static_cast<long long>(built.elapsed()));
    return 0;
}
