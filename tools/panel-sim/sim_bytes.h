#pragma once

#include <QByteArray>
#include <QString>

// Small byte helpers of the simulated panel. They are written here on purpose, apart from the
// application's own frame code, so that a mistake in one side is caught by the other.
namespace sim {

// XOR of the bytes, starting from 0.
quint8 xorOf(const QByteArray& bytes);

// A four-digit code as the panel keeps it: one nibble per digit, first digit high, digit 0 kept
// as nibble 0xA ("1034" -> 0x1A 0x34). Shorter texts are left-padded with "0"; any character
// that is not a decimal digit makes the result empty.
QByteArray packCode(const QString& digits);
// The reverse: nibble 0xA reads "0"; other nibbles above 9 read as hexadecimal letters.
QString unpackCode(const QByteArray& twoBytes);

quint8 toBcd(int value);             // 0..99
int fromBcd(quint8 value, bool* ok); // false when a nibble is above 9

// "B3 C4 18" style text and back (separators ignored).
QString hex(const QByteArray& bytes);
QByteArray fromHex(const QString& text, bool* ok = nullptr);

// A version text "M.m" as the identification answer carries it: M in the high nibble, m in the
// low one ("1.3" -> 0x13, "1.10" -> 0x1A). -1 when the text is not of that form.
int versionByte(const QString& text);
QString versionText(quint8 byte);

} // namespace sim
