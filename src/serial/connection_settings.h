#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct Settings;
class IniFile;

// What the communication settings dialog decides and writes, kept apart from its widgets: the keys
// of ZRVConfig.ini it owns, the model-name rule, the S10 floor and which port numbers exist.
namespace ConnectionSettings {

// The two model names the settings know by themselves: a name containing "USB" is the USB model,
// else a name containing "Interno" is the serial one; any other name stays as it is.
QString NormalisedModemName(const QString& name);

// The commands as they are saved: an "S10" command whose value (characters 5 to 11) is below 15
// becomes "S10=015", because a shorter carrier-loss delay drops the 300 bit/s line on every pause.
QStringList CommandsToSave(const QStringList& commands);

// Writes the dialog's keys of `settings` into `ini` and nothing else: section "ConfigAvancada"
// ("Speaker", "Volume", "NºAT", "Digito", "Intervalo", "Habilita Pausa", "PABX", "Aguarda_Tom",
// "AT1".."ATn" from settings.AT) and section "Config" ("ComPort", "Modem", "NºRings",
// "Discagem"). Other keys, comments and the order of the file stay as they are.
void WriteKeys(IniFile& ini, const Settings& settings);

// The same on the file `path`, written whole at once: when it cannot be written the file keeps its
// old contents and *error says why.
bool SaveFile(const QString& path, const Settings& settings, QString* error = nullptr);

// Writes only "Config"/"Modem" into the file (the dialog does so as soon as it normalises the name).
bool SaveModemName(const QString& path, const QString& model, QString* error = nullptr);

// The COM numbers 1..255 whose device exists: its path (the default or the override of section
// "Portas") is one of `systemLocations` (the serial ports the system lists), or it is an override
// that names an existing device file (a pseudo-terminal, a device the system does not list).
QList<int> ExistingPortNumbers(const QStringList& systemLocations, const QHash<int, QString>& overrides);

// The serial ports this machine lists, by device path.
QStringList SystemSerialPorts();

} // namespace ConnectionSettings
