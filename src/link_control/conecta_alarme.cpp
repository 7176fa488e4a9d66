#include "link_control/conecta_alarme.h"

#include "base/clock.h"
#include "base/operator_messages.h"
#include "link/frame_codec.h"
#include "link/receive_dispatcher.h"
#include "link_control/conecta_alarme_host.h"
#include "link_control/link_operator.h"
#include "link_control/link_texts.h"
#include "link_control/refused_commands.h"
#include "serial/modem_commands.h"

#include <algorithm>
#include <utility>

namespace {

constexpr qint64 PollMs = 5;
constexpr qint64 CommandPauseMs = 300;
constexpr qint64 IdentifyRoundMs = 2000;
constexpr qint64 CodeRoundMs = 1000;
constexpr qint64 AbandonedCallPauseMs = 10000;
constexpr int MaxBypassSeconds = 255;
// A set-up line's answer comes well within this; no keep-alive goes out meanwhile.
constexpr qint64 LineAnswerMs = 1000;

} // namespace

ConectaAlarme::ConectaAlarme(ConectaAlarmeHost& host, ConnectionInputs inputs)
    : PanelLinkWorker(host), m_inputs(std::move(inputs)) {
    NumComandos = m_inputs.NAT;
}

void ConectaAlarme::run() {
    try {
        Executa();
    } catch (const std::exception&) {
        TerminaComErro();
    }
}

void ConectaAlarme::Executa() {
    if (!InicializaModem()) {
        TerminaComFalha();
        return;
    }
    MudaVelocidade();
    if (!Stopping())
        EnganaSecretaria();
    // Nothing is dialled once the attempt is over (a cancel during the answering-machine wait).
    if (Stopping() || !Disca()) {
        TerminaComFalha();
        return;
    }
    // Phase 5: the panel tells its product, version and panel code.
    Identifica(IdentifyRoundMs, NullProduct::TakeReceived);
    if (!Stopping()) {
        // Phase 6: from the code verification on, the handler closes the port.
        m_codeCheckReached = true;
        VerificaCodigos();
    }
    if (!Stopping())
        Prossegue();
    if (Stopping())
        TerminaComFalha();
    else
        TerminaComSucesso();
}

// Phase 1: the initialisation list goes out one line per "OK", with "AT\r" every 3 s meanwhile. A
// line the modem answers with ERROR goes out again command by command, without the refused ones.
bool ConectaAlarme::InicializaModem() {
    LinkState& state = m_host.Link();
    OnMain([&] {
        m_host.Operator()->ProgressSetCancelEnabled(true);
        ResultCode = ResultNone;
        state.CallbackPending = false;
        state.DialPhase = false;
        state.TimeoutTicks = 0;
        // Left over from an earlier connection these would pass the waits below at once, or throw
        // away this attempt's first genuine NO CARRIER.
        state.ModemInitDone = false;
        state.IgnoreNoCarrier = false;
        m_host.SetSupervision(SupervisionTickMs);
    });

    const ModemInitList& list = m_inputs.InitList;
    state.UsbModem = list.usbModem;
    PausaHabilitada = m_inputs.HabilitaPausa;
    if (PausaHabilitada)
        DigitoPABX = m_inputs.Digito;

    const int barMax = m_inputs.NAT + 2;
    IndiceComando = 0;
    OnMain([&] { m_host.Operator()->ProgressSetBar(true, 1, barMax, 1); });

    const Clock& clock = Clock::instance();
    EnviaComando(kModemAttention, [&] { state.OkReceived = false; });
    Sleep(CommandPauseMs);
    qint64 lastKeepAlive = clock.nowMs();
    const QList<ModemInitStep> steps = ModemInitSteps(list);
    const ModemInitStep* pending = nullptr; // the line waiting for its answer
    bool due = false;                       // the line after a refused one goes out without an "OK"
    qint64 lineSentAt = 0;
    for (qsizetype next = 0; next < steps.size() && !Stopping();) {
        if (pending && ResultCode.exchange(ResultNone) == ResultError) {
            // The whole line was refused: its commands go out one at a time, the refused ones
            // are listed in the step list and left out.
            EnviaUmAUm(*pending);
            pending = nullptr;
            due = true;
            lastKeepAlive = clock.nowMs();
            continue;
        }
        if (due || state.OkReceived.load()) {
            due = false;
            const ModemInitStep& step = steps.at(next++);
            pending = &step;
            // Results still in the accumulator belong to earlier lines, not to this one. The index
            // moves on together with the write, so that the "OK" to the last line finds it past
            // the command count however fast it comes.
            EnviaComando(
                step.line,
                [&] {
                    state.ClearRxText();
                    ResultCode = ResultNone;
                },
                [&] {
                    IndiceComando = step.indexAfter;
                    state.TimeoutTicks = 0;
                    lineSentAt = clock.nowMs();
                    m_host.Operator()->ProgressSetBar(true, 1, barMax, std::min(step.indexAfter, barMax));
                });
            if (step.modulation)
                EnviaComando(kModemModulation);
        }
        // Not right after a line: its answer, an ERROR above all, must not meet the keep-alive's
        // "OK" on the way.
        if (clock.nowMs() - lastKeepAlive >= KeepAliveMs && clock.nowMs() - lineSentAt >= LineAnswerMs) {
            EnviaComando(kModemAttention);
            lastKeepAlive = clock.nowMs();
        }
        Sleep(PollMs);
    }
    // The last line's answer: refused, its commands still go out before the set-up is over, and
    // when every one of them was refused an "AT" gets the "OK" that ends it.
    if (pending && !Stopping() &&
        WaitUntil([&] { return ResultCode.load() == ResultError || state.ModemInitDone.load(); }) &&
        !state.ModemInitDone.load()) {
        ResultCode = ResultNone;
        EnviaUmAUm(*pending);
        if (!Stopping() && !state.ModemInitDone.load())
            EnviaComando(kModemAttention);
    }
    OnMain([&] { m_host.Operator()->ProgressSetBar(false, 1, barMax, barMax); });
    if (Stopping())
        return false;

    IndiceComando = IndiceComando + 4;
    if (!WaitUntil([&] { return state.ModemInitDone.load(); }))
        return false;
    OnMain([&] {
        state.DialPhase = true;
        state.TimeoutTicks = 0;
        // Dialling is not supervised: the modem's own carrier wait ends it.
        m_host.SetSupervision(0);
    });
    return true;
}

