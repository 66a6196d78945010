#include "fuzzchecks.h"

#include "converter.h"
#include "helpaddress.h"
#include "helpparser.h"
#include "htmlexporter.h"
#include "htmltext.h"
#include "pofile.h"
#include "recoverystore.h"
#include "searchindex.h"
#include "searchquery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzChecks {

namespace {

[[noreturn]] void fail(const char *property, const QString &detail)
{
    std::fprintf(stderr, "broken: %s: %s\n", property, qPrintable(detail.left(200)));
    std::abort();
}

const QTemporaryDir &workDir()
{
    static const QTemporaryDir dir;
    if (!dir.isValid())
        fail("work folder", dir.errorString());
    return dir;
}

// cleanHtml gives one replacement character for each lone surrogate, so that
// is what decoding gives back.
QString withLoneSurrogatesReplaced(const QString &text)
{
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c.isHighSurrogate() && i + 1 < result.size() && result.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80)
            return false;
    }
    return true;
}

void checkEscaping(const QString &text)
{
    const QString escaped = ZkHelp::cleanHtml(text);
    if (!isAscii(escaped.toUtf8()))
        fail("escaped text is ASCII", text);
    if (HtmlText::decode(escaped) != withLoneSurrogatesReplaced(text))
        fail("escaped text decodes back", text);
}

void checkDocumentTexts(const ZkHelp::HelpData &data)
{
    checkEscaping(data.version);
    checkEscaping(data.author);
    for (auto it = data.languages.cbegin(); it != data.languages.cend(); ++it) {
        checkEscaping(it.key());
        checkEscaping(it->description);
        for (const ZkHelp::HelpSection &section : it->sections) {
            checkEscaping(section.name);
            checkEscaping(section.content);
        }
    }
    for (const QString &link : data.links)
        checkEscaping(link);
}

void writeInput(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("input is written", path);
}

void checkPage(const ZkHelp::HelpData &data)
{
    const QString pagePath = workDir().filePath(QStringLiteral("page.html"));
    if (!ZkHelp::HtmlExporter().writeHtmlPage(data, pagePath, QStringLiteral("t")))
        fail("page is written", pagePath);
    QFile file(pagePath);
    if (!file.open(QIODevice::ReadOnly))
        fail("page can be read", pagePath);
    const QByteArray page = file.readAll();
    if (!page.startsWith("\xEF\xBB\xBF") || !page.endsWith("</body>\n</html>\n"))
        fail("page is complete", QString::fromLatin1(page.right(40)));
    if (!isAscii(QByteArrayView(page).sliced(3)))
        fail("page is ASCII", QString());
    static const QRegularExpression schemeAddress(QStringLiteral("href='[A-Za-z][-+.A-Za-z0-9]*:"));
    if (QString::fromLatin1(page).contains(schemeAddress))
        fail("link addresses name no scheme", QString::fromLatin1(page));
}

// The words of a match expression: its quoted tokens, a quote inside one
// doubled.
qsizetype quotedTokens(const QString &expression)
{
    qsizetype tokens = 0;
    bool inToken = false;
    for (qsizetype i = 0; i < expression.size(); ++i) {
        if (expression.at(i) != u'"')
            continue;
        if (inToken && i + 1 < expression.size() && expression.at(i + 1) == u'"') {
            ++i;
            continue;
        }
        inToken = !inToken;
        tokens += inToken ? 1 : 0;
    }
    return tokens;
}

// One help file in several scripts, indexed once; never closed, so that it
// outlives the application object.
ZkHelp::SearchIndex &queryIndex()
{
    static ZkHelp::SearchIndex *index = [] {
        const QString folder = workDir().filePath(QStringLiteral("help"));
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/t.zkhelp"));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zkhelp version=\"1\" "
                       "author=\"A\"><lang name=\"de\"><description>Kurz über E-Mail "
                       "\"Wort\" 中文学习</description><section name=\"हिन्दी\">की किताब "
                       "مَرْحَبًا ภาษาไทย</section></lang></zkhelp>\n") < 0)
            fail("query index file is written", file.fileName());
        file.close();
        auto *created =
            new ZkHelp::SearchIndex(workDir().filePath(QStringLiteral("search.sqlite")));
        created->update(ZkHelp::HelpCollection({folder}));
        return created;
    }();
    return *index;
}

QString lastWarning;

} // namespace

void silenceMessageLog()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

void checkHelpFile(const QByteArray &bytes)
{
    const QString path = workDir().filePath(QStringLiteral("input.zkhelp"));
    writeInput(path, bytes);
    const ZkHelp::HelpData data = ZkHelp::HelpParser().parse(path);
    checkDocumentTexts(data);
    checkPage(data);
}

