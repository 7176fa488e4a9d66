// The link controller's part in waiting for panels that call in with their log: the modem set-up,
// the reception workers one call after the other, and the end messages WM_CONFIG_MODEM_FIM and
// WM_BUFFER_FIM.

#include "link_control/link_controller.h"

#include "base/clock.h"
#include "base/operator_messages.h"
#include "link_control/buffer_texts.h"
#include "link_control/config_modem.h"
#include "link_control/link_operator.h"
#include "link_control/link_texts.h"
#include "serial/com_port.h"

#include <QTimer>

namespace {

constexpr qint64 AfterWorkerPauseMs = 1500;
constexpr int LineBaudrate = 300;

} // namespace

bool LinkController::IniciaEsperaBuffer() {
    if (m_listening || m_configModem || m_buffer || m_conectaAlarme || m_callBack || m_onLine)
        return false;
    Inicia_todas_as_variaveis();
    LinkState& state = State();
    state.FrameMode = false;
    if (::ReopenPort(*Modem(), m_settings.Port, LineBaudrate) != PortOpening::Opened) {
        OperatorMessages::Tell(nullptr, LinkTexts::PortNumberCannotBeOpened(m_settings.Port.Number),
                               MessageIcon::Critical);
        return false;
    }
    m_listening = true;
    m_configModem = new ThreadConfigModem(*this, *this, m_settings.ConfigModem);
    state.ConfigModemWorker = m_configModem;
    connect(m_configModem, &ThreadConfigModem::ConfigModemFim, this, &LinkController::WM_CONFIG_MODEM_FIM,
            Qt::QueuedConnection);
    m_configModem->start();
    return true;
}

void LinkController::paraWorkersDeEspera() {
    if (m_configModem) {
        m_configModem->Cancelado = true;
        m_configModem->requestInterruption();
        waitForThread(m_configModem);
        delete m_configModem;
        m_configModem = nullptr;
        State().ConfigModemWorker = nullptr;
    }
    if (m_buffer) {
        m_buffer->Cancelado = true;
        m_buffer->Abandonado = true;
        m_buffer->requestInterruption();
        if (m_buffer->isRunning())
            waitForThread(m_buffer);
        delete m_buffer;
        m_buffer = nullptr;
        State().BufferWorker = nullptr;
    }
}

void LinkController::EncerraEsperaBuffer() {
    const bool wasListening = m_listening;
    m_listening = false;
    // A call being received ends at its next safe point: its end message comes first, with what
    // it stored.
    if (m_buffer && m_buffer->isRunning()) {
        m_buffer->Cancelado = true;
        m_buffer->Abandonado = true;
        m_buffer->requestInterruption();
        waitForThread(m_buffer);
        WM_BUFFER_FIM();
    }
    paraWorkersDeEspera();
    SetSupervision(0);
    m_tmrOnline.stop();
    State().FrameMode = false;
    ClosePort();
    if (wasListening)
        Q_EMIT BufferWaitEnded();
}

void LinkController::WM_CONFIG_MODEM_FIM() {
    ThreadConfigModem* worker = m_configModem;
    if (!worker)
        return;
    if (worker->Erro.load()) {
        ClosePort();
        OperatorMessages::Tell(nullptr, BufferTexts::ConfigErrorText(), MessageIcon::Warning);
    }
    const bool cancelled = worker->Cancelado.load();
    m_operator->StatusClose();
    waitForThread(worker);
    delete worker;
    m_configModem = nullptr;
    State().ConfigModemWorker = nullptr;
    m_operator->SetBusyCursor(false);
    SetSupervision(0);
    State().OkReceived = false;

    if (cancelled || !m_listening) {
        // A set-up that failed or was cancelled switches listening off again.
        Q_EMIT ModemConfigured(false);
        EncerraEsperaBuffer();
        return;
    }
    Modem()->SetBaudrate(LineBaudrate);
    Q_EMIT ModemConfigured(true);
    // The pause after a worker runs on the timer, so the window stays responsive meanwhile.
    QTimer::singleShot(Clock::instance().realInterval(AfterWorkerPauseMs), this, [this] {
        if (m_listening && !m_buffer)
            criaBufferWorker();
    });
}

void LinkController::criaBufferWorker() {
    m_buffer = new ThreadBuffer(*this, *this, m_settings.CallBack);
    connect(m_buffer, &ThreadBuffer::BufferFim, this, &LinkController::WM_BUFFER_FIM, Qt::QueuedConnection);
    LinkState& state = State();
    state.ClearRxText();
    state.BufferWorker = m_buffer;
    Q_EMIT BufferWaiting();
}

bool LinkController::retomaBufferWorker() {
    ThreadBuffer* worker = m_buffer;
    if (!worker || worker->isRunning() || worker->isFinished())
        return false;
    // "Cancelar", the close box and Escape stop the call (CancelaConexao).
    m_operator->ProgressSetCancelEnabled(true);
    m_operator->ProgressSetBar(false, 0, 0, 0);
    m_operator->ProgressSetSecondRingButton(false);
    m_operator->ProgressSetText(QString());
    m_operator->ProgressShow();
    worker->start();
    return true;
}

void LinkController::WM_BUFFER_FIM() {
    ThreadBuffer* worker = m_buffer;
    if (!worker || m_stopping)
        return;
    // Called again by EncerraEsperaBuffer after it waited: the worker is handled once.
    if (!worker->isFinished() && !worker->isRunning())
        return;
    // The error is told with the call's report (status bar, call log), never in a box that would
    // hold the next call.
    if (worker->Erro.load())
        ClosePort();
    m_operator->ProgressClose();
    waitForThread(worker);
    BufferCallReport report = worker->Report();
    if (worker->Erro.load())
        report.warning = LinkTexts::ConnectionErrorText();
    delete worker;
    m_buffer = nullptr;
    LinkState& state = State();
    state.BufferWorker = nullptr;
    // The log was received here: no session is to download it again.
    state.PanelSentBuffer = false;
    state.FrameMode = false;
    m_operator->SetBusyCursor(false);
    SetSupervision(0);
    m_tmrOnline.stop();
    state.OkReceived = false;
    Q_EMIT BufferCallEnded(report);

    if (!m_listening) {
        ClosePort();
        return;
    }
    QTimer::singleShot(Clock::instance().realInterval(AfterWorkerPauseMs), this, [this] {
        if (!m_listening || m_buffer)
            return;
        ComPort& port = *Modem();
        if (!port.Opened()) {
            if (::ReopenPort(port, m_settings.Port, LineBaudrate) != PortOpening::Opened)
                OperatorMessages::Tell(nullptr, LinkTexts::PortNumberCannotBeOpened(m_settings.Port.Number),
                                       MessageIcon::Critical);
        }
        State().FrameMode = false;
        criaBufferWorker();
    });
}
