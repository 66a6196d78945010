// zkhconv: one conversion between help files or projects and their DOS form per run.
#include "converter.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

using ZkHelp::Converter;

namespace {

enum ExitStatus { Success = 0, ArgumentError = 1, ConversionFailed = 2 };

const char usage[] = "ZKHCONV (Qt C++ Edition)\n"
                     "Usage: zkhconv <mode> <input> [output]\n"
                     "Modes:\n"
                     "  -f2dos   File: *.zkhelp -> 8.3 .ZKH (UTF8 to Latin1)\n"
                     "  -f2win   File: *.ZKH -> .zkhelp (Latin1 to UTF8)\n"
                     "  -p2dos   Proj: project.zkproject -> list.zkp\n"
                     "  -p2win   Proj: list.zkp -> project.zkproject\n";

int status(bool converted)
{
    return converted ? Success : ConversionFailed;
}

int convertFiles(QTextStream &out, const QString &input, const QString &output, bool toWin)
{
    if (input.contains(u'*'))
        return status(Converter::processBatch(input, toWin));
    if (output.isEmpty()) {
        out << (toWin ? "Bitte Ausgabedatei angeben.\n"
                      : "Bitte Ausgabedatei angeben oder Wildcard (*) nutzen.\n");
        return ArgumentError;
    }
    return status(Converter::convertFile(input, output, toWin));
}

int run(QTextStream &out, const QStringList &args)
{
    if (args.size() == 2 && args.at(1) == u"--version") {
        out << "zkhconv " ZKHELP_VERSION "\n";
        return Success;
    }
    if (args.size() < 3) {
        out << usage;
        return Success;
    }
    const QString &mode = args.at(1);
    const QString &input = args.at(2);
    const QString output = args.value(3);

    if (mode == u"-f2dos")
        return convertFiles(out, input, output, false);
    if (mode == u"-f2win")
        return convertFiles(out, input, output, true);
    if (mode == u"-p2dos")
        return status(Converter::convertProject2Dos(
            input, output.isEmpty() ? QStringLiteral("PROJECT.ZKP") : output));
    if (mode == u"-p2win")
        return status(Converter::convertProject2Win(
            input, output.isEmpty() ? QStringLiteral("Project.zkproject") : output,
            QStringLiteral("Imported")));
    out << "Unbekannter Modus: " << mode << "\n";
    return ArgumentError;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    return run(out, QCoreApplication::arguments());
}
