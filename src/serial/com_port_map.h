#pragma once

#include <QHash>
#include <QString>

class IniFile;

// COM port numbers and the devices they open. The program names its serial port by number
// (1..255), as the settings and messages do; each number maps to a device path: by default
// "/dev/ttyS<n-1>" ("\\.\COM<n>" on Windows), overridable per number so that a USB modem or a
// pseudo-terminal can serve as "COM 3". The overrides come from the settings file, section
// "Portas", keys "COM1".."COM255" whose values are device paths.
namespace ComPortMap {

inline constexpr int FirstPort = 1;
inline constexpr int LastPort = 255;
inline constexpr char Section[] = "Portas";

bool IsValidPort(int number);

// The device a number opens without an override; for a number outside 1..255 the text
// "COM<n>", which opens nothing.
QString DefaultDevicePath(int number);

// The override for the number when it has a non-empty one, else the default.
QString DevicePath(int number, const QHash<int, QString>& overrides);

// The overrides of section "Portas" of the settings file: keys "COM" + a number 1..255 (any
// letter case, "COM03" is port 3) with a non-blank value, trimmed; a later key for the same number
// wins. The settings reader reads the section the same way.
QHash<int, QString> ReadOverrides(const IniFile& settings);

} // namespace ComPortMap
