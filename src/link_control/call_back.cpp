#include "link_control/call_back.h"

#include "base/clock.h"
#include "link/frame_codec.h"
#include "link_control/conecta_alarme_host.h"
#include "link_control/link_operator.h"
#include "link_control/link_texts.h"
#include "serial/modem_commands.h"

#include <utility>

namespace {

constexpr qint64 PollMs = 5;
constexpr qint64 PabxRingGuardMs = 600;
constexpr qint64 BlinkMs = 100;
constexpr qint64 RoundMs = 1000;
constexpr int DefaultRings = 2;

} // namespace

CallBack::CallBack(ConectaAlarmeHost& host, CallBackInputs inputs)
    : PanelLinkWorker(host), m_inputs(inputs), m_rings(inputs.Rings > 0 ? inputs.Rings : DefaultRings) {}

void CallBack::run() {
    try {
        Executa();
    } catch (const std::exception&) {
        TerminaComErro();
    }
}

void CallBack::Executa() {
    Inicia();
    if (Stopping() || !AguardaChamada()) {
        TerminaComFalha();
        return;
    }
    LinkState& state = m_host.Link();
    Sleep(100);
    OnMain([&] {
        state.TimeoutTicks = 0;
        m_host.SetSupervision(SupervisionTickMs);
    });
    if (Stopping()) {
        TerminaComFalha();
        return;
    }
    state.FrameMode = true;
    Identifica(RoundMs, NullProduct::Fail);
    if (!Stopping())
        VerificaCodigos();
    if (Stopping() || !SleepUnlessStopping(2000)) {
        TerminaComFalha();
        return;
    }
    Prossegue();
}

void CallBack::Inicia() {
    LinkState& state = m_host.Link();
    OnMain([&] {
        ResultCode = ResultNone;
        state.TimeoutTicks = 0;
        m_host.SetSupervision(SupervisionTickMs);
    });
    IndiceComando = 0;
    OnMain([&] { m_host.AbrePortaCallBack(); });
    Erro = false;
    OnMain([&] {
        m_host.StepsReset({LinkTexts::StepAwaitingPanelCallback(), LinkTexts::StepConnectingToPanel(),
                           LinkTexts::StepCheckingCodes()});
        m_host.StepSetState(0, StepState::Current);
        m_host.StepSetState(1, StepState::Pending);
    });
}

bool CallBack::AguardaChamada() {
    const Clock& clock = Clock::instance();
    qint64 lastAnswer = clock.nowMs();
    qint64 lastKeepAlive = lastAnswer;
    // Whatever the modem said before the wait (the answer to the last "AT") is not the panel's call.
    OnMain([&] {
        m_host.Link().ClearRxText();
        ResultCode = ResultNone;
    });
    bool ringing = false;
    bool ringLineAdded = false;
    int count = 0;
    while (!Stopping()) {
        if (!ringing && clock.nowMs() - lastKeepAlive >= KeepAliveMs) {
            EnviaComando(kModemAttention);
            lastKeepAlive = clock.nowMs();
        }
        const quint8 code = ResultCode.load();
        switch (code) {
        case ResultOk:
            ResultCode = ResultNone;
            break;
        case ResultConnect:
            ProximoPasso();
            ResultCode = ResultNone;
            return true;
        case ResultRing:
            // Behind a PABX a ring that follows the start or an answer this closely is held back,
            // and counted once the guard time has passed.
            if (m_inputs.Pabx && clock.nowMs() - lastAnswer < PabxRingGuardMs) {
                Sleep(PollMs);
                break;
            }
            ringing = true;
            // The RING is taken: left in the accumulator, the next bytes would store it again.
            m_host.Link().ClearRxText();
            ResultCode = ResultNone;
            ContaRing(ringLineAdded, count, lastAnswer);
            break;
        case ResultNoCarrier:
        case ResultError:
        case ResultNoDialTone:
        case ResultBusy:
        case ResultNoAnswer:
            MostraAviso(code);
            ResultCode = ResultNone;
            Cancelado = true;
            break;
        default:
            Sleep(PollMs);
            break;
        }
    }
    return false;
}

void CallBack::ContaRing(bool& ringLineAdded, int& count, qint64& lastAnswer) {
    if (!ringLineAdded) {
        ringLineAdded = true;
        OnMain([&] { m_host.StepInsert(1, LinkTexts::StepReceivingRing()); });
    }
    ++count;
    Pisca();
    if (count > m_rings) {
        count = 0;
        EnviaComando(kModemAnswer);
        lastAnswer = Clock::instance().nowMs();
    }
}

// The waiting line, current until the carrier comes, blinks once for every ring.
void CallBack::Pisca() {
    OnMain([&] { m_host.StepSetState(0, StepState::Pending); });
    Sleep(BlinkMs);
    OnMain([&] { m_host.StepSetState(0, StepState::Current); });
}

void CallBack::Prossegue() {
    LinkState& state = m_host.Link();
    const QByteArray frame = FrameCodec::BuildShortCommand(FrameCodec::CmdProceed);
    EnviaComando(frame, [&] { state.DiscardFrame(); });
    Sleep(FramePauseMs);
    bool done = false;
    bool skipped = false;
    while (!done) {
        if (Stopping()) {
            skipped = true;
            break;
        }
        m_retry = true;
        Rodada(RoundMs, FrameCodec::ShortAnswerSlice, AfterFramePauseMs, [&](const QByteArray& s) {
            switch (quint8(s.at(0))) {
            case FrameCodec::TypeAck:
                m_retry = false;
                done = true;
                break;
            case FrameCodec::TypeNak:
                m_retry = true;
                break;
            case FrameCodec::TypeCallback:
                // The panel will not take a proceed on its own call: the exchange is over all the
                // same, and the session follows.
                m_retry = false;
                done = true;
                break;
            default:
                break;
            }
        });
        if (!done && m_retry && !Stopping()) {
            EnviaComando(frame, [&] { state.DiscardFrame(); });
            Sleep(FramePauseMs);
        }
    }
    TerminaComSucesso(skipped);
}

void CallBack::TerminaComSucesso(bool skippedToEnd) {
    LinkState& state = m_host.Link();
    if (!skippedToEnd) {
        OnMain([&] {
            m_host.StepAdd(LinkTexts::StepCodesCorrectOnCallback());
            m_host.StepNext();
            state.TimeoutTicks = 0;
        });
    }
    OnMain([&] {
        m_host.StepAdd(LinkTexts::StepCallbackConnectedToPanel(
            state.ConnectedProduct.load(), state.StoredVersion.load(), state.ReceivedVersion.load()));
        m_host.Operator()->ProgressSetCancelEnabled(false);
        m_host.StepNext();
    });
    Sleep(3000);
    OnMain([&] {
        m_host.SetSupervision(0);
        if (LinkCustomerScreen* screen = m_host.CustomerScreen())
            screen->SetVersionLabel(QLatin1Char('V') + state.ReceivedVersion.load());
    });
    OnMainQuietly([&] {
        m_host.Operator()->ProgressClose();
        m_host.Operator()->ProgressSetCancelEnabled(true);
    });
    // A cancel that came during the exchange leaves Cancelado set: the handler does not start the
    // session then.
    Q_EMIT CallBackFim();
}

void CallBack::TerminaComFalha() {
    Cancelado = true;
    OnMainQuietly([&] { m_host.ClosePort(); });
    Q_EMIT CallBackFim();
}

void CallBack::TerminaComErro() noexcept {
    Erro = true;
    Cancelado = true;
    OnMainQuietly([&] { m_host.ClosePort(); });
    Q_EMIT CallBackFim();
}
