#include "converter.h"

#include "savefile.h"

#include <QDebug>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace ZkHelp {

namespace {

const int lastCounter = 998;

// DOS names may only hold ASCII capitals and digits. Upper-casing first keeps letters whose
// capital is ASCII (ß gives SS) and drops the rest (ä, é).
QString usableStem(const QString &stem)
{
    static const QRegularExpression unusable(QStringLiteral("[^A-Z0-9]"));
    return stem.toUpper().remove(unusable);
}

// A list entry is a fixed name, not a free one: the list is written without looking at the
// files, so it can only guess the counter the file conversion handed out.
QString dosListEntry(const QString &member)
{
    QString entry = member;
    entry.replace(u'/', u'\\');
    if (!entry.endsWith(QLatin1String(".zkhelp"), Qt::CaseInsensitive))
        return entry;
    return usableStem(QFileInfo(entry).baseName()).left(6) + QLatin1String("~1.ZKH");
}

// Reads every member of a project file into entries. Returns false on a file that is not
// well-formed, so that a damaged project never passes for a short one.
bool readProjectMembers(const QString &projectPath, QStringList &entries)
{
    QFile file(projectPath);
    if (!file.open(QIODevice::ReadOnly)) {
        qCritical() << "Projektdatei nicht gefunden:" << projectPath;
        return false;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("file"))
            entries << dosListEntry(xml.readElementText());
    }
    if (xml.hasError()) {
        qCritical() << "XML Fehler in Projektdatei:" << projectPath << xml.errorString();
        return false;
    }
    return true;
}

} // namespace

QString Converter::toDos83(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    QString stem = usableStem(info.baseName());
    if (stem.isEmpty())
        stem = QStringLiteral("FILE");

    for (int n = 1; n <= lastCounter; ++n) {
        const QString counter = QString::number(n);
        const QString prefix = stem.left(8 - (counter.size() + 1));
        // One multi-argument arg() call, so that a "%" in the folder is never substituted.
        const QString candidate =
            QStringLiteral("%1/%2~%3%4").arg(folder, prefix, counter, QStringLiteral(".ZKH"));
        if (!QFile::exists(candidate))
            return candidate;
    }
    return QString();
}

QString Converter::toWinName(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + u'/' + info.completeBaseName() + QLatin1String(".zkhelp");
}

bool Converter::convertFile(const QString &inPath, const QString &outPath, bool toWin)
{
    QFile in(inPath);
    if (!in.open(QIODevice::ReadOnly)) {
        qCritical() << "Fehler beim Lesen:" << inPath;
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        qCritical() << "Fehler beim Lesen:" << inPath;
        return false;
    }
    in.close();

    const QByteArray converted =
        toWin ? QString::fromLatin1(bytes).toUtf8() : QString::fromUtf8(bytes).toLatin1();

    // The old output is replaced only once the new one is complete on disk.
    if (!saveFile(outPath, converted)) {
        qCritical() << "Fehler beim Schreiben:" << outPath;
        return false;
    }
    qInfo() << "[OK]" << QFileInfo(inPath).fileName() << "->" << QFileInfo(outPath).fileName();
    return true;
}

bool Converter::processBatch(const QString &pattern, bool toWin)
{
    const QFileInfo info(pattern);

    // The matches are taken before anything is written: a pattern that also matches the
    // outputs (such as "*") would otherwise feed the batch its own results.
    QStringList inputs;
    QDirIterator it(info.absoluteDir().path(), {info.fileName()}, QDir::Files);
    while (it.hasNext())
        inputs << it.next();

    bool ok = true;
    for (const QString &input : inputs) {
        const QString output = toWin ? toWinName(input) : toDos83(input);
        if (output.isEmpty()) {
            qCritical() << "Kein freier DOS-Name für:" << input;
            ok = false;
            continue;
        }
        if (!convertFile(input, output, toWin))
            ok = false;
    }
    return ok;
}

bool Converter::convertProject2Dos(const QString &projectPath, const QString &listPath)
{
    QStringList entries;
    if (!readProjectMembers(projectPath, entries))
        return false;

    QSaveFile list(listPath);
    if (list.open(QIODevice::WriteOnly | QIODevice::Text)) {
        QTextStream stream(&list);
        for (const QString &entry : entries)
            stream << entry << '\n';
        stream.flush();
        if (stream.status() == QTextStream::Ok && commitSaveFile(list)) {
            qInfo() << "DOS Projektliste erstellt:" << listPath;
            return true;
        }
    }
    qCritical() << "Fehler beim Schreiben:" << listPath;
    return false;
}

bool Converter::convertProject2Win(const QString &listPath, const QString &projectPath,
                                   const QString &name)
{
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCritical() << "Liste nicht gefunden:" << listPath;
        return false;
    }

    QSaveFile project(projectPath);
    if (project.open(QIODevice::WriteOnly)) {
        QXmlStreamWriter xml(&project);
        xml.setAutoFormatting(true);
        xml.writeStartDocument();
        xml.writeStartElement(QStringLiteral("zkproject"));
        xml.writeAttribute(QStringLiteral("name"), name);
        QTextStream lines(&list);
        QString line;
        while (lines.readLineInto(&line)) {
            line = line.trimmed();
            if (!line.isEmpty())
                xml.writeTextElement(QStringLiteral("file"),
                                     QFileInfo(line).completeBaseName() + QLatin1String(".zkhelp"));
        }
        xml.writeEndElement();
        xml.writeEndDocument();
        if (!xml.hasError() && commitSaveFile(project)) {
            qInfo() << "XML Projekt erstellt:" << projectPath;
            return true;
        }
    }
    qCritical() << "Fehler beim Schreiben:" << projectPath;
    return false;
}

} // namespace ZkHelp
