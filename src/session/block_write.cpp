// The programming write of the session worker: chunks of ImagemPC are written one acknowledged
// frame at a time, and every written block is read back and written again until it reads back
// equal.

#include "session/online_worker.h"

#include "base/clock.h"
#include "link/frame_codec.h"
#include "programming/chunk_marks.h"
#include "programming/programming_images.h"
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
    // The data is taken from ImagemPC at the moment of sending.
    const QByteArray data = image(ImageCopy::PC, block * BlockSize + chunk * ChunkSize, ChunkSize);
    send(SessionFrames::WriteChunkFrame(block, chunk, data));
    pause(AfterChunkPauseMs);
}

void OnLine::writeProcedure() {
    using Outcome = TransferReport::Outcome;
    ShowEfficiency = true;
    ErrorCount = 0;
    FramesPlanned = 0;

    WriteInProgress = true;
    OperationDone = false;
    const int last = lastBlock();
    const quint32 mask = Blocks.exchange(0) & MaskUpTo(last);
    // Cleared once, here: a write raised while this one runs stays raised for the next pass.
    WriteProgrammingRequest = false;
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
        int differing = 0;
        for (;;) {
            const BlockResult result = writeBlock(b, Chunks[b].load() & 0x0F);
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
        equal = BlockVerifies(pc, alarme, block, chunks);
        // The 5-zone rule may have taken bits of the panel's byte into ImagemPC.
        if (pc.block(block) != before)
            m_host.SetImageBytes(Product, ImageCopy::PC, block * BlockSize, pc.block(block));
    });
    return equal;
}
