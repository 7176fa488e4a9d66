#include "link_control/thread_buffer.h"

#include "base/clock.h"
#include "link/frame_codec.h"
#include "link/receive_dispatcher.h"
#include "link_control/buffer_texts.h"
#include "link_control/conecta_alarme_host.h"
#include "link_control/link_operator.h"
#include "link_control/link_texts.h"
#include "programming/event_reception.h"
#include "programming/panel_events.h"
#include "programming/product_codes.h"
#include "serial/modem_commands.h"
#include "session/session_frames.h"

#include <utility>

namespace {

constexpr qint64 PollMs = 5;
constexpr qint64 AnswerLimitMs = 15000;
constexpr qint64 PabxRingGuardMs = 600;
constexpr qint64 BlinkMs = 100;
constexpr qint64 CommandPauseMs = 300;
constexpr qint64 RoundMs = 1000;
constexpr qint64 ProceedPauseMs = 1500;
constexpr qint64 WrongProductPauseMs = 1500;
constexpr qint64 RecordRequestPauseMs = 100;
constexpr int RecordTimeoutMs = 3000;
constexpr int DefaultRings = 2;
constexpr qint64 SendPauseMs = 100;

} // namespace

ThreadBuffer::ThreadBuffer(ConectaAlarmeHost& host, BufferWorkerHost& buffers, CallBackInputs inputs)
    : PanelLinkWorker(host), m_buffers(buffers), m_inputs(inputs),
      m_rings(inputs.Rings >= 1 ? inputs.Rings : DefaultRings) {
    Suspended = true;
}

void ThreadBuffer::run() {
    try {
        Executa();
    } catch (const std::exception&) {
        TerminaComErro();
    }
}

void ThreadBuffer::Executa() {
    // The RING that started the worker is already in ResultCode: it is the first one counted.
    Abandonado = false;
    TimedOut = false;
    m_report = BufferCallReport{};
    if (!Atende()) {
        m_report.outcome = BufferCallReport::Outcome::NotAnswered;
        Termina();
        return;
    }
    m_report.outcome = BufferCallReport::Outcome::Abandoned;
    if (Identifica() && ProvaCodigo() && Prossegue()) {
        RecebeRegistros();
        // Another workstation may store this customer's events again.
        OnMain([&] { m_buffers.Receiver()->EndReception(); });
    }
    Termina();
}

// Counts the rings and answers on the ring after NºRings; gives up 15 s after the start or the last
// answer command without a carrier, and on a failure result.
bool ThreadBuffer::Atende() {
    const Clock& clock = Clock::instance();
    qint64 lastAnswer = clock.nowMs();
    int count = 0;
    OnMain([&] {
        m_host.StepsReset({BufferTexts::StepAnsweringCall(), LinkTexts::StepConnectingToPanel(),
                           LinkTexts::StepCheckingCodes()});
        m_host.StepSetState(0, StepState::Current);
        m_host.StepSetState(1, StepState::Pending);
    });
    while (!Stopping()) {
        if (clock.nowMs() - lastAnswer > AnswerLimitMs)
            return false;
        const quint8 code = ResultCode.load();
        switch (code) {
        case ResultConnect:
            ResultCode = ResultNone;
            // "Conectando ao painel de alarme" becomes the current line.
            ProximoPasso();
            if (m_ringLineShown)
                ProximoPasso();
            return true;
        case ResultRing:
            // Behind a PABX a ring this close to the start or to an answer is counted later.
            if (m_inputs.Pabx && clock.nowMs() - lastAnswer < PabxRingGuardMs) {
                Sleep(PollMs);
                break;
            }
            // Taken: left in the accumulator, the next bytes would store it again.
            m_host.Link().ClearRxText();
            ResultCode = ResultNone;
            ContaRing(count, lastAnswer);
            break;
        case ResultNoCarrier:
        case ResultError:
        case ResultNoDialTone:
        case ResultBusy:
        case ResultNoAnswer:
            ResultCode = ResultNone;
            return false;
        case ResultOk:
            ResultCode = ResultNone;
            break;
        default:
            Sleep(PollMs);
            break;
        }
    }
    return false;
}

