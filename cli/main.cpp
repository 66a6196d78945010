#include "cliapp.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream in(stdin);
    CliApp cli(out, in);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return cli.run(args);
}
