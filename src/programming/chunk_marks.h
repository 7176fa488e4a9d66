#pragma once

#include "programming/image_geometry.h"

#include <QVector>
#include <QtGlobal>

#include <array>

class ProgrammingImage;

// What a write request asks the session worker to send: `Blocks` (bit b = block b takes part)
// and, per block, `Chunks` (bit c = chunk c of that block is written). The worker writes exactly
// these chunks and verifies each block by reading it back.
struct ChunkMarks {
    quint32 Blocks = 0;
    std::array<quint8, kMaxBlocks> Chunks{};

    // True when at least one block in `Blocks` has a chunk mask in 1..15.
    bool needsWriting() const;
};

// Difference marking of an "Enviar para o alarme": clears `Blocks` and the chunk masks of the
// blocks the ranges touch, then for every byte of the ranges in which `pc` and `alarm` differ
// sets its chunk's bit in its block's mask and its block's bit in `Blocks`. Returns
// marks.needsWriting().
bool MarkDifferences(const ProgrammingImage& pc, const ProgrammingImage& alarm,
                     const QVector<ByteRange>& ranges, ChunkMarks& marks);

// The comparison that verifies a written block after it was read back: the chunks in
// `chunkMask` of block b must be equal in both images. On the 10-zone family bytes 41..47 always
// count as equal (the panel does not keep them). On the 5-zone model bits 5..7 of the panel's byte
// 48 are first ORed into the PC's byte 48 (the panel holds them set), which is the only change this
// makes to `pc`.
bool BlockVerifies(ProgrammingImage& pc, const ProgrammingImage& alarm, int block, quint8 chunkMask);
