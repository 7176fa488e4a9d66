#include "base/app_paths.h"

#include <QCoreApplication>
#include <QDir>

QString ApplicationFolder()
{
    const QString env = qEnvironmentVariable("TELVORA_HOME");
    if (!env.isEmpty()) {
        QDir().mkpath(env);
        return QDir(env).absolutePath();
    }
    // Always the executable's folder, writable or not: moving to another folder would open (or
    // create) another database without the operator knowing.
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}

QString ApplicationPath(const QString& name)
{
    return QDir(ApplicationFolder()).filePath(name);
}
