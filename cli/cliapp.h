// The console tool: one command per run, answers read from standard input.
#pragma once

#include "helpcollection.h"
#include "helpdata.h"
#include "htmlexporter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

class CliApp
{
public:
    CliApp(QTextStream &out, QTextStream &in);

    // Runs the command given by args and returns the exit status: 0 when it
    // did what was asked, 1 when it could not.
    int run(const QList<QString> &args);

private:
    bool dispatchPair(const QString &command, const QString &operand);

    bool readHelp(const QString &fileName, const QString &language);
    bool printHelpData(const ZkHelp::HelpData &data, const QString &language);

    void listFiles(const QString &filter);
    bool listLanguages(const QString &fileName);
    bool selectHelp(const QString &filter);
    bool selectHelpLanguage(const QString &filter);
    bool createHtml(const QString &fileName);
    bool searchText(const QString &query);
    int checkHelpSet(const QList<QString> &options);
    int giveSectionIds(const QList<QString> &options);
    int publishSite(const QList<QString> &args);
    // In pocommands.cpp.
    int writePoFile(bool templateOnly, const QList<QString> &args);
    int importPoFile(const QList<QString> &args);

    QList<QString> matchingFilesOrComplain(const QString &filter);
    void printNumbered(const QStringList &entries);
    int askNumber(const QString &prompt, qsizetype count);

    ZkHelp::HelpCollection collection;
    ZkHelp::HtmlExporter exporter;
    QTextStream &out;
    QTextStream &in;
};
