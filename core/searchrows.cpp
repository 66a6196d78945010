#include "searchrows.h"

#include "helpparser.h"
#include "searchquery.h"

#include <QDataStream>
#include <QIODevice>

namespace ZkHelp {

namespace {

PreparedRow preparedRow(const QString &language, int section, const QString &title,
                        const QString &text)
{
    PreparedRow prepared{language, section, indexedText(title), indexedText(text), {}, {}};
    if (prepared.title != title)
        prepared.shownTitle = title;
    if (prepared.text != text)
        prepared.shownText = text;
    return prepared;
}

// The quickest zlib level: the block is packed while the next files are
// parsed, and the higher levels took several times as long for a block a
// few percent smaller.
constexpr int packLevel = 1;
// Fixed, so that a block stays readable by any later Qt.
constexpr QDataStream::Version packVersion = QDataStream::Qt_6_0;

// Texts as UTF-8, an empty one for a null one: a shown form, the only kind
// that is ever null, is never empty otherwise.
void writeText(QDataStream &out, const QString &text)
{
    out << text.toUtf8();
}

QString readText(QDataStream &in)
{
    QByteArray bytes;
    in >> bytes;
    return bytes.isEmpty() ? QString() : QString::fromUtf8(bytes);
}

} // namespace

QByteArray packRows(const QList<PreparedRow> &rows)
{
    QByteArray plain;
    QDataStream out(&plain, QIODevice::WriteOnly);
    out.setVersion(packVersion);
    out << qint32(rows.size());
    for (const PreparedRow &row : rows) {
        writeText(out, row.language);
        out << qint32(row.section);
        for (const QString *text : {&row.title, &row.text, &row.shownTitle, &row.shownText})
            writeText(out, *text);
    }
    return qCompress(plain, packLevel);
}

bool unpackRows(const QByteArray &block, QList<PreparedRow> &rows)
{
    const QByteArray plain = qUncompress(block);
    QDataStream in(plain);
    in.setVersion(packVersion);
    qint32 count = 0;
    in >> count;
    if (count < 0 || count > searchRowsPerFile)
        return false;
    rows.clear();
    rows.reserve(count);
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        PreparedRow &row = rows.emplace_back();
        row.language = readText(in);
        qint32 section = -1;
        in >> section;
        row.section = section;
        for (QString *text : {&row.title, &row.text, &row.shownTitle, &row.shownText})
            *text = readText(in);
    }
    return in.status() == QDataStream::Ok && in.atEnd();
}

QList<PreparedFile> prepareFiles(const QList<HelpFileState> &files)
{
    const HelpParser parser;
    QList<PreparedFile> prepared;
    prepared.reserve(files.size());
    for (const HelpFileState &state : files) {
        QString error;
        const HelpData data = parser.parseQuietly(state.path, error);
        PreparedFile &file = prepared.emplace_back();
        file.state = state;
        // Rows past the file's range (a million of them) are left out.
        for (auto language = data.languages.cbegin();
             language != data.languages.cend() && file.rows.size() < searchRowsPerFile;
             ++language) {
            file.rows.append(preparedRow(language.key(), -1, QString(), language->description));
            for (int i = 0; i < language->sections.size() && file.rows.size() < searchRowsPerFile;
                 ++i) {
                const HelpSection &section = language->sections.at(i);
                file.rows.append(preparedRow(language.key(), i, section.name, section.content));
            }
        }
        file.packed = packRows(file.rows);
    }
    return prepared;
}

} // namespace ZkHelp
