// The programming read and write procedures of the session worker: whole blocks are read into
// ImagemAlarme; chunks of ImagemPC are written one acknowledged frame at a time and every written
// block is read back and written again until it reads back equal.

#include "session/online_worker.h"

#include "base/clock.h"
#include "link/frame_codec.h"
#include "programming/chunk_marks.h"
#include "programming/programming_images.h"
#include "session/session_frames.h"

#include <bit>

namespace {

constexpr int BlockSize = 16;
constexpr int ChunkSize = 4;
constexpr int ChunksPerBlock = 4;

constexpr int ChunkAckTimeoutMs = 4000;
constexpr int BlockAnswerTimeoutMs = 3000;
constexpr qint64 AfterChunkPauseMs = 300;
// A read request is preceded by 300 ms and followed by 300 ms plus a further 300 ms.
constexpr qint64 BeforeReadPauseMs = 300;
constexpr qint64 AfterReadPauseMs = 600;
constexpr qint64 AfterWritePauseMs = 500;

quint32 blockMaskUpTo(int lastBlock) {
    return (quint32(1) << (lastBlock + 1)) - 1;
}

// Frames a write plans for the efficiency figure: for every block of the mask whose chunk entry
// is not empty, its chunks plus 2 (the read-back request and its answer).
quint32 plannedWriteFrames(quint32 mask, const std::array<std::atomic<quint8>, OnLine::BlockCount>& chunks,
                           int lastBlock) {
    quint32 planned = 0;
    for (int b = 0; b <= lastBlock; ++b) {
        const quint8 entry = chunks[b].load() & 0x0F;
        if ((mask & (1u << b)) && entry)
            planned += 2 + std::popcount(entry);
    }
    return planned;
}

ProductFamily familyOf(int product) {
    return product == 2 ? ProductFamily::FiveZone : ProductFamily::TenZone;
}

bool isBlockAnswer(const QByteArray& slice) {
    const quint8 type = quint8(slice[0]);
    return slice.size() == FrameCodec::BlockSlice &&
           (type == FrameCodec::TypeBlock || type == FrameCodec::TypeBlockUpper);
}

} // namespace

void OnLine::sendChunk(int block, int chunk) {
    // The data is taken from ImagemPC at the moment of sending.
    const QByteArray data = image(ImageCopy::PC, block * BlockSize + chunk * ChunkSize, ChunkSize);
    send(SessionFrames::WriteChunkFrame(block, chunk, data));
    pause(AfterChunkPauseMs);
}

void OnLine::sendReadRequest(int block) {
    pause(BeforeReadPauseMs);
    send(SessionFrames::ReadBlockFrame(block));
    pause(AfterReadPauseMs);
}

void OnLine::finishTransfer(const TransferReport& report) {
    {
        QMutexLocker lock(&m_reportMutex);
        m_lastTransfer = report;
    }
    onUi([&] { m_host.TransferEnded(report); });
}

// ---------------------------------------------------------------------------------------------
// Write

