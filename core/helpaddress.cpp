#include "helpaddress.h"

#include "helplinks.h"

#include <QStringDecoder>
#include <QUrl>

namespace ZkHelp {

namespace {

const QString scheme = QStringLiteral("zkhelp:");

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// QUrl::fromPercentEncoding passes a stray '%' and broken UTF-8 through as
// something else; such a part names nothing, so it is refused here first.
std::optional<QString> decodedPart(const QString &part)
{
    for (qsizetype i = 0; i < part.size(); ++i) {
        if (part.at(i) != u'%')
            continue;
        if (i + 2 >= part.size() || !isHexDigit(part.at(i + 1)) || !isHexDigit(part.at(i + 2)))
            return std::nullopt;
        i += 2;
    }
    const QByteArray bytes = QByteArray::fromPercentEncoding(part.toUtf8());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return decoded;
}

// Absolute on any system, "C:\\x" and "C:/x" included, so that an address
// written on one system means the same on every other.
bool leavesFolders(const QString &name)
{
    const QString slashed = QString(name).replace(u'\\', u'/');
    const bool drive = slashed.size() > 2 && slashed.at(0).isLetter() && slashed.at(1) == u':' &&
                       slashed.at(2) == u'/';
    return drive || slashed.startsWith(u'/') || slashed.split(u'/').contains(QStringLiteral(".."));
}

QString encodedPart(const QString &part, const QByteArray &kept = QByteArray())
{
    return QString::fromLatin1(QUrl::toPercentEncoding(part, kept));
}

} // namespace

bool HelpAddress::isAddress(const QString &text)
{
    return text.startsWith(scheme);
}

std::optional<HelpAddress> HelpAddress::parse(const QString &text)
{
    if (!isAddress(text))
        return std::nullopt;
    QString rest = text.mid(scheme.size());
    HelpAddress address;
    if (const qsizetype hash = rest.indexOf(u'#'); hash >= 0) {
        const auto section = decodedPart(rest.mid(hash + 1));
        if (!section)
            return std::nullopt;
        address.section = *section;
        rest.truncate(hash);
    }
    if (const qsizetype question = rest.indexOf(u'?'); question >= 0) {
        const QStringList pairs = rest.mid(question + 1).split(u'&');
        for (const QString &pair : pairs) {
            const qsizetype equals = pair.indexOf(u'=');
            if (equals < 0 || pair.first(equals) != u"lang" || !address.language.isEmpty())
                continue;
            const auto language = decodedPart(pair.mid(equals + 1));
            if (!language)
                return std::nullopt;
            address.language = *language;
        }
        rest.truncate(question);
    }
    const auto name = decodedPart(rest);
    if (!name || name->isEmpty() || leavesFolders(*name))
        return std::nullopt;
    address.name = *name;
    return address;
}

QString HelpAddress::toString() const
{
    QString text = scheme + encodedPart(name, "/");
    if (!language.isEmpty())
        text += QStringLiteral("?lang=") + encodedPart(language);
    if (!section.isEmpty())
        text += u'#' + encodedPart(section);
    return text;
}

QString linkedHelpName(const QString &link)
{
    if (!HelpAddress::isAddress(link))
        return link;
    const std::optional<HelpAddress> address = HelpAddress::parse(link);
    return address ? address->name : QString();
}

QString linkedPagePath(const QString &link)
{
    const QString name = linkedHelpName(link);
    return name.isEmpty() ? QString() : linkPagePath(name);
}

int addressedSection(const HelpLanguage &language, const QString &section)
{
    if (section.isEmpty())
        return -1;
    for (int i = 0; i < language.sections.size(); ++i) {
        if (language.sections.at(i).id == section)
            return i;
    }
    for (const QChar c : section) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    bool ok = false;
    const int position = section.toInt(&ok);
    return ok && position >= 1 && position <= language.sections.size() ? position - 1 : -1;
}

QString addressedLanguage(const HelpData &data, const QString &wanted,
                          const QStringList &interfaceLanguages)
{
    if (data.languages.contains(wanted))
        return wanted;
    for (const QString &preferred : interfaceLanguages) {
        if (data.languages.contains(preferred))
            return preferred;
        const QString primary = preferred.section(u'-', 0, 0);
        if (data.languages.contains(primary))
            return primary;
    }
    return data.languages.isEmpty() ? QString() : data.languages.firstKey();
}

} // namespace ZkHelp
