#include "base/app_title.h"

#include <QStringList>

QString ShortVersion(const QString& fileVersion) {
    if (fileVersion.trimmed().isEmpty())
        return {};
    QStringList parts = fileVersion.trimmed().split(QLatin1Char('.'));
    if (parts.size() > 3)
        parts = parts.mid(0, 3);
    if (parts.size() == 3 && parts.last() == QLatin1String("0"))
        parts.removeLast();
    return parts.join(QLatin1Char('.'));
}

QString ApplicationTitle(const QString& fileVersion) {
    const QString version = ShortVersion(fileVersion);
    return version.isEmpty() ? QStringLiteral("Telvora") : QStringLiteral("Telvora ") + version;
}

QString ApplicationTitle() {
    return ApplicationTitle(BuildVersion());
}

QString BuildVersion() {
#ifdef TELVORA_VERSION
    return QStringLiteral(TELVORA_VERSION);
#else
    return {};
#endif
}
