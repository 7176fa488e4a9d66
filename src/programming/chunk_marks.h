#pragma once

#include "programming/image_geometry.h"
#include "programming/write_content.h"

#include <QVector>
#include <QtGlobal>

#include <array>

class ProgrammingImage;

// What a write request asks the session worker to send: `Blocks` (bit b = block b takes part),
// per block `Chunks` (bit c = chunk c of that block is written), and `Content`, the bytes of those
// chunks taken from ImagemPC (the rest of each chunk goes as the panel holds it). The worker writes
// these chunks and verifies each block by reading it back.
struct ChunkMarks {
    quint32 Blocks = 0;
    std::array<quint8, kMaxBlocks> Chunks{};
    WriteContent Content;

    // True when at least one block in `Blocks` has a chunk mask in 1..15.
    bool needsWriting() const;
};

// Difference marking of an "Enviar para o alarme": clears `Blocks` and the chunk masks of the
// blocks the ranges touch, then for every byte of the ranges in which `pc` and `alarm` differ
// sets its chunk's bit in its block's mask and its block's bit in `Blocks`; `Content` becomes the
// bytes of the ranges. Returns marks.needsWriting().
bool MarkDifferences(const ProgrammingImage& pc, const ProgrammingImage& alarm,
                     const QVector<ByteRange>& ranges, ChunkMarks& marks);
