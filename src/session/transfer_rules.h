#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <atomic>

// Rules of the programming block transfer that need no link: block geometry per family, the
// comparison of a block read back after a write, the frame count of a write, and the normalisation
// of the zone attributes the panel reports.
namespace TransferRules {

inline constexpr int BlockSize = 16;
inline constexpr int ChunkSize = 4;
inline constexpr int ChunksPerBlock = 4;

// 18 for the 10-zone family (product codes 1, 3, 4), 15 for the 5-zone model (code 2).
int LastBlockFor(int product);
// Bits 0..lastBlock set.
quint32 BlockMaskUpTo(int lastBlock);

// Compares the chunks `chunks` (bit c = chunk c) of block `block` as written (`pcBlock`, the 16
// bytes of ImagemPC) and as read back (`alarmeBlock`, the 16 bytes of ImagemAlarme), with the
// exceptions of the families:
//  - 10-zone family: block 2 bytes 9..15 (image bytes 41..47) always count as equal;
//  - 5-zone model: before block 3 byte 0 (image byte 48) is compared, the bits 5, 6 and 7 the panel
//    reports there are ORed into the ImagemPC byte (`pcBlock` is changed; the caller stores it).
// True when no compared byte differs.
bool ReadBackEqual(bool tenZone, int block, quint8 chunks, QByteArray& pcBlock,
                   const QByteArray& alarmeBlock);

// Frames a write plans for the efficiency figure: for every block of `mask` whose chunk entry is
// not empty, the chunks it sends plus 2 (the read-back request and its answer).
quint32 PlannedWriteFrames(quint32 mask, const std::array<std::atomic<quint8>, 19>& chunks, int lastBlock);

// The zone attributes the program keeps of a read (image bytes 48..59, bit z = zone z+1; byte 32
// bit 3 = partitioned panel), the same for both families:
//  1. a disabled zone (bit clear in byte 48) has no other attribute (bytes 49..59);
//  2. a 24-hour zone (byte 49) belongs to no partition and has no follower, entry or exit delay,
//     auto-bypass or bypass attribute (bytes 50, 53, 54, 55, 57, 59), and is no stay zone (byte 51)
//     unless the panel is partitioned; bytes 52, 56 and 58 stay;
//  3. a zone with entry delay (byte 54) is no follower zone (byte 53).
// `image` holds at least bytes 0..59.
void NormaliseZoneAttributes(QByteArray& image);

} // namespace TransferRules
