#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

class IniFile;

// Older installations kept the settings in the per-user registry, under "Software\ZRV Telvora\Config"
// and its subkey "Avançado". They are copied once into ZRVConfig.ini and then removed.

// Values of one registry key by name: texts as QString, numbers as int.
using LegacyValues = QHash<QString, QVariant>;

// Copies the values of the "Config" key into section "Config" and, when `advanced` is given, the
// values of the "Avançado" subkey into section "ConfigAvancada": an integer "Digito" becomes its
// decimal text, a missing "PABX" is derived from the advanced lines ("X4" gives 2 with the pause
// enabled and 0 without, "X3" gives 1, the last such line decides), "OpcoesGerais" is stored as
// "Opcoes Gerais". Values the store lacks are not written.
void ImportLegacyValues(const LegacyValues& config, const LegacyValues* advanced, IniFile& ini);

// Imports the registry store into `ini` and deletes it. Answers whether anything was imported;
// always false where there is no registry.
bool ImportLegacySettings(IniFile& ini);
