// Which help file the viewer shows: one named on its command line or by a
// link, or one the reader picks in a file dialog.
#pragma once

#include "helpcollection.h"

#include <QList>
#include <QString>

class QWidget;

// A folder is never a help file, whatever it is called; taking one would
// show an empty page where the file dialog should have opened.
bool isHelpFile(const QString &path);

// The help file startFile names (a name or a path, with or without
// ".zkhelp"): a bare name along the search folders of collection first, then
// the argument as a path of its own, then that path with the extension
// added. Empty when none of them is a file.
QString resolveStartFile(const ZkHelp::HelpCollection &collection, const QString &startFile);

// Asks for a help file, offering the search folders first (the last one at
// the top) and starting in the first; empty when the reader cancels.
QString askForHelpFile(QWidget *parent, const QList<QString> &searchPaths);
