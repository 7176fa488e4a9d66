#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// Encodings of the programming image fields: what an editor field's text becomes in image bytes
// and how image bytes are shown again. The same functions serve the editors, the storage mapping
// and the programming report, so that all three read the image the same way.
namespace ImageField {

// number: unsigned 0..255 from a decimal text. An empty (or non-numeric) text gives `emptyValue`;
// values below 0 become 0 and values above 255 become 255.
quint8 EncodeNumber(const QString& text, quint8 emptyValue);
QString DecodeNumber(quint8 byte);

// hour: two decimal digits as packed BCD ("18" -> 0x18, "7" -> 0x07). A text that is empty, not a
// number or above `maxValue` (23 for hours, 59 for minutes) writes `defaultByte` instead.
quint8 EncodeHour(const QString& text, int maxValue, quint8 defaultByte);
// The byte as two hexadecimal digits ("18", or "2A" for a byte that holds no valid BCD value).
QString DecodeHour(quint8 byte);
// The decimal value a decoded hour text stands for, when it is a two-digit BCD number <= maxValue.
std::optional<int> HourValue(quint8 byte, int maxValue);

// digit pair: one or two hexadecimal characters read as a byte ("3" -> 0x03, "1C" -> 0x1C);
// an empty or invalid text gives 0x00.
quint8 EncodeDigitPair(const QString& text);
// Report digits: 0x01..0x0F show as one hexadecimal digit, anything else as empty.
QString DecodeReportDigit(quint8 byte);
// Report codes: bytes below 0x10 show as empty, others as two hexadecimal digits.
QString DecodeReportCode(quint8 byte);

// code: four digits, left-padded with "0", one nibble each with 0 stored as 0xA; empty gives
// 0xFF 0xFF. Hexadecimal letters that a decoded code may show are kept as their nibble, so a code
// decoded from the panel is written back unchanged. A text longer than four characters or with
// other characters counts as empty.
std::array<quint8, 2> EncodeCode(const QString& text);
// Four hexadecimal digits with "A" shown as "0", when both bytes lie in 0x11..0x9A or
// 0xA1..0xAA; otherwise empty.
QString DecodeCode(quint8 first, quint8 second);

// account: encoded as a code (the letters B..F are part of the account alphabet).
std::array<quint8, 2> EncodeAccount(const QString& text);
// Four hexadecimal digits with "A" shown as "0", without range check.
QString DecodeAccount(quint8 first, quint8 second);

// phone: up to 16 nibbles, high nibble first: 1..9 as themselves, 0 as 0xA, "*" 0xB, "#" 0xC,
// "," (pause) 0xE; other characters (a typed "D" among them) are skipped, the rest is filled with
// 0xF. A 0xD nibble the panel holds still shows as "D".
std::array<quint8, 8> EncodePhone(const QString& text);
// The nibbles up to the first 0xF, with A -> "0", B -> "*", C -> "#", E -> ",".
QString DecodePhone(const std::array<quint8, 8>& bytes);

// Duress digit: empty -> 0xFF, "0" -> 0x0A, digit d -> d. Decoding shows 0x01..0x09 as the digit,
// 0x0A as "0" and anything else (0xFF = none) as empty.
quint8 EncodeDuressDigit(const QString& text);
QString DecodeDuressDigit(quint8 byte);

// option text code: the leading two characters of a list entry read as hexadecimal
// ("88 - Contact ID" -> 0x88); no value for entries that do not start with two hex digits.
std::optional<quint8> EncodeOptionTextCode(const QString& entry);

// Panel code and PC code of the customer screen: left-padded with "0" to four digits, every "0"
// replaced by "A", read as two hexadecimal bytes ("7" -> 0xAA 0xA7). No value for a text that
// has more than four characters or characters other than hexadecimal digits.
std::optional<std::array<quint8, 2>> EncodePanelCode(const QString& text);
// Two hexadecimal digits per byte with "A" shown as "0" (no range check).
QString DecodePanelCode(quint8 first, quint8 second);

} // namespace ImageField
