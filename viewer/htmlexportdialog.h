// The HTML export as the viewer offers it: a folder asked for, the outcome
// reported.
#pragma once

#include "helpcollection.h"

#include <QString>

class QWidget;

// Exports the help file at path and everything it links to, found along the
// folders of collection, into a folder the reader picks; on success the
// reader may open that folder.
void exportAsHtml(QWidget *parent, const QString &path, const ZkHelp::HelpCollection &collection);
