// The model of the one help project the editor has open: its folder, its
// .zkproject file, its member help files and its registration in "Path".
#pragma once

#include <QString>
#include <QStringList>

namespace ZkHelp {

// A plain value holder that the editor window owns for its whole life and
// reads directly. A new manager has no project open; a non-empty projectDir
// means one is. Members are always taken from the folder
// on disk; the project file only lists them for other tools. Where
// createProject, openProject and addFileToProject register the folders and
// that fails, they log a warning naming the "Path" file and go on.
class ProjectManager
{
public:
    // searchPathFile is the "Path" file that registration appends to; the
    // editor passes the program's own (globalPathFile()).
    explicit ProjectManager(const QString &searchPathFile);

    // Makes folder the open project called name, registers the folder and its
    // subfolders in "Path", lists its help files and writes the project file
    // (an existing one of that name is replaced). The fields are set even when
    // the write fails. Returns whether the project file was written.
    bool createProject(const QString &folder, const QString &name);

    // Opens the project file path and takes only its name from it (the first
    // zkproject element's name attribute; kept as it was when the file is not
    // XML or has no such element); the folder holding the file becomes
    // projectDir, registered and scanned. Returns false, changing nothing,
    // only when the file cannot be opened for reading.
    bool openProject(const QString &path);

    // Replaces projectFile in one step with name and members. Returns false,
    // leaving an existing file untouched, when anything of the write fails.
    bool saveProject();

    // Rebuilds files from the disk: every *.zkhelp file (any letter case)
    // below projectDir, relative with "/" separators, sorted by code unit.
    // Hidden files and folders are left out, links to folders not followed.
    // Does not save. With no project open the list stays empty.
    void refreshFileList();

    // Appends path (taken relative to projectDir when absolute) to files and
    // saves, unless it is listed already; registers the folders either way.
    void addFileToProject(const QString &path);

    // Drops path from files and saves (also when it was not listed); with
    // deleteFromDisk, deletes path itself, whether listed or not.
    void removeFileFromProject(const QString &path, bool deleteFromDisk);

    // Appends projectDir and every folder below it to the "Path" file
    // pathFile(), skipping folders listed there already (compared
    // cleaned and without regard to case). Never rewrites existing lines.
    // Returns false when the file cannot be opened for appending or a write
    // fails; true otherwise, also when nothing needed appending or no
    // project is open.
    bool registerPathInGlobalConfig();

    // The language the open project's translations are made from, as last
    // chosen for this project folder on this machine; empty when none was.
    // Kept in the user's settings: the project file is shared with other
    // tools and stays as it is.
    QString referenceLanguage() const;
    void setReferenceLanguage(const QString &key);

    // The folders the members' links are looked up along, as the set check
    // of the project folder looks them up: the project's folders, then the
    // search folders of pathFile().
    QList<QString> linkFolders() const;

    // The "Path" file that registerPathInGlobalConfig() appends to.
    QString pathFile() const { return searchPathFile; }

    // The running program's own "Path" file (programPathFolder): in its
    // folder, or the user's for the installed program.
    static QString globalPathFile();

    // Why the last createProject, openProject, saveProject or registration
    // that failed did so (the system's reason); empty when none failed yet.
    QString errorString() const { return lastError; }

    QString projectName; // the root element's name attribute
    QString projectDir;  // as createProject got it, or the project file's absolute folder
    QString projectFile; // folder/name.zkproject, or the path openProject got
    QStringList files;   // members relative to projectDir, "/" separators

private:
    void registerOrWarn();
    QString referenceKey() const;

    QString searchPathFile;
    QString lastError;
};

} // namespace ZkHelp
