#pragma once

#include "programming/image_geometry.h"

#include <QByteArray>
#include <QVector>

#include <array>
#include <bitset>
#include <optional>

class ProgrammingImage;

// What a programming write puts into the chunks it sends.
//
// The panel is written four bytes at a time, and one chunk may hold bytes of several sections
// (block 1, chunk 2 holds the last PGM time, the communication format and the modes of PGM 1 and
// 2). A write carries from `ImagemPC` only the bytes of what the operator sends, a few bytes with a
// value of their own (the temporary PGM modes of the PGM change), and every other byte of its
// chunks as the panel holds it (`ImagemAlarme` as read before the write), so that the rest of the
// panel's programming stays as it is.
class WriteContent {
public:
    // Every byte of the chunks marked in `chunks` for the blocks of `blocks`: a write that names
    // only chunks sends them whole from ImagemPC.
    static WriteContent WholeChunks(quint32 blocks, const std::array<quint8, kMaxBlocks>& chunks);

    // The bytes of `ranges` (or one byte) are sent from ImagemPC.
    void takeFromPc(const QVector<ByteRange>& ranges);
    void takeFromPc(int byte);
    // `byte` is sent as `value`, whatever either image holds, until it is released; then it is sent
    // as before (from ImagemPC when taken, else as the panel holds it).
    void put(int byte, quint8 value);
    void release(int byte);
    // Everything `other` takes or puts, added to this.
    void add(const WriteContent& other);

    bool takesFromPc(int byte) const;
    std::optional<quint8> putValue(int byte) const;
    // Neither a byte taken nor one put.
    bool isEmpty() const;

    // The chunks of `block` that hold a byte of the write (bit c = chunk c).
    quint8 chunksOf(int block) const;
    // Chunk `chunk` of `block` as it is sent: the put value, else ImagemPC's byte where the write
    // takes it, else the panel's byte from `panelBlock` (the block's 16 bytes as the panel held
    // them).
    QByteArray chunkBytes(const ProgrammingImage& pc, const QByteArray& panelBlock, int block,
                          int chunk) const;
    // The chunks of `block` holding a byte of the write whose bytes as sent differ from `panelBlock`.
    quint8 differingChunks(const ProgrammingImage& pc, const QByteArray& panelBlock, int block) const;

private:
    std::bitset<kMaxImageSize> m_fromPc;
    std::bitset<kMaxImageSize> m_isPut;
    std::array<quint8, kMaxImageSize> m_putValue{};
};

// The comparison that verifies a written block after it was read back: the chunks in `chunkMask`
// of block `block` must hold on the panel (`alarm`, just read) the bytes that were sent. On the
// 10-zone family bytes 41..47 always count as equal (the panel does not keep them). On the 5-zone
// model, when the write takes byte 48 from ImagemPC, bits 5..7 of the panel's byte 48 are first
// ORed into the PC's byte 48 (the panel holds them set), which is the only change this makes to
// `pc`.
bool BlockVerifies(ProgrammingImage& pc, const ProgrammingImage& alarm, const WriteContent& content,
                   const QByteArray& panelBlock, int block, quint8 chunkMask);

// The PGM bytes a write will change: bits 0..3 = PGM 1..4 whose mode byte (26..29) the write takes
// from ImagemPC and that differs from the panel's; `moduleChanged` when it takes byte 34 and the
// PGM module bit (value 4) differs. The PGM questions are asked on these, never on bytes the write
// does not send.
struct PgmBytesChange {
    quint8 changedPgms = 0;
    bool moduleChanged = false;
    bool any() const { return changedPgms != 0 || moduleChanged; }
};
PgmBytesChange PgmChangeOf(const WriteContent& content, const ProgrammingImage& pc,
                           const ProgrammingImage& alarm);
