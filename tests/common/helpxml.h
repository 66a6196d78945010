// Help files for tests, put together from their elements, so that every test
// writes the format the same way. Texts go in as they stand: a caller that
// wants markup in a text escapes it itself.
#pragma once

#include <QByteArray>

namespace HelpXml {

// A whole help file: the declaration, the root element with attributes, body.
inline QByteArray file(const QByteArray &body,
                       const QByteArray &attributes = "version=\"1\" author=\"A\"")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zkhelp " + attributes + ">\n" + body +
           "\n</zkhelp>\n";
}

inline QByteArray language(const QByteArray &key, const QByteArray &description,
                           const QByteArray &sections = QByteArray())
{
    return "<lang name=\"" + key + "\"><description>" + description + "</description>" + sections +
           "</lang>";
}

// A section; basis, when given, names the reference text it was translated
// from, and id, when given, stands before the title as the writer puts it.
inline QByteArray section(const QByteArray &title, const QByteArray &text,
                          const QByteArray &basis = QByteArray(),
                          const QByteArray &id = QByteArray())
{
    const QByteArray claim = basis.isEmpty() ? QByteArray() : " basis=\"" + basis + '"';
    const QByteArray name = id.isEmpty() ? QByteArray() : " id=\"" + id + '"';
    return "<section" + name + " name=\"" + title + '"' + claim + '>' + text + "</section>";
}

inline QByteArray link(const QByteArray &page)
{
    return "<link page=\"" + page + "\"/>";
}

} // namespace HelpXml
