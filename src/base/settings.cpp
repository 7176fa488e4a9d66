#include "base/settings.h"

#include "base/app_paths.h"
#include "base/ini_file.h"
#include "base/legacy_settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kAdvanced = QStringLiteral("ConfigAvancada");
const QString kPortas = QStringLiteral("Portas");
const QString kNAT = QStringLiteral("NºAT");
const QString kBancoDeDados = QStringLiteral("BancoDeDados");

// More advanced lines than any modem string holds; guards against a damaged count.
constexpr int kMaxAdvancedLines = 999;
constexpr int kMaxComPort = 255;

// One key of the file and the field that keeps it (exactly one of the three is set).
struct Key {
    const QString& section;
    QString name;
    QString Settings::*text = nullptr;
    int Settings::*number = nullptr;
    bool Settings::*flag = nullptr;
};

// Section "Config" in the order a new file lists it.
const Key kConfigKeys[] = {
    {kConfig, QStringLiteral("PathBD"), &Settings::PathBD},
    {kConfig, QStringLiteral("1ª Linha"), &Settings::Linha1},
    {kConfig, QStringLiteral("2ª Linha"), &Settings::Linha2},
    {kConfig, QStringLiteral("CEP_Default"), &Settings::CEP_Default},
    {kConfig, QStringLiteral("Cidade_Default"), &Settings::Cidade_Default},
    {kConfig, QStringLiteral("Colunas"), &Settings::Colunas},
    {kConfig, QStringLiteral("ComPort"), nullptr, &Settings::ComPort},
    {kConfig, QStringLiteral("Discagem"), &Settings::Discagem},
    {kConfig, QStringLiteral("Estado_Default"), nullptr, &Settings::Estado_Default},
    {kConfig, QStringLiteral("Formato 1ª Linha"), &Settings::Formato1Linha},
    {kConfig, QStringLiteral("Formato 2ª Linha"), &Settings::Formato2Linha},
    {kConfig, QStringLiteral("Modem"), &Settings::Modem},
    {kConfig, QStringLiteral("NºRings"), nullptr, &Settings::NRings},
    {kConfig, QStringLiteral("Opcoes Gerais"), nullptr, &Settings::OpcoesGerais},
    {kConfig, QStringLiteral("PathLogoImpressao"), &Settings::PathLogoImpressao},
    {kConfig, QStringLiteral("ProgDefault10Eco"), &Settings::ProgDefault10Eco},
    {kConfig, QStringLiteral("ProgDefault10"), &Settings::ProgDefault10},
    {kConfig, QStringLiteral("ProgDefault5"), &Settings::ProgDefault5},
};

// Section "ConfigAvancada" after "NºAT" and the lines "AT1" ...
const Key kAdvancedKeys[] = {
    {kAdvanced, QStringLiteral("Digito"), &Settings::Digito},
    {kAdvanced, QStringLiteral("Habilita Pausa"), nullptr, nullptr, &Settings::HabilitaPausa},
    {kAdvanced, QStringLiteral("Intervalo"), nullptr, &Settings::Intervalo},
    {kAdvanced, QStringLiteral("PABX"), nullptr, &Settings::PABX},
    {kAdvanced, QStringLiteral("Aguarda_Tom"), nullptr, &Settings::AguardaTom},
    {kAdvanced, QStringLiteral("Speaker"), nullptr, &Settings::Speaker},
    {kAdvanced, QStringLiteral("Volume"), nullptr, &Settings::Volume},
};

const char kDefaultColumns[] = "ID_CLIENTE, NOME, FONE1, FONE2, FONE3, DATA_CRIACAO, HORA_CRIACAO, PRODUTO, "
                               "VERSAO_PRODUTO, CODIGO_PAINEL, CODIGO_PC, FONE_PAINEL, P_ENDERECO, P_NUMERO, "
                               "P_BAIRRO, P_COMPLEMENTO, P_CIDADE, P_ESTADO, P_CEP";

void readKey(const IniFile& ini, const Key& key, Settings& s) {
    if (key.text)
        s.*key.text = ini.value(key.section, key.name, s.*key.text);
    else if (key.number)
        s.*key.number = ini.intValue(key.section, key.name, s.*key.number);
    else
        s.*key.flag = ini.boolValue(key.section, key.name, s.*key.flag);
}

