// Reading back what the HTML export escaped: the inverse of cleanHtml for the
// references it writes, shared by the exporter tests and the fuzz checks.
#pragma once

#include <QString>

namespace HtmlText {

// Replaces "&amp;", "&lt;", "&gt;", "&quot;" and decimal references "&#N;"
// by their characters. Anything else, also a malformed reference, is kept
// as it stands.
inline QString decode(const QString &html)
{
    QString text;
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype end = html.at(i) == u'&' ? html.indexOf(u';', i) : -1;
        if (end < 0) {
            text += html.at(i++);
            continue;
        }
        const QStringView entity = QStringView(html).mid(i + 1, end - i - 1);
        bool isNumber = false;
        const uint codePoint = entity.startsWith(u'#') ? entity.mid(1).toUInt(&isNumber) : 0;
        const char32_t character = codePoint;
        if (isNumber && codePoint <= 0x10FFFF)
            text += QString::fromUcs4(&character, 1);
        else if (entity == u"amp")
            text += u'&';
        else if (entity == u"lt")
            text += u'<';
        else if (entity == u"gt")
            text += u'>';
        else if (entity == u"quot")
            text += u'"';
        else {
            text += html.at(i++);
            continue;
        }
        i = end + 1;
    }
    return text;
}

} // namespace HtmlText
