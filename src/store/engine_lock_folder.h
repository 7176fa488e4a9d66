#pragma once

#include <QString>

// The folder where the embedded engine keeps its lock files ($FIREBIRD_LOCK). Whoever may change
// the files in it may disturb or take over every database this user opens, so only a folder that
// belongs to this user and that nobody else may write is taken: $XDG_RUNTIME_DIR/telvora-firebird
// first (the session's own folder), else telvora-firebird-<uid> in the temporary folder. A folder
// of the chosen name that fails the test (another user's, writable by others, a symbolic link) is
// left alone and a new private folder is made in the temporary folder instead, for this process
// alone (`temporary`: to be removed once the engine has shut down).
struct LockFolder {
    QString path; // empty when no folder could be made
    bool temporary = false;
};
LockFolder EngineLockFolder();

// True when `path` is a real folder (not a symbolic link) owned by this user that neither its
// group nor others may write.
bool IsPrivateFolder(const QString& path);
