// Reading back what the HTML export escaped: the inverse of cleanHtml for the
// references it writes, shared by the exporter tests and the fuzz checks.
#pragma once

#include <QString>

namespace HtmlText {

// The text a reference between "&" and ";" stands for, or a null string when
// it is none that cleanHtml writes.
inline QString referencedText(QStringView reference)
{
    bool isNumber = false;
    const uint codePoint = reference.startsWith(u'#') ? reference.mid(1).toUInt(&isNumber) : 0;
    if (isNumber && codePoint <= 0xFFFF)
        return QString(QChar(char16_t(codePoint)));
    if (isNumber && codePoint <= 0x10FFFF)
        return QString(QChar(QChar::highSurrogate(codePoint))) +
               QChar(QChar::lowSurrogate(codePoint));
    if (reference == u"amp")
        return QStringLiteral("&");
    if (reference == u"lt")
        return QStringLiteral("<");
    if (reference == u"gt")
        return QStringLiteral(">");
    if (reference == u"quot")
        return QStringLiteral("\"");
    return QString();
}

// Replaces "&amp;", "&lt;", "&gt;", "&quot;" and decimal references "&#N;"
// by their characters. Anything else, also a malformed reference, is kept
// as it stands.
inline QString decode(const QString &html)
{
    QString text;
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype end = html.at(i) == u'&' ? html.indexOf(u';', i) : -1;
        const QString referenced =
            end < 0 ? QString() : referencedText(QStringView(html).mid(i + 1, end - i - 1));
        if (referenced.isNull()) {
            text += html.at(i++);
        } else {
            text += referenced;
            i = end + 1;
        }
    }
    return text;
}

} // namespace HtmlText
