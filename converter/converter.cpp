#include "converter.h"

#include "helpdata.h"
#include "projectfile.h"
#include "savefile.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <QTextStream>

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

QString dosStem(const QString &path)
{
    const QString stem = usableStem(QFileInfo(path).baseName());
    return stem.isEmpty() ? QStringLiteral("FILE") : stem;
}

// The n-th DOS name of stem: the stem gives up characters as the counter grows, so that the
// name never has more than eight characters before the extension.
QString dosFileName(const QString &stem, int n)
{
    const QString counter = QString::number(n);
    return stem.left(8 - (counter.size() + 1)) + u'~' + counter + QLatin1String(".ZKH");
}

// Hands out the free DOS names of one folder for a whole batch. The folder is read once and
// every name handed out is remembered, so two inputs never get the same name even before
// either is written.
class DosNames
{
public:
    explicit DosNames(const QString &folder)
        : folder(folder)
    {
        const QStringList entries = QDir(folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        taken = QSet<QString>(entries.cbegin(), entries.cend());
    }

    // The path of the next free name for the help file path, or an empty string when all
    // of its names are taken.
    QString take(const QString &path)
    {
        const QString stem = dosStem(path);
        // Within one length of counter, all stems that give the same first name share every
        // name (kapitel_001 and kapitel_002 both count KAPITE~1 to KAPITE~9). Names only ever
        // get taken, so the search for that first name resumes where it stopped last, and a
        // batch of many files sharing a prefix stays linear.
        for (const int first : {1, 10, 100}) {
            const int last = qMin(first * 10 - 1, lastCounter);
            int &counter = nextCounter[dosFileName(stem, first)]; // 0 when not seen yet
            for (counter = qMax(counter, first); counter <= last; ++counter) {
                const QString name = dosFileName(stem, counter);
                if (!taken.contains(name)) {
                    taken.insert(name);
                    return folder + u'/' + name;
                }
            }
        }
        return QString();
    }

private:
    QString folder;
    QSet<QString> taken;
    QHash<QString, int> nextCounter;
};

// Reads inPath and re-encodes it into converted; false, with the failure logged, when the
// file cannot be read.
bool readConverted(const QString &inPath, bool toWin, QByteArray &converted)
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
    converted = toWin ? QString::fromLatin1(bytes).toUtf8() : QString::fromUtf8(bytes).toLatin1();
    return true;
}

bool reportWrite(const QString &inPath, const QString &outPath, bool written)
{
    if (!written) {
        qCritical() << "Fehler beim Schreiben:" << outPath;
        return false;
    }
    qInfo() << "[OK]" << QFileInfo(inPath).fileName() << "->" << QFileInfo(outPath).fileName();
    return true;
}

bool convertBatchToDos(const QString &folder, const QStringList &inputs)
{
    DosNames names(folder);
    bool ok = true;
    for (const QString &input : inputs) {
        QByteArray converted;
        if (!readConverted(input, false, converted)) {
            ok = false;
            continue;
        }
        // A DOS name is always new, so there is no old file to keep: the output is written
        // in place, without a temporary file or a sync, and removed again if that fails.
        // A name can still turn out taken (by a file created since the folder was read, or
        // by foo~1.zkh on a file system that ignores case); then the next one is tried.
        QString output;
        bool written = false;
        do {
            output = names.take(input);
            written = !output.isEmpty() && writeNewFile(output, converted);
        } while (!written && !output.isEmpty() && QFileInfo::exists(output));
        if (output.isEmpty()) {
            qCritical() << "Kein freier DOS-Name für:" << input;
            ok = false;
            continue;
        }
        ok = reportWrite(input, output, written) && ok;
    }
    return ok;
}

