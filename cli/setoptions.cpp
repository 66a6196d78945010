#include "setoptions.h"

#include <QFileInfo>
#include <QTextStream>

std::optional<SetOptions> setOptions(const char *command, const QList<QString> &options,
                                     bool jsonKnown, const QStringList &knownSwitches)
{
    SetOptions chosen;
    for (qsizetype i = 0; i < options.size(); ++i) {
        const QString &option = options.at(i);
        if (jsonKnown && option == u"--json") {
            chosen.json = true;
        } else if (knownSwitches.contains(option)) {
            chosen.switches.append(option);
        } else if (option == u"--reference" && i + 1 < options.size()) {
            chosen.reference = options.at(++i);
        } else if (!option.startsWith(u'-') && !chosen.folder) {
            chosen.folder = option;
        } else {
            QTextStream(stderr) << "Unbekannte Angabe fuer " << command << ": " << option << '\n';
            return std::nullopt;
        }
    }
    if (chosen.folder && !QFileInfo(*chosen.folder).isDir()) {
        QTextStream(stderr) << "Kein Ordner: " << *chosen.folder << '\n';
        return std::nullopt;
    }
    return chosen;
}

ZkHelp::HelpSet chosenSet(const SetOptions &options, const ZkHelp::HelpCollection &collection)
{
    return options.folder ? ZkHelp::folderSet(*options.folder, collection)
                          : ZkHelp::searchFolderSet(collection);
}
