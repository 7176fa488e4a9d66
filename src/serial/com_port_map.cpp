#include "serial/com_port_map.h"

#include "base/ini_file.h"

#include <algorithm>

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
    for (const QString& key : settings.keys(section)) {
        if (!key.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
            continue;
        const QStringView digits = QStringView(key).mid(3);
        if (digits.isEmpty() ||
            !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
            continue;
        const int number = digits.toInt();
        const QString path = settings.value(section, key).trimmed();
        if (IsValidPort(number) && !path.isEmpty())
            overrides.insert(number, path);
    }
    return overrides;
}

} // namespace ComPortMap
