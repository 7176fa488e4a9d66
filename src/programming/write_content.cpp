#include "programming/write_content.h"

#include "programming/programming_image.h"

namespace {

constexpr int FirstPgmModeByte = 26;
constexpr int PgmCount = 4;
constexpr int PgmModuleByte = 34;
constexpr quint8 PgmModuleBit = 0x04;

// Bytes 41..47 of the 10-zone image: the panel does not keep them.
bool NeverCompared(ProductFamily family, int n) {
    return family == ProductFamily::TenZone && n >= 41 && n <= 47;
}

} // namespace

WriteContent WriteContent::WholeChunks(quint32 blocks, const std::array<quint8, kMaxBlocks>& chunks) {
    WriteContent content;
    for (int b = 0; b < kMaxBlocks; ++b) {
        if (!(blocks & (1u << b)))
            continue;
        for (int c = 0; c < kChunksPerBlock; ++c) {
            if (chunks[b] & (1u << c))
                content.takeFromPc(
                    {{b * kBlockSize + c * kChunkSize, b * kBlockSize + c * kChunkSize + kChunkSize - 1}});
        }
    }
    return content;
}

void WriteContent::takeFromPc(const QVector<ByteRange>& ranges) {
    for (const ByteRange& r : ranges) {
        for (int n = qMax(r.first, 0); n <= r.last && n < kMaxImageSize; ++n)
            m_fromPc.set(n);
    }
}

void WriteContent::takeFromPc(int byte) {
    takeFromPc({{byte, byte}});
}

void WriteContent::put(int byte, quint8 value) {
    if (byte < 0 || byte >= kMaxImageSize)
        return;
    m_isPut.set(byte);
    m_putValue[byte] = value;
}

void WriteContent::release(int byte) {
    if (byte >= 0 && byte < kMaxImageSize)
        m_isPut.reset(byte);
}

void WriteContent::add(const WriteContent& other) {
    m_fromPc |= other.m_fromPc;
    for (int n = 0; n < kMaxImageSize; ++n) {
        if (other.m_isPut.test(n))
            put(n, other.m_putValue[n]);
    }
}

bool WriteContent::takesFromPc(int byte) const {
    return byte >= 0 && byte < kMaxImageSize && m_fromPc.test(byte);
}

std::optional<quint8> WriteContent::putValue(int byte) const {
    if (byte < 0 || byte >= kMaxImageSize || !m_isPut.test(byte))
        return std::nullopt;
    return m_putValue[byte];
}

bool WriteContent::isEmpty() const {
    return m_fromPc.none() && m_isPut.none();
}

quint8 WriteContent::chunksOf(int block) const {
    quint8 chunks = 0;
    for (int i = 0; i < kBlockSize; ++i) {
        const int n = block * kBlockSize + i;
        if (n < kMaxImageSize && (m_fromPc.test(n) || m_isPut.test(n)))
            chunks |= quint8(1u << (i / kChunkSize));
    }
    return chunks;
}

QByteArray WriteContent::chunkBytes(const ProgrammingImage& pc, const QByteArray& panelBlock, int block,
                                    int chunk) const {
    QByteArray bytes(kChunkSize, '\0');
    for (int i = 0; i < kChunkSize; ++i) {
        const int inBlock = chunk * kChunkSize + i;
        const int n = block * kBlockSize + inBlock;
        if (m_isPut.test(n))
            bytes[i] = char(m_putValue[n]);
        else if (m_fromPc.test(n))
            bytes[i] = char(pc.byte(n));
        else
            bytes[i] = inBlock < panelBlock.size() ? panelBlock[inBlock] : '\0';
    }
    return bytes;
}

quint8 WriteContent::differingChunks(const ProgrammingImage& pc, const QByteArray& panelBlock,
                                     int block) const {
    quint8 differing = 0;
    const quint8 carried = chunksOf(block);
    for (int c = 0; c < kChunksPerBlock; ++c) {
        if (!(carried & (1u << c)))
            continue;
        const QByteArray sent = chunkBytes(pc, panelBlock, block, c);
        for (int i = 0; i < kChunkSize; ++i) {
            const int n = block * kBlockSize + c * kChunkSize + i;
            const int inBlock = c * kChunkSize + i;
            const char held = inBlock < panelBlock.size() ? panelBlock[inBlock] : '\0';
            if (!NeverCompared(pc.family(), n) && sent[i] != held) {
                differing |= quint8(1u << c);
                break;
            }
        }
    }
    return differing;
}

bool BlockVerifies(ProgrammingImage& pc, const ProgrammingImage& alarm, const WriteContent& content,
                   const QByteArray& panelBlock, int block, quint8 chunkMask) {
    Q_ASSERT(pc.family() == alarm.family());
    constexpr int FiveZoneZoneByte = 48;
    if (pc.family() == ProductFamily::FiveZone && BlockOfByte(FiveZoneZoneByte) == block &&
        (chunkMask & (1u << ChunkOfByte(FiveZoneZoneByte))) && content.takesFromPc(FiveZoneZoneByte))
        pc.setByte(FiveZoneZoneByte, pc.byte(FiveZoneZoneByte) | (alarm.byte(FiveZoneZoneByte) & 0xE0));
    for (int c = 0; c < kChunksPerBlock; ++c) {
        if (!(chunkMask & (1u << c)))
            continue;
        const QByteArray sent = content.chunkBytes(pc, panelBlock, block, c);
        for (int i = 0; i < kChunkSize; ++i) {
            const int n = block * kBlockSize + c * kChunkSize + i;
            if (!NeverCompared(pc.family(), n) && quint8(sent[i]) != alarm.byte(n))
                return false;
        }
    }
    return true;
}

PgmBytesChange PgmChangeOf(const WriteContent& content, const ProgrammingImage& pc,
                           const ProgrammingImage& alarm) {
    PgmBytesChange change;
    for (int k = 0; k < PgmCount; ++k) {
        const int n = FirstPgmModeByte + k;
        if (content.takesFromPc(n) && pc.byte(n) != alarm.byte(n))
            change.changedPgms |= quint8(1u << k);
    }
    change.moduleChanged = content.takesFromPc(PgmModuleByte) &&
                           ((pc.byte(PgmModuleByte) ^ alarm.byte(PgmModuleByte)) & PgmModuleBit);
    return change;
}