void ThreadBuffer::ContaRing(int& count, qint64& lastAnswer) {
    if (!m_ringLineShown) {
        m_ringLineShown = true;
        OnMain([&] { m_host.StepInsert(1, LinkTexts::StepReceivingRing()); });
    }
    // The waiting line blinks once for every ring.
    OnMain([&] { m_host.StepSetState(0, StepState::Pending); });
    Sleep(BlinkMs);
    OnMain([&] { m_host.StepSetState(0, StepState::Current); });
    if (++count > m_rings) {
        count = 0;
        Envia(kModemAnswer);
        Sleep(CommandPauseMs);
        lastAnswer = Clock::instance().nowMs();
    }
}

// The panel tells its product, version and panel code; the customer is the one with that panel
// code. The supervision timer (25 ticks) ends a panel that never answers.
bool ThreadBuffer::Identifica() {
    LinkState& state = m_host.Link();
    OnMain([&] {
        state.FrameMode = true;
        state.TimeoutTicks = 0;
        m_host.SetSupervision(SupervisionTickMs);
    });
    const QByteArray request = FrameCodec::BuildShortCommand(FrameCodec::CmdIdentify);
    Envia(request, [&] { state.DiscardFrame(); });
    Sleep(AfterFramePauseMs);
    while (!Stopping()) {
        std::optional<QByteArray> answer;
        Rodada(RoundMs, FrameCodec::IdentifySlice, AfterFramePauseMs, [&](const QByteArray& s) {
            if (!answer && quint8(s.at(0)) == FrameCodec::TypeIdentify &&
                s.size() >= FrameCodec::IdentifySlice)
                answer = s;
        });
        if (Stopping())
            return false;
        if (!answer) {
            Envia(request);
            continue;
        }
        const quint8 product = quint8(answer->at(1));
        m_report.panelCode = FrameCodec::UnpackCode(answer->mid(3, 2));
        state.ReceivedVersion.store(FrameCodec::DecodeVersion(quint8(answer->at(2))));
        state.Orvan9Max = product == 4;
        std::optional<CallingCustomer> customer;
        QString failure;
        OnMain([&] {
            BufferReceiver* receiver = m_buffers.Receiver();
            if (!receiver)
                throw LinkWorkerError(QStringLiteral("no event store"));
            if (!receiver->Acha_Cliente(m_report.panelCode, &customer))
                throw LinkWorkerError(receiver->LastError());
            state.ConnectedProduct = customer ? quint8(customer->produto) : quint8(255);
        });
        if (!customer) {
            Aviso(9, BufferCallReport::Outcome::UnknownPanel);
            return false;
        }
        m_customer = customer;
        m_report.customerId = customer->id;
        m_report.customerName = customer->nome;
        state.StoredVersion.store(customer->versaoProduto);
        if (customer->produto != product) {
            Aviso(10, BufferCallReport::Outcome::WrongProduct);
            Sleep(WrongProductPauseMs);
            return false;
        }
        m_product = product;
        state.TimeoutTicks = 0;
        ProximoPasso();
        return true;
    }
    return false;
}

// The code frame carries the customer's PC code twice; it goes out again every second until the
// last good answer of a second is an acknowledge.
bool ThreadBuffer::ProvaCodigo() {
    LinkState& state = m_host.Link();
    const QByteArray frame = FrameCodec::BuildCodeFrame(m_customer->codigoPC, m_customer->codigoPC);
    if (frame.isEmpty()) {
        // A PC code that is not four digits cannot be proved: the panel could only refuse it.
        Aviso(11, BufferCallReport::Outcome::Abandoned);
        return false;
    }
    while (!Stopping()) {
        Envia(frame, [&] { state.DiscardFrame(); });
        quint8 last = 0;
        Rodada(RoundMs, FrameCodec::ShortAnswerSlice, AfterFramePauseMs,
               [&](const QByteArray& s) { last = quint8(s.at(0)); });
        if (last == FrameCodec::TypeAck) {
            state.TimeoutTicks = 0;
            return true;
        }
    }
    return false;
}

