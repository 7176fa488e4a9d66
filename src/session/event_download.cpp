// The event-buffer download of the session worker: the panel's log is asked for record by record
// until the end record, and every record's events are stored as soon as the record has arrived.

#include "session/online_worker.h"

#include "base/clock.h"
#include "link/frame_codec.h"
#include "programming/panel_events.h"
#include "session/block_layout.h"
#include "session/session_frames.h"

#include <algorithm>

namespace {

// A record request is preceded and followed by 300 ms.
constexpr qint64 RecordPauseMs = 300;
constexpr int RecordAnswerTimeoutMs = 3000;

} // namespace

std::optional<EventDownloadReport> OnLine::LastEventDownload() const {
    QMutexLocker lock(&m_reportMutex);
    return m_lastEventDownload;
}

ExchangeResult OnLine::readEventRecord(int index, QByteArray* record,
                                       const std::function<void()>& whileOnTheLine) {
    ExchangeRequest request;
    request.timeoutMs = RecordAnswerTimeoutMs;
    request.answerLength = FrameCodec::BlockSlice;
    // The record received before this one is stored while this request and the panel's answer are
    // on the line, within the pause after the send: storing never holds the download up.
    request.send = [&] {
        pause(RecordPauseMs);
        send(SessionFrames::EventRecordFrame(quint8(index)));
        const qint64 sent = Clock::instance().nowMs();
        whileOnTheLine();
        pause(std::max<qint64>(0, RecordPauseMs - (Clock::instance().nowMs() - sent)));
        showFigure();
    };
    // Only the record asked for is taken: an answer for another record, of another type or with a
    // bad checksum is counted and the request sent again. Any answer at all shows the panel is
    // there, so the time-outs counted towards the retry prompt start again.
    request.judge = [&](const std::optional<QByteArray>& slice) {
        m_retryCount = 0;
        if (slice && slice->size() == FrameCodec::BlockSlice &&
            quint8(slice->at(0)) == FrameCodec::TypeEventRecord && quint8(slice->at(1)) == quint8(index)) {
            *record = slice->mid(2, PanelEvents::RecordSize);
            return AnswerVerdict::Accept;
        }
        return AnswerVerdict::Reject;
    };
    return exchange(request);
}

void OnLine::readBufferProcedure() {
    using Outcome = EventDownloadReport::Outcome;
    const int product = Product.load();
    const ProductFamily family = BlockLayout::ImageFamily(product);
    const int expected = PanelEvents::ExpectedRecords(family);
    const int areaRecords = PanelEvents::AreaRecords(family);

    ReadBufferRequest = false;
    EventDownloadReport report;
    report.product = product;

    bool canStore = false;
    onUi([&] { canStore = m_host.BeginEventDownload(product); });
    if (!canStore) {
        report.outcome = Outcome::StoreFailed;
        endOperation();
        {
            QMutexLocker lock(&m_reportMutex);
            m_lastEventDownload = report;
        }
        onUi([&] { m_host.EventDownloadEnded(report); });
        return;
    }

    ShowEfficiency = true;
    ErrorCount = 0;
    FramesPlanned = quint32(expected);
    m_eventArea.fill(char(0xFF), qsizetype(areaRecords) * PanelEvents::RecordSize);
    OperationDone = false;
    showStatus(QStringLiteral("Aguarde! Recebendo buffer de eventos do painel."), true, 0, expected - 1,
               true);

    // A record is stored after the request for the next one went out (see readEventRecord), or when
    // the download ends.
    std::optional<std::pair<int, QByteArray>> received;
    bool storeFailed = false;
    const auto storeReceived = [&] {
        if (!received || storeFailed)
            return;
        bool stored = false;
        onUi([&] { stored = m_host.Atualiza_Tabela_Eventos(received->first, received->second); });
        if (stored)
            report.records = received->first + 1;
        else
            storeFailed = true;
        received.reset();
    };

    std::optional<Outcome> outcome;
    CurrentBlock = 0;
    for (int r = 0; !outcome; ++r) {
        if (r >= areaRecords) {
            outcome = Outcome::AreaFull;
            break;
        }
        if (m_link.CancelRequested.load()) {
            outcome = Outcome::Cancelled;
            break;
        }
        if (ending()) {
            outcome = Outcome::Disconnected;
            break;
        }
        onUi([&] { m_host.SetStatusGauge(std::min(r, expected - 1)); });
        QByteArray record;
        const ExchangeResult result = readEventRecord(r, &record, storeReceived);
        if (storeFailed) {
            outcome = Outcome::StoreFailed;
            break;
        }
        if (result != ExchangeResult::Accepted) {
            outcome = ending() ? Outcome::Disconnected : Outcome::Cancelled;
            break;
        }
        CurrentBlock = quint32(r + 1);
        m_eventArea.replace(qsizetype(r) * PanelEvents::RecordSize, PanelEvents::RecordSize, record);
        if (PanelEvents::IsEnd(record)) {
            outcome = Outcome::Completed;
            break;
        }
        received.emplace(r, record);
    }
    // A record that arrived last (the line dropped, "Cancelar", a full area) is kept all the same.
    storeReceived();
    if (storeFailed)
        outcome = Outcome::StoreFailed;

    report.outcome = *outcome;
    report.framesPlanned = FramesPlanned;
    report.errorCount = ErrorCount;
    if (report.outcome == Outcome::Completed)
        onUi([&] { m_host.ClearBufferDownloading(); });
    endOperation();
    {
        QMutexLocker lock(&m_reportMutex);
        m_lastEventDownload = report;
    }
    onUi([&] { m_host.EventDownloadEnded(report); });
}
