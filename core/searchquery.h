// What a full-text query asks for, and the text forms the search index keeps,
// so that the index and every query split text the same way.
#pragma once

#include <QList>
#include <QString>

namespace ZkHelp {

// A query: every term must occur in one row of the index. Words are runs of
// letters and digits; punctuation only separates them, so "E-Mail:" asks for
// "E" and "Mail". A word ending in "*" matches as a prefix, words in double
// quotes as a phrase.
class SearchQuery
{
public:
    explicit SearchQuery(const QString &text);

    bool isEmpty() const { return terms.isEmpty(); }

    // The FTS5 match expression; with column, limited to that column.
    QString matchExpression(const QString &column = QString()) const;

    // About maxLength characters of text around the first word the query
    // names (its start when none is in it), blanks collapsed, "…" where cut.
    QString snippet(const QString &text, qsizetype maxLength = 120) const;

private:
    struct Word
    {
        QString text;
        bool prefix = false;
    };
    using Term = QList<Word>; // one word, or the words of a phrase

    qsizetype firstMatch(const QString &text) const;

    QList<Term> terms;
};

// text as the index stores it for matching: Chinese and Japanese runs, which
// carry no blanks between words, become their overlapping character pairs,
// so that any two or more characters of a run are found as a phrase of
// pairs. Text without such characters is returned as it is.
QString indexedText(const QString &text);

} // namespace ZkHelp
