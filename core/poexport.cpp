#include "poexport.h"

#include "helpparser.h"
#include "pofile.h"
#include "pounits.h"
#include "translationbasis.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace ZkHelp {

namespace {

// A file's messages in their PO form, each beginning with the comment line
// that names the file's reference language; exportPo drops that line again
// when one language is the reference of every file and the header names it.
class MessageWriter
{
public:
    MessageWriter(QList<QByteArray> &messages, const PoMember &member, const HelpData &data,
                  const QString &reference, const QString &language)
        : messages(messages)
        , member(member)
        , data(data)
        , reference(reference)
        , language(language)
    {}

    void writeAll();

private:
    void add(const QString &unit, const QString &source, const QString &translation, bool stale);

    QList<QByteArray> &messages;
    const PoMember &member;
    const HelpData &data;
    const QString &reference;
    const QString &language;
};

void MessageWriter::writeAll()
{
    const HelpLanguage source = data.languages.value(reference);
    const HelpLanguage own = data.languages.value(language);
    add(QStringLiteral("description"), source.description, own.description, false);
    for (int i = 0; i < source.sections.size(); ++i) {
        const HelpSection &section = source.sections.at(i);
        const int index = language.isEmpty() ? -1 : translationIndex(data, language, reference, i);
        const HelpSection translation = index < 0 ? HelpSection() : own.sections.at(index);
        const bool stale = index >= 0 && basisState(data, language, index) == BasisState::Stale;
        const QString key = poSectionKey(section, i);
        add(key + QStringLiteral("/title"), section.name, translation.name, stale);
        add(key + QStringLiteral("/text"), section.content, translation.content, stale);
    }
}

void MessageWriter::add(const QString &unit, const QString &source, const QString &translation,
                        bool stale)
{
    if (source.isEmpty())
        return;
    PoEntry entry;
    entry.extractedComments.append(referenceComment(reference));
    if (stale)
        entry.extractedComments.append(staleComment);
    entry.references.append(member.name);
    // gettext counts a fuzzy message without translation as untranslated;
    // the flag would only hide that it is.
    if (stale && !translation.isEmpty())
        entry.flags.append(QStringLiteral("fuzzy"));
    entry.hasContext = true;
    entry.context = member.name + u'#' + unit;
    entry.id = source;
    entry.str = translation;
    QByteArray bytes;
    writePoEntry(bytes, entry);
    messages.append(bytes);
}

PoEntry header(const HelpSet &set, const QString &language, const QString &reference,
               const QDateTime &newest)
{
    const QString project = set.nameFolders.isEmpty()
                                ? QStringLiteral("zkhelp")
                                : QFileInfo(set.nameFolders.first()).fileName();
    const QString date = newest.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm+0000"));
    QString fields =
        QStringLiteral("Project-Id-Version: %1\n"
                       "POT-Creation-Date: %2\n"
                       "PO-Revision-Date: %2\n"
                       "Last-Translator: zkhelp_cli\n"
                       "Language-Team: %3\n"
                       "Language: %4\n"
                       "MIME-Version: 1.0\n"
                       "Content-Type: text/plain; charset=UTF-8\n"
                       "Content-Transfer-Encoding: 8bit\n")
            .arg(project, date, language.isEmpty() ? QStringLiteral("none") : language, language);
    if (!reference.isEmpty())
        fields += QStringLiteral("X-Zkhelp-Reference: %1\n").arg(reference);
    PoEntry entry;
    entry.str = fields;
    // A template is not yet anyone's translation.
    if (language.isEmpty())
        entry.flags.append(QStringLiteral("fuzzy"));
    return entry;
}

} // namespace

PoExportResult exportPo(const HelpSet &set, const QString &language,
                        const QString &preferredReference)
{
    PoExportResult result;
    const HelpParser parser;
    QList<QByteArray> messages;
    QSet<QString> references;
    QDateTime newest = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    for (const PoMember &member : poMembers(set)) {
        newest = std::max(newest, QFileInfo(member.path).lastModified());
        QString error;
        HelpData data = parser.parseQuietly(member.path, error);
        // A file read only up to an error would come back as a translation of that much.
        if (!error.isEmpty()) {
            result.problems.append(member.path + QStringLiteral(": ") + error);
            continue;
        }
        const QString reference = referenceLanguage(data, preferredReference);
        if (reference.isEmpty() || reference == language)
            continue;
        // Two messages of one name could never be told apart on the way back.
        const QString ambiguous = ambiguousSectionKey(data.languages.value(reference).sections);
        if (!ambiguous.isEmpty()) {
            result.problems.append(member.path + QStringLiteral(": Abschnitt ") + ambiguous +
                                   QStringLiteral(" ist Kennung und Stelle zugleich, zuerst "
                                                  "zkhelp_cli -ids ausfuehren"));
            continue;
        }
        references.insert(reference);
        MessageWriter(messages, member, data, reference, language).writeAll();
    }
    for (const QString &path : set.undecodable)
        result.problems.append(path + QStringLiteral(": Dateiname ist kein UTF-8"));
    const bool oneReference = references.size() == 1;
    writePoEntry(result.bytes,
                 header(set, language, oneReference ? *references.cbegin() : QString(), newest));
    qsizetype size = result.bytes.size();
    for (const QByteArray &message : std::as_const(messages))
        size += message.size() + 1;
    result.bytes.reserve(size);
    for (QByteArray &message : messages) {
        const qsizetype start = oneReference ? message.indexOf('\n') + 1 : 0;
        result.bytes.append('\n').append(QByteArrayView(message).sliced(start));
        message = QByteArray(); // what is written is not held twice
    }
    return result;
}

} // namespace ZkHelp
