// The viewer's event loop while its search index is built: the longest gap
// between two ticks of a 10 ms timer, from the first tick until the first
// tick after the window's search has listed, indexed and tidied every file.
// Then, for each WORD, the time from typing it into the search field to its
// hits in the list, less the pause the field waits for before it searches.
// Usage (under QT_QPA_PLATFORM=offscreen):
//   zkhelp_bench_indexgap FLAT_DIR WORK_DIR [WORD...]
// WORK_DIR is an empty folder: it gets the Path file and the index cache.
// Prints the gap, the time to the index's end and each answer, in ms.
#include "mainwindow.h"
#include "searchpanel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: zkhelp_bench_indexgap FLAT_DIR WORK_DIR [WORD...]\n");
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
    std::printf("%lld %lld", static_cast<long long>(longest),
                static_cast<long long>(built.elapsed()));
    tick.stop();

    auto *field = window.findChild<QLineEdit *>(QStringLiteral("fullTextLineEdit"));
    const QAbstractItemModel *hits =
        window.findChild<QAbstractItemView *>(QStringLiteral("searchResultsList"))->model();
    const qint64 typingPause = 200;
    for (int i = 3; i < argc; ++i) {
        field->clear();
        // The search after the last one lists the files anew.
        while (search->isIndexing()) {
            QEventLoop waiting;
            QTimer::singleShot(10, &waiting, &QEventLoop::quit);
            waiting.exec();
        }
        QEventLoop answered;
        const auto shown =
            QObject::connect(hits, &QAbstractItemModel::modelReset, &answered, &QEventLoop::quit);
        QTimer::singleShot(30000, &answered, &QEventLoop::quit);
        QElapsedTimer typed;
        typed.start();
        field->setText(QString::fromLocal8Bit(argv[i]));
        answered.exec();
        QObject::disconnect(shown);
        // The pause's timer may end a few milliseconds early.
        std::printf(" %lld",
                    static_cast<long long>(qMax<qint64>(0, typed.elapsed() - typingPause)));
    }
    std::printf("\n");
    return 0;
}
