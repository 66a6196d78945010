// Keeps a GUI test's settings, file-dialog history, caches and application
// data out of the real home folder, and the machine's installed help out
// of its search folders.
#pragma once

#include <QTemporaryDir>

// From its construction on, HOME and the XDG folders of this process lie in
// a fresh temporary folder, removed with it. One per process, living as long
// as anything may look there (a member of the test object).
class PrivateHome
{
public:
    PrivateHome()
    {
        qputenv("HOME", dir.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", dir.filePath(".config").toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir.filePath(".local/share").toLocal8Bit());
        qputenv("XDG_CACHE_HOME", dir.filePath(".cache").toLocal8Bit());
        qputenv("XDG_STATE_HOME", dir.filePath(".local/state").toLocal8Bit());
        // The machine's shared data folders may hold installed help files.
        qputenv("XDG_DATA_DIRS", dir.filePath("share").toLocal8Bit());
    }

private:
    QTemporaryDir dir;
};
