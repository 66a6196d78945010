// What a link of a help file is: a web or mail address for the desktop, or
// the name of another help file, and how that name may appear in pages and
// in an export folder. The exporter, the set check and the viewer share
// these rules, so a link one of them accepts is accepted by all.
#pragma once

#include <QString>

namespace ZkHelp {

// Whether a link is handed to the desktop (web and mail addresses) rather
// than looked up as a help-file name.
bool isDesktopLink(const QString &link);

// The address under which a page links to the help-file name: the name with
// "%", "#", "?", ":", "\\" and a leading "/" percent-encoded, so that no URL
// parser reads a scheme, fragment, query or escape into it and
// percent-decoding gives the name back. Still to be escaped with cleanHtml.
QString linkAddress(const QString &name);

// The page of name relative to an export folder ("sub/topic.html"), or an
// empty string when the name is an absolute path or climbs out with "..":
// links are data from arbitrary files and must not address the file system.
QString linkPagePath(const QString &name);

} // namespace ZkHelp