bool convertBatchToWin(const QStringList &inputs)
{
    QSet<QString> written;
    bool ok = true;
    for (const QString &input : inputs) {
        QByteArray converted;
        if (!readConverted(input, true, converted)) {
            ok = false;
            continue;
        }
        const QString output = Converter::toWinName(input);
        // A.ZKH and A.zkh both become A.zkhelp; the second must not silently replace the
        // first one's result.
        if (written.contains(output)) {
            qCritical() << "Ziel schon in diesem Lauf geschrieben:" << output << "<-" << input;
            ok = false;
            continue;
        }
        // A new target is written in place like a DOS name; an existing one is replaced
        // atomically, so that a failure never leaves it cut short.
        const bool saved = writeNewFile(output, converted) ||
                           (QFileInfo::exists(output) && saveFile(output, converted));
        if (reportWrite(input, output, saved))
            written.insert(output);
        else
            ok = false;
    }
    return ok;
}

// A list entry is a fixed name, not a free one: the list is written without looking at the
// files, so it can only guess the counter the file conversion handed out.
QString dosListEntry(const QString &member)
{
    QString entry = member;
    entry.replace(u'/', u'\\');
    if (!entry.endsWith(helpFileExtension, Qt::CaseInsensitive))
        return entry;
    return usableStem(QFileInfo(entry).baseName()).left(6) + QLatin1String("~1.ZKH");
}

// Reads every member of a project file into entries. Returns false on a file that is not
// well-formed, so that a damaged project never passes for a short one.
bool readProjectMembers(const QString &projectPath, QStringList &entries)
{
    const std::optional<ProjectFileContent> project = readProjectFile(projectPath);
    if (!project) {
        qCritical() << "Projektdatei nicht gefunden:" << projectPath;
        return false;
    }
    if (!project->xmlError.isEmpty()) {
        qCritical() << "XML Fehler in Projektdatei:" << projectPath << project->xmlError;
        return false;
    }
    for (const QString &member : project->members) {
        // The list has one name per line: a name holding a line end would
        // come back as two members.
        if (member.contains(u'\n') || member.contains(u'\r')) {
            qCritical() << "Projektmitglied mit Zeilenumbruch:" << projectPath << member;
            return false;
        }
        entries << dosListEntry(member);
    }
    return true;
}

} // namespace

QString Converter::toDos83(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QString stem = dosStem(path);
    for (int n = 1; n <= lastCounter; ++n) {
        const QString candidate = folder + u'/' + dosFileName(stem, n);
        if (!QFile::exists(candidate))
            return candidate;
    }
    return QString();
}

QString Converter::toWinName(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + u'/' + info.completeBaseName() + helpFileExtension;
}

bool Converter::convertFile(const QString &inPath, const QString &outPath, bool toWin)
{
    QByteArray converted;
    // The old output is replaced only once the new one is complete on disk.
    return readConverted(inPath, toWin, converted) &&
           reportWrite(inPath, outPath, saveFile(outPath, converted));
}

bool Converter::processBatch(const QString &pattern, bool toWin)
{
    const QFileInfo info(pattern);

    // The matches are taken before anything is written: a pattern that also matches the
    // outputs (such as "*") would otherwise feed the batch its own results.
    QStringList inputs;
    QDirIterator it(info.absolutePath(), {info.fileName()}, QDir::Files);
    while (it.hasNext())
        inputs << it.next();
    if (inputs.isEmpty())
        return true;
    return toWin ? convertBatchToWin(inputs) : convertBatchToDos(info.absolutePath(), inputs);
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

    // Decoded whole, so that bytes cut short at the end become a replacement
    // character like anywhere else instead of vanishing with their line.
    QStringList members;
    const QString text = QString::fromUtf8(list.readAll());
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QString entry = line.trimmed().toString();
        if (!entry.isEmpty())
            members << QFileInfo(entry).completeBaseName() + helpFileExtension;
    }
    if (writeProjectFile(projectPath, name, members)) {
        qInfo() << "XML Projekt erstellt:" << projectPath;
        return true;
    }
    qCritical() << "Fehler beim Schreiben:" << projectPath;
    return false;
}

} // namespace ZkHelp
