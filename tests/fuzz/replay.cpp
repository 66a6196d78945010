// Replays the stored fuzz corpus through the same checks as the libFuzzer
// targets, so every test run keeps the inputs found so far fixed.
#include "fuzzchecks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

int replayFolder(const QString &folder, void (*check)(const QByteArray &))
{
    const QFileInfoList inputs = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &input : inputs) {
        QFile file(input.filePath());
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(input.filePath()));
            return -1;
        }
        check(file.readAll());
    }
    return int(inputs.size());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    FuzzChecks::silenceMessageLog();
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    const int helpFiles =
        replayFolder(corpus.filePath(QStringLiteral("reader")), FuzzChecks::checkHelpFile);
    const int names =
        replayFolder(corpus.filePath(QStringLiteral("dosname")), FuzzChecks::checkDosName);
    const int recoveries =
        replayFolder(corpus.filePath(QStringLiteral("recovery")), FuzzChecks::checkRecovery);
    const int queries =
        replayFolder(corpus.filePath(QStringLiteral("query")), FuzzChecks::checkQuery);
    const int addresses =
        replayFolder(corpus.filePath(QStringLiteral("address")), FuzzChecks::checkAddress);
    const int poFiles =
        replayFolder(corpus.filePath(QStringLiteral("po")), FuzzChecks::checkPoFile);
    if (helpFiles <= 0 || names <= 0 || recoveries <= 0 || queries <= 0 || addresses <= 0 ||
        poFiles <= 0) {
        std::fprintf(stderr, "corpus missing or unreadable in %s\n", argv[1]);
        return 1;
    }
    // Any broken property has aborted before this line.
    std::printf("fuzz corpus: %d passed, 0 failed\n",
                helpFiles + names + recoveries + queries + addresses + poFiles);
    return 0;
}
