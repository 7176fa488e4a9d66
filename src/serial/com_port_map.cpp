#include "serial/com_port_map.h"

#include "app/ini_file.h"

namespace ComPortMap {

bool IsValidPort(int number) {
    return number >= FirstPort && number <= LastPort;
}

QString DefaultDevicePath(int number) {
    if (!IsValidPort(number))
        return QStringLiteral("COM%1").arg(number);
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString DevicePath(int number, const QHash<int, QString>& overrides) {
    const QString path = overrides.value(number).trimmed();
    return path.isEmpty() ? DefaultDevicePath(number) : path;
}

QHash<int, QString> ReadOverrides(const IniFile& settings) {
    QHash<int, QString> overrides;
    const QString section = QString::fromLatin1(Section);
    if (!settings.hasSection(section))
        return overrides;
    for (int n = FirstPort; n <= LastPort; ++n) {
        const QString path = settings.value(section, QStringLiteral("COM%1").arg(n)).trimmed();
        if (!path.isEmpty())
            overrides.insert(n, path);
    }
    return overrides;
}

} // namespace ComPortMap
