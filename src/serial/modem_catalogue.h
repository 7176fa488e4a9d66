#pragma once

#include <QString>
#include <QStringList>

#include "base/ini_file.h"

// The modem catalogue Modem.ini in the application folder: the modem models with their
// initialisation strings (AT commands without "AT", separated by single spaces) and the selected
// model. Layout, with section and key names compared without letter case:
//
//   [MODEMS]  N<i>=model name   STR<i>=initialisation string      (i = 1 .. Num_modems)
//   [INFO]    Num_modems=<count>   MODEM=<selected index, from 1>
class ModemCatalogue {
public:
    // The catalogue file in `folder`: an existing file whose name is "modem.ini" in any letter case,
    // otherwise "Modem.ini".
    static QString filePath(const QString& folder);

    // Writes the catalogue with exactly the two default models when `folder` has none. An existing
    // catalogue is never rewritten. False with a message in *error when it cannot be written.
    static bool ensureExists(const QString& folder, QString* error = nullptr);

    // The two default models as a new catalogue holds them.
    static ModemCatalogue defaults();

    // Reads the catalogue; false (and an empty catalogue) when the file cannot be read.
    bool load(const QString& path);
    // False with a message in *error when the file cannot be written.
    bool save(const QString& path, QString* error = nullptr) const;

    int count() const;                   // "Num_modems", at most the highest N<i> present
    int selected() const;                // "MODEM", 1-based; 1 when missing
    QString name(int index) const;       // "N<index>"
    QString initString(int index) const; // "STR<index>"
    QStringList names() const;           // N1 .. N<count>

    void setSelected(int index);
    void setInitString(int index, const QString& initString);

    const IniFile& ini() const { return m_ini; }

private:
    IniFile m_ini;
};

// The built-in initialisation string of a model, as the "Restaurar padrão" button restores it
// (model names compared exactly); empty for a model without one.
QString BuiltInInitString(const QString& modelName);

// Splits an initialisation string into its commands: a space is appended, then each piece up to and
// including the next space is cut off and trimmed, so a double space yields an empty command.
QStringList SplitInitString(const QString& initString);
