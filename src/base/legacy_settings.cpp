#include "base/legacy_settings.h"

#include "base/ini_file.h"

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace {

// Registry names are compared without letter case, like the file's keys.
QVariant find(const LegacyValues& values, const QString& name) {
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

void copyText(const LegacyValues& from, const QString& name, IniFile& ini, const QString& section) {
    const QVariant v = find(from, name);
    if (v.isValid())
        ini.setValue(section, name, v.toString());
}

void copyInt(const LegacyValues& from, const QString& name, IniFile& ini, const QString& section,
             const QString& target) {
    const QVariant v = find(from, name);
    if (v.isValid())
        ini.setValue(section, target, v.toInt());
}

} // namespace

void ImportLegacyValues(const LegacyValues& config, const LegacyValues* advanced, IniFile& ini) {
    const QString cfg = QStringLiteral("Config");
    for (const char16_t* name :
         {u"1ª Linha", u"2ª Linha", u"CEP_Default", u"Cidade_Default", u"Colunas", u"Discagem",
          u"Formato 1ª Linha", u"Formato 2ª Linha", u"Modem", u"PathBD", u"PathLogoImpressao",
          u"ProgDefault10Eco", u"ProgDefault10", u"ProgDefault5"})
        copyText(config, QString::fromUtf16(name), ini, cfg);
    for (const char16_t* name : {u"ComPort", u"Estado_Default", u"NºRings"})
        copyInt(config, QString::fromUtf16(name), ini, cfg, QString::fromUtf16(name));
    copyInt(config, QStringLiteral("OpcoesGerais"), ini, cfg, QStringLiteral("Opcoes Gerais"));

    if (!advanced)
        return;
    const QString adv = QStringLiteral("ConfigAvancada");
    const QString nat = QStringLiteral("NºAT");
    const int count = find(*advanced, nat).toInt();
    const bool pause = find(*advanced, QStringLiteral("Habilita Pausa")).toBool();

    QVariant pabx = find(*advanced, QStringLiteral("PABX"));
    if (!pabx.isValid()) {
        int derived = 0;
        for (int i = 1; i <= count; ++i) {
            const QString line = find(*advanced, QStringLiteral("AT%1").arg(i)).toString();
            if (line.compare(QLatin1String("X4"), Qt::CaseInsensitive) == 0)
                derived = pause ? 2 : 0;
            else if (line.compare(QLatin1String("X3"), Qt::CaseInsensitive) == 0)
                derived = 1;
        }
        pabx = derived;
    }

    for (int i = 1; i <= count; ++i)
        copyText(*advanced, QStringLiteral("AT%1").arg(i), ini, adv);
    copyInt(*advanced, nat, ini, adv, nat);
    copyText(*advanced, QStringLiteral("Digito"), ini, adv); // an integer becomes its decimal text
    if (find(*advanced, QStringLiteral("Habilita Pausa")).isValid())
        ini.setValue(adv, QStringLiteral("Habilita Pausa"), pause ? 1 : 0);
    for (const char* name : {"Intervalo", "Speaker", "Volume"})
        copyInt(*advanced, QString::fromLatin1(name), ini, adv, QString::fromLatin1(name));
    ini.setValue(adv, QStringLiteral("PABX"), pabx.toInt());
}

#ifdef Q_OS_WIN
namespace {
LegacyValues readKey(QSettings& key) {
    LegacyValues values;
    for (const QString& name : key.childKeys())
        values.insert(name, key.value(name));
    return values;
}
} // namespace

bool ImportLegacySettings(IniFile& ini) {
    QSettings config(QStringLiteral("HKEY_CURRENT_USER\\Software\\ZRV Telvora\\Config"),
                     QSettings::NativeFormat);
    if (config.childKeys().isEmpty() && config.childGroups().isEmpty())
        return false;
    const LegacyValues configValues = readKey(config);
    QSettings advanced(QStringLiteral("HKEY_CURRENT_USER\\Software\\ZRV Telvora\\Config\\Avançado"),
                       QSettings::NativeFormat);
    const bool hasAdvanced = !advanced.childKeys().isEmpty();
    const LegacyValues advancedValues = hasAdvanced ? readKey(advanced) : LegacyValues();
    ImportLegacyValues(configValues, hasAdvanced ? &advancedValues : nullptr, ini);
    advanced.clear();
    config.clear();
    return true;
}
#else
// No registry on this platform: there is nothing to import.
bool ImportLegacySettings(IniFile&) {
    return false;
}
#endif
