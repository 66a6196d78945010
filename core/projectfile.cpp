#include "projectfile.h"

#include "savefile.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace ZkHelp {

std::optional<ProjectFileContent> readProjectFile(const QString &path, QString *errorString)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorString)
            *errorString = file.errorString();
        return std::nullopt;
    }
    ProjectFileContent content;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"zkproject" && !content.named) {
            content.name = xml.attributes().value(QLatin1String("name")).toString();
            content.named = true;
        } else if (xml.name() == u"file") {
            const QString member = xml.readElementText();
            if (!xml.hasError())
                content.members.append(member);
        }
    }
    if (xml.hasError())
        content.xmlError = xml.errorString();
    return content;
}

bool writeProjectFile(const QString &path, const QString &name, const QList<QString> &members,
                      QString *errorString)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("zkproject"));
    xml.writeAttribute(QStringLiteral("name"), name);
    for (const QString &member : members)
        xml.writeTextElement(QStringLiteral("file"), member);
    xml.writeEndElement();
    xml.writeEndDocument();
    return saveFile(path, bytes, errorString);
}

} // namespace ZkHelp
