#include "projectfile.h"

#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

QString projectFileForArgument(const QString &argument, QString *errorString)
{
    const auto refuse = [errorString](const QString &reason) {
        if (errorString)
            *errorString = reason;
        return QString();
    };
    const QFileInfo info(argument);
    if (info.isDir()) {
        const QDir folder(argument);
        const QStringList found =
            folder.entryList({u'*' + projectFileExtension}, QDir::Files, QDir::Name);
        if (found.size() == 1)
            return folder.absoluteFilePath(found.first());
        return refuse(found.isEmpty()
                          ? QStringLiteral("Kein Projekt (*.zkproject) im Ordner: %1").arg(argument)
                          : QStringLiteral("Mehrere Projekte im Ordner %1, bitte eines angeben: %2")
                                .arg(argument, found.join(QStringLiteral(", "))));
    }
    if (!info.isFile())
        return refuse(QStringLiteral("Projekt nicht gefunden: %1").arg(argument));
    if (!info.fileName().endsWith(projectFileExtension, Qt::CaseInsensitive))
        return refuse(QStringLiteral("Keine Projektdatei (*.zkproject): %1").arg(argument));
    return info.absoluteFilePath();
}

} // namespace ZkHelp