void writeKey(IniFile& ini, const Key& key, const Settings& s) {
    if (key.text)
        ini.setValue(key.section, key.name, s.*key.text);
    else if (key.number)
        ini.setValue(key.section, key.name, s.*key.number);
    else
        ini.setValue(key.section, key.name, s.*key.flag ? 1 : 0);
}

QString atKey(int i) {
    return QStringLiteral("AT%1").arg(i);
}

// "COM12" -> 12; 0 for any other key.
int comNumber(const QString& key) {
    if (!key.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return 0;
    const QStringView digits = QStringView(key).mid(3);
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return 0;
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok && n >= 1 && n <= kMaxComPort ? n : 0;
}

QString underFolder(const QString& folder, const QString& relative) {
    return QDir::toNativeSeparators(QDir(folder).filePath(relative));
}

bool samePath(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return QDir::cleanPath(QDir::fromNativeSeparators(a))
               .compare(QDir::cleanPath(QDir::fromNativeSeparators(b)), cs) == 0;
}

// Sets `field` and its key to `wanted` unless it already names the same path.
bool resetPath(IniFile& ini, const QString& key, QString& field, const QString& wanted) {
    if (samePath(field, wanted))
        return false;
    field = wanted;
    ini.setValue(kConfig, key, wanted);
    return true;
}

QString writeError(const QString& path, const QString& reason) {
    return QStringLiteral("Não foi possível gravar o arquivo de configurações %1.\r%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QString Settings::atLine(int i) const {
    return i >= 1 && i < AT.size() ? AT.at(i) : QString();
}

void Settings::setAtLines(const QStringList& commands) {
    NAT = int(commands.size());
    AT = QStringList{QString()} + commands;
}

QString SettingsFileName() {
    return QStringLiteral("ZRVConfig.ini");
}

QStringList DefaultAdvancedLines() {
    return {"&C0",     "&D2",     "&H0",     "&I0",     "&K0",     "&N1", "E0",  "Q0",
            "S00=000", "S10=255", "S12=050", "S07=120", "S13=001", "X3",  "&F0", "V0"};
}

Settings DefaultSettings(const QString& folder) {
    Settings s;
    s.PathBD = QDir::toNativeSeparators(folder);
    s.Linha1 = QStringLiteral("Empresa de Segurança Eletrônica");
    s.Linha2 = QStringLiteral("São Paulo - SP");
    s.Colunas = QString::fromLatin1(kDefaultColumns);
    s.PathLogoImpressao = underFolder(folder, QStringLiteral("Templates/LogoImpressao.jpg"));
    s.ProgDefault10Eco = underFolder(folder, QStringLiteral("Templates/Orvan10Eco/fabrica10Eco.zrv"));
    s.ProgDefault10 = underFolder(folder, QStringLiteral("Templates/Orvan10/fabrica10.zrv"));
    s.ProgDefault5 = underFolder(folder, QStringLiteral("Templates/Orvan5/fabrica5.zrv"));
    return s;
}

Settings ReadSettings(const IniFile& ini, const QString& folder) {
    Settings s = DefaultSettings(folder);
    for (const Key& key : kConfigKeys)
        readKey(ini, key, s);
    s.BancoDeDados = ini.value(kConfig, kBancoDeDados).trimmed();
    const int count = qBound(0, ini.intValue(kAdvanced, kNAT, s.NAT), kMaxAdvancedLines);
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(ini.value(kAdvanced, atKey(i)));
    s.setAtLines(lines);
    for (const Key& key : kAdvancedKeys)
        readKey(ini, key, s);
    for (const QString& key : ini.keys(kPortas)) {
        const int n = comNumber(key);
        const QString device = ini.value(kPortas, key).trimmed();
        if (n > 0 && !device.isEmpty())
            s.Portas.insert(n, device);
    }
    return s;
}

void WriteSettings(IniFile& ini, const Settings& s) {
    for (const Key& key : kConfigKeys)
        writeKey(ini, key, s);
    if (!s.BancoDeDados.isEmpty())
        ini.setValue(kConfig, kBancoDeDados, s.BancoDeDados);
    ini.setValue(kAdvanced, kNAT, s.NAT);
    for (int i = 1; i <= s.NAT; ++i)
        ini.setValue(kAdvanced, atKey(i), s.atLine(i));
    for (const Key& key : kAdvancedKeys)
        writeKey(ini, key, s);
    for (const QString& key : ini.keys(kPortas))
        if (const int n = comNumber(key); n > 0 && !s.Portas.contains(n))
            ini.removeKey(kPortas, key);
    QList<int> numbers = s.Portas.keys();
    std::sort(numbers.begin(), numbers.end());
    for (int n : numbers)
        ini.setValue(kPortas, QStringLiteral("COM%1").arg(n), s.Portas.value(n));
}

bool WriteSettingsFile(const QString& path, const Settings& settings, QString* error) {
    IniFile ini;
    ini.load(path); // a missing file starts empty
    WriteSettings(ini, settings);
    QString reason;
    if (ini.save(path, &reason))
        return true;
    if (error)
        *error = writeError(path, reason);
    return false;
}

bool WriteConfigKeys(const QString& path, const Settings& settings, const QStringList& names,
                     QString* error) {
    IniFile ini;
    ini.load(path);
    for (const Key& key : kConfigKeys)
        if (names.contains(key.name))
            writeKey(ini, key, settings);
    QString reason;
    if (ini.save(path, &reason))
        return true;
    if (error)
        *error = writeError(path, reason);
    return false;
}

bool NormaliseSettingsPaths(IniFile& ini, Settings& s, const QString& folder) {
    const Settings defaults = DefaultSettings(folder);
    QString pathBD = s.PathBD;
    if (pathBD.endsWith(u'\\') || pathBD.endsWith(u'/'))
        pathBD.chop(1);
    bool changed = false;
    if (!samePath(pathBD, defaults.PathBD) || pathBD.isEmpty()) {
        pathBD = defaults.PathBD;
        ini.setValue(kConfig, QStringLiteral("PathBD"), pathBD);
        changed = true;
    }
    s.PathBD = pathBD;
    changed |=
        resetPath(ini, QStringLiteral("PathLogoImpressao"), s.PathLogoImpressao, defaults.PathLogoImpressao);
    changed |=
        resetPath(ini, QStringLiteral("ProgDefault10Eco"), s.ProgDefault10Eco, defaults.ProgDefault10Eco);
    changed |= resetPath(ini, QStringLiteral("ProgDefault10"), s.ProgDefault10, defaults.ProgDefault10);
    changed |= resetPath(ini, QStringLiteral("ProgDefault5"), s.ProgDefault5, defaults.ProgDefault5);
    return changed;
}

QString DatabaseNameOf(const Settings& settings) {
    if (!settings.BancoDeDados.isEmpty())
        return settings.BancoDeDados;
    return QDir(QDir::fromNativeSeparators(settings.PathBD)).filePath(QStringLiteral("zrv.fdb"));
}

QString ConfiguredDatabaseName() {
    IniFile ini;
    const QString path = ApplicationPath(SettingsFileName());
    if (QFileInfo::exists(path))
        ini.load(path);
    const QString configured = ini.value(kConfig, kBancoDeDados).trimmed();
    return configured.isEmpty() ? ApplicationPath(QStringLiteral("zrv.fdb")) : configured;
}

Settings CarregaConfiguracoes(QString* error) {
    const QString folder = ApplicationFolder();
    const QString path = ApplicationPath(SettingsFileName());
    const bool exists = QFileInfo::exists(path);
    IniFile ini;
    if (exists)
        ini.load(path);

    bool dirty = ImportLegacySettings(ini);
    if (!exists && !dirty) {
        // A new file gets section "Config" with its defaults and working advanced lines.
        Settings fresh = DefaultSettings(folder);
        fresh.setAtLines(DefaultAdvancedLines());
        WriteSettings(ini, fresh);
        dirty = true;
    }
    Settings settings = ReadSettings(ini, folder);
    dirty |= NormaliseSettingsPaths(ini, settings, folder);

    QString reason;
    if (dirty && !ini.save(path, &reason) && error)
        *error = writeError(path, reason);
    return settings;
}

Settings ReadSettingsOrDefaults() {
    const QString folder = ApplicationFolder();
    const QString path = ApplicationPath(SettingsFileName());
    if (QFileInfo::exists(path)) {
        IniFile ini;
        ini.load(path);
        return ReadSettings(ini, folder);
    }
    Settings settings = DefaultSettings(folder);
    settings.setAtLines(DefaultAdvancedLines());
    return settings;
}
