// What a full-text query asks for, and the text forms the search index keeps,
// so that the index and every query split text the same way.
#pragma once

#include <QList>
#include <QSet>
#include <QString>

namespace ZkHelp {

// A query: every term must occur in one row of the index. Words are runs of
// letters and digits with their marks; punctuation only separates them, so
// "E-Mail:" asks for "E" and "Mail". A word ending in "*" matches as a
// prefix, words in double quotes as a phrase. A repeated term counts once,
// and only the first maxWords words are asked for (each character pair of a
// Chinese or Japanese run counts as a word): a pasted page answers as
// quickly as a few words.
class SearchQuery
{
public:
    static constexpr int maxWords = 32;

    explicit SearchQuery(const QString &text);

    bool isEmpty() const { return terms.isEmpty(); }
    // Whether the query asks for a single word or phrase.
    bool isOnePhrase() const { return terms.size() == 1; }
    // Whether words past maxWords were left out.
    bool isTruncated() const { return truncated; }

    // The FTS5 match expression; with column, limited to that column.
    QString matchExpression(const QString &column = QString()) const;

    // About maxLength characters of text around the first word the query
    // names (its start when none is in it), blanks collapsed, "…" where cut.
    QString snippet(const QString &text, qsizetype maxLength = 120) const;

private:
    // A word in the form it is matched in, or a Chinese or Japanese run of
    // one, which the index holds as character pairs.
    struct Word
    {
        QString text;
        bool prefix = false;
        bool cjk = false;
    };
    using Term = QList<Word>; // one word, or the words of a phrase

    void append(const Term &parsed, qsizetype &words, QSet<QString> &seen);
    qsizetype firstMatch(const QString &text) const;

    QList<Term> terms;
    bool truncated = false;
};

// What the programs say of a query cut to SearchQuery::maxWords words.
QString truncationMessage();

// text as the index stores it for matching: marks that are mostly left out
// (accents, Arabic and Hebrew vowel points) are dropped, and Chinese and
// Japanese runs, which carry no blanks between words, become their
// overlapping character pairs, so that any two or more characters of a run
// are found as a phrase of pairs. Text that needs neither is returned as it
// is.
QString indexedText(const QString &text);

// The words the index matches in text, in order, one blank between two, in
// the form a query word is compared in (indexedText, split where the index's
// tokenizer splits, each folded): what a search away from the index, such as
// the one of a published site, compares the folded words of a query with.
QString matchedWords(const QString &text);

} // namespace ZkHelp
