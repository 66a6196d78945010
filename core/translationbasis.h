// What a translated section was translated from: its basis, "KEY:HASH",
// names the reference language and a hash of the reference section's text
// at the same position, so that a later change there shows the translation
// as stale. Shared by the set check and the editor, which writes the basis.
#pragma once

#include "helpdata.h"

#include <QString>

namespace ZkHelp {

// First 16 lowercase hex digits of the SHA-256 of name, a line feed and
// content, in UTF-8.
QString basisHash(const HelpSection &section);

// The basis value that confirms a translation against the section at the same
// position in the language referenceKey: "KEY:HASH".
QString basisFor(const QString &referenceKey, const HelpSection &referenceSection);

// The language a basis names: what stands before its last colon, so that a
// key holding a colon still parses (empty without a colon).
QString basisLanguage(const QString &basis);

// The section of language key at index, the one a translation at index
// pairs with; nullptr when it is gone.
const HelpSection *pairedSection(const HelpData &data, const QString &key, int index);

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