void ConectaAlarme::EnviaUmAUm(const ModemInitStep& step) {
    LinkState& state = m_host.Link();
    OneAtATime how;
    how.send = [&](const QByteArray& line) {
        EnviaComando(
            line,
            [&] {
                state.ClearRxText();
                ResultCode = ResultNone;
            },
            [&] { state.TimeoutTicks = 0; });
    };
    how.takeResult = [&] { return ResultCode.exchange(ResultNone); };
    how.stopping = [&] { return Stopping(); };
    how.refused = [&](const QString& command) {
        OnMain([&] {
            m_host.StepInsertAfterCurrent(LinkTexts::ModemRefusedCommand(command));
            m_host.StepNext();
        });
    };
    how.resendMs = KeepAliveMs;
    SendOneAtATime(step.commands, how);
}

// Phase 2: a serial modem talks to the panel at 300 baud; a USB-type modem was put into Bell 103
// mode by its modulation command and keeps the port's speed.
void ConectaAlarme::MudaVelocidade() {
    if (m_host.Link().UsbModem.load())
        return;
    Sleep(CommandPauseMs);
    OnMain([&] { m_host.ReopenPort(300); });
    Sleep(CommandPauseMs);
}

// Phase 3: a first call lets an answering machine on the panel's line take the call away; it is
// abandoned after the stored time (learned from the operator's press at the second ring), and the
// real call follows 10 s later.
void ConectaAlarme::EnganaSecretaria() {
    LinkState& state = m_host.Link();
    bool bypass = false;
    int seconds = 0;
    QString phone;
    OnMain([&] {
        LinkCustomerScreen* screen = m_host.CustomerScreen();
        if (!screen)
            throw LinkWorkerError(QStringLiteral("no customer screen"));
        bypass = screen->EnganaSecretaria();
        if (bypass)
            seconds = screen->TempoEnganaSecretaria();
        phone = screen->FonePainel();
    });
    if (!bypass) {
        ProximoPasso();
        return;
    }

    state.IgnoreNoCarrier = true; // the first call's NO CARRIER is not a result
    const QByteArray firstCall = PlainDialLine(m_inputs.DialCommand, phone);
    const Clock& clock = Clock::instance();
    if (seconds != 0) {
        ProximoPasso();
        EnviaComando(firstCall);
        Sleep(CommandPauseMs);
        SleepUnlessStopping(qint64(seconds) * 1000);
    } else {
        SegundoRing = false;
        OnMain([&] { m_host.Operator()->ProgressSetSecondRingButton(true); });
        // Timed from the moment the dial goes out, not from before the send's own pause.
        qint64 dialledAt = 0;
        EnviaComando(firstCall, {}, [&] { dialledAt = clock.nowMs(); });
        Sleep(CommandPauseMs);
        ProximoPasso();
        ProximoPasso();
        WaitUntil([&] { return SegundoRing.load(); });
        if (Stopping()) {
            OnMain([&] { m_host.Operator()->ProgressSetSecondRingButton(false); });
        } else {
            const int learned = int(std::min<qint64>((clock.nowMs() - dialledAt) / 1000, MaxBypassSeconds));
            OnMain([&] {
                m_host.StepInsertAfterCurrent(LinkTexts::StepTimeBetweenRings(learned));
                m_host.StepNext();
                m_host.Operator()->ProgressSetSecondRingButton(false);
                if (LinkCustomerScreen* screen = m_host.CustomerScreen())
                    screen->SetTempoEnganaSecretaria(learned);
            });
        }
    }

    // Abandon the first call (also after a cancel: the modem must not go on ringing the panel).
    ProximoPasso();
    EnviaComando(kModemAttention);
    Sleep(CommandPauseMs);
    if (!Stopping())
        SleepUnlessStopping(AbandonedCallPauseMs);
    if (!Stopping())
        ProximoPasso();
}

