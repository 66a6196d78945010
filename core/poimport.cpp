#include "poimport.h"

#include "helpparser.h"
#include "helpwriter.h"
#include "pounits.h"
#include "translationbasis.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>

#include <algorithm>

namespace ZkHelp {

namespace {

const QString referencePrefix = referenceComment(QString());

// The reference language a message names in its comment, else fallback.
QString namedReference(const PoEntry &entry, const QString &fallback)
{
    for (const QString &comment : entry.extractedComments) {
        if (comment.startsWith(referencePrefix))
            return comment.mid(referencePrefix.size()).trimmed();
    }
    return fallback;
}

QString readBytes(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    // A FIFO could block the read.
    if (!QFileInfo(path).isFile())
        return QStringLiteral("keine regulaere Datei");
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? QString() : file.errorString();
}

// What the messages of one section brought.
struct SectionMarks
{
    bool titleConfirmed = false; // from a message without the fuzzy flag
    bool textConfirmed = false;
    bool fuzzy = false; // a fuzzy translation was taken
    bool changed = false;
};

class FileImport
{
public:
    FileImport(const PoMember &member, const QString &language, const PoImportOptions &options,
               PoImportReport &report)
        : member(member)
        , language(language)
        , options(options)
        , report(report)
    {}

    void run(const QList<const PoEntry *> &messages, const QString &headerReference);

private:
    bool load(const QString &preferredReference);
    void apply(const PoEntry &entry);
    void applyToSection(const PoEntry &entry, int referenceIndex, bool title);
    int createSection(int referenceIndex, const QString &context);
    void confirmSections();
    void save();
    void problem(const QString &where, const QString &what);

    const PoMember &member;
    const QString &language;
    const PoImportOptions &options;
    PoImportReport &report;
    QByteArray bytes;
    HelpData original;
    HelpData data;
    QString reference;
    QMap<int, SectionMarks> marks; // by reference section
};

void FileImport::problem(const QString &where, const QString &what)
{
    report.problems.append(where + QStringLiteral(": ") + what);
    report.failed = true;
}

void FileImport::run(const QList<const PoEntry *> &messages, const QString &headerReference)
{
    if (!load(namedReference(*messages.first(), headerReference)))
        return;
    for (const PoEntry *entry : messages)
        apply(*entry);
    confirmSections();
    save();
}

bool FileImport::load(const QString &preferredReference)
{
    QString error = readBytes(member.path, bytes);
    if (error.isEmpty()) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        original = HelpParser().parseQuietly(buffer, error);
    }
    // Written back, a file read only up to an error would lose its rest.
    if (!error.isEmpty()) {
        problem(member.path, error);
        return false;
    }
    data = original;
    reference = referenceLanguage(data, preferredReference);
    if (reference == language) {
        problem(member.name, language + QStringLiteral(" ist die Referenzsprache dieser Datei"));
        return false;
    }
    return true;
}

void FileImport::apply(const PoEntry &entry)
{
    const QString unit = entry.context.mid(entry.context.lastIndexOf(u'#') + 1);
    const HelpLanguage source = data.languages.value(reference);
    const qsizetype slash = unit.lastIndexOf(u'/');
    const QString kind = unit.mid(slash + 1);
    const int index = slash < 0 ? -1 : poSectionIndex(source.sections, unit.left(slash));
    const bool description = unit == u"description";
    if (!description && (index < 0 || (kind != u"title" && kind != u"text"))) {
        problem(entry.context, QStringLiteral("unbekannter Abschnitt"));
        return;
    }
    const QString sourceText = description        ? source.description
                               : kind == u"title" ? source.sections.at(index).name
                                                  : source.sections.at(index).content;
    if (entry.id != sourceText) {
        ++report.outdated;
        problem(entry.context, QStringLiteral("Referenz geaendert, bitte msgmerge"));
        return;
    }
    if (entry.isFuzzy() && !options.allowFuzzy) {
        ++report.fuzzySkipped;
        return;
    }
    if (description) {
        data.languages[language].description = entry.str;
        ++report.applied;
        return;
    }
    applyToSection(entry, index, kind == u"title");
}

void FileImport::applyToSection(const PoEntry &entry, int referenceIndex, bool title)
{
    int index = translationIndex(data, language, reference, referenceIndex);
    if (index < 0)
        index = createSection(referenceIndex, entry.context);
    if (index < 0)
        return;
    HelpSection &section = data.languages[language].sections[index];
    QString &text = title ? section.name : section.content;
    SectionMarks &mark = marks[referenceIndex];
    mark.changed = mark.changed || text != entry.str;
    text = entry.str;
    if (entry.isFuzzy())
        mark.fuzzy = true;
    else
        (title ? mark.titleConfirmed : mark.textConfirmed) = true;
    ++report.applied;
}

// Inserts an empty translation of the reference section in the reference's
// order, with its id. Refused where that would move a translation off the
// section it pairs with by position: the sections need ids first.
int FileImport::createSection(int referenceIndex, const QString &context)
{
    const QList<HelpSection> source = data.languages.value(reference).sections;
    QHash<QString, int> referenceIds;
    for (int i = 0; i < source.size(); ++i) {
        if (!source.at(i).id.isEmpty() && !referenceIds.contains(source.at(i).id))
            referenceIds.insert(source.at(i).id, i);
    }
    const auto pairsById = [&](const HelpSection &s) { return referenceIds.contains(s.id); };
    QList<HelpSection> &sections = data.languages[language].sections;
    qsizetype at = sections.size();
    for (qsizetype i = 0; i < sections.size() && at == sections.size(); ++i) {
        const HelpSection &section = sections.at(i);
        const qsizetype paired = pairsById(section)  ? referenceIds.value(section.id)
                                 : i < source.size() ? i
                                                     : -1;
        if (paired > referenceIndex)
            at = i;
    }
    const QString id = source.at(referenceIndex).id;
    const bool fits = id.isEmpty()
                          ? at == sections.size() && at == referenceIndex
                          : std::all_of(sections.cbegin() + at, sections.cend(), pairsById);
    if (!fits) {
        problem(context, QStringLiteral("Abschnitt kann nicht angelegt werden, "
                                        "zuerst zkhelp_cli -ids ausfuehren"));
        return -1;
    }
    HelpSection fresh;
    fresh.id = id;
    sections.insert(at, fresh);
    return int(at);
}

void FileImport::confirmSections()
{
    const QList<HelpSection> source = data.languages.value(reference).sections;
    for (auto it = marks.cbegin(); it != marks.cend(); ++it) {
        const HelpSection &original = source.at(it.key());
        // A unit with an empty reference text has no message to confirm it.
        const bool confirmed = !it->fuzzy && (it->titleConfirmed || original.name.isEmpty()) &&
                               (it->textConfirmed || original.content.isEmpty());
        const int index = translationIndex(data, language, reference, it.key());
        if (!confirmed || index < 0)
            continue;
        HelpSection &section = data.languages[language].sections[index];
        if (it->changed || !section.basis.isEmpty())
            section.basis = basisFor(reference, original);
    }
}

void FileImport::save()
{
    if (data == original)
        return;
    if (!options.dryRun) {
        QByteArray now;
        if (!readBytes(member.path, now).isEmpty() || now != bytes) {
            problem(member.path, QStringLiteral("Datei wurde inzwischen geaendert, "
                                                "nicht geschrieben"));
            return;
        }
        QString error;
        if (!HelpWriter().writeXml(data, member.path, &error)) {
            problem(member.path, error);
            return;
        }
    }
    ++report.filesChanged;
}

} // namespace

