#include "helplinks.h"

#include <QDir>

namespace ZkHelp {

bool isDesktopLink(const QString &link)
{
    return link.startsWith(QStringLiteral("http:")) || link.startsWith(QStringLiteral("https:")) ||
           link.startsWith(QStringLiteral("mailto:"));
}

// A browser reads "%", "#", "?", ":" and "\\" as URL syntax and a leading "/"
// as the server's root: encoded, every address stays a relative path (never a
// "javascript:" address) that leads to the page of that very name.
QString linkAddress(const QString &name)
{
    QString address;
    address.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (c == u'%' || c == u'#' || c == u'?' || c == u':' || c == u'\\' || (i == 0 && c == u'/'))
            address += QStringLiteral("%%1").arg(unsigned(c), 2, 16, QLatin1Char('0')).toUpper();
        else
            address += QChar(c);
    }
    return address;
}

QString linkPagePath(const QString &name)
{
    if (QDir::isAbsolutePath(name))
        return QString();
    const QString cleaned = QDir::cleanPath(name + QStringLiteral(".html"));
    if (cleaned == u".." || cleaned.startsWith(u"../"))
        return QString();
    return cleaned;
}

} // namespace ZkHelp
