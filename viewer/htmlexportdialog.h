// The HTML export as the viewer offers it: a folder asked for, the outcome
// reported.
#pragma once

#include "helpcollection.h"

#include <QString>

class QWidget;

// Exports the help file name and everything it links to into a folder the
// reader picks.
void exportAsHtml(QWidget *parent, const QString &name, const ZkHelp::HelpCollection &collection);
