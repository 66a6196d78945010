// How the messages of a PO file name the texts of a help set: "NAME#description",
// "NAME#SECTION/title" and "NAME#SECTION/text", NAME the file's name in the
// set, SECTION the id of a reference section or its 1-based position.
#pragma once

#include "helpdata.h"
#include "helpset.h"

#include <QList>
#include <QString>

namespace ZkHelp {

struct PoMember
{
    QString path;
    QString name;
};

// The files of set in the order the set check reads them, each with its name.
QList<PoMember> poMembers(const HelpSet &set);

// SECTION for the reference section at index.
QString poSectionKey(const HelpSection &section, int index);

// A SECTION that would name two of sections: the id of one that is the
// position of another without id; empty when every SECTION is unique.
QString ambiguousSectionKey(const QList<HelpSection> &sections);

// The index of the reference section key names, or -1: the one of that id,
// else, for a number, the section without id at that position.
int poSectionIndex(const QList<HelpSection> &sections, const QString &key);

// The index of the section of language key that translates the section of
// reference at referenceIndex: the one of the same id, else the one at the
// same position when that pairs back with it; -1 when key has none.
int translationIndex(const HelpData &data, const QString &key, const QString &reference,
                     int referenceIndex);

// The comment that names a file's reference language where the header
// cannot name one for every file.
QString referenceComment(const QString &reference);

// The comment that marks a message whose reference text changed since its
// translation was confirmed.
inline const QString staleComment = QStringLiteral("Referenz geaendert");

} // namespace ZkHelp
