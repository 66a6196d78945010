// Runs a console program of this build to its end and keeps what it said,
// so process tests compare bytes and exit status without a QProcess of
// their own.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

struct ProcessRun
{
    QByteArray out;
    QByteArray err;
    // -1 when the program did not start, crashed or outlived the wait.
    int exitCode = -1;

    static ProcessRun
    run(const QString &program, const QStringList &args, const QString &workingFolder,
        const QByteArray &input = QByteArray(),
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setWorkingDirectory(workingFolder);
        process.setProcessEnvironment(environment);
        process.start(program, args);
        ProcessRun result;
        if (!process.waitForStarted())
            return result;
        process.write(input);
        process.closeWriteChannel();
        const bool ended = process.waitForFinished(20000);
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        if (ended && process.exitStatus() == QProcess::NormalExit)
            result.exitCode = process.exitCode();
        return result;
    }
};
