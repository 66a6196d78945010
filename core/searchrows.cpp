#include "searchrows.h"

#include "helpparser.h"
#include "searchquery.h"

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

} // namespace

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
    }
    return prepared;
}

} // namespace ZkHelp