void checkDosName(const QByteArray &bytes)
{
    // A name as a folder listing gives it: never a folder separator or NUL.
    QString name = QString::fromUtf8(bytes);
    name.remove(u'/').remove(QChar(0));
    const QString path = workDir().filePath(QStringLiteral("names/") + name);
    const QString folder = QFileInfo(path).absolutePath();

    static const QRegularExpression dosName(
        QStringLiteral("^[A-Z0-9]{1,6}~[1-9][0-9]{0,2}\\.ZKH$"));
    const QString dos = ZkHelp::Converter::toDos83(path);
    const QFileInfo dosInfo(dos);
    if (dosInfo.absolutePath() != folder)
        fail("DOS name stays in its folder", name + QStringLiteral(" -> ") + dos);
    if (!dosName.match(dosInfo.fileName()).hasMatch() || dosInfo.completeBaseName().size() > 8)
        fail("DOS name is 8.3 capitals and digits", name + QStringLiteral(" -> ") + dos);

    const QFileInfo winInfo(ZkHelp::Converter::toWinName(dos));
    if (winInfo.absolutePath() != folder ||
        winInfo.fileName() != dosInfo.completeBaseName() + QStringLiteral(".zkhelp"))
        fail("name back from DOS keeps folder and stem",
             dos + QStringLiteral(" -> ") + winInfo.filePath());
}

void checkRecovery(const QByteArray &bytes)
{
    const QString x = QStringLiteral("/p/x.zkhelp");
    const QString y = QStringLiteral("/p/y.zkhelp");
    ZkHelp::HelpData good;
    good.author = QStringLiteral("A");
    const QMap<QString, ZkHelp::RecoveredDocument> both{{x, {good, "x"}}, {y, {good, "y"}}};
    ZkHelp::RecoveryStore store(workDir().filePath(QStringLiteral("recovery")));
    store.setProject(QStringLiteral("/p"));
    const auto keepBoth = [&] {
        store.clear();
        if (!store.keep(both))
            fail("copies are kept", store.folder());
    };

    keepBoth();
    writeInput(store.copyPath(x), bytes);
    QString error;
    const ZkHelp::HelpData whole = ZkHelp::HelpParser().parseQuietly(store.copyPath(x), error);
    ZkHelp::RecoveredEdits edits = store.read();
    if (edits.documents.value(y).document != good)
        fail("a good copy beside is read", QString::fromLatin1(bytes));
    if (error.isEmpty() ? edits.documents.value(x).document != whole || !edits.damaged.isEmpty()
                        : edits.documents.contains(x) || edits.damaged != QStringList{x})
        fail("a copy counts as damaged exactly when it cannot be read whole", error);

    keepBoth();
    writeInput(QDir(store.folder()).filePath(QStringLiteral("index.json")), bytes);
    edits = store.read();
    for (auto it = edits.documents.cbegin(); it != edits.documents.cend(); ++it) {
        if (!both.contains(it.key()) || it->document != good)
            fail("only paths with a good copy come back", it.key());
    }
    if (!edits.damaged.isEmpty())
        fail("good copies are not damaged", edits.damaged.join(u' '));
}

void checkQuery(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const ZkHelp::SearchQuery query(text);
    if (quotedTokens(query.matchExpression()) > ZkHelp::SearchQuery::maxWords)
        fail("query asks for at most maxWords words", query.matchExpression());
    query.snippet(text);

    ZkHelp::SearchIndex &index = queryIndex();
    lastWarning.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
            lastWarning = message;
        });
    index.search(text, 5);
    qInstallMessageHandler(previous);
    if (!lastWarning.isEmpty())
        fail("index answers the query without a complaint", lastWarning);
}

void checkAddress(const QByteArray &bytes)
{
    const QString text = QLatin1String("zkhelp:") + QString::fromUtf8(bytes);
    const std::optional<ZkHelp::HelpAddress> address = ZkHelp::HelpAddress::parse(text);
    if (!address)
        return;
    const QStringList parts = address->name.split(u'/');
    // Not QDir::isAbsolutePath: that takes a name beginning with ':' for a
    // resource, though joined to a search folder it is an ordinary name.
    if (address->name.isEmpty() || address->name.startsWith(u'/') ||
        parts.contains(QStringLiteral("..")))
        fail("an address names a file inside the search folders", address->name);
    if (!(ZkHelp::HelpAddress::parse(address->toString()) == address))
        fail("an address written out reads back the same", address->toString());
    const QString page = ZkHelp::linkedPagePath(text);
    if (page.startsWith(u'/') || page.split(u'/').contains(QStringLiteral("..")))
        fail("an address links to a page inside the export folder", page);
}

void checkPoFile(const QByteArray &bytes)
{
    const ZkHelp::PoReadResult first = ZkHelp::readPo(bytes);
    if (!first.error.isEmpty()) {
        if (first.errorLine < 1 || first.errorLine > bytes.count('\n') + 1)
            fail("error line within the input", QString::number(first.errorLine));
        return;
    }
    const ZkHelp::PoReadResult again = ZkHelp::readPo(ZkHelp::writePo(first.entries));
    if (!again.error.isEmpty())
        fail("written PO reads again", again.error);
    if (again.entries.size() != first.entries.size())
        fail("written PO keeps every entry", QString::number(again.entries.size()));
    for (qsizetype i = 0; i < first.entries.size(); ++i) {
        const ZkHelp::PoEntry &a = first.entries.at(i);
        const ZkHelp::PoEntry &b = again.entries.at(i);
        if (a.hasContext != b.hasContext || a.context != b.context || a.id != b.id ||
            a.str != b.str || a.flags != b.flags)
            fail("written PO keeps each message", a.id);
    }
}

} // namespace FuzzChecks