// Phase 4: dial and wait for the carrier or the modem's failure result.
bool ConectaAlarme::Disca() {
    LinkState& state = m_host.Link();
    // Results left in the accumulator (the abandoned call's, or a failure text stored again with
    // every batch) must not be taken for this dial's answer. They are dropped just before the dial
    // goes out, so that no answer to the dial itself can be lost.
    EnviaComando(m_inputs.DialCommand, [&] {
        state.IgnoreNoCarrier = false;
        state.ClearRxText();
        ResultCode = ResultNone;
    });
    Sleep(CommandPauseMs);
    state.OkReceived = false;
    Sleep(CommandPauseMs);

    const Clock& clock = Clock::instance();
    const qint64 dialledAt = clock.nowMs();
    bool connected = false;
    bool answerSent = false;
    const auto endsWithoutCarrier = [&] {
        OnMain([&] {
            m_host.SetSupervision(0);
            m_host.ClosePort();
            OperatorMessages::Tell(nullptr, QString::fromUtf8(LinkTexts::DialEndedWithoutCarrier),
                                   MessageIcon::Warning);
        });
        Cancelado = true;
    };
    while (!connected && !Stopping()) {
        const quint8 code = ResultCode.exchange(ResultNone);
        switch (code) {
        case ResultOk:
            // A USB-type modem is back in command mode once it has dialled and is told to answer,
            // once. Any other "OK" means the modem went back to its commands without a call (the
            // dial line held more commands than the dial): nothing will come any more.
            if (state.UsbModem.load() && !answerSent) {
                answerSent = true;
                EnviaComando(kModemAnswer);
                Sleep(CommandPauseMs);
            } else {
                endsWithoutCarrier();
            }
            break;
        case ResultUnknown:
            endsWithoutCarrier();
            break;
        case ResultConnect:
            ProximoPasso();
            connected = true;
            break;
        case ResultNoCarrier:
        case ResultError:
        case ResultNoDialTone:
        case ResultBusy:
        case ResultNoAnswer:
            MostraAviso(code);
            Cancelado = true;
            break;
        default:
            if (clock.nowMs() - dialledAt >= m_inputs.DialResultLimitMs) {
                OnMain([&] {
                    OperatorMessages::Tell(nullptr, QString::fromUtf8(LinkTexts::ModemNoResponse),
                                           MessageIcon::Warning);
                });
                Cancelado = true;
            } else {
                Sleep(PollMs);
            }
            break;
        }
    }

    Sleep(100);
    OnMain([&] {
        state.TimeoutTicks = 0;
        m_host.SetSupervision(SupervisionTickMs); // 25 ticks without progress apply from now on
    });
    if (Stopping())
        return false;
    state.FrameMode = true;
    return true;
}

