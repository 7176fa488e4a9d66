#include "base/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// The user's data folder of the program, as the desktop names it: $XDG_DATA_HOME/Telvora, by
// default ~/.local/share/Telvora. Named here rather than after QCoreApplication's names so that
// the command line and the windows agree.
QString UserDataFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Telvora"));
}

} // namespace

QString ChooseApplicationFolder(const QString& executableFolder, const QString& userDataFolder) {
    const bool installed =
        QFileInfo::exists(QDir(executableFolder).filePath(QStringLiteral("../share/telvora/schema.sql")));
    // access() asks the system itself (permissions, read-only mounts) rather than the mode bits.
    if (!installed && ::access(QFile::encodeName(executableFolder).constData(), W_OK) == 0)
        return executableFolder;
    return userDataFolder;
}

QString ApplicationFolder() {
    const QString env = qEnvironmentVariable("TELVORA_HOME");
    if (!env.isEmpty()) {
        QDir().mkpath(env);
        return QDir(env).absolutePath();
    }
    const QString executableFolder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString folder = ChooseApplicationFolder(executableFolder, UserDataFolder());
    if (folder != executableFolder)
        QDir().mkpath(folder);
    return folder;
}

bool ApplicationFolderIsUserData() {
    return qEnvironmentVariable("TELVORA_HOME").isEmpty() && ApplicationFolder() == UserDataFolder();
}

QString ApplicationPath(const QString& name) {
    return QDir(ApplicationFolder()).filePath(name);
}
