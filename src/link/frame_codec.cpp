#include "link/frame_codec.h"

namespace FrameCodec {

namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

quint8 XorChecksum(const QByteArray& bytes) {
    quint8 x = 0;
    for (const char b : bytes)
        x ^= quint8(b);
    return x;
}

QByteArray BuildFrame(quint8 command, const QByteArray& parameters) {
    QByteArray frame;
    frame.reserve(3 + parameters.size());
    frame.append(char(StartByte));
    frame.append(char(command));
    frame.append(parameters);
    frame.append(char(XorChecksum(frame)));
    return frame;
}

QByteArray BuildShortCommand(quint8 command) {
    return BuildFrame(command, QByteArray(5, '\0'));
}

QByteArray HexToBytes(const QString& text) {
    const QString padded = text.size() % 2 ? QLatin1Char('0') + text : text;
    QByteArray out;
    out.reserve(padded.size() / 2);
    for (qsizetype i = 0; i < padded.size(); i += 2) {
        const int hi = hexDigit(padded[i]);
        const int lo = hexDigit(padded[i + 1]);
        if (hi < 0 || lo < 0)
            return {};
        out.append(char(hi << 4 | lo));
    }
    return out;
}

QString BytesToHex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QByteArray PackCode(const QString& code) {
    QString text = code;
    text.replace(QLatin1Char('0'), QLatin1Char('A'));
    return HexToBytes(text.mid(0, 2)) + HexToBytes(text.mid(2, 2));
}

QString UnpackCode(const QByteArray& packed) {
    return BytesToHex(packed).replace(QLatin1Char('A'), QLatin1Char('0'));
}

QByteArray BuildCodeFrame(const QString& panelCode, const QString& pcCode) {
    const QByteArray panel = PackCode(panelCode);
    const QByteArray pc = PackCode(pcCode);
    if (panel.size() != 2 || pc.size() != 2)
        return {};
    return BuildFrame(CmdCodes, panel + pc + QByteArray(1, '\0'));
}

int FrameLength(quint8 type) {
    switch (type) {
    case TypeStatus:
    case TypeDateTime:
        return 11;
    case TypeIdentify:
        return 9;
    case TypeCallback:
    case TypeRefused:
    case TypeAck:
    case TypeNak:
        return 5;
    case TypeBlockUpper:
    case TypeBlock:
    case TypeEventRecord:
        return 22;
    case TypeB8:
        return 7;
    default:
        return 0;
    }
}

std::optional<QByteArray> AnswerSlice(const QByteArray& frameText, int count) {
    const qsizetype v = frameText.indexOf(Header[2]);
    if (v < 2 || frameText[v - 2] != Header[0] || frameText[v - 1] != Header[1])
        return std::nullopt;
    const QByteArray slice = frameText.mid(v + 1, qMax(0, count));
    if (slice.isEmpty() || XorChecksum(slice) != 0)
        return std::nullopt;
    return slice;
}

QString DecodeVersion(quint8 versionByte) {
    return QStringLiteral("%1.%2").arg(versionByte >> 4).arg(versionByte & 0x0F);
}

} // namespace FrameCodec
