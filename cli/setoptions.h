// The options of the commands over a help set: a folder, --reference and
// the switches each command knows.
#pragma once

#include "helpcollection.h"
#include "helpset.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a command over a help set was told: the folder, --reference and,
// where the command knows them, --json and its other switches.
struct SetOptions
{
    bool json = false;
    QString reference;
    std::optional<QString> folder;
    QStringList switches; // those of knownSwitches given
};

// The options of command, or nothing when one is not understood or the
// folder is none: the message is on standard error then.
std::optional<SetOptions> setOptions(const char *command, const QList<QString> &options,
                                     bool jsonKnown, const QStringList &knownSwitches = {});

ZkHelp::HelpSet chosenSet(const SetOptions &options, const ZkHelp::HelpCollection &collection);
