// The programming write of the session worker: chunks are written one acknowledged frame at a
// time, and every written block is read back and written again until it reads back as sent.
//
// A chunk carries from ImagemPC only the bytes the request sends (WriteBytes); its other bytes go
// as the panel held them before the write, so that writing one section never changes another
// section's bytes that share its chunks. A block whose panel copy is not known yet is read first.

#include "session/online_worker.h"

#include "base/clock.h"
#include "link/frame_codec.h"
#include "programming/chunk_marks.h"
#include "programming/programming_images.h"
#include "programming/write_content.h"
#include "session/block_layout.h"
#include "session/session_frames.h"

#include <bit>

using namespace BlockLayout;

namespace {

constexpr qint64 AfterChunkPauseMs = 300;
constexpr qint64 AfterWritePauseMs = 500;

// Frames a write plans for the efficiency figure: for every block of the model whose chunk entry
// is not empty, its chunks plus 2 (the read-back request and its answer). The entries are counted
// whether or not the mask names their block.
quint32 plannedWriteFrames(const std::array<std::atomic<quint8>, OnLine::BlockCount>& chunks, int lastBlock) {
    quint32 planned = 0;
    for (int b = 0; b <= lastBlock; ++b) {
        const quint8 entry = chunks[b].load() & 0x0F;
        if (entry)
            planned += 2 + std::popcount(entry);
    }
    return planned;
}

// What a chunk's acknowledgement (with a good checksum) means.
AnswerVerdict judgeChunkAnswer(const QByteArray& slice) {
    const quint8 type = quint8(slice.at(0));
    return type == FrameCodec::TypeAck ? AnswerVerdict::Accept : OtherAnswerVerdict(type);
}

} // namespace

void OnLine::sendChunk(int block, int chunk) {
    // The operator's bytes are taken from ImagemPC at the moment of sending.
    const QByteArray data =
        m_write.content.chunkBytes(currentImage(ImageCopy::PC), m_write.panelBlock, block, chunk);
    send(SessionFrames::WriteChunkFrame(block, chunk, data));
    pause(AfterChunkPauseMs);
}

ProgrammingImage OnLine::currentImage(ImageCopy which) {
    ProgrammingImage copy(ImageFamily(Product));
    copy.setBytes(image(which, 0, copy.size()));
    return copy;
}

void OnLine::writeProcedure() {
    using Outcome = TransferReport::Outcome;
    ShowEfficiency = true;
    ErrorCount = 0;
    FramesPlanned = 0;

    WriteInProgress = true;
    OperationDone = false;
    const int last = lastBlock();
    quint32 mask = Blocks.exchange(0) & MaskUpTo(last);
    // Cleared once, here: a write raised while this one runs stays raised for the next pass.
    WriteProgrammingRequest = false;
    m_write.content = WriteBytes.load();
    if (m_write.content.isEmpty()) {
        std::array<quint8, kMaxBlocks> chunks{};
        for (int b = 0; b < BlockCount; ++b)
            chunks[b] = Chunks[b].load();
        m_write.content = WriteContent::WholeChunks(mask, chunks);
    }
    // A block the panel's copy does not know holds bytes nobody has compared yet: it takes part
    // whenever the write carries a byte of it, and is read before anything is written to it.
    for (int b = 0; b <= last; ++b) {
        if (!(m_knownBlocks & (1u << b)) && m_write.content.chunksOf(b))
            mask |= 1u << b;
    }
    m_link.CancelRequested = false;
    FramesPlanned = plannedWriteFrames(Chunks, last);
    showStatus(QStringLiteral("Aguarde! Programando o painel."), true, 0, std::popcount(mask), true);
    int gauge = 0;
    onUi([&] { m_host.SetStatusGauge(gauge); });

    TransferReport report;
    report.kind = TransferReport::Kind::Write;
    report.requested = mask;
    std::optional<Outcome> stoppedBy;
    const auto stopReason = [this]() -> std::optional<Outcome> {
        if (ending())
            return Outcome::Disconnected;
        if (m_link.CancelRequested.load())
            return Outcome::Cancelled;
        return std::nullopt;
    };

    for (int b = 0; b <= last && !stoppedBy; ++b) {
        if (!(mask & (1u << b)))
            continue;
        if ((stoppedBy = stopReason()))
            break;
        CurrentBlock = quint32(b);
        quint8 chunks = Chunks[b].load() & 0x0F;
        if (!(m_knownBlocks & (1u << b))) {
            const BlockAnswer answer = readBlock(b);
            if (answer == BlockAnswer::Refused) {
                stoppedBy = Outcome::Refused;
                report.failedBlock = b;
                break;
            }
            if (answer == BlockAnswer::Stopped) {
                stoppedBy = stopReason().value_or(Outcome::Disconnected);
                break;
            }
            // Only the chunks in which what is to be sent differs from what the panel holds.
            chunks = m_write.content.differingChunks(currentImage(ImageCopy::PC),
                                                     m_panelMemory.mid(b * BlockSize, BlockSize), b);
            if (!chunks) {
                report.done |= 1u << b;
                onUi([&] { m_host.SetStatusGauge(++gauge); });
                continue;
            }
        }
        m_write.panelBlock = m_panelMemory.mid(b * BlockSize, BlockSize);
        int differing = 0;
        for (;;) {
            const BlockResult result = writeBlock(b, chunks);
            if (result == BlockResult::Verified) {
                report.done |= 1u << b;
                onUi([&] { m_host.SetStatusGauge(++gauge); });
                break;
            }
            if (result == BlockResult::Refused) {
                // The panel will not take this block: the write ends here, the blocks after it
                // are not sent, and the report says which block it was.
                stoppedBy = Outcome::Refused;
                report.failedBlock = b;
                break;
            }
            if (result == BlockResult::Stopped) {
                stoppedBy = stopReason().value_or(Outcome::Disconnected);
                break;
            }
            // The block reads back different: it is written again. The round is not an error of
            // the line: the efficiency figure counts only garbled and rejected frames.
            ++differing;
            const int limit = VerifyLimit.load();
            if (limit > 0 && differing >= limit) {
                stoppedBy = Outcome::NotVerified;
                report.failedBlock = b;
                break;
            }
            if ((stoppedBy = stopReason()))
                break;
        }
    }

    report.outcome = stoppedBy.value_or(Outcome::Completed);
    // A write of the PGM change that did not get through ends the procedure: nothing more of it is
    // switched or written.
    if (!report.succeeded())
        abandonPgmChange();
    report.framesPlanned = FramesPlanned;
    report.errorCount = ErrorCount;
    OperationDone = true;
    closeStatus();
    m_link.CancelRequested = false;
    pause(AfterWritePauseMs);
    m_lastActivity = Clock::instance().nowMs();
    finishTransfer(report);
    WriteInProgress = false;
}

