#include "link_control/config_modem.h"

#include "base/clock.h"
#include "base/operator_messages.h"
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
constexpr qint64 SupervisionTickMs = 1000;
constexpr qint64 AttentionPauseMs = 300;
constexpr qint64 LinePauseMs = 100;
constexpr qint64 SendPauseMs = 100;
// The last line goes out again every second until the modem answers it.
constexpr qint64 ResendMs = 1000;

} // namespace

ThreadConfigModem::ThreadConfigModem(ConectaAlarmeHost& host, BufferWorkerHost& sends,
                                     ConfigModemInputs inputs)
    : LinkWorker(host), m_sends(sends), m_inputs(std::move(inputs)) {
    NumComandos = m_inputs.NAT;
}

QString ThreadConfigModem::StatusText() {
    return QStringLiteral("Configurando o modem.");
}

void ThreadConfigModem::run() {
    try {
        Executa();
    } catch (const std::exception&) {
        TerminaComErro();
    }
}

void ThreadConfigModem::Envia(const QByteArray& line, const std::function<void()>& after, bool fresh) {
    OnMain([&] {
        // Results still in the accumulator belong to earlier lines: an ERROR left there would be
        // found again with the next bytes and taken for this line's answer.
        if (fresh) {
            m_host.Link().ClearRxText();
            ResultCode = ResultNone;
        }
        if (!m_sends.SendFrame(line))
            throw LinkWorkerError(QStringLiteral("Port not open"));
        if (after)
            after();
    });
    Sleep(SendPauseMs);
}

void ThreadConfigModem::EnviaUmAUm(const ModemInitStep& step) {
    LinkState& state = m_host.Link();
    OneAtATime how;
    how.send = [&](const QByteArray& line) {
        OnMain([&] { m_host.SetSupervision(0); });
        Sleep(LinePauseMs);
        Envia(
            line,
            [&] {
                state.TimeoutTicks = 0;
                m_host.SetSupervision(SupervisionTickMs);
            },
            true);
    };
    how.takeResult = [&] { return ResultCode.exchange(ResultNone); };
    how.stopping = [&] { return Stopping(); };
    how.refused = [&](const QString& command) {
        OnMain([&] { m_sends.ListeningNotice(LinkTexts::ModemRefusedCommand(command)); });
    };
    how.resendMs = ResendMs;
    SendOneAtATime(step.commands, how);
}

void ThreadConfigModem::Executa() {
    LinkState& state = m_host.Link();
    const ModemInitList& list = m_inputs.InitList;
    const int gaugeMax = list.lastIndex();
    OnMain([&] {
        ResultCode = ResultNone;
        state.DialPhase = false;
        state.ModemInitDone = false;
        state.TimeoutTicks = 0;
        state.UsbModem = list.usbModem;
        m_host.SetSupervision(SupervisionTickMs);
    });
    IndiceComando = 0;
    QByteArray lastLine = kModemAttention;
    Envia(lastLine);
    OnMain([&] { m_host.Operator()->StatusShow(StatusText(), true, 0, gaugeMax); });
    Sleep(AttentionPauseMs);

    // The dispatcher keeps OkReceived only while a connection worker exists: an "OK" reaches this
    // worker as its result code. An ERROR refuses the whole line: its commands then go out one at a
    // time, and only the refused ones are left out.
    const Clock& clock = Clock::instance();
    qint64 lastResend = clock.nowMs();
    const QList<ModemInitStep> steps = ModemInitSteps(list);
    const ModemInitStep* pending = nullptr;
    for (qsizetype next = 0; next <= steps.size() && !Stopping();) {
        const quint8 code = ResultCode.exchange(ResultNone);
        if (code == ResultError && pending) {
            EnviaUmAUm(*pending);
            pending = nullptr;
        }
        if (code == ResultOk || (code == ResultError && !Stopping())) {
            if (next == steps.size())
                break; // the last line was answered
            const ModemInitStep& step = steps.at(next++);
            pending = &step;
            OnMain([&] { m_host.SetSupervision(0); });
            Sleep(LinePauseMs);
            lastLine = step.line;
            Envia(
                step.line,
                [&] {
                    // The index moves on with the write, so the "OK" to the last line finds it
                    // past the command count however fast it comes.
                    IndiceComando = step.indexAfter;
                    state.TimeoutTicks = 0;
                    m_host.SetSupervision(SupervisionTickMs);
                    m_host.Operator()->StatusSetGauge(std::min(step.indexAfter, gaugeMax));
                },
                true);
            if (step.modulation)
                Envia(kModemModulation);
            lastResend = clock.nowMs();
        } else if (clock.nowMs() - lastResend >= ResendMs) {
            Envia(lastLine);
            lastResend = clock.nowMs();
        }
        Sleep(PollMs);
    }
    if (Stopping()) {
        TerminaComFalha();
        return;
    }
    IndiceComando = IndiceComando + 4;
    // Every command of the last line refused: an "AT" gets the "OK" that ends the set-up.
    if (!state.ModemInitDone.load())
        Envia(kModemAttention);
    if (!WaitUntil([&] { return state.ModemInitDone.load(); })) {
        TerminaComFalha();
        return;
    }
    OnMain([&] {
        state.DialPhase = true;
        state.TimeoutTicks = 0;
        m_host.SetSupervision(0);
        m_host.Operator()->StatusClose();
    });
    Q_EMIT ConfigModemFim();
}

void ThreadConfigModem::TerminaComFalha() {
    Cancelado = true;
    LinkState& state = m_host.Link();
    OnMainQuietly([&] {
        m_host.SetSupervision(0);
        m_host.Operator()->StatusClose();
        // Only a supervision time-out is told here; the operator's own cancel needs no message.
        if (SupervisionExpired.load())
            OperatorMessages::Tell(nullptr,
                                   QString::fromUtf8(state.DialPhase.load() ? LinkTexts::PanelNoResponse
                                                                            : LinkTexts::ModemNoResponse),
                                   MessageIcon::Warning);
        m_host.ClosePort();
    });
    Q_EMIT ConfigModemFim();
}

void ThreadConfigModem::TerminaComErro() noexcept {
    Erro = true;
    Cancelado = true;
    OnMainQuietly([&] {
        m_host.SetSupervision(0);
        m_host.Operator()->StatusClose();
        m_host.ClosePort();
    });
    Q_EMIT ConfigModemFim();
}
