// The floor for reading a help file: a bare token loop over the same bytes,
// with no model built and nothing printed but the count, so that a reader
// measured against it pays only for what it does beyond tokenising.
#include <QCoreApplication>
#include <QFile>
#include <QXmlStreamReader>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: zkhelp_bench_xmlfloor FILE\n");
        return 2;
    }
    QFile file(args.at(1));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QXmlStreamReader reader(&file);
    long long tokens = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        ++tokens;
    }
    if (reader.hasError()) {
        std::fprintf(stderr, "%s\n", qPrintable(reader.errorString()));
        return 1;
    }
    std::printf("%lld tokens\n", tokens);
    return 0;
}
