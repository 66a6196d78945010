#include "pofile.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>

namespace ZkHelp {

namespace {

const QByteArray byteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedStart(QByteArrayView line)
{
    qsizetype start = 0;
    while (start < line.size() && isBlank(line.at(start)))
        ++start;
    return line.sliced(start);
}

// The text of a comment line after its marker, less the one blank gettext
// puts there.
QString commentText(const QString &line, qsizetype markerLength)
{
    return line.mid(markerLength + (line.mid(markerLength, 1) == u" " ? 1 : 0));
}

// What makes two messages different for gettext: context and msgid. Only the
// start of a msgid is hashed, so a text of megabytes costs little; equal
// keys are compared whole.
size_t messageKey(const PoEntry &entry)
{
    return qHashMulti(0, entry.hasContext, entry.context, QStringView(entry.id).left(64),
                      entry.id.size());
}

int hexValue(char c)
{
    if (!std::isxdigit(static_cast<unsigned char>(c)))
        return -1;
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

bool decodeUtf8(QByteArrayView bytes, QString &text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = decoder(bytes);
    return !decoder.hasError();
}

class Reader
{
public:
    explicit Reader(const QByteArray &bytes)
        : bytes(bytes)
    {}

    PoReadResult read();

private:
    enum class Field { None, Context, Id, Str };

    bool readLine(QByteArrayView line);
    bool readComment(QByteArrayView line);
    bool readKeyword(QByteArrayView line);
    bool appendString(QByteArrayView line);
    bool finishField();
    bool finishEntry();
    bool checkHeader(const PoEntry &header);
    bool fail(const QString &message, int atLine = 0);

    const QByteArray &bytes;
    PoReadResult result;
    PoEntry entry;
    Field field = Field::None;
    QByteArray value; // the bytes of the field being read, escapes resolved
    int lineNumber = 0;
    int fieldLine = 0;
    bool headerSeen = false;
    // Index into result.entries by messageKey(), to find a message twice.
    QMultiHash<size_t, qsizetype> seen;
};

bool Reader::fail(const QString &message, int atLine)
{
    result.error = message;
    result.errorLine = atLine > 0 ? atLine : lineNumber;
    return false;
}

PoReadResult Reader::read()
{
    qsizetype position = bytes.startsWith(byteOrderMark) ? byteOrderMark.size() : 0;
    while (position < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', position);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = QByteArrayView(bytes).sliced(position, end - position);
        if (line.endsWith('\r'))
            line.chop(1);
        position = end + 1;
        ++lineNumber;
        if (!readLine(line)) {
            result.entries.clear();
            return result;
        }
    }
    const bool complete = field == Field::None || field == Field::Str
                              ? finishEntry()
                              : fail(QStringLiteral("msgstr fehlt"), fieldLine);
    if (!complete)
        result.entries.clear();
    return result;
}

bool Reader::readLine(QByteArrayView line)
{
    // Strings and comments are checked for UTF-8 as they are decoded; the
    // rest of a line must be ASCII keywords and blanks.
    if (line.contains('\0'))
        return fail(QStringLiteral("NUL-Zeichen in der Zeile"));
    const QByteArrayView trimmed = trimmedStart(line);
    if (trimmed.trimmed().isEmpty())
        return field != Field::Str || finishEntry();
    if (trimmed.startsWith('#'))
        return readComment(trimmed);
    if (trimmed.startsWith('"')) {
        if (field == Field::None)
            return fail(QStringLiteral("Zeichenkette ohne Schluesselwort"));
        return appendString(trimmed);
    }
    return readKeyword(trimmed);
}

bool Reader::readComment(QByteArrayView line)
{
    if (field == Field::Context || field == Field::Id)
        return fail(QStringLiteral("Kommentar mitten in einer Meldung"));
    if (field == Field::Str && !finishEntry())
        return false;
    if (line.startsWith("#~")) {
        // An obsolete entry takes the comments before it along.
        entry = PoEntry();
        return true;
    }
    QString text;
    if (!decodeUtf8(line, text))
        return fail(QStringLiteral("kein gueltiges UTF-8"));
    if (line.startsWith("#,")) {
        const QStringList flags = text.mid(2).split(u',');
        for (const QString &flag : flags) {
            if (!flag.trimmed().isEmpty())
                entry.flags.append(flag.trimmed());
        }
    } else if (line.startsWith("#.")) {
        entry.extractedComments.append(commentText(text, 2));
    } else if (line.startsWith("#:")) {
        entry.references.append(commentText(text, 2));
    } else if (!line.startsWith("#|")) { // the previous msgid is msgmerge's, not ours
        entry.translatorComments.append(commentText(text, 1));
    }
    return true;
}

bool Reader::readKeyword(QByteArrayView line)
{
    qsizetype end = 0;
    while (end < line.size() && !isBlank(line.at(end)) && line.at(end) != '"')
        ++end;
    const QByteArrayView keyword = line.first(end);
    const bool startsEntry = keyword == "msgctxt" || keyword == "msgid";
    if (startsEntry && field == Field::Str && !finishEntry())
        return false;
    if (keyword == "msgid_plural" || keyword.startsWith("msgstr["))
        return fail(QStringLiteral("Pluralformen werden nicht unterstuetzt"));
    Field next = Field::None;
    if (keyword == "msgctxt" && field == Field::None)
        next = Field::Context;
    else if (keyword == "msgid" && (field == Field::None || field == Field::Context))
        next = Field::Id;
    else if (keyword == "msgstr" && field == Field::Id)
        next = Field::Str;
    else if (keyword == "msgctxt" || keyword == "msgid" || keyword == "msgstr")
        return fail(
            QStringLiteral("%1 an dieser Stelle nicht erwartet").arg(QString::fromUtf8(keyword)));
    else
        return fail(
            QStringLiteral("unbekanntes Schluesselwort: %1")
                .arg(QString::fromUtf8(keyword.first(std::min<qsizetype>(keyword.size(), 40)))));
    if (!finishField())
        return false;
    field = next;
    fieldLine = lineNumber;
    if (next == Field::Context)
        entry.hasContext = true;
    const QByteArrayView rest = trimmedStart(line.sliced(end));
    if (!rest.startsWith('"'))
        return fail(QStringLiteral("Zeichenkette in Anfuehrungszeichen erwartet"));
    return appendString(rest);
}

// Appends the quoted string line starts with to value, its escapes resolved.
bool Reader::appendString(QByteArrayView line)
{
    qsizetype i = 1;
    while (i < line.size() && line.at(i) != '"') {
        // Plain runs are taken whole: a text of megabytes has few escapes.
        qsizetype run = i;
        while (run < line.size() && line.at(run) != '"' && line.at(run) != '\\')
            ++run;
        value.append(line.constData() + i, run - i);
        i = run;
        if (i >= line.size() || line.at(i) == '"')
            break;
        ++i;
        if (i >= line.size())
            break;
        const char e = line.at(i++);
        static const QByteArray simple = QByteArrayLiteral("ntrabfv\\\"'?");
        static const QByteArray meaning = QByteArrayLiteral("\n\t\r\a\b\f\v\\\"'?");
        if (const qsizetype k = simple.indexOf(e); k >= 0) {
            value.append(meaning.at(k));
            continue;
        }
        int code = 0;
        if (e >= '0' && e <= '7') {
            code = e - '0';
            for (int n = 1; n < 3 && i < line.size() && line.at(i) >= '0' && line.at(i) <= '7'; ++n)
                code = code * 8 + (line.at(i++) - '0');
        } else if (e == 'x' && i < line.size() && hexValue(line.at(i)) >= 0) {
            while (i < line.size() && hexValue(line.at(i)) >= 0 && code <= 0xff)
                code = code * 16 + hexValue(line.at(i++));
        } else {
            return fail(QStringLiteral("unbekannte Escape-Sequenz \\%1").arg(QChar::fromLatin1(e)));
        }
        if (code == 0 || code > 0xff)
            return fail(code == 0 ? QStringLiteral("NUL-Zeichen in der Zeichenkette")
                                  : QStringLiteral("Escape-Wert ueber 255"));
        value.append(char(code));
    }
    if (i >= line.size())
        return fail(QStringLiteral("Zeichenkette nicht abgeschlossen"));
    if (!line.sliced(i + 1).trimmed().isEmpty())
        return fail(QStringLiteral("Text nach der Zeichenkette"));
    return true;
}

bool Reader::finishField()
{
    QString text;
    if (!value.isEmpty() && !decodeUtf8(value, text))
        return fail(QStringLiteral("kein gueltiges UTF-8"), fieldLine);
    switch (field) {
    case Field::Context:
        entry.context = text;
        break;
    case Field::Id:
        entry.id = text;
        entry.line = fieldLine;
        break;
    case Field::Str:
        entry.str = text;
        break;
    case Field::None:
        break;
    }
    value.clear();
    return true;
}

bool Reader::finishEntry()
{
    if (field == Field::None)
        return true;
    if (!finishField())
        return false;
    field = Field::None;
    PoEntry done = std::move(entry);
    entry = PoEntry();
    const size_t key = messageKey(done);
    for (auto it = seen.constFind(key); it != seen.cend() && it.key() == key; ++it) {
        const PoEntry &earlier = result.entries.at(*it);
        if (earlier.hasContext == done.hasContext && earlier.context == done.context &&
            earlier.id == done.id)
            return fail(QStringLiteral("doppelte Meldung (zuerst in Zeile %1)").arg(earlier.line),
                        done.line);
    }
    seen.insert(key, result.entries.size());
    if (done.isHeader() && !headerSeen) {
        headerSeen = true;
        if (!checkHeader(done))
            return false;
    }
    result.entries.append(std::move(done));
    return true;
}

bool Reader::checkHeader(const PoEntry &header)
{
    const QString type = poHeaderField(header.str, QStringLiteral("Content-Type"));
    const qsizetype at = type.indexOf(QStringLiteral("charset="), 0, Qt::CaseInsensitive);
    if (at < 0)
        return true;
    const QString charset = type.mid(at + 8).section(u';', 0, 0).trimmed();
    // "CHARSET" is a template's placeholder for what the translator picks.
    if (charset.compare(u"UTF-8", Qt::CaseInsensitive) == 0 ||
        charset.compare(u"UTF8", Qt::CaseInsensitive) == 0 || charset == u"CHARSET")
        return true;
    return fail(QStringLiteral("Zeichensatz %1 wird nicht unterstuetzt, nur UTF-8").arg(charset),
                header.line);
}

QByteArray escaped(const QString &text)
{
    static const QByteArray needsEscape = QByteArrayLiteral("\\\"\n\t\r");
    static const QByteArray written = QByteArrayLiteral("\\\"ntr");
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + 8);
    qsizetype plain = 0; // the first byte not yet taken over
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8.at(i);
        const qsizetype k = needsEscape.indexOf(c);
        if (k < 0 && static_cast<unsigned char>(c) >= 0x20 && c != 0x7f)
            continue;
        out.append(utf8.constData() + plain, i - plain).append('\\');
        plain = i + 1;
        if (k >= 0)
            out.append(written.at(k));
        else
            out.append(QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0'));
    }
    return out.append(utf8.constData() + plain, utf8.size() - plain);
}

// A text with line feeds inside is written a line per line, as gettext does,
// so that a diff shows the paragraph that changed.
void writeString(QByteArray &out, const char *keyword, const QString &text)
{
    out.append(keyword).append(' ');
    const qsizetype inner = text.indexOf(u'\n');
    if (inner < 0 || inner == text.size() - 1) {
        out.append('"').append(escaped(text)).append("\"\n");
        return;
    }
    out.append("\"\"\n");
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        end = end < 0 ? text.size() : end + 1;
        out.append('"').append(escaped(text.mid(start, end - start))).append("\"\n");
        start = end;
    }
}

// A comment is one line: a line end inside (a file name may hold one) would
// start a line of its own.
void writeComments(QByteArray &out, const char *marker, const QStringList &lines)
{
    for (const QString &line : lines) {
        QByteArray text = line.toUtf8();
        text.replace('\n', ' ').replace('\r', ' ');
        out.append(marker).append(text.isEmpty() ? QByteArray() : ' ' + text).append('\n');
    }
}

} // namespace

PoReadResult readPo(const QByteArray &bytes)
{
    return Reader(bytes).read();
}

void writePoEntry(QByteArray &out, const PoEntry &entry)
{
    writeComments(out, "#", entry.translatorComments);
    writeComments(out, "#.", entry.extractedComments);
    writeComments(out, "#:", entry.references);
    if (!entry.flags.isEmpty())
        out.append("#, ").append(entry.flags.join(QStringLiteral(", ")).toUtf8()).append('\n');
    if (entry.hasContext)
        writeString(out, "msgctxt", entry.context);
    writeString(out, "msgid", entry.id);
    writeString(out, "msgstr", entry.str);
}

QByteArray writePo(const QList<PoEntry> &entries)
{
    QByteArray out;
    for (const PoEntry &entry : entries) {
        if (!out.isEmpty())
            out.append('\n');
        writePoEntry(out, entry);
    }
    return out;
}

QString poHeaderField(const QString &header, const QString &field)
{
    const QStringList lines = header.split(u'\n');
    for (const QString &line : lines) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && line.left(colon).trimmed().compare(field, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return QString();
}

} // namespace ZkHelp
