// A one-line picture of a HelpData, so that a failing comparison shows the
// whole document.
#pragma once

#include "helpdata.h"

#include <QString>
#include <QStringList>

inline QString dump(const ZkHelp::HelpData &data)
{
    QStringList parts{QStringLiteral("v=") + data.version, QStringLiteral("a=") + data.author};
    for (auto it = data.languages.cbegin(); it != data.languages.cend(); ++it) {
        QStringList sections;
        for (const ZkHelp::HelpSection &section : it->sections)
            sections.append((section.id.isEmpty() ? QString() : u'<' + section.id + u'>') +
                            section.name + u'=' + section.content +
                            (section.basis.isEmpty() ? QString() : u'@' + section.basis));
        parts.append(it.key() + u':' + it->description + u'[' + sections.join(u';') + u']');
    }
    parts.append(QStringLiteral("links=") + data.links.join(u','));
    return parts.join(u'|');
}
