// The floor for checking a help set: every help file of a folder tree read
// once by the reader, nothing judged and nothing printed but two counts, so
// that the check measured against it pays only for what it does beyond
// reading.
#include "helpparser.h"

#include <QCoreApplication>
#include <QDirIterator>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: zkhelp_bench_parseall FOLDER\n");
        return 2;
    }
    const ZkHelp::HelpParser parser;
    long long files = 0;
    long long sections = 0;
    QDirIterator it(args.at(1), {QStringLiteral("*.zkhelp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString error;
        const ZkHelp::HelpData data = parser.parseQuietly(it.next(), error);
        for (const ZkHelp::HelpLanguage &language : data.languages)
            sections += language.sections.size();
        ++files;
    }
    std::printf("%lld files, %lld sections\n", files, sections);
    return 0;
}
