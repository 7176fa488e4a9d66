#include "base/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ApplicationFolder()
{
    const QString env = qEnvironmentVariable("TELVORA_HOME");
    if (!env.isEmpty()) {
        QDir().mkpath(env);
        return QDir(env).absolutePath();
    }
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable())
        return exeDir;
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = data + QStringLiteral("/Telvora");
    QDir().mkpath(folder);
    return folder;
}

QString ApplicationPath(const QString& name)
{
    return QDir(ApplicationFolder()).filePath(name);
}
