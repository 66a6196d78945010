// The project file "*.zkproject": a project's name and its member help files,
// written by the editor and the converter, read by both. This is the one
// place that knows its bytes.
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ZkHelp {

// The name every project file ends in.
inline const QString projectFileExtension = QStringLiteral(".zkproject");

struct ProjectFileContent
{
    // The name attribute of the first zkproject element; named tells whether
    // there was such an element before the end or the first XML error.
    QString name;
    bool named = false;
    // The text of every file element, in document order.
    QList<QString> members;
    // Empty for a well-formed file; otherwise the XML reader's message, and
    // name and members hold what came before the error.
    QString xmlError;
};

// Reads the project file at path. Returns nothing, with *errorString (when
// given) set to the reason, only when the file cannot be opened.
std::optional<ProjectFileContent> readProjectFile(const QString &path,
                                                  QString *errorString = nullptr);

// Replaces path in one step with a project file naming name and members, as
// indented UTF-8 XML with declaration. Returns false, leaving an existing file
// untouched and setting *errorString (when given), when the write fails.
bool writeProjectFile(const QString &path, const QString &name, const QList<QString> &members,
                      QString *errorString = nullptr);

// The project file a command-line argument names: the file itself, or the
// one project file in a folder. A folder with none or several is refused
// rather than guessed at, as is any other file, which opening would later
// overwrite with a project list. On refusal the result is empty and
// *errorString (when given) says why.
QString projectFileForArgument(const QString &argument, QString *errorString = nullptr);

} // namespace ZkHelp
