#include "helpparser.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QXmlStreamReader>

#include <optional>

namespace ZkHelp {

namespace {

// Tracks the language block being read; the key survives a start tag that
// names no key, which is how a nameless inner block inherits the outer key.
struct ReaderState
{
    QString key;
    HelpLanguage block;
};

struct ReadFailure
{
    bool cannotOpen = false;
    QString openError;
    bool malformed = false;
    QString xmlError;
    qint64 line = 0;
};

void readStartElement(QXmlStreamReader &reader, ReaderState &state, HelpData &data)
{
    const QStringView name = reader.name();
    const QXmlStreamAttributes attributes = reader.attributes();
    if (name == u"zkhelp") {
        if (attributes.hasAttribute(QLatin1String("version")))
            data.version = attributes.value(QLatin1String("version")).toString();
        if (attributes.hasAttribute(QLatin1String("author")))
            data.author = attributes.value(QLatin1String("author")).toString();
    } else if (name == u"lang") {
        if (attributes.hasAttribute(QLatin1String("name")))
            state.key = attributes.value(QLatin1String("name")).toString();
        else if (attributes.hasAttribute(QLatin1String("lang")))
            state.key = attributes.value(QLatin1String("lang")).toString();
        state.block = HelpLanguage();
    } else if (name == u"description") {
        state.block.description = reader.readElementText().trimmed();
    } else if (name == u"section") {
        HelpSection section;
        section.name = attributes.value(QLatin1String("name")).toString();
        section.basis = attributes.value(QLatin1String("basis")).toString();
        // Kept even when malformed: the check and the editor name it, and a
        // save must not lose it.
        section.id = attributes.value(QLatin1String("id")).toString();
        section.content = reader.readElementText().trimmed();
        state.block.sections.append(section);
    } else if (name == u"link") {
        if (attributes.hasAttribute(QLatin1String("page")))
            data.links.append(attributes.value(QLatin1String("page")).toString());
    }
}

// Help files never need entities of their own, and a few hundred bytes of
// declarations can expand to gigabytes; such a document counts as malformed.
void refuseEntityDeclarations(QXmlStreamReader &reader)
{
    if (!reader.entityDeclarations().isEmpty())
        reader.raiseError(QStringLiteral("Entity-Deklarationen werden nicht unterstützt."));
}

void readEndElement(QXmlStreamReader &reader, ReaderState &state, HelpData &data)
{
    if (reader.name() != u"lang" || state.key.isEmpty())
        return;
    data.languages.insert(state.key, state.block);
    state.key.clear();
}

// Runs the token table over everything the reader delivers, noting the
// encoding the document declares.
HelpData readDocument(QXmlStreamReader &reader, QString &declaredEncoding)
{
    HelpData data;
    ReaderState state;
    while (!reader.atEnd() && !reader.hasError()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            declaredEncoding = reader.documentEncoding().toString();
            break;
        case QXmlStreamReader::DTD:
            refuseEntityDeclarations(reader);
            break;
        case QXmlStreamReader::StartElement:
            readStartElement(reader, state, data);
            break;
        case QXmlStreamReader::EndElement:
            readEndElement(reader, state, data);
            break;
        default:
            break;
        }
    }
    return data;
}

// The stream reader decodes by itself, by rules of its own for UTF-16 and
// UTF-32. Only a file without such a byte-order mark or NUL bytes at its
// start streams to the same result as the plain read.
bool streamsLikePlainRead(QIODevice &file)
{
    const QByteArray start = file.peek(4);
    return !start.contains('\0') && !start.startsWith("\xFF\xFE") && !start.startsWith("\xFE\xFF");
}

// Streams the file from disk, so that its text is held in memory only once.
// Declared encodings are ignored and undecodable bytes must read as
// replacement characters, so nothing comes back when the stream reader
// stopped on an error or was told of another encoding: the caller then takes
// the plain read, which also gives the authoritative warning.
std::optional<HelpData> readStreaming(QIODevice &file)
{
    QXmlStreamReader reader(&file);
    QString encoding;
    HelpData data = readDocument(reader, encoding);
    if (reader.hasError() ||
        !(encoding.isEmpty() || encoding.compare(u"UTF-8", Qt::CaseInsensitive) == 0))
        return std::nullopt;
    return data;
}

// Reads the open device, which delivers the bytes as they are on disk: line
// ends are the XML reader's to normalise, and a text-mode read would delete
// every CR, a lone one included.
HelpData readDevice(QIODevice &file, ReadFailure &failure)
{
    if (streamsLikePlainRead(file)) {
        if (std::optional<HelpData> data = readStreaming(file))
            return std::move(*data);
        file.seek(0);
    }
    // The plain read: UTF-8 unless a byte-order mark names another Unicode
    // form, undecodable bytes as replacement characters.
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    QXmlStreamReader reader(stream.readAll());
    QString ignoredEncoding;
    HelpData data = readDocument(reader, ignoredEncoding);
    if (reader.hasError()) {
        failure.malformed = true;
        failure.xmlError = reader.errorString();
        failure.line = reader.lineNumber();
    }
    return data;
}

HelpData read(const QString &filePath, ReadFailure &failure)
{
    // Anything but a regular file (a FIFO, a device, a link to one) could
    // block the open or feed the reader without end.
    QFile file(filePath);
    const bool special = QFileInfo::exists(filePath) && !QFileInfo(filePath).isFile();
    if (special || !file.open(QIODevice::ReadOnly)) {
        failure.cannotOpen = true;
        failure.openError = special ? QStringLiteral("keine reguläre Datei") : file.errorString();
        return HelpData();
    }
    return readDevice(file, failure);
}

// The warning of a failed read on the message log, and its reason for the
// caller.
void report(const QString &filePath, const ReadFailure &failure, QString *errorString)
{
    QString reason;
    if (failure.cannotOpen) {
        qWarning() << "Kann XML-Datei nicht öffnen:" << filePath;
        reason =
            QStringLiteral("Kann XML-Datei nicht öffnen: %1: %2").arg(filePath, failure.openError);
    } else if (failure.malformed) {
        qWarning() << "XML Parsing Fehler in" << filePath << ":" << failure.xmlError;
        reason = QStringLiteral("XML Parsing Fehler in %1: %2").arg(filePath, failure.xmlError);
    }
    if (errorString && !reason.isEmpty())
        *errorString = reason;
}

// The reason of a failed read without the path, empty after a full read.
QString quietError(const ReadFailure &failure)
{
    if (failure.cannotOpen)
        return QStringLiteral("Kann XML-Datei nicht öffnen");
    if (failure.malformed)
        return QStringLiteral("XML Parsing Fehler in Zeile %1: %2")
            .arg(failure.line)
            .arg(failure.xmlError);
    return QString();
}

} // namespace

HelpData HelpParser::parse(const QString &filePath, QString *errorString) const
{
    ReadFailure failure;
    HelpData data = read(filePath, failure);
    report(filePath, failure, errorString);
    return data;
}

HelpData HelpParser::parse(QIODevice &content, const QString &filePath, QString *errorString) const
{
    ReadFailure failure;
    HelpData data = readDevice(content, failure);
    report(filePath, failure, errorString);
    return data;
}

HelpData HelpParser::parseQuietly(const QString &filePath, QString &error) const
{
    ReadFailure failure;
    HelpData data = read(filePath, failure);
    error = quietError(failure);
    return data;
}

HelpData HelpParser::parseQuietly(QIODevice &content, QString &error) const
{
    ReadFailure failure;
    HelpData data = readDevice(content, failure);
    error = quietError(failure);
    return data;
}

} // namespace ZkHelp
