#include "serial/connection_settings.h"

#include "base/ini_file.h"
#include "base/settings.h"
#include "serial/com_port_map.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace ConnectionSettings {

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kAdvanced = QStringLiteral("ConfigAvancada");
const QString kSerialModel = QStringLiteral("U.S. Robotics Serial Externo ou Interno");
const QString kUsbModel = QStringLiteral("U.S. Robotics USB");
constexpr int kS10Floor = 15;

// Loads `path` (a missing file starts empty), applies `change` and writes the file whole.
template <typename Change> bool rewriteKeys(const QString& path, QString* error, Change change) {
    IniFile ini;
    ini.load(path);
    change(ini);
    QString reason;
    if (ini.save(path, &reason))
        return true;
    if (error)
        *error = QStringLiteral("Não foi possível gravar o arquivo de configurações %1.\r%2")
                     .arg(QDir::toNativeSeparators(path), reason);
    return false;
}

} // namespace

QString NormalisedModemName(const QString& name) {
    if (name.contains(QLatin1String("USB")))
        return kUsbModel;
    if (name.contains(QLatin1String("Interno")))
        return kSerialModel;
    return name;
}

QStringList CommandsToSave(const QStringList& commands) {
    QStringList out = commands;
    for (QString& command : out) {
        if (!command.startsWith(QLatin1String("S10")))
            continue;
        bool ok = false;
        const int value = command.mid(4, 7).toInt(&ok);
        if (ok && value < kS10Floor)
            command = QStringLiteral("S10=015");
    }
    return out;
}

void WriteKeys(IniFile& ini, const Settings& s) {
    ini.setValue(kAdvanced, QStringLiteral("Speaker"), s.Speaker);
    ini.setValue(kAdvanced, QStringLiteral("Volume"), s.Volume);
    ini.setValue(kAdvanced, QStringLiteral("NºAT"), s.NAT);
    ini.setValue(kAdvanced, QStringLiteral("Digito"), s.Digito);
    ini.setValue(kAdvanced, QStringLiteral("Intervalo"), s.Intervalo);
    ini.setValue(kAdvanced, QStringLiteral("Habilita Pausa"), s.HabilitaPausa ? 1 : 0);
    ini.setValue(kAdvanced, QStringLiteral("PABX"), s.PABX);
    ini.setValue(kAdvanced, QStringLiteral("Aguarda_Tom"), s.AguardaTom);
    for (int i = 1; i <= s.NAT; ++i)
        ini.setValue(kAdvanced, QStringLiteral("AT%1").arg(i), s.atLine(i));
    ini.setValue(kConfig, QStringLiteral("ComPort"), s.ComPort);
    ini.setValue(kConfig, QStringLiteral("Modem"), s.Modem);
    ini.setValue(kConfig, QStringLiteral("NºRings"), s.NRings);
    ini.setValue(kConfig, QStringLiteral("Discagem"), s.Discagem);
}

bool SaveFile(const QString& path, const Settings& settings, QString* error) {
    return rewriteKeys(path, error, [&settings](IniFile& ini) { WriteKeys(ini, settings); });
}

bool SaveModemName(const QString& path, const QString& model, QString* error) {
    return rewriteKeys(path, error,
                       [&model](IniFile& ini) { ini.setValue(kConfig, QStringLiteral("Modem"), model); });
}

QList<int> ExistingPortNumbers(const QStringList& systemLocations, const QHash<int, QString>& overrides) {
    QList<int> numbers;
    for (int n = ComPortMap::FirstPort; n <= ComPortMap::LastPort; ++n) {
        const QString device = ComPortMap::DevicePath(n, overrides);
        const bool overridden = !overrides.value(n).trimmed().isEmpty();
        if (systemLocations.contains(device) || (overridden && QFileInfo::exists(device)))
            numbers.append(n);
    }
    return numbers;
}

QStringList SystemSerialPorts() {
    QStringList locations;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        locations.append(info.systemLocation());
    return locations;
}

} // namespace ConnectionSettings
