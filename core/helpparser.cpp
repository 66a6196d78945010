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

// The declared encoding is deliberately ignored: help files are UTF-8 by
// definition, and text mode folds CR LF line ends.
QString readWholeFile(QFile &file)
{
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    return stream.readAll();
}

} // namespace

HelpData HelpParser::parse(const QString &filePath) const
{
    HelpData data;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning() << "Kann XML-Datei nicht öffnen:" << filePath;
        return data;
    }
    // The reader keeps its own copy of the text, so the temporary string is
    // released before the document grows.
    QXmlStreamReader reader(readWholeFile(file));
    file.close();

    ReaderState state;
    while (!reader.atEnd() && !reader.hasError()) {
        switch (reader.readNext()) {
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
    if (reader.hasError())
        qWarning() << "XML Parsing Fehler in" << filePath << ":" << reader.errorString();
    return data;
}

} // namespace ZkHelp