// Proceed: an acknowledge, or a panel that starts sending its log at once (an event record).
bool ThreadBuffer::Prossegue() {
    LinkState& state = m_host.Link();
    if (!SleepUnlessStopping(ProceedPauseMs))
        return false;
    const QByteArray frame = FrameCodec::BuildShortCommand(FrameCodec::CmdProceed);
    while (!Stopping()) {
        Envia(frame, [&] { state.DiscardFrame(); });
        quint8 last = 0;
        // A whole record's slice: the acknowledge gives its two bytes, an event record all of them.
        Rodada(RoundMs, FrameCodec::BlockSlice, AfterFramePauseMs,
               [&](const QByteArray& s) { last = quint8(s.at(0)); });
        if (last == FrameCodec::TypeAck || last == FrameCodec::TypeEventRecord) {
            if (last == FrameCodec::TypeEventRecord)
                state.PanelSentBuffer = true;
            break;
        }
    }
    if (Stopping())
        return false;
    OnMain([&] {
        m_host.StepAdd(LinkTexts::StepCodesCorrectOnCallback());
        m_host.StepNext();
        m_host.StepAdd(LinkTexts::StepCallbackConnectedToPanel(m_product, state.StoredVersion.load(),
                                                               state.ReceivedVersion.load()));
        m_host.StepNext();
        m_host.StepNext();
        state.TimeoutTicks = 0;
    });
    return true;
}

// The records, from 0 until the end record (or the event area's last record). Each record is
// stored as soon as it arrived, so a call that ends halfway keeps what came.
void ThreadBuffer::RecebeRegistros() {
    LinkState& state = m_host.Link();
    const ProductFamily family =
        FamilyOf(m_product) == ProductFamily::FiveZone ? ProductFamily::FiveZone : ProductFamily::TenZone;
    const int areaRecords = PanelEvents::AreaRecords(family);
    m_area = QByteArray(areaRecords * PanelEvents::RecordSize, char(0xFF));
    bool begun = false;
    OnMain([&] {
        // The record loop has its own time-out rule: the supervision timer is not needed any more.
        m_host.SetSupervision(0);
        m_host.StepAdd(QString());
        m_host.StepAdd(BufferTexts::ReceivingBufferOf(m_customer->nome), StepState::Current);
        begun = m_buffers.Receiver()->BeginReception(*m_customer, m_product);
        if (!begun)
            m_report.error = m_buffers.Receiver()->LastError();
        m_buffers.SetResponseTimerInterval(RecordTimeoutMs);
        state.DiscardFrame();
        m_host.Operator()->ProgressSetBar(true, 0, PanelEvents::ExpectedRecords(family) - 1, 0);
    });
    if (!begun) {
        m_report.outcome = BufferCallReport::Outcome::StoreFailed;
        return;
    }
    const auto ask = [&](int index) {
        TimedOut = false;
        OnMain([&] { m_buffers.StartResponseTimer(); });
        Sleep(RecordRequestPauseMs);
        const QByteArray request = SessionFrames::EventRecordFrame(quint8(index));
        OnMain([&] {
            if (!m_buffers.SendFrame(request))
                throw LinkWorkerError(QStringLiteral("Port not open"));
        });
    };
    int expected = 0;
    int timeouts = 0;
    // Ended from outside during the log: listening switched off, or the program stopping.
    const auto stopped = [&] {
        m_report.outcome = BufferCallReport::Outcome::Stopped;
        return true;
    };
    for (int r = 0; r < areaRecords;) {
        if (Stopping() && stopped())
            return;
        OnMain(
            [&] { m_host.Operator()->ProgressSetBar(true, 0, PanelEvents::ExpectedRecords(family) - 1, r); });
        ask(expected);
        for (;;) {
            if (Stopping() && stopped())
                return;
            if (const std::optional<QByteArray> frame = state.TakeFrame()) {
                timeouts = 0;
                OnMain([&] { m_buffers.StopResponseTimer(); });
                Sleep(AfterFramePauseMs);
                const std::optional<QByteArray> slice =
                    FrameCodec::AnswerSlice(*frame, FrameCodec::BlockSlice);
                if (!slice || slice->size() < FrameCodec::BlockSlice ||
                    quint8(slice->at(0)) != FrameCodec::TypeEventRecord || quint8(slice->at(1)) != expected) {
                    ask(expected);
                    continue;
                }
                ++expected;
                const QByteArray record = slice->mid(2, PanelEvents::RecordSize);
                m_area.replace(r * PanelEvents::RecordSize, PanelEvents::RecordSize, record);
                if (PanelEvents::IsEnd(record)) {
                    m_report.outcome = BufferCallReport::Outcome::Received;
                    return;
                }
                bool stored = false;
                OnMain([&] {
                    BufferReceiver* receiver = m_buffers.Receiver();
                    stored = receiver->Atualiza_Buffer_Eventos(r, record);
                    m_report.stored = receiver->Stored();
                    m_report.alreadyStored = receiver->AlreadyStored();
                    if (!stored)
                        m_report.error = receiver->LastError();
                });
                if (!stored) {
                    m_report.outcome = BufferCallReport::Outcome::StoreFailed;
                    return;
                }
                ++m_report.records;
                ++r;
                break;
            }
            if (TimedOut.exchange(false)) {
                if (++timeouts >= MaxTimeouts) {
                    m_report.outcome = BufferCallReport::Outcome::LineDropped;
                    return;
                }
                ask(expected);
                continue;
            }
            Sleep(PollMs);
        }
    }
    // The event area is full: what it holds is the log.
    m_report.outcome = BufferCallReport::Outcome::Received;
}

