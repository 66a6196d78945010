// Section ids: what makes a valid one, and how sections without one get one,
// for the console tool and the editor alike.
#pragma once

#include "helpdata.h"

#include <QSet>
#include <QString>

namespace ZkHelp {

// 1 to 64 ASCII letters, digits, '.', '_' and '-', beginning with a letter or
// a digit.
bool isValidSectionId(const QString &id);

// The id a title suggests: umlauts spelt out, lower-case ASCII letters and
// digits kept, every other run of characters one '-', none at either end, at
// most 48 characters; "abschnitt" when nothing is left.
QString sectionSlug(const QString &title);

// base itself when taken lacks it, else the first of base-2, base-3, ... that
// taken lacks.
QString freeSectionId(const QString &base, const QSet<QString> &taken);

// The non-empty ids of the sections of language key.
QSet<QString> sectionIds(const HelpData &data, const QString &key);

// The id the section at index of language key gets, with title as its title
// and taken the ids already used in that language: in a translation the id of
// the reference section at the same position when taken lacks it, otherwise
// a free slug of title.
QString proposedSectionId(const HelpData &data, const QString &key, int index,
                          const QString &reference, const QString &title,
                          const QSet<QString> &taken);

// Gives every section of data without an id one, the reference language
// first so that its translations can take its ids. Returns whether any
// section got one.
bool assignSectionIds(HelpData &data, const QString &reference);

} // namespace ZkHelp
