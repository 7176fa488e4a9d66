#include "session/transfer_rules.h"

#include <bit>

namespace TransferRules {

namespace {

constexpr int TenZoneOptionsBlock = 2;
constexpr int TenZoneFirstIgnoredByte = 9; // block 2 bytes 9..15: image bytes 41..47
constexpr int FiveZoneZoneBlock = 3;
constexpr quint8 FiveZonePanelBits = 0xE0; // bits 5, 6, 7 of image byte 48

constexpr int ByteOptions = 32;
constexpr quint8 OptionPartitioned = 0x08;
constexpr int ByteEnabled = 48;
constexpr int Byte24h = 49;
constexpr int BytePartitionA = 50;
constexpr int ByteStayOrB = 51;
constexpr int ByteFollower = 53;
constexpr int ByteEntryDelay = 54;
constexpr int ByteExitDelay = 55;
constexpr int ByteAutoBypass = 57;
constexpr int ByteBypass = 59;

} // namespace

int LastBlockFor(int product) {
    return product == 2 ? 15 : 18;
}

quint32 BlockMaskUpTo(int lastBlock) {
    return lastBlock >= 31 ? 0xFFFFFFFFu : (quint32(1) << (lastBlock + 1)) - 1;
}

bool ReadBackEqual(bool tenZone, int block, quint8 chunks, QByteArray& pcBlock,
                   const QByteArray& alarmeBlock) {
    bool equal = true;
    for (int c = 0; c < ChunksPerBlock; ++c) {
        if (!(chunks & (1 << c)))
            continue;
        for (int i = c * ChunkSize; i < (c + 1) * ChunkSize; ++i) {
            if (tenZone && block == TenZoneOptionsBlock && i >= TenZoneFirstIgnoredByte)
                continue;
            if (!tenZone && block == FiveZoneZoneBlock && i == 0)
                pcBlock[0] = char(quint8(pcBlock[0]) | (quint8(alarmeBlock[0]) & FiveZonePanelBits));
            if (pcBlock[i] != alarmeBlock[i])
                equal = false;
        }
    }
    return equal;
}

quint32 PlannedWriteFrames(quint32 mask, const std::array<std::atomic<quint8>, 19>& chunks, int lastBlock) {
    quint32 planned = 0;
    for (int b = 0; b <= lastBlock && b < int(chunks.size()); ++b) {
        const quint8 entry = chunks[b].load() & 0x0F;
        if ((mask & (1u << b)) && entry)
            planned += 2 + std::popcount(entry);
    }
    return planned;
}

void NormaliseZoneAttributes(QByteArray& image) {
    auto at = [&image](int n) -> quint8 { return quint8(image[n]); };
    auto clear = [&image](int n, quint8 bits) { image[n] = char(quint8(image[n]) & ~bits); };

    const quint8 disabled = quint8(~at(ByteEnabled));
    for (int n = Byte24h; n <= ByteBypass; ++n)
        clear(n, disabled);

    const quint8 h24 = at(Byte24h);
    for (int n : {BytePartitionA, ByteFollower, ByteEntryDelay, ByteExitDelay, ByteAutoBypass, ByteBypass})
        clear(n, h24);
    if (!(at(ByteOptions) & OptionPartitioned))
        clear(ByteStayOrB, h24);

    clear(ByteFollower, at(ByteEntryDelay));
}

} // namespace TransferRules
