#include "helpparser.h"

#include <QDebug>
#include <QFile>
#include <QTextStream>
#include <QXmlStreamReader>

namespace ZkHelp {

namespace {

// Tracks the language block being read; the key survives a start tag that
// names no key, which is how a nameless inner block inherits the outer key.
struct ReaderState
{
    QString key;
    HelpLanguage block;
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
        section.content = reader.readElementText().trimmed();
        state.block.sections.append(section);
    } else if (name == u"link") {
        if (attributes.hasAttribute(QLatin1String("page")))
            data.links.append(attributes.value(QLatin1String("page")).toString());
    }
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

} // namespace

HelpData HelpParser::parse(const QString &filePath) const
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning() << "Kann XML-Datei nicht öffnen:" << filePath;
        return HelpData();
    }
    // Streaming from the file keeps one copy of the text in memory. Help files
    // are UTF-8 whatever they declare, and undecodable bytes must read as
    // replacement characters, so a file the stream reader would decode
    // differently, or stops on, is read again as text decoded up front.
    {
        QXmlStreamReader reader(&file);
        QString encoding;
        HelpData data = readDocument(reader, encoding);
        if (!reader.hasError() &&
            (encoding.isEmpty() || encoding.compare(u"UTF-8", Qt::CaseInsensitive) == 0))
            return data;
    }
    file.seek(0);
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    QXmlStreamReader reader(stream.readAll());
    file.close();
    QString ignoredEncoding;
    HelpData data = readDocument(reader, ignoredEncoding);
    if (reader.hasError())
        qWarning() << "XML Parsing Fehler in" << filePath << ":" << reader.errorString();
    return data;
}

} // namespace ZkHelp