void ThreadBuffer::Envia(const QByteArray& text, const std::function<void()>& before) {
    OnMain([&] {
        if (before)
            before();
        if (!m_buffers.SendFrame(text))
            throw LinkWorkerError(QStringLiteral("Port not open"));
    });
    // The send operation's pause, taken here so the window is never held.
    Sleep(SendPauseMs);
}

void ThreadBuffer::Aviso(int code, BufferCallReport::Outcome outcome) {
    m_report.outcome = outcome;
    // No message box while listening: it would hold the next call until someone closed it. The
    // warning goes with the call's report to the status bar and the call log.
    m_report.warning = LinkTexts::Aviso(code);
    OnMain([&] {
        m_host.Link().FrameMode = false;
        m_host.ClosePort();
    });
}

void ThreadBuffer::Termina() {
    LinkState& state = m_host.Link();
    if (CanceladoPeloOperador.load() && m_report.outcome != BufferCallReport::Outcome::Received)
        m_report.outcome = BufferCallReport::Outcome::Cancelled;
    OnMainQuietly([&] {
        m_buffers.StopResponseTimer();
        m_host.SetSupervision(0);
        m_host.Operator()->ProgressSetBar(false, 0, 0, 0);
        state.FrameMode = false;
        m_host.ClosePort();
    });
    Q_EMIT BufferFim();
}

void ThreadBuffer::TerminaComErro() noexcept {
    Erro = true;
    Abandonado = true;
    m_report.outcome = BufferCallReport::Outcome::Error;
    OnMainQuietly([&] {
        m_buffers.StopResponseTimer();
        m_host.SetSupervision(0);
        m_host.Operator()->ProgressSetBar(false, 0, 0, 0);
        m_host.Link().FrameMode = false;
        m_host.ClosePort();
    });
    Q_EMIT BufferFim();
}