// Phase 7: proceed into a session, or ask the panel to hang up and call back.
void ConectaAlarme::Prossegue() {
    LinkState& state = m_host.Link();
    if (!SleepUnlessStopping(2000))
        return;
    const bool callback = state.CallbackRequested.load();
    const QByteArray frame =
        FrameCodec::BuildShortCommand(callback ? FrameCodec::CmdCallback : FrameCodec::CmdProceed);
    // A frame still waiting is dropped before the frame goes out, never after: the panel's answer
    // comes back within the pause that follows and must not be thrown away with it.
    const auto send = [&] {
        EnviaComando(frame, [&] {
            state.DiscardFrame();
            if (callback)
                state.IgnoreNoCarrier = true;
        });
        Sleep(FramePauseMs);
    };
    send();
    bool done = false;
    while (!done) {
        if (Stopping())
            return;
        // The slice is long enough for an event record: a panel that starts sending its log at once
        // answers the proceed frame with its first record, and the session then downloads the log.
        Rodada(CodeRoundMs, FrameCodec::BlockSlice, AfterFramePauseMs, [&](const QByteArray& s) {
            switch (quint8(s.at(0))) {
            case FrameCodec::TypeAck:
                done = true;
                break;
            case FrameCodec::TypeEventRecord:
                if (!callback) {
                    state.PanelSentBuffer = true;
                    done = true;
                }
                break;
            case FrameCodec::TypeCallback:
                state.CallbackPending = true;
                state.IgnoreNoCarrier = true;
                Cancelado = true;
                done = true;
                break;
            default:
                break;
            }
        });
        if (!done && isInterruptionRequested())
            return;
        if (!done && !Cancelado.load())
            send();
    }

    const bool pending = state.CallbackPending.load();
    if (!callback) {
        OnMain([&] {
            m_host.StepAdd(LinkTexts::StepCodesCorrect(pending));
            m_host.StepNext();
        });
    }
    if (pending) {
        OnMain([&] { m_host.StepAdd(LinkTexts::StepAwaitingCallback(), StepState::Done); });
        EnviaComando(kModemAttention);
        Sleep(CommandPauseMs);
    } else {
        OnMain([&] {
            m_host.StepAdd(LinkTexts::StepConnectedToPanel(
                state.ConnectedProduct.load(), state.StoredVersion.load(), state.ReceivedVersion.load()));
            m_host.Operator()->ProgressSetCancelEnabled(false);
            m_host.StepNext();
        });
        Sleep(3000);
    }
    state.TimeoutTicks = 0;
}

void ConectaAlarme::TerminaComSucesso() {
    LinkState& state = m_host.Link();
    OnMain([&] {
        LinkOperator* op = m_host.Operator();
        op->ProgressSetCancelEnabled(false);
        m_host.SetSupervision(0);
        LinkCustomerScreen* screen = m_host.CustomerScreen();
        if (screen)
            screen->SetConnectedImages(true);
        if (!state.CallbackPending.load())
            op->ProgressClose();
        if (screen)
            screen->SetVersionLabel(QLatin1Char('V') + state.ReceivedVersion.load());
        op->ProgressSetCancelEnabled(true);
    });
    Cancelado = false;
    Q_EMIT ConectaAlarmeFim();
}

void ConectaAlarme::TerminaComFalha() {
    LinkState& state = m_host.Link();
    // The supervisor's own mark, not the tick count: a phase that ends because of the cancel may
    // reset the count on its way out.
    QString noResponse;
    if (SupervisionExpired.load())
        noResponse = QString::fromUtf8(state.DialPhase.load() ? LinkTexts::PanelNoResponse
                                                              : LinkTexts::ModemNoResponse);
    OnMainQuietly([&] {
        LinkOperator* op = m_host.Operator();
        if (!noResponse.isEmpty())
            OperatorMessages::Tell(nullptr, noResponse, MessageIcon::Warning);
        if (state.CallbackPending.load()) {
            // The progress window stays up for the callback wait.
            if (LinkCustomerScreen* screen = m_host.CustomerScreen())
                screen->SetConnectedImages(true);
            state.IgnoreNoCarrier = true;
            m_host.ClosePort();
            op->ProgressSetCancelEnabled(true);
        } else {
            op->ProgressClose();
            // An attempt that failed before the code verification drops the line here; the
            // handler closes the port in every case.
            if (!m_codeCheckReached)
                m_host.ClosePort();
        }
    });
    Cancelado = true;
    Q_EMIT ConectaAlarmeFim();
}

void ConectaAlarme::TerminaComErro() noexcept {
    Erro = true;
    Cancelado = true;
    OnMainQuietly([&] {
        m_host.ClosePort();
        m_host.Operator()->ProgressClose();
    });
    Q_EMIT ConectaAlarmeFim();
}
