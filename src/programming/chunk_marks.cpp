#include "programming/chunk_marks.h"

#include "programming/programming_image.h"

bool ChunkMarks::needsWriting() const {
    for (int b = 0; b < kMaxBlocks; ++b) {
        if ((Blocks & (1u << b)) && (Chunks[b] & 0x0F) != 0)
            return true;
    }
    return false;
}

bool MarkDifferences(const ProgrammingImage& pc, const ProgrammingImage& alarm,
                     const QVector<ByteRange>& ranges, ChunkMarks& marks) {
    Q_ASSERT(pc.family() == alarm.family());
    marks.Blocks = 0;
    marks.Content = WriteContent();
    marks.Content.takeFromPc(ranges);
    for (const ByteRange& r : ranges) {
        for (int b = BlockOfByte(r.first); b <= BlockOfByte(r.last) && b < pc.blockCount(); ++b)
            marks.Chunks[b] = 0;
    }
    for (const ByteRange& r : ranges) {
        for (int n = r.first; n <= r.last && n < pc.size(); ++n) {
            if (pc.byte(n) == alarm.byte(n))
                continue;
            marks.Chunks[BlockOfByte(n)] |= quint8(1u << ChunkOfByte(n));
            marks.Blocks |= 1u << BlockOfByte(n);
        }
    }
    return marks.needsWriting();
}
