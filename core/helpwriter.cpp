#include "helpwriter.h"

#include "savefile.h"

#include <QDebug>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace ZkHelp {

namespace {

// Element text with every CR as a character reference: written raw, the
// next read would take it for a line end and turn it into a line feed.
void writeText(QXmlStreamWriter &xml, const QString &text)
{
    const QList<QStringView> parts = QStringView(text).split(u'\r');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            xml.writeEntityReference(QStringLiteral("#13"));
        // Also when empty: an element without any text would be written as
        // an empty-element tag instead of a start and an end tag.
        xml.writeCharacters(parts.at(i).toString());
    }
}

void writeLanguage(QXmlStreamWriter &xml, const QString &key, const HelpLanguage &language)
{
    xml.writeStartElement(QStringLiteral("lang"));
    xml.writeAttribute(QStringLiteral("name"), key);
    xml.writeStartElement(QStringLiteral("description"));
    writeText(xml, language.description);
    xml.writeEndElement();
    for (const HelpSection &section : language.sections) {
        xml.writeStartElement(QStringLiteral("section"));
        // Only where set, so that files without them keep their exact bytes.
        if (!section.id.isEmpty())
            xml.writeAttribute(QStringLiteral("id"), section.id);
        xml.writeAttribute(QStringLiteral("name"), section.name);
        if (!section.basis.isEmpty())
            xml.writeAttribute(QStringLiteral("basis"), section.basis);
        writeText(xml, section.content);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void writeDocument(QXmlStreamWriter &xml, const HelpData &data)
{
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("zkhelp"));
    xml.writeAttribute(QStringLiteral("version"), data.version);
    xml.writeAttribute(QStringLiteral("author"), data.author);
    for (auto it = data.languages.cbegin(); it != data.languages.cend(); ++it)
        writeLanguage(xml, it.key(), it.value());
    for (const QString &link : data.links) {
        xml.writeEmptyElement(QStringLiteral("link"));
        xml.writeAttribute(QStringLiteral("page"), link);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
}

} // namespace

bool HelpWriter::writeXml(const HelpData &data, const QString &filePath, QString *errorString) const
{
    const auto fail = [&](const char *warning, const QString &reason) {
        qWarning() << warning << filePath;
        if (errorString)
            *errorString =
                QStringLiteral("%1 %2: %3").arg(QString::fromUtf8(warning), filePath, reason);
        return false;
    };
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return fail("Konnte Datei nicht zum Schreiben öffnen:", file.errorString());
    QXmlStreamWriter xml(&file);
    writeDocument(xml, data);
    QString reason;
    if (xml.hasError() || !commitSaveFile(file, &reason))
        return fail("Fehler beim Schreiben:", reason.isEmpty() ? file.errorString() : reason);
    return true;
}

} // namespace ZkHelp
