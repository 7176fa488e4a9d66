#include "sim_bytes.h"

#include <QStringList>

#include <cctype>

namespace sim {

quint8 xorOf(const QByteArray& bytes) {
    quint8 x = 0;
    for (char c : bytes)
        x ^= quint8(c);
    return x;
}

QByteArray packCode(const QString& digits) {
    QString text = digits.trimmed();
    if (text.size() > 4)
        return {};
    text = text.rightJustified(4, QLatin1Char('0'));
    QByteArray out(2, '\0');
    for (int i = 0; i < 4; ++i) {
        const QChar c = text.at(i);
        if (!c.isDigit() || c.unicode() > '9')
            return {};
        int nibble = c.unicode() - '0';
        if (nibble == 0)
            nibble = 0xA;
        out[i / 2] = char(quint8(out[i / 2]) | (i % 2 == 0 ? nibble << 4 : nibble));
    }
    return out;
}

QString unpackCode(const QByteArray& twoBytes) {
    QString out;
    for (int i = 0; i < 2 && i < twoBytes.size(); ++i) {
        for (int nibble : {quint8(twoBytes[i]) >> 4, quint8(twoBytes[i]) & 0xF}) {
            if (nibble == 0xA)
                out += QLatin1Char('0');
            else
                out += QString::number(nibble, 16).toUpper();
        }
    }
    return out;
}

quint8 toBcd(int value) {
    value = qBound(0, value, 99);
    return quint8(((value / 10) << 4) | (value % 10));
}

int fromBcd(quint8 value, bool* ok) {
    const int hi = value >> 4;
    const int lo = value & 0xF;
    if (ok)
        *ok = hi <= 9 && lo <= 9;
    return hi * 10 + lo;
}

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QByteArray fromHex(const QString& text, bool* ok) {
    QByteArray digits;
    bool good = true;
    for (QChar c : text) {
        if (c.isSpace() || c == QLatin1Char(':') || c == QLatin1Char(','))
            continue;
        if (!std::isxdigit(c.toLatin1()))
            good = false;
        digits += c.toLatin1();
    }
    if (digits.size() % 2 != 0)
        good = false;
    if (ok)
        *ok = good;
    return good ? QByteArray::fromHex(digits) : QByteArray();
}

int versionByte(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 2)
        return -1;
    bool okMajor = false, okMinor = false;
    const int major = parts[0].toInt(&okMajor);
    const int minor = parts[1].toInt(&okMinor);
    if (!okMajor || !okMinor || major < 0 || major > 15 || minor < 0 || minor > 15)
        return -1;
    return (major << 4) | minor;
}

QString versionText(quint8 byte) {
    return QStringLiteral("%1.%2").arg(byte >> 4).arg(byte & 0xF);
}

} // namespace sim
