#include "session/frame_descriptions.h"

#include "link/frame_codec.h"
#include "session/session_frames.h"

namespace FrameDescriptions {

namespace {

using namespace FrameCodec;
using namespace SessionFrames;

// How the text names the frame's first parameter (the address, the record index, ...).
enum class Field { None, Address, Index, Command };

struct Meaning {
    quint8 code;
    const char* text;
    Field field;
};

// The program's frames by command byte.
constexpr Meaning kSent[] = {
    {CmdIdentify, "pedido de identificação", Field::None},
    {CmdCodes, "códigos do painel e do PC", Field::None},
    {CmdProceed, "prosseguir", Field::None},
    {CmdCallback, "pedido de retorno de chamada", Field::None},
    {CmdWritePage0, "gravação, página 0", Field::Address},
    {CmdWritePage1, "gravação, página 1", Field::Address},
    {CmdReadPage0, "leitura de bloco, página 0", Field::Address},
    {CmdReadPage1, "leitura de bloco, página 1", Field::Address},
    {CmdEventRecord, "pedido do registro de eventos", Field::Index},
    {CmdReadDateTime, "leitura de data e hora", Field::None},
    {CmdWriteDate, "acerto da data", Field::None},
    {CmdWriteTime, "acerto da hora", Field::None},
    {CmdCommand, "comando remoto", Field::Command},
};

// The panel's frames by type byte.
constexpr Meaning kReceived[] = {
    {TypeStatus, "estado do painel", Field::None},
    {TypeIdentify, "identificação", Field::None},
    {TypeCallback, "retorno de chamada aceito", Field::None},
    {TypeBlockUpper, "bloco lido, página 1", Field::Address},
    {TypeBlock, "bloco lido, página 0", Field::Address},
    {TypeRefused, "recusado", Field::None},
    {TypeB8, "aceito (B8)", Field::None},
    {TypeAck, "aceito", Field::None},
    {TypeNak, "rejeitado, será repetido", Field::None},
    {TypeEventRecord, "registro de eventos", Field::Index},
    {TypeDateTime, "data e hora", Field::None},
};

const char kBadChecksum[] = " (soma de verificação errada)";

QString hexByte(quint8 byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

template <size_t N> const Meaning* find(const Meaning (&table)[N], quint8 code) {
    for (const Meaning& m : table) {
        if (m.code == code)
            return &m;
    }
    return nullptr;
}

QString withField(const Meaning& m, quint8 value) {
    QString text = QString::fromUtf8(m.text);
    switch (m.field) {
    case Field::None:
        break;
    case Field::Address:
        text += QStringLiteral(", endereço ") + hexByte(value);
        break;
    case Field::Index:
        text += QStringLiteral(" nº ") + QString::number(value);
        break;
    case Field::Command:
        text += QLatin1Char(' ') + hexByte(value);
        break;
    }
    return text;
}

} // namespace

QString DescribeSent(const QByteArray& bytes) {
    if (bytes.size() == 1 && quint8(bytes[0]) == StatusRequestByte)
        return QStringLiteral("pedido de estado");
    if (bytes.size() < 3 || quint8(bytes[0]) != StartByte)
        return {};
    const Meaning* m = find(kSent, quint8(bytes[1]));
    QString text =
        m ? withField(*m, quint8(bytes[2])) : QStringLiteral("comando ") + hexByte(quint8(bytes[1]));
    // The checksum is the XOR of every byte before it, so a good frame XORs to 0 as a whole.
    if (XorChecksum(bytes) != 0)
        text += QString::fromUtf8(kBadChecksum);
    return text;
}

QString DescribeReceived(const QByteArray& frame) {
    if (frame.size() <= HeaderSize || !frame.startsWith(Header))
        return {};
    const quint8 type = quint8(frame[HeaderSize]);
    const Meaning* m = find(kReceived, type);
    if (!m)
        return QStringLiteral("tipo ") + hexByte(type);
    const std::optional<QByteArray> slice = AnswerSlice(frame, int(frame.size()) - HeaderSize);
    const quint8 first = frame.size() > HeaderSize + 1 ? quint8(frame[HeaderSize + 1]) : 0;
    QString text = withField(*m, first);
    if (type == TypeIdentify && frame.size() > HeaderSize + 2)
        text += QStringLiteral(": produto %1, versão %2")
                    .arg(first)
                    .arg(DecodeVersion(quint8(frame[HeaderSize + 2])));
    if (!slice)
        text += QString::fromUtf8(kBadChecksum);
    return text;
}

} // namespace FrameDescriptions
