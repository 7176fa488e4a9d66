#include "link_control/config_modem.h"

#include "base/clock.h"
#include "base/operator_messages.h"
#include "link/receive_dispatcher.h"
#include "link_control/conecta_alarme_host.h"
#include "link_control/link_operator.h"
#include "link_control/link_texts.h"
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

void ThreadConfigModem::Envia(const QByteArray& line, const std::function<void()>& after) {
    OnMain([&] {
        if (!m_sends.SendFrame(line))
            throw LinkWorkerError(QStringLiteral("Port not open"));
        if (after)
            after();
    });
    Sleep(SendPauseMs);
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
    // worker as its result code.
    const Clock& clock = Clock::instance();
    qint64 lastResend = clock.nowMs();
    const QList<ModemInitStep> steps = ModemInitSteps(list);
    for (qsizetype next = 0; next < steps.size() && !Stopping();) {
        if (ResultCode.exchange(ResultNone) == ResultOk) {
            const ModemInitStep& step = steps.at(next++);
            OnMain([&] { m_host.SetSupervision(0); });
            Sleep(LinePauseMs);
            lastLine = step.line;
            Envia(step.line, [&] {
                // The index moves on with the write, so the "OK" to the last line finds it past
                // the command count however fast it comes.
                IndiceComando = step.indexAfter;
                state.TimeoutTicks = 0;
                m_host.SetSupervision(SupervisionTickMs);
                m_host.Operator()->StatusSetGauge(std::min(step.indexAfter, gaugeMax));
            });
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
