#include "store/engine_lock_folder.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder made (mode 0700) when missing; answered only when it is private.
QString PrivateFolderAt(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    mkdir(name.constData(), S_IRWXU);
    return IsPrivateFolder(path) ? path : QString();
}

} // namespace

bool IsPrivateFolder(const QString& path) {
    struct stat info {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

LockFolder EngineLockFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && IsPrivateFolder(runtime)) {
        const QString folder = PrivateFolderAt(QDir(runtime).filePath(QStringLiteral("telvora-firebird")));
        if (!folder.isEmpty())
            return {folder, false};
    }
    const QString temp = QDir::tempPath();
    const QString folder =
        PrivateFolderAt(QDir(temp).filePath(QStringLiteral("telvora-firebird-%1").arg(getuid())));
    if (!folder.isEmpty())
        return {folder, false};
    // The usual name is taken by someone else: a fresh folder of this process's own.
    QByteArray pattern =
        QFile::encodeName(QDir(temp).filePath(QStringLiteral("telvora-firebird-%1-XXXXXX").arg(getuid())));
    if (mkdtemp(pattern.data()))
        return {QFile::decodeName(pattern), true};
    return {};
}
