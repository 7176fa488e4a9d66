// The programming read of the session worker: whole blocks are read into ImagemAlarme. The block
// read is also the verify step of the write.

#include "session/online_worker.h"

#include "link/frame_codec.h"
#include "programming/programming_images.h"
#include "session/block_layout.h"
#include "session/session_frames.h"

#include <bit>

using namespace BlockLayout;

namespace {

// A read request is preceded by 300 ms and followed by 300 ms plus a further 300 ms.
constexpr qint64 BeforeReadPauseMs = 300;
constexpr qint64 AfterReadPauseMs = 600;

bool isBlockAnswer(const QByteArray& slice) {
    const quint8 type = quint8(slice[0]);
    return slice.size() == FrameCodec::BlockSlice &&
           (type == FrameCodec::TypeBlock || type == FrameCodec::TypeBlockUpper);
}

} // namespace

void OnLine::sendReadRequest(int block) {
    pause(BeforeReadPauseMs);
    send(SessionFrames::ReadBlockFrame(block));
    pause(AfterReadPauseMs);
}

OnLine::BlockAnswer OnLine::readBlock(int block) {
    ExchangeRequest request;
    request.timeoutMs = BlockAnswerTimeoutMs;
    request.answerLength = FrameCodec::BlockSlice;
    request.rejectGarbled = true;
    request.send = [&] {
        sendReadRequest(block);
        showFigure();
    };
    // Only the block's own answer ends the wait: a read must never report a block it did not
    // receive, and a read-back must compare what the panel holds now, not what ImagemAlarme held
    // before. A rejection is asked again at once, a refusal ends the operation, any other answer
    // is not for this request.
    request.judge = [&](const std::optional<QByteArray>& slice) {
        if (isBlockAnswer(*slice)) {
            const QByteArray data = slice->mid(2, BlockSize);
            setImage(ImageCopy::Alarme, block * BlockSize, data);
            m_panelMemory.replace(block * BlockSize, BlockSize, data);
            m_knownBlocks |= 1u << block;
            return AnswerVerdict::Accept;
        }
        return OtherAnswerVerdict(quint8(slice->at(0)));
    };
    switch (exchange(request)) {
    case ExchangeResult::Accepted:
        return BlockAnswer::Received;
    case ExchangeResult::Refused:
        return BlockAnswer::Refused;
    case ExchangeResult::Stopped:
        break;
    }
    return BlockAnswer::Stopped;
}

void OnLine::finishTransfer(const TransferReport& report) {
    {
        QMutexLocker lock(&m_reportMutex);
        m_lastTransfer = report;
    }
    onUi([&] { m_host.TransferEnded(report); });
}

void OnLine::readProcedure() {
    using Outcome = TransferReport::Outcome;
    ShowEfficiency = true;
    ErrorCount = 0;
    FramesPlanned = 0;

    const int last = lastBlock();
    const quint32 mask = Blocks.load() & MaskUpTo(last);
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
            // The panel will not give this block: its read ends, the other blocks are still read
            // and the report names the first block refused.
            if (report.failedBlock < 0)
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
        ProgrammingImage alarme(ImageFamily(Product));
        alarme.setBytes(m_host.ImageBytes(Product, ImageCopy::Alarme, 0, alarme.size()));
        NormalizaAtributosZonas(alarme);
        m_host.SetImageBytes(Product, ImageCopy::Alarme, 0, alarme.bytes());
    });

    const bool refused = report.failedBlock >= 0;
    report.outcome = stoppedBy.value_or(refused ? Outcome::Refused : Outcome::Completed);
    report.framesPlanned = FramesPlanned;
    report.errorCount = ErrorCount;
    // The whole programming is known only when every block of the model was asked for and read.
    if (!stoppedBy && !refused && mask == MaskUpTo(last))
        m_link.ProgrammingReceived = true;

    endOperation();

    finishTransfer(report);
}