OnLine::BlockResult OnLine::writeBlock(int block, quint8 chunks) {
    for (int c = 0; c < ChunksPerBlock; ++c) {
        if (!(chunks & (1 << c)))
            continue;
        if (stopRequested())
            return BlockResult::Stopped;
        CurrentChunk = quint8(c);
        ExchangeRequest request;
        request.timeoutMs = ChunkAckTimeoutMs;
        request.answerLength = FrameCodec::ShortAnswerSlice;
        request.send = [&] {
            sendChunk(block, c);
            showFigure();
        };
        // A garbled acknowledgement is counted and waited past: the chunk goes again only on a
        // rejection or when the time-out passes.
        request.judge = [this](const std::optional<QByteArray>& slice) {
            if (!slice) {
                countError();
                return AnswerVerdict::Ignore;
            }
            return judgeChunkAnswer(*slice);
        };
        AwaitingAck = true;
        const ExchangeResult result = exchange(request);
        AwaitingAck = false;
        if (result == ExchangeResult::Refused)
            return BlockResult::Refused;
        if (result == ExchangeResult::Stopped)
            return BlockResult::Stopped;
    }
    // Read-back.
    switch (readBlock(block)) {
    case BlockAnswer::Received:
        return compareBlock(block, chunks) ? BlockResult::Verified : BlockResult::Differs;
    case BlockAnswer::Refused:
        return BlockResult::Refused;
    case BlockAnswer::Stopped:
        break;
    }
    return BlockResult::Stopped;
}

bool OnLine::compareBlock(int block, quint8 chunks) {
    bool equal = false;
    onUi([&] {
        const ProductFamily family = ImageFamily(Product);
        ProgrammingImage pc(family);
        ProgrammingImage alarme(family);
        pc.setBytes(m_host.ImageBytes(Product, ImageCopy::PC, 0, pc.size()));
        alarme.setBytes(m_host.ImageBytes(Product, ImageCopy::Alarme, 0, alarme.size()));
        const QByteArray before = pc.block(block);
        equal = BlockVerifies(pc, alarme, m_write.content, m_write.panelBlock, block, chunks);
        // The 5-zone rule may have taken bits of the panel's byte into ImagemPC.
        if (pc.block(block) != before)
            m_host.SetImageBytes(Product, ImageCopy::PC, block * BlockSize, pc.block(block));
    });
    return equal;
}
