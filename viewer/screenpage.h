// The page the viewer shows for one language of a help document, and the one
// it shows while there is none.
#pragma once

#include "helpcollection.h"
#include "helpdata.h"

#include <QSet>
#include <QString>

// A help document as the viewer shows it.
struct ScreenTopic
{
    // The file's name as the list shows it.
    QString name;
    ZkHelp::HelpData data;
    // Links to help-file names no search folder holds.
    QSet<QString> missingLinks;
};

// The topic at path, its links looked up along the folders of collection.
ScreenTopic readScreenTopic(const ZkHelp::HelpCollection &collection, const QString &path);

// A description or section text as rich text: the formatting elements (b, i,
// u, em, strong, code, pre, br, p, ul, ol, li, sub, sup), written without
// attributes and properly nested, take effect; any other tag, a formatting
// element out of place and every other character show as written.
QString screenMarkup(const QString &text);

// The on-screen page of one language of topic: an inline style, the name as
// heading with author and version under it, the description, every section
// and the link list. Names, author and version show as written; help-file
// names are percent-encoded in the address, so a click hands them back as
// written. Web and mail links are marked as leaving the viewer; missing
// topics are named without a link.
QString renderScreenPage(const ScreenTopic &topic, const ZkHelp::HelpLanguage &language);

// What the page says while no topic is shown: the search folders read with
// the number of help files in each, and how to get to a topic, pathFile
// being where search folders are added.
QString renderStartPage(const ZkHelp::HelpCollection &collection, const QString &pathFile);
