// What a translated section was translated from: its basis, "KEY:HASH",
// names the reference language and a hash of the text of the reference
// section it pairs with (of the same id, else at the same position), so that a later change there
// shows the translation as stale. Shared by the set check and the editor, which writes the basis.
#pragma once

#include "helpdata.h"

#include <QString>

namespace ZkHelp {

// First 16 lowercase hex digits of the SHA-256 of name, a line feed and
// content, in UTF-8.
QString basisHash(const HelpSection &section);

// The basis value that confirms a translation against referenceSection of the
// language referenceKey: "KEY:HASH".
QString basisFor(const QString &referenceKey, const HelpSection &referenceSection);

// The language a basis names: what stands before its last colon, so that a
// key holding a colon still parses (empty without a colon).
QString basisLanguage(const QString &basis);

// The index of the section of language key that translation, standing at
// index in its own language, pairs with: the one of the same id when key has
// that id, otherwise the one at the same position; -1 when it is gone.
int pairedIndex(const HelpData &data, const QString &key, const HelpSection &translation,
                int index);

// The section pairedIndex names; nullptr when it is gone.
const HelpSection *pairedSection(const HelpData &data, const QString &key,
                                 const HelpSection &translation, int index);

enum class BasisState {
    Unconfirmed, // carries no basis
    Current,
    Stale, // the reference section changed or is gone
};

// The state of data.languages[language].sections[index] against its basis.
BasisState basisState(const HelpData &data, const QString &language, int index);

// preferred when data has that language, otherwise its first language (empty
// for a document without languages).
QString referenceLanguage(const HelpData &data, const QString &preferred);

} // namespace ZkHelp
