#include "pofile.h"

#include <QHash>
#include <QStringDecoder>

#include <cctype>

namespace ZkHelp {

namespace {

const QByteArray byteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimmedStart(const QByteArray &line)
{
    qsizetype start = 0;
    while (start < line.size() && isBlank(line.at(start)))
        ++start;
    return line.mid(start);
}

// The text of a comment line after its marker, less the one blank gettext
// puts there.
QString commentText(const QByteArray &line, qsizetype markerLength)
{
    QByteArray text = line.mid(markerLength);
    if (text.startsWith(' '))
        text.remove(0, 1);
    return QString::fromUtf8(text);
}

int hexValue(char c)
{
    if (!std::isxdigit(static_cast<unsigned char>(c)))
        return -1;
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

bool decodeUtf8(const QByteArray &bytes, QString &text)
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

    bool readLine(const QByteArray &line);
    bool readComment(const QByteArray &line);
    bool readKeyword(const QByteArray &line);
    bool appendString(const QByteArray &rest);
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
    QHash<QStringList, int> seen; // context, msgid -> line
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
        QByteArray line = bytes.mid(position, end - position);
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

bool Reader::readLine(const QByteArray &line)
{
    if (line.contains('\0'))
        return fail(QStringLiteral("NUL-Zeichen in der Zeile"));
    QString text;
    if (!decodeUtf8(line, text))
        return fail(QStringLiteral("kein gueltiges UTF-8"));
    const QByteArray trimmed = trimmedStart(line);
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

bool Reader::readComment(const QByteArray &line)
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
    if (line.startsWith("#,")) {
        const QList<QByteArray> flags = line.mid(2).split(',');
        for (const QByteArray &flag : flags) {
            if (!flag.trimmed().isEmpty())
                entry.flags.append(QString::fromUtf8(flag.trimmed()));
        }
    } else if (line.startsWith("#.")) {
        entry.extractedComments.append(commentText(line, 2));
    } else if (line.startsWith("#:")) {
        entry.references.append(commentText(line, 2));
    } else if (!line.startsWith("#|")) { // the previous msgid is msgmerge's, not ours
        entry.translatorComments.append(commentText(line, 1));
    }
    return true;
}

bool Reader::readKeyword(const QByteArray &line)
{
    qsizetype end = 0;
    while (end < line.size() && !isBlank(line.at(end)) && line.at(end) != '"')
        ++end;
    const QByteArray keyword = line.left(end);
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
        return fail(QStringLiteral("unbekanntes Schluesselwort: %1")
                        .arg(QString::fromUtf8(keyword.left(40))));
    if (!finishField())
        return false;
    field = next;
    fieldLine = lineNumber;
    if (next == Field::Context)
        entry.hasContext = true;
    const QByteArray rest = trimmedStart(line.mid(end));
    if (!rest.startsWith('"'))
        return fail(QStringLiteral("Zeichenkette in Anfuehrungszeichen erwartet"));
    return appendString(rest);
}

// Appends the quoted string line starts with to value, its escapes resolved.
bool Reader::appendString(const QByteArray &line)
{
    qsizetype i = 1;
    while (i < line.size() && line.at(i) != '"') {
        const char c = line.at(i++);
        if (c != '\\') {
            value.append(c);
            continue;
        }
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
    if (!line.mid(i + 1).trimmed().isEmpty())
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
    const QStringList key{done.hasContext ? QStringLiteral("c") : QString(), done.context, done.id};
    if (const auto first = seen.constFind(key); first != seen.cend())
        return fail(QStringLiteral("doppelte Meldung (zuerst in Zeile %1)").arg(*first), done.line);
    seen.insert(key, done.line);
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
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    out.reserve(utf8.size() + 8);
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            out.append("\\\\");
            break;
        case '"':
            out.append("\\\"");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\t':
            out.append("\\t");
            break;
        case '\r':
            out.append("\\r");
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                out.append('\\').append(
                    QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0'));
            else
                out.append(c);
        }
    }
    return out;
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

QByteArray writePo(const QList<PoEntry> &entries)
{
    QByteArray out;
    for (const PoEntry &entry : entries) {
        if (!out.isEmpty())
            out.append('\n');
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
