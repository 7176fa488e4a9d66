#include "programming/image_fields.h"

namespace ImageField {
namespace {

int HexValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

QString Hex2(quint8 byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

bool AllDecimal(const QString& text) {
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            return false;
    }
    return true;
}

// Four characters, left-padded with "0", every "0" stored as the nibble 0xA.
std::optional<std::array<quint8, 2>> PackFourNibbles(const QString& text) {
    if (text.size() > 4)
        return std::nullopt;
    const QString padded = text.rightJustified(4, QLatin1Char('0'));
    int nibbles[4];
    for (int i = 0; i < 4; ++i) {
        const int v = HexValue(padded.at(i));
        if (v < 0)
            return std::nullopt;
        nibbles[i] = v == 0 ? 0xA : v;
    }
    return std::array<quint8, 2>{quint8(nibbles[0] << 4 | nibbles[1]), quint8(nibbles[2] << 4 | nibbles[3])};
}

QString ShowFourNibbles(quint8 first, quint8 second) {
    QString text = Hex2(first) + Hex2(second);
    return text.replace(QLatin1Char('A'), QLatin1Char('0'));
}

bool InCodeRange(quint8 b) {
    return (b >= 0x11 && b <= 0x9A) || (b >= 0xA1 && b <= 0xAA);
}

} // namespace

quint8 EncodeNumber(const QString& text, quint8 emptyValue) {
    const QString t = text.trimmed();
    const bool negative = t.startsWith(QLatin1Char('-'));
    const QString digits = negative ? t.mid(1) : t;
    if (!AllDecimal(digits))
        return emptyValue;
    if (negative)
        return 0;
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    if (!ok || value > 255) // too many digits to convert is above 255 as well
        return 255;
    return quint8(value);
}

QString DecodeNumber(quint8 byte) {
    return QString::number(byte);
}

quint8 EncodeHour(const QString& text, int maxValue, quint8 defaultByte) {
    const QString t = text.trimmed();
    if (!AllDecimal(t))
        return defaultByte;
    bool ok = false;
    const int value = t.toInt(&ok);
    if (!ok || value > maxValue)
        return defaultByte;
    return quint8((value / 10) << 4 | (value % 10));
}

QString DecodeHour(quint8 byte) {
    return Hex2(byte);
}

std::optional<int> HourValue(quint8 byte, int maxValue) {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9)
        return std::nullopt;
    const int value = high * 10 + low;
    if (value > maxValue)
        return std::nullopt;
    return value;
}

quint8 EncodeDigitPair(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 2)
        return 0x00;
    int value = 0;
    for (QChar c : t) {
        const int v = HexValue(c);
        if (v < 0)
            return 0x00;
        value = value << 4 | v;
    }
    return quint8(value);
}

QString DecodeReportDigit(quint8 byte) {
    if (byte >= 0x01 && byte <= 0x0F)
        return QString(QChar(byte < 10 ? '0' + byte : 'A' + byte - 10));
    return {};
}

QString DecodeReportCode(quint8 byte) {
    return byte < 0x10 ? QString() : Hex2(byte);
}

std::array<quint8, 2> EncodeCode(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {0xFF, 0xFF};
    return PackFourNibbles(t).value_or(std::array<quint8, 2>{0xFF, 0xFF});
}

QString DecodeCode(quint8 first, quint8 second) {
    if (!InCodeRange(first) || !InCodeRange(second))
        return {};
    return ShowFourNibbles(first, second);
}

std::array<quint8, 2> EncodeAccount(const QString& text) {
    return EncodeCode(text);
}

QString DecodeAccount(quint8 first, quint8 second) {
    return ShowFourNibbles(first, second);
}

std::array<quint8, 8> EncodePhone(const QString& text) {
    std::array<quint8, 8> out;
    out.fill(0xFF);
    int count = 0;
    for (QChar c : text) {
        if (count == 16)
            break; // only 16 nibbles fit
        int nibble = -1;
        const ushort u = c.unicode();
        if (u >= '1' && u <= '9')
            nibble = u - '0';
        else if (u == '0')
            nibble = 0xA;
        else if (u == '*')
            nibble = 0xB;
        else if (u == '#')
            nibble = 0xC;
        else if (u == ',')
            nibble = 0xE;
        if (nibble < 0)
            continue;
        quint8& b = out[count / 2];
        b = (count % 2 == 0) ? quint8(nibble << 4 | 0x0F) : quint8((b & 0xF0) | nibble);
        ++count;
    }
    return out;
}

QString DecodePhone(const std::array<quint8, 8>& bytes) {
    QString out;
    for (int i = 0; i < 16; ++i) {
        const int nibble = (i % 2 == 0) ? bytes[i / 2] >> 4 : bytes[i / 2] & 0x0F;
        switch (nibble) {
        case 0xF:
            return out;
        case 0xA:
            out += QLatin1Char('0');
            break;
        case 0xB:
            out += QLatin1Char('*');
            break;
        case 0xC:
            out += QLatin1Char('#');
            break;
        case 0xD:
            out += QLatin1Char('D');
            break;
        case 0xE:
            out += QLatin1Char(',');
            break;
        default:
            out += QChar('0' + nibble);
        }
    }
    return out;
}

quint8 EncodeDuressDigit(const QString& text) {
    const QString t = text.trimmed();
    if (t.size() != 1 || !AllDecimal(t))
        return 0xFF;
    const int d = t.at(0).unicode() - '0';
    return d == 0 ? 0x0A : quint8(d);
}

QString DecodeDuressDigit(quint8 byte) {
    if (byte >= 0x01 && byte <= 0x09)
        return QString::number(byte);
    if (byte == 0x0A)
        return QStringLiteral("0");
    return {};
}

std::optional<quint8> EncodeOptionTextCode(const QString& entry) {
    if (entry.size() < 2)
        return std::nullopt;
    const int high = HexValue(entry.at(0));
    const int low = HexValue(entry.at(1));
    if (high < 0 || low < 0)
        return std::nullopt;
    return quint8(high << 4 | low);
}

std::optional<std::array<quint8, 2>> EncodePanelCode(const QString& text) {
    return PackFourNibbles(text.trimmed());
}

QString DecodePanelCode(quint8 first, quint8 second) {
    return ShowFourNibbles(first, second);
}

} // namespace ImageField
