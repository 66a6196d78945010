#include "searchquery.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

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

// Marks belong to the letter before them, so a decomposed "Ü" or a Hindi
// vowel sign stays in its word, as in the index, whose tokenizer counts marks
// as word characters.
bool isWordChar(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

// Marks that writers mostly leave out, so that a word is found with or
// without them, as accents are: those every script shares (accents, Arabic
// harakat) and the vowel points of Arabic, Hebrew and Syriac. The marks of
// one script otherwise, such as the vowel signs of Indic scripts, spell the
// word and count.
bool isOptionalMark(char32_t c)
{
    if (!QChar::isMark(c))
        return false;
    switch (QChar::script(c)) {
    case QChar::Script_Inherited:
    case QChar::Script_Arabic:
    case QChar::Script_Hebrew:
    case QChar::Script_Syriac:
        return true;
    default:
        return false;
    }
}

// Whether text holds a UTF-16 unit from first up: below the combining marks
// (U+0300) text is matched as it is written, below U+2E80 it holds no
// Chinese or Japanese.
bool holdsFrom(const QString &text, char16_t first)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [first](QChar c) { return c.unicode() >= first; });
}

bool mayHoldMarks(const QString &text)
{
    return holdsFrom(text, 0x300);
}

// text composed (a decomposed "Ü" is matched as the composed one) and
// without its optional marks.
QString matchedForm(const QString &text)
{
    if (!mayHoldMarks(text))
        return text;
    const QString composed = text.normalized(QString::NormalizationForm_C);
    // Copied in runs between the marks left out, and not at all when none
    // is: most texts of scripts beyond Latin hold none.
    QString result;
    qsizetype uncopied = 0;
    for (qsizetype i = 0; i < composed.size();) {
        const qsizetype start = i;
        if (isOptionalMark(codePointAt(composed, i))) {
            result += QStringView(composed).mid(uncopied, start - uncopied);
            uncopied = i;
        }
    }
    if (uncopied == 0)
        return composed;
    return result.append(QStringView(composed).mid(uncopied));
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
    return holdsFrom(text, 0x2E80);
}

// Case and optional marks dropped, and the accents of Latin letters, as the
// index's tokenizer does.
QString folded(const QString &word)
{
    if (!holdsFrom(word, 0x80))
        return word.toLower();
    QString decomposed = matchedForm(word).normalized(QString::NormalizationForm_D);
    // Every mark is then a Latin letter's accent: the common case, kept quick
    // for the snippets of many hits.
    if (!mayHoldMarks(word)) {
        decomposed.removeIf([](QChar c) { return c.isMark(); });
        return decomposed.toCaseFolded();
    }
    QString plain;
    plain.reserve(decomposed.size());
    bool latin = false;
    for (qsizetype i = 0; i < decomposed.size();) {
        const qsizetype start = i;
        const char32_t c = codePointAt(decomposed, i);
        if (!QChar::isMark(c))
            latin = QChar::script(c) == QChar::Script_Latin;
        else if (latin)
            continue;
        plain += QStringView(decomposed).mid(start, i - start);
    }
    return plain.toCaseFolded();
}

qsizetype codePointCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++count)
        codePointAt(text, i);
    return count;
}

// The first count code points of text.
QString leftCodePoints(QStringView text, qsizetype count)
{
    qsizetype i = 0;
    while (count-- > 0 && i < text.size())
        codePointAt(text, i);
    return text.left(i).toString();
}

QString quoted(QString token)
{
    return u'"' + token.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

SearchQuery::SearchQuery(const QString &text)
{
    QSet<QString> seen;
    qsizetype words = 0;
    Term phrase;
    bool inQuotes = false;
    qsizetype i = 0;
    while (i < text.size() && !truncated) {
        const qsizetype start = i;
        const char32_t c = codePointAt(text, i);
        if (c == u'"') {
            append(phrase, words, seen);
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
        const QString word = matchedForm(text.mid(start, end - start));
        i = end;
        const bool prefix = i < text.size() && text.at(i) == u'*';
        if (prefix)
            ++i;
        Term parts;
        for (const Run &run : runs(word))
            parts.append({run.text, false, run.cjk});
        if (prefix && !parts.isEmpty())
            parts.last().prefix = true;
        if (inQuotes) {
            phrase += parts;
        } else {
            append(parts, words, seen);
        }
    }
    append(phrase, words, seen);
}

// Adds parsed unless an equal term came before, cut to the words left of
// maxWords; words counts those taken so far.
void SearchQuery::append(const Term &parsed, qsizetype &words, QSet<QString> &seen)
{
    if (parsed.isEmpty() || truncated)
        return;
    QString key;
    for (const Word &word : parsed)
        key += folded(word.text) + (word.prefix ? u'*' : u' ');
    if (seen.contains(key))
        return;
    seen.insert(key);
    Term kept;
    for (const Word &word : parsed) {
        const qsizetype cost = word.cjk ? qMax(codePointCount(word.text) - 1, qsizetype(1)) : 1;
        const qsizetype left = maxWords - words;
        if (cost > left) {
            truncated = true;
            // A cut run still asks for the pairs that fit.
            if (word.cjk && left > 0) {
                kept.append({leftCodePoints(word.text, left + 1), false, true});
                words += left;
            }
            break;
        }
        kept.append(word);
        words += cost;
    }
    if (!kept.isEmpty())
        terms.append(kept);
}

QString SearchQuery::matchExpression(const QString &column) const
{
    QStringList parts;
    for (const Term &term : terms) {
        QStringList tokens;
        for (const Word &word : term) {
            if (word.cjk) {
                for (const QString &pair : characterPairs(word.text))
                    tokens.append(quoted(pair));
            } else {
                tokens.append(quoted(word.text));
            }
            if (word.prefix)
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
            if (word.cjk)
                consider(text.indexOf(word.text));
            else
                wanted.append({folded(word.text), word.prefix, false});
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

QString truncationMessage()
{
    return QStringLiteral("Suchanfrage gekuerzt auf %1 Woerter").arg(SearchQuery::maxWords);
}

QString indexedText(const QString &text)
{
    const QString matched = matchedForm(text);
    if (!mayHoldCjk(matched))
        return matched;
    QString result;
    qsizetype copied = 0;
    for (const Run &run : runs(matched)) {
        if (!run.cjk)
            continue;
        result += QStringView(matched).mid(copied, run.position - copied);
        result += u' ' + characterPairs(run.text).join(u' ') + u' ';
        copied = run.position + run.text.size();
    }
    result += QStringView(matched).mid(copied);
    return result;
}

// The tokenizer's word characters: letters, digits, marks and private use.
// Folding works character by character and keeps every word character one,
// so the whole text is folded at once and split after.
QString matchedWords(const QString &text)
{
    const QString plain = folded(indexedText(text));
    QString words;
    words.reserve(plain.size());
    bool inWord = false;
    qsizetype i = 0;
    while (i < plain.size()) {
        const qsizetype here = i;
        const char32_t c = codePointAt(plain, i);
        const bool wordChar = isWordChar(c) || QChar::category(c) == QChar::Other_PrivateUse;
        if (wordChar) {
            if (!inWord && !words.isEmpty())
                words += u' ';
            words += QStringView(plain).mid(here, i - here);
        }
        inWord = wordChar;
    }
    return words;
}

} // namespace ZkHelp
