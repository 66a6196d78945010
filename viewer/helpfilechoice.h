// Which help file the viewer shows: one named on its command line or by a
// link, or one the reader picks in a file dialog.
#pragma once

#include "helpcollection.h"

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// A folder is never a help file, whatever it is called; taking one would
// show an empty page where the file dialog should have opened.
bool isHelpFile(const QString &path);

// The help file a link of a page leads to along the search folders of
// collection: the file of its name, that of its name for a "zkhelp:" address.
// Empty when there is none, and for an address that is none.
QString linkedHelpFile(const ZkHelp::HelpCollection &collection, const QString &link);

// The help file startFile names (a name or a path, with or without
// ".zkhelp"): a bare name along the search folders of collection first, then
// the argument as a path of its own, then that path with the extension
// added. Empty when none of them is a file. A "zkhelp:" address is looked up
// along the search folders only (linkedHelpFile), never as a path.
QString resolveStartFile(const ZkHelp::HelpCollection &collection, const QString &startFile);

// Where in the help file at path an address leads: the language to show,
// the section to scroll to (-1: the top) and what the file lacks of the
// address, said in the status bar.
struct AddressedPlace
{
    QString language;
    int section = -1;
    QString missing;
};

// For anything but an address: no language, the top and nothing missing, so
// that the topic opens as a plain name would open it. interfaceLanguages
// decides without a language of the address or one the file lacks.
AddressedPlace addressedPlace(const ZkHelp::HelpCollection &collection, const QString &path,
                              const QString &link, const QStringList &interfaceLanguages);

// Asks for a help file, offering the search folders first (the last one at
// the top) and starting in the first; empty when the reader cancels.
QString askForHelpFile(QWidget *parent, const QList<QString> &searchPaths);
