#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class IniFile;

// The settings of ZRVConfig.ini as the program keeps them for the whole run. Field names follow the
// file's keys (the key is given where it cannot be a C++ name). The dialogs that change settings
// edit a copy and write it with WriteSettings; the program then reloads with CarregaConfiguracoes.
struct Settings {
    // Section "Config".
    QString PathBD;         // application folder: zrv.fdb, Templates, help, ring.wav
    QString Linha1;         // "1ª Linha": print-header title
    QString Linha2;         // "2ª Linha": print-header subtitle
    QString CEP_Default;    // postal code for a new customer
    QString Cidade_Default; // city for a new customer
    QString Colunas;        // visible customer-list columns, in order (default in DefaultSettings)
    int ComPort = 1;
    QString Discagem = QStringLiteral("Tom");         // or "Pulso"
    int Estado_Default = -1;                          // state for a new customer, -1 none
    QString Formato1Linha = QStringLiteral("fsBold"); // "Formato 1ª Linha"
    QString Formato2Linha;                            // "Formato 2ª Linha"
    QString Modem = QStringLiteral("U.S. Robotics Serial Externo ou Interno"); // modem model name
    int NRings = 2;                                                            // "NºRings"
    int OpcoesGerais = 10; // "Opcoes Gerais": general options bit set
    QString PathLogoImpressao;
    QString ProgDefault10Eco;
    QString ProgDefault10;
    QString ProgDefault5;
    // "BancoDeDados": the database when it is not zrv.fdb in the application folder, above all
    // "host:path" of a database that several workstations share on a Firebird server. Written only
    // by whoever sets up the workstation; empty (and absent from a new file) otherwise.
    QString BancoDeDados;

    // Section "ConfigAvancada".
    int NAT = 16; // "NºAT": number of advanced command lines
    QStringList AT =
        QStringList(17); // AT[1] .. AT[NAT] ("AT1" ..), one command without "AT" each; AT[0] empty
    QString Digito = QStringLiteral("0"); // outside-line digit(s)
    bool HabilitaPausa = false;           // "Habilita Pausa"
    int Intervalo = 2;
    int PABX = 0;
    int AguardaTom = 0; // "Aguarda_Tom"
    int Speaker = 1;
    int Volume = 0;

    // Section "Portas": COM port number (1..255) to device path, for numbers whose device is not
    // the platform's default (a USB modem, a test's pseudo-terminal).
    QHash<int, QString> Portas;

    // Advanced command line i (1-based); empty when out of range.
    QString atLine(int i) const;
    // Replaces the advanced lines by `commands` (NAT = their count, AT[0] empty).
    void setAtLines(const QStringList& commands);
};

// The file name of the settings file inside the application folder.
QString SettingsFileName();

// The values written when the settings file is created and used for missing keys, with paths under
// `folder` (the application folder).
Settings DefaultSettings(const QString& folder);

// The advanced command lines a new settings file carries, so that a fresh installation initialises
// the modem with working commands before the communication dialog was ever confirmed.
QStringList DefaultAdvancedLines();

// Reads every key with its default; the advanced lines are read into a list sized NAT + 1.
Settings ReadSettings(const IniFile& ini, const QString& folder);

// Writes every key of `settings` into `ini`, keeping keys and comments it does not know.
void WriteSettings(IniFile& ini, const Settings& settings);
// The same on the file `path`; false with a message in *error when it cannot be written.
bool WriteSettingsFile(const QString& path, const Settings& settings, QString* error = nullptr);
// Writes only the named keys of section "Config" (as the file names them, "Opcoes Gerais") from
// `settings` into the file `path`; every other key and comment stays as it is. False with a message
// in *error when the file cannot be written, and the file is then unchanged.
bool WriteConfigKeys(const QString& path, const Settings& settings, const QStringList& names,
                     QString* error = nullptr);

// Resets PathBD (one trailing separator removed) to `folder`, and PathLogoImpressao and the three
// factory template paths to their defaults under `folder`, in `settings` and in `ini`. Answers
// whether anything was changed.
bool NormaliseSettingsPaths(IniFile& ini, Settings& settings, const QString& folder);

// The database the program opens: "BancoDeDados" when set, else zrv.fdb in PathBD.
QString DatabaseNameOf(const Settings& settings);

// The same from the settings file of the application folder as it stands (zrv.fdb in the
// application folder without a file or without the key), for the start, which opens the database
// before the main window loads the settings. Reads only: creates and changes nothing.
QString ConfiguredDatabaseName();

// The settings of the application folder's file as it stands, or, without a file, those a new
// installation starts with (the advanced lines included). Reads only: creates and changes nothing
// (the command line uses it, so that a script never writes the desktop's settings).
Settings ReadSettingsOrDefaults();

// The settings load of the main window: imports the legacy store (Windows only), creates the file
// in the application folder when missing, reads it and normalises its paths, writing the file back
// when something changed. A file that cannot be written still yields the settings read; the
// failure is described in *error.
Settings CarregaConfiguracoes(QString* error = nullptr);