void OnLine::writeProcedure() {
    using Outcome = TransferReport::Outcome;
    ShowEfficiency = true;
    ErrorCount = 0;
    FramesPlanned = 0;

    WriteInProgress = true;
    OperationDone = false;
    const int last = lastBlock();
    const quint32 mask = Blocks.exchange(0) & blockMaskUpTo(last);
    // Cleared once, here: a write raised while this one runs stays raised for the next pass.
    WriteProgrammingRequest = false;
    m_link.CancelRequested = false;
    FramesPlanned = plannedWriteFrames(mask, Chunks, last);
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
            // The block reads back different: it is written again. Each such round counts as an
            // error, so that the efficiency figure shows a block that does not take.
            countError();
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
    m_link.DiscardFrame();
    for (int c = 0; c < ChunksPerBlock; ++c) {
        if (!(chunks & (1 << c)))
            continue;
        if (ending() || m_link.CancelRequested.load())
            return BlockResult::Stopped;
        setTimer(ChunkAckTimeoutMs);
        CurrentChunk = quint8(c);
        sendChunk(block, c);
        showFigure();
        TimedOut = false;
        startTimer();
        AwaitingAck = true;
        while (AwaitingAck) {
            QByteArray frame;
            switch (waitEvent(true, &frame)) {
            case Event::Ended:
                AwaitingAck = false;
                stopTimer();
                return BlockResult::Stopped;
            case Event::TimedOut:
                timeoutRule();
                stopTimer();
                if (ending()) {
                    AwaitingAck = false;
                    return BlockResult::Stopped;
                }
                sendChunk(block, c);
                startTimer();
                break;
            case Event::Frame: {
                const std::optional<QByteArray> slice =
                    FrameCodec::AnswerSlice(frame, FrameCodec::ShortAnswerSlice);
                if (!slice) {
                    // A garbled answer may have been any of the three: writing the same chunk
                    // again is harmless and spares the 4-second wait for the time-out.
                    TimedOut = false;
                    stopTimer();
                    sendChunk(block, c);
                    countError();
                    startTimer();
                    break;
                }
                const quint8 type = quint8(slice->at(0));
                if (type == FrameCodec::TypeAck) {
                    stopTimer();
                    TimedOut = false;
                    AwaitingAck = false;
                } else if (type == FrameCodec::TypeNak) {
                    TimedOut = false;
                    stopTimer();
                    sendChunk(block, c);
                    countError();
                    startTimer();
                } else if (type == FrameCodec::TypeRefused) {
                    stopTimer();
                    TimedOut = false;
                    AwaitingAck = false;
                    return BlockResult::Refused;
                }
                break;
            }
            }
        }
    }
    // Read-back.
    setTimer(BlockAnswerTimeoutMs);
    m_link.DiscardFrame();
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

OnLine::BlockAnswer OnLine::readBlock(int block) {
    const auto askAgain = [&] {
        sendReadRequest(block);
        TimedOut = false;
        startTimer();
    };
    sendReadRequest(block);
    showFigure();
    TimedOut = false;
    startTimer();
    for (;;) {
        QByteArray frame;
        switch (waitEvent(true, &frame)) {
        case Event::Ended:
            stopTimer();
            return BlockAnswer::Stopped;
        case Event::TimedOut:
            timeoutRule();
            if (ending()) {
                stopTimer();
                return BlockAnswer::Stopped;
            }
            askAgain();
            break;
        case Event::Frame: {
            const std::optional<QByteArray> slice = FrameCodec::AnswerSlice(frame, FrameCodec::BlockSlice);
            if (!slice) {
                askAgain();
                countError();
                break;
            }
            // Only the block's own answer ends the wait: a read must never report a block it did
            // not receive, and a read-back must compare what the panel holds now, not what
            // ImagemAlarme held before. A rejection is asked again at once, a refusal ends the
            // operation, any other answer is not for this request.
            const quint8 type = quint8(slice->at(0));
            if (isBlockAnswer(*slice)) {
                stopTimer();
                TimedOut = false;
                setImage(ImageCopy::Alarme, block * BlockSize, slice->mid(2, BlockSize));
                return BlockAnswer::Received;
            }
            if (type == FrameCodec::TypeNak) {
                askAgain();
                countError();
            } else if (type == FrameCodec::TypeRefused) {
                stopTimer();
                TimedOut = false;
                return BlockAnswer::Refused;
            }
            break;
        }
        }
    }
}

bool OnLine::compareBlock(int block, quint8 chunks) {
    bool equal = false;
    onUi([&] {
        const ProductFamily family = familyOf(Product);
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

// ---------------------------------------------------------------------------------------------
// Read

void OnLine::readProcedure() {
    using Outcome = TransferReport::Outcome;
    ShowEfficiency = true;
    ErrorCount = 0;
    FramesPlanned = 0;
    setTimer(BlockAnswerTimeoutMs);
    m_link.DiscardFrame();

    const int last = lastBlock();
    const quint32 mask = Blocks.load() & blockMaskUpTo(last);
    // Cleared when the mask is taken, so that a request with no block of this model (or a new
    // request raised while this read runs) cannot be lost or served forever.
    ReadProgrammingRequest = false;
    OperationDone = false;
    m_link.CancelRequested = false;
    FramesPlanned = quint32(std::popcount(mask));
    showStatus(QStringLiteral("Aguarde! Recebendo a programação do painel."), true, 0, last, true);

    TransferReport report;
    report.kind = TransferReport::Kind::Read;
    report.requested = mask;
    std::optional<Outcome> stoppedBy;

    for (int b = 0; b <= last && !stoppedBy; ++b) {
        if (m_link.CancelRequested.load()) {
            stoppedBy = Outcome::Cancelled;
            break;
        }
        if (!(mask & (1u << b)))
            continue;
        if (ending()) {
            stoppedBy = Outcome::Disconnected;
            break;
        }
        CurrentBlock = quint32(b);
        onUi([&] { m_host.SetStatusGauge(b); });
        switch (readBlock(b)) {
        case BlockAnswer::Received:
            report.done |= 1u << b;
            break;
        case BlockAnswer::Refused:
            stoppedBy = Outcome::Refused;
            report.failedBlock = b;
            break;
        case BlockAnswer::Stopped:
            stoppedBy = ending() ? Outcome::Disconnected : Outcome::Cancelled;
            break;
        }
    }

    // Normalise the panel's copy before anyone is told the programming has arrived, so no reader
    // ever sees the raw zone attributes.
    onUi([&] {
        m_host.RefreshMonitoringView();
        ProgrammingImage alarme(familyOf(Product));
        alarme.setBytes(m_host.ImageBytes(Product, ImageCopy::Alarme, 0, alarme.size()));
        NormalizaAtributosZonas(alarme);
        m_host.SetImageBytes(Product, ImageCopy::Alarme, 0, alarme.bytes());
    });

    report.outcome = stoppedBy.value_or(Outcome::Completed);
    report.framesPlanned = FramesPlanned;
    report.errorCount = ErrorCount;
    // The whole programming is known only when every block of the model was asked for and read.
    if (!stoppedBy && mask == blockMaskUpTo(last))
        m_link.ProgrammingReceived = true;

    endOperation();

    finishTransfer(report);
}
