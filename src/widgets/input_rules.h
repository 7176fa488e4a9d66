#pragma once

#include <QString>

class QLineEdit;

// Typing rules of the data-entry windows.
namespace InputRules {

inline const QString kDigits = QStringLiteral("0123456789");
// Telephone numbers: digits, "#", "*" and "," (a pause).
inline const QString kPhoneCharacters = QStringLiteral("0123456789#*,");
// Postal codes: digits and "-".
inline const QString kPostalCodeCharacters = QStringLiteral("0123456789-");

// Only `characters` can be typed or pasted into `edit` (Backspace and the editing keys still work).
void AcceptOnly(QLineEdit* edit, const QString& characters);

} // namespace InputRules
