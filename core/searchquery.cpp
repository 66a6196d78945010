#include "searchquery.h"

#include <QStringList>

namespace ZkHelp {

namespace {

char32_t codePointAt(QStringView text, qsizetype &i)
{
    const QChar c = text.at(i++);
    if (c.isHighSurrogate() && i < text.size() && text.at(i).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(i++));
    return c.unicode();
}

bool isCjk(char32_t c)
{
    const QChar::Script script = QChar::script(c);
    return script == QChar::Script_Han || script == QChar::Script_Hiragana ||
           script == QChar::Script_Katakana;
}

// Marks belong to the letter before them, so a decomposed "Ü" stays one word.
bool isWordChar(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

struct Run
{
    QString text;
    bool cjk = false;
    qsizetype position = 0;
};

// The parts of text that the index keeps apart: words, and within them
// Chinese and Japanese runs on their own.
QList<Run> runs(QStringView text)
{
    QList<Run> result;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype start = i;
        const char32_t c = codePointAt(text, i);
        if (!QChar::isLetterOrNumber(c))
            continue;
        const bool cjk = isCjk(c);
        qsizetype end = i;
        while (end < text.size()) {
            qsizetype next = end;
            const char32_t d = codePointAt(text, next);
            if (!isWordChar(d) || (isCjk(d) != cjk && !QChar::isMark(d)))
                break;
            end = next;
        }
        result.append({text.mid(start, end - start).toString(), cjk, start});
        i = end;
    }
    return result;
}

// Overlapping pairs of code points; a lone character stays as it is.
QStringList characterPairs(QStringView run)
{
    QList<qsizetype> starts;
    for (qsizetype i = 0; i < run.size();) {
        starts.append(i);
        codePointAt(run, i);
    }
    starts.append(run.size());
    if (starts.size() <= 2)
        return {run.toString()};
    QStringList pairs;
    for (qsizetype k = 0; k + 2 < starts.size(); ++k)
        pairs.append(run.mid(starts[k], starts[k + 2] - starts[k]).toString());
    return pairs;
}

bool mayHoldCjk(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x2E80)
            return true;
    }
    return false;
}

// Case and diacritics dropped, as the index's tokenizer does.
QString folded(const QString &word)
{
    QString plain = word.normalized(QString::NormalizationForm_D);
    plain.removeIf([](QChar c) { return c.isMark(); });
    return plain.toCaseFolded();
}

QString quoted(QString token)
{
    return u'"' + token.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

SearchQuery::SearchQuery(const QString &text)
{
    Term phrase;
    bool inQuotes = false;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype start = i;
        const char32_t c = codePointAt(text, i);
        if (c == u'"') {
            if (!phrase.isEmpty())
                terms.append(phrase);
            phrase.clear();
            inQuotes = !inQuotes;
            continue;
        }
        if (!QChar::isLetterOrNumber(c))
            continue;
        qsizetype end = i;
        while (end < text.size()) {
            qsizetype next = end;
            if (!isWordChar(codePointAt(text, next)))
                break;
            end = next;
        }
        Word word{text.mid(start, end - start)};
        i = end;
        if (i < text.size() && text.at(i) == u'*') {
            word.prefix = true;
            ++i;
        }
        if (inQuotes)
            phrase.append(word);
        else
            terms.append(Term{word});
    }
    if (!phrase.isEmpty())
        terms.append(phrase);
}

QString SearchQuery::matchExpression(const QString &column) const
{
    QStringList parts;
    for (const Term &term : terms) {
        QStringList tokens;
        for (const Word &word : term) {
            for (const Run &run : runs(word.text)) {
                if (run.cjk) {
                    for (const QString &pair : characterPairs(run.text))
                        tokens.append(quoted(pair));
                } else {
                    tokens.append(quoted(run.text));
                }
            }
            if (word.prefix && !tokens.isEmpty())
                tokens.last() += u'*';
        }
        parts.append(tokens.join(QStringLiteral(" + ")));
    }
    const QString expression = parts.join(QStringLiteral(" AND "));
    return column.isEmpty() ? expression : column + QStringLiteral(" : (") + expression + u')';
}

qsizetype SearchQuery::firstMatch(const QString &text) const
{
    qsizetype best = -1;
    const auto consider = [&best](qsizetype position) {
        if (position >= 0 && (best < 0 || position < best))
            best = position;
    };
    QList<Word> wanted;
    for (const Term &term : terms) {
        for (const Word &word : term) {
            const QList<Run> parts = runs(word.text);
            for (qsizetype k = 0; k < parts.size(); ++k) {
                if (parts[k].cjk)
                    consider(text.indexOf(parts[k].text));
                else
                    wanted.append({folded(parts[k].text), word.prefix && k + 1 == parts.size()});
            }
        }
    }
    if (wanted.isEmpty())
        return best;
    for (const Run &run : runs(text)) {
        if (run.cjk || (best >= 0 && run.position >= best))
            continue;
        const QString candidate = folded(run.text);
        for (const Word &word : wanted) {
            if (word.prefix ? candidate.startsWith(word.text) : candidate == word.text) {
                consider(run.position);
                break;
            }
        }
    }
    return best;
}

QString SearchQuery::snippet(const QString &text, qsizetype maxLength) const
{
    const qsizetype hit = qMax(firstMatch(text), qsizetype(0));
    qsizetype start = qMax(hit - maxLength / 3, qsizetype(0));
    // Begin at a word, unless that would push the hit out of view.
    if (start > 0) {
        const qsizetype blank = text.indexOf(u' ', start);
        if (blank >= 0 && blank < hit)
            start = blank + 1;
    }
    qsizetype end = qMin(start + maxLength, text.size());
    if (end < text.size()) {
        const qsizetype blank = text.lastIndexOf(u' ', end);
        if (blank > hit)
            end = blank;
    }
    QString excerpt = text.mid(start, end - start).simplified();
    if (start > 0)
        excerpt.prepend(u'…');
    if (end < text.size())
        excerpt.append(u'…');
    return excerpt;
}

QString indexedText(const QString &text)
{
    if (!mayHoldCjk(text))
        return text;
    QString result;
    qsizetype copied = 0;
    for (const Run &run : runs(text)) {
        if (!run.cjk)
            continue;
        result += QStringView(text).mid(copied, run.position - copied);
        result += u' ' + characterPairs(run.text).join(u' ') + u' ';
        copied = run.position + run.text.size();
    }
    result += QStringView(text).mid(copied);
    return result;
}

} // namespace ZkHelp