int duplicateContextLine(const QList<PoEntry> &entries)
{
    QHash<QString, int> seen;
    for (const PoEntry &entry : entries) {
        if (!entry.hasContext)
            continue;
        if (seen.contains(entry.context))
            return entry.line;
        seen.insert(entry.context, entry.line);
    }
    return 0;
}

PoImportReport importPo(const QList<PoEntry> &entries, const QString &language, const HelpSet &set,
                        const PoImportOptions &options)
{
    PoImportReport report;
    const QList<PoMember> members = poMembers(set);
    QHash<QString, int> byName;
    for (int i = 0; i < members.size(); ++i)
        byName.insert(members.at(i).name, i);
    QString headerReference;
    QMap<int, QList<const PoEntry *>> messages; // by member, in the set's order
    for (const PoEntry &entry : entries) {
        if (entry.isHeader()) {
            headerReference = poHeaderField(entry.str, QStringLiteral("X-Zkhelp-Reference"));
            continue;
        }
        // An untranslated message asks for nothing: it never erases a
        // translation, and where its text or file has gone it is no problem.
        if (entry.str.isEmpty())
            continue;
        // Only names of the set's own files are looked up, so no name, one
        // with ".." included, reaches a file outside it.
        const qsizetype hash = entry.context.lastIndexOf(u'#');
        const auto member = byName.constFind(entry.context.left(hash));
        if (!entry.hasContext || hash < 0 || member == byName.cend()) {
            report.problems.append(
                (entry.hasContext ? entry.context : QStringLiteral("Zeile %1").arg(entry.line)) +
                QStringLiteral(": unbekannte Datei"));
            report.failed = true;
            continue;
        }
        messages[*member].append(&entry);
    }
    for (auto it = messages.cbegin(); it != messages.cend(); ++it)
        FileImport(members.at(it.key()), language, options, report).run(*it, headerReference);
    return report;
}

} // namespace ZkHelp
