#include "link_control/link_controller.h"
#include "link_control/thread_buffer.h"

#include "base/clock.h"
#include "base/operator_messages.h"
#include "base/run_on_thread.h"
#include "link_control/call_back.h"
#include "link_control/conecta_alarme.h"
#include "link_control/config_modem.h"
#include "link_control/link_operator.h"
#include "link_control/link_texts.h"
#include "link_control/stop_texts.h"
#include "programming/product_codes.h"
#include "programming/programming_images.h"
#include "serial/com_port.h"
#include "session/online_worker.h"
#include "session/session_send.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QScopedValueRollback>
#include <QThread>

#include <exception>
#include <utility>

namespace {

constexpr qint64 AfterWorkerPauseMs = 1500;
constexpr qint64 ResponseTimerMs = 2000;
constexpr int ModemSilentTicks = 6;
constexpr int PanelSilentTicks = 25;
constexpr int ConnectBaudrate = 9600;
constexpr int LineBaudrate = 300;

} // namespace

LinkController::LinkController(ComPort* port, LinkOperator* op, QObject* parent)
    : QObject(parent), m_dispatcher(port), m_operator(op) {
    m_dispatcher.CustomerScreenOpen = [this] { return m_screen != nullptr; };
    m_dispatcher.ResumeBufferWorker = [this] { return retomaBufferWorker(); };
    // A child, so that a test can watch its ticks.
    m_tmrConectaAlarme.setParent(this);
    m_tmrConectaAlarme.setObjectName(QStringLiteral("tmrConectaAlarme"));
    m_tmrConectaAlarme.setInterval(0);
    connect(&m_tmrConectaAlarme, &QTimer::timeout, this, &LinkController::tmrConectaAlarmeTimer);
    m_tmrOnline.setInterval(Clock::instance().realInterval(ResponseTimerMs));
    connect(&m_tmrOnline, &QTimer::timeout, this, &LinkController::tmrOnlineTimer);
}

LinkController::~LinkController() {
    paraWorkersDeEspera();
    if (m_onLine) {
        m_onLine->requestInterruption();
        waitForThread(m_onLine);
        delete m_onLine;
        m_onLine = nullptr;
    }
    if (m_conectaAlarme) {
        m_conectaAlarme->Cancelado = true;
        m_conectaAlarme->requestInterruption();
        waitForThread(m_conectaAlarme);
        delete m_conectaAlarme;
        m_conectaAlarme = nullptr;
    }
    if (m_callBack) {
        m_callBack->Cancelado = true;
        m_callBack->requestInterruption();
        waitForThread(m_callBack);
        delete m_callBack;
        m_callBack = nullptr;
    }
}

// --- connecting ----------------------------------------------------------------------------------

bool LinkController::Conectar(bool withCallback) {
    if (!m_screen || m_conectaAlarme || m_stopping)
        return false;
    LinkState& state = State();
    // A new job: a stop request of the last one is forgotten.
    state.StopRequested = false;
    state.CarrierLost = false;
    state.CallbackRequested = withCallback;
    state.FrameMode = false;

    ClosePort();
    m_operator->SetBusyCursor(true);
    const PortOpening opening =
        ::ReopenPort(*Modem(), m_settings.Port, ConnectBaudrate, PortCheck::CanOpenFirst);
    m_operator->SetBusyCursor(false);
    if (opening == PortOpening::Unavailable) {
        OperatorMessages::Tell(nullptr, LinkTexts::PortCannotBeOpened(), MessageIcon::Critical);
        return false;
    }
    if (opening == PortOpening::Taken) {
        // Another program took the device between the check and the opening.
        OperatorMessages::Tell(nullptr, LinkTexts::PortTakenByAnotherProgram(), MessageIcon::Critical);
        return false;
    }
    if (opening == PortOpening::Failed) {
        OperatorMessages::Tell(nullptr, LinkTexts::PortNumberCannotBeOpened(m_settings.Port.Number),
                               MessageIcon::Critical);
        return false;
    }

    // The progress window: its steps first, then the worker, which updates them.
    m_operator->ProgressSetBar(false, 1, m_settings.Connection.NAT + 2, 1);
    m_operator->ProgressSetSecondRingButton(false);
    m_operator->ProgressSetText(QString());
    StepsReset(connectionSteps());
    m_operator->ProgressShow();
    if (!state.CallBackWorker.load())
        IniciaConexao();
    return true;
}

QStringList LinkController::connectionSteps() {
    QStringList steps{LinkTexts::StepPortConnected(m_settings.Port.Number),
                      LinkTexts::StepConfiguringModem(m_settings.Modem)};
    const QString phone = m_screen->FonePainel();
    if (m_screen->EnganaSecretaria()) {
        steps << LinkTexts::StepDialling(phone);
        if (m_screen->TempoEnganaSecretaria() == 0)
            steps << LinkTexts::StepPressAtSecondRing();
        steps << LinkTexts::StepWaitingBypassTime();
    }
    steps << LinkTexts::StepDialling(phone) << LinkTexts::StepConnectingToPanel()
          << LinkTexts::StepCheckingCodes();
    return steps;
}

void LinkController::IniciaConexao() {
    if (m_conectaAlarme)
        return;
    LinkState& state = State();
    state.SetFrameReady(false);
    state.ClearRxText();
    ConnectionInputs inputs = m_settings.Connection;
    inputs.DialResultLimitMs = DialResultLimitMs;
    m_conectaAlarme = new ConectaAlarme(*this, std::move(inputs));
    state.ConectaAlarmeWorker = m_conectaAlarme;
    connect(m_conectaAlarme, &ConectaAlarme::ConectaAlarmeFim, this, &LinkController::WM_CONECTA_ALARME_FIM,
            Qt::QueuedConnection);
    m_conectaAlarme->start();
}

void LinkController::CancelaConexao() {
    // The whole connection job stops, also when the window is closed while one worker has ended
    // and the next (the session, the callback wait) is not started yet.
    State().StopRequested = true;
    // The end-message handlers may free the worker while we wait.
    if (m_conectaAlarme) {
        m_conectaAlarme->Cancelado = true;
        waitForThread(m_conectaAlarme);
    }
    if (m_callBack) {
        m_callBack->Cancelado = true;
        waitForThread(m_callBack);
    }
    // A panel calling in: the call is hung up, what it stored stays, and listening goes on.
    if (m_buffer && m_buffer->isRunning()) {
        m_buffer->CanceladoPeloOperador = true;
        m_buffer->Cancelado = true;
        waitForThread(m_buffer);
    }
}

void LinkController::SegundoRingPressionado() {
    if (m_conectaAlarme)
        m_conectaAlarme->SegundoRing = true;
}

void LinkController::StatusCancelado() {
    State().CancelRequested = true;
    if (m_configModem) {
        m_configModem->Cancelado = true;
        m_operator->SetBusyCursor(true);
    }
}

void LinkController::StatusOcultado() {
    State().CancelRequested = true;
}

bool LinkController::Encerrar() {
    m_stopping = true;
    State().StopRequested = true;
    // Between two workers (an end message being handled) the job is still running: the handler
    // starts nothing more.
    bool running = m_handlingEnd;
    if (m_conectaAlarme) {
        m_conectaAlarme->Cancelado = true;
        running = true;
    }
    if (m_callBack) {
        m_callBack->Cancelado = true;
        running = true;
    }
    if (m_onLine) {
        State().CancelRequested = true;
        m_onLine->DisconnectRequest = true;
        running = true;
    }
    return running;
}

// --- calls from the workers ----------------------------------------------------------------------

void LinkController::Mostra_Aviso(int code) {
    // Every warning ends the attempt. The line is hung up (the port closed drops DTR) and the
    // supervision stopped before the operator is waited on: a call must not stay up behind a
    // message, and the operator's reading time is no panel silence.
    SetSupervision(0);
    ClosePort();
    OperatorMessages::Tell(nullptr, LinkTexts::Aviso(code), MessageIcon::Information);
}

void LinkController::StepsReset(const QStringList& lines) {
    m_steps.Reset(lines);
    m_operator->ProgressSteps(m_steps.Lines());
}

void LinkController::StepNext() {
    m_steps.Next();
    m_operator->ProgressSteps(m_steps.Lines());
}

void LinkController::StepAdd(const QString& text, StepState state) {
    m_steps.Add(text, state);
    m_operator->ProgressSteps(m_steps.Lines());
}

void LinkController::StepInsertAfterCurrent(const QString& text) {
    m_steps.InsertAfterCurrent(text);
    m_operator->ProgressSteps(m_steps.Lines());
}

void LinkController::StepInsert(int position, const QString& text) {
    m_steps.Insert(position, text);
    m_operator->ProgressSteps(m_steps.Lines());
}

void LinkController::StepSetState(int index, StepState state) {
    m_steps.SetState(index, state);
    m_operator->ProgressSteps(m_steps.Lines());
}

void LinkController::AbrePortaCallBack() {
    ComPort& port = *Modem();
    // A USB-type modem keeps the port's speed; a serial modem talks to the panel at 300 baud.
    const bool keepSpeed = State().UsbModem.load() || port.Baudrate() == LineBaudrate;
    if (keepSpeed && port.Opened()) {
        if (State().UsbModem.load()) {
            port.ClearOutputQueue();
            port.PurgeInput();
            port.PurgeOutput();
        }
        return;
    }
    const int baudrate = keepSpeed ? port.Baudrate() : LineBaudrate;
    if (::ReopenPort(port, m_settings.Port, baudrate) != PortOpening::Opened)
        OperatorMessages::Tell(nullptr, LinkTexts::PortNumberCannotBeOpened(m_settings.Port.Number),
                               MessageIcon::Critical);
}

void LinkController::SetSupervision(qint64 intervalMs) {
    if (intervalMs <= 0) {
        m_tmrConectaAlarme.stop();
        m_tmrConectaAlarme.setInterval(0);
        return;
    }
    m_tmrConectaAlarme.setInterval(Clock::instance().realInterval(intervalMs));
    m_tmrConectaAlarme.start();
}

void LinkController::ReopenPort(int baudrate) {
    ClosePort();
    if (::ReopenPort(*Modem(), m_settings.Port, baudrate) != PortOpening::Opened)
        throw ECiaComPort(QStringLiteral("Cannot open port '%1'").arg(Modem()->DevicePath()));
}

bool LinkController::EnviaComando(const QByteArray& command, const DialInputs& dial, QString* error) {
    return m_dispatcher.EnviaComando(command, dial, error);
}

void LinkController::RunOnMain(const std::function<void()>& work) {
    RunBlockingOn(this, work);
}

void LinkController::waitForThread(QThread* thread) {
    QPointer<QThread> watched(thread);
    // Waiting on the main thread keeps serving the worker's calls, so a worker in the middle of
    // one can still finish.
    while (watched && !watched->isFinished()) {
        QEventLoop loop;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!watched || watched->isFinished())
                loop.quit();
        });
        poll.start(2);
        loop.exec();
    }
    if (watched)
        watched->wait();
}

// --- end messages ----------------------------------------------------------------------------------

void LinkController::WM_CONECTA_ALARME_FIM() {
    LinkState& state = State();
    ConectaAlarme* worker = m_conectaAlarme;
    if (worker && worker->Erro.load()) {
        ClosePort();
        OperatorMessages::Tell(nullptr, LinkTexts::ConnectionErrorText(), MessageIcon::Warning);
    }
    if (m_screen)
        m_screen->SetCloseEnabled(false);

    bool failed = !worker || worker->Cancelado.load();
    if (worker) {
        const QScopedValueRollback<bool> handling(m_handlingEnd, true);
        waitForThread(worker);
        delete worker;
        m_conectaAlarme = nullptr;
        state.ConectaAlarmeWorker = nullptr;
        Clock::instance().sleepMs(AfterWorkerPauseMs);
    }
    // An attempt that succeeded just as the job was told to stop, even during the pause above, is
    // dropped like a failed one: no session starts, nothing more goes to the panel.
    failed = failed || state.StopRequested.load() || m_stopping;
    const bool callbackPending = state.CallbackPending.load();
    if (callbackPending) {
        state.FrameMode = false;
        state.TimeoutTicks = 0;
        state.DialPhase = false;
        m_operator->ProgressSetText(LinkTexts::AwaitingPanelCall());
    } else {
        m_operator->ProgressClose();
    }
    m_operator->SetBusyCursor(false);
    SetSupervision(0);
    state.OkReceived = false;

    if (!failed)
        iniciaSessao();
    if (callbackPending && !state.StopRequested.load() && !m_stopping) {
        Inicia_CallBack();
    } else if (callbackPending) {
        // Nobody is left to wait for the panel's call.
        state.CallbackPending = false;
        m_operator->ProgressClose();
    }
    if (failed && !m_callBack) {
        restoreConnectImages();
        ClosePort();
        if (m_screen)
            m_screen->SetCloseEnabled(true);
    }
    Q_EMIT ConnectionEnded(!failed, callbackPending);
    if (m_callBack)
        Q_EMIT CallBackStarted();
}

void LinkController::iniciaSessao() {
    Inicia_OnLine();
    VerificaVersao();
    if (!m_onLine)
        return;
    // The whole programming of the panel's family, and its status.
    const int connected = State().ConnectedProduct.load();
    const QString produto = m_screen ? m_screen->Produto() : QString();
    if (IsOrvan10(connected, produto) || IsProduct3Or4(connected, produto))
        m_onLine->Blocks = 0x7FFFF;
    else if (IsOrvan5(connected, produto))
        m_onLine->Blocks = 0xFFFF;
    m_onLine->ReadProgrammingRequest = true;
    m_onLine->StatusRequest = true;
}

void LinkController::Inicia_CallBack() {
    if (m_callBack)
        return;
    m_callBack = new CallBack(*this, m_settings.CallBack);
    State().CallBackWorker = m_callBack;
    connect(m_callBack, &CallBack::CallBackFim, this, &LinkController::WM_CALLBACK_FIM, Qt::QueuedConnection);
    m_callBack->start();
}

void LinkController::WM_CALLBACK_FIM() {
    LinkState& state = State();
    CallBack* worker = m_callBack;
    if (worker && worker->Erro.load()) {
        ClosePort();
        OperatorMessages::Tell(nullptr, LinkTexts::ConnectionErrorText(), MessageIcon::Warning);
    }
    bool cancelled = !worker || worker->Cancelado.load();
    if (m_screen)
        m_screen->SetCloseEnabled(false);
    if (worker) {
        const QScopedValueRollback<bool> handling(m_handlingEnd, true);
        waitForThread(worker);
        delete worker;
        m_callBack = nullptr;
        state.CallBackWorker = nullptr;
        Clock::instance().sleepMs(AfterWorkerPauseMs);
        m_operator->ProgressClose();
    }
    // A call back that came just as the job was told to stop is dropped like a failed one.
    cancelled = cancelled || state.StopRequested.load() || m_stopping;
    m_operator->SetBusyCursor(false);
    SetSupervision(0);
    state.OkReceived = false;
    state.CallbackPending = false;

    if (cancelled) {
        restoreConnectImages();
        ClosePort();
        state.FrameMode = false;
        if (m_screen)
            m_screen->SetCloseEnabled(true);
    } else {
        iniciaSessao();
    }
    Q_EMIT CallBackEnded(!cancelled);
}

void LinkController::WM_ONLINE_FIM() {
    if (OnLine* worker = m_onLine) {
        waitForThread(worker);
        delete worker;
        m_onLine = nullptr;
        State().OnLineWorker = nullptr;
    }
    // A session that ended without its hang-up (terminated, or the customer screen went away)
    // must not leave the call up: closing the port drops DTR and the modem hangs up.
    ClosePort();
    State().FrameMode = false;
    if (m_screen) {
        restoreConnectImages();
        m_tmrOnline.stop();
        m_screen->MonitoringViewRefresh();
    }
    // The modem reported the carrier lost: the session ended at once, and the operator is told why.
    if (State().CarrierLost.exchange(false) && !m_stopping)
        OperatorMessages::Tell(nullptr, LinkTexts::Aviso(3), MessageIcon::Information);
    Q_EMIT SessionEnded();
}

void LinkController::restoreConnectImages() {
    if (m_screen)
        m_screen->SetConnectedImages(false);
}

// --- link supervisor -----------------------------------------------------------------------------

void LinkController::Inicia_OnLine() {
    if (m_onLine)
        return;
    m_onLine = new OnLine(*this);
    State().OnLineWorker = m_onLine;
    m_onLine->DisconnectRequest = false;
    m_onLine->ReadDateTimeRequest = false;
    m_onLine->ReadProgrammingRequest = false;
    m_onLine->ReadBufferRequest = false;
    connect(m_onLine, &OnLine::OnLineFim, this, &LinkController::WM_ONLINE_FIM, Qt::QueuedConnection);
    m_onLine->start();
}

void LinkController::Inicia_todas_as_variaveis() {
    ClosePort();
    State().ResetLink();
    if (ClearFirstRun)
        ClearFirstRun();
}

void LinkController::VerificaVersao() {
    LinkState& state = State();
    const QString received = state.ReceivedVersion.load();
    if (received == state.StoredVersion.load() || !m_screen)
        return;
    if (state.Orvan9Max.load()) {
        m_screen->SetVersaoProduto(received);
        state.StoredVersion.store(QStringLiteral("1.3"));
        state.ReceivedVersion.store(QStringLiteral("1.3"));
        m_screen->SetCaptionLabel(LinkTexts::CustomerCaptionOrvan9Max());
        return;
    }
    if (!OperatorMessages::AskYesNo(nullptr, LinkTexts::VersionQuestion()))
        return;
    m_screen->SetVersaoProduto(received);
    state.StoredVersion.store(received);
    const int connected = state.ConnectedProduct.load();
    const QString produto = m_screen->Produto();
    int product = 0;
    if (IsOrvan10(connected, produto))
        product = 1;
    else if (IsOrvan5(connected, produto))
        product = 2;
    else if (IsProduct3Or4(connected, produto))
        product = 3;
    if (product != 0)
        m_screen->SetCaptionLabel(LinkTexts::CustomerCaption(product, received));
}

void LinkController::tmrConectaAlarmeTimer() {
    LinkState& state = State();
    if (m_screen && !state.ConectaAlarmeWorker.load())
        return;
    const int ticks = ++state.TimeoutTicks;
    const bool dialPhase = state.DialPhase.load();
    if ((dialPhase && ticks >= PanelSilentTicks) || (!dialPhase && ticks >= ModemSilentTicks)) {
        SetSupervision(0);
        if (state.ConectaAlarmeWorker.load() && m_conectaAlarme) {
            m_conectaAlarme->SupervisionExpired = true;
            m_conectaAlarme->Cancelado = true;
            m_conectaAlarme->requestInterruption();
        }
        // The modem set-up for listening is held to the modem's limit, the reception of a call to
        // the panel's.
        if (!dialPhase && m_configModem) {
            m_configModem->SupervisionExpired = true;
            m_configModem->Cancelado = true;
            m_configModem->requestInterruption();
        }
        if (dialPhase && m_buffer && !m_buffer->Suspended.load()) {
            m_buffer->SupervisionExpired = true;
            m_buffer->Abandonado = true;
            m_buffer->requestInterruption();
        }
    }
}

void LinkController::tmrOnlineTimer() {
    if (m_onLine)
        m_onLine->ResponseTimerExpired();
    if (m_buffer)
        m_buffer->TimedOut = true;
}

// --- session host ----------------------------------------------------------------------------------

bool LinkController::SendFrame(const QByteArray& text) {
    return SendFrameWithoutPause(m_dispatcher, text);
}

bool LinkController::PortOpened() {
    return Modem()->Opened();
}

void LinkController::SetResponseTimerInterval(int logicalMs) {
    m_tmrOnline.setInterval(Clock::instance().realInterval(logicalMs));
}

void LinkController::StartResponseTimer() {
    m_tmrOnline.start();
}

void LinkController::StopResponseTimer() {
    m_tmrOnline.stop();
}

void LinkController::ShowStatusWindow(const StatusWindowContent& content) {
    m_statusShown = true;
    m_efficiencyShown = content.ShowEfficiency;
    m_operator->StatusShow(content.Text, content.ShowGauge, content.GaugeMin, content.GaugeMax);
    m_operator->StatusSetEfficiency(content.ShowEfficiency, QString());
}

void LinkController::SetStatusGauge(int position) {
    if (m_statusShown)
        m_operator->StatusSetGauge(position);
}

void LinkController::ShowEfficiency(const QString& figure) {
    if (m_statusShown)
        m_operator->StatusSetEfficiency(m_efficiencyShown, figure);
}

void LinkController::CloseStatusWindow() {
    if (!m_statusShown)
        return;
    m_statusShown = false;
    m_operator->StatusClose();
}

bool LinkController::AskContinueTrying() {
    if (m_stopping)
        return false;
    return OperatorMessages::AskYesNo(nullptr, LinkTexts::ContinueTryingQuestion(), true);
}

std::optional<int> LinkController::CustomerProduct() {
    if (!m_screen)
        return std::nullopt;
    const QString produto = m_screen->Produto();
    const int code = produto.isNull() ? -1 : ProductCodeOf(produto);
    if (code < 1 || code > 4)
        return std::nullopt;
    return code;
}

void LinkController::SetCloseButtonEnabled(bool enabled) {
    if (m_screen)
        m_screen->SetCloseEnabled(enabled);
}

void LinkController::SetOnLineIndicator(bool online) {
    if (m_screen)
        m_screen->SetOnLineIndicator(online);
}

void LinkController::RefreshMonitoringView() {
    if (m_screen)
        m_screen->MonitoringViewRefresh();
}

void LinkController::Atualiza_Monitorando(const QByteArray& panelStatus) {
    if (m_screen)
        m_screen->Atualiza_Monitorando(panelStatus);
}

void LinkController::ShowPanelDateTime(const QByteArray& panelClock, const QString& text) {
    if (m_screen)
        m_screen->ShowPanelDateTime(panelClock, text);
}

void LinkController::ClearBufferDownloading() {
    if (m_screen)
        m_screen->ClearBufferDownloading();
}

void LinkController::RepaintProgrammingWindows() {
    if (m_screen)
        m_screen->RepaintProgrammingWindows();
}

void LinkController::CloseWindowsForDisconnect() {
    if (m_screen)
        m_screen->CloseWindowsForDisconnect();
}

QByteArray LinkController::ImageBytes(int product, ImageCopy which, int offset, int count) {
    ProgrammingImages* images = m_screen ? m_screen->Imagens(product) : nullptr;
    if (!images)
        return QByteArray(count, '\0');
    const ProgrammingImage& image = which == ImageCopy::PC ? images->ImagemPC : images->ImagemAlarme;
    return image.bytes().mid(offset, count);
}

void LinkController::SetImageBytes(int product, ImageCopy which, int offset, const QByteArray& bytes) {
    ProgrammingImages* images = m_screen ? m_screen->Imagens(product) : nullptr;
    if (!images)
        return;
    ProgrammingImage& image = which == ImageCopy::PC ? images->ImagemPC : images->ImagemAlarme;
    for (int i = 0; i < bytes.size() && offset + i < image.size(); ++i)
        image.setByte(offset + i, quint8(bytes.at(i)));
}

void LinkController::ClearImagemAlarme() {
    if (!m_screen)
        return;
    // Both models, where the screen holds their images.
    for (int product : {1, 2}) {
        if (ProgrammingImages* images = m_screen->Imagens(product))
            images->clearAlarm();
    }
}

bool LinkController::BeginEventDownload(int product) {
    return m_screen && m_screen->BeginEventDownload(product);
}

bool LinkController::Atualiza_Tabela_Eventos(int index, const QByteArray& record) {
    return m_screen && m_screen->Atualiza_Tabela_Eventos(index, record);
}

void LinkController::EventDownloadEnded(const EventDownloadReport& report) {
    if (m_screen)
        m_screen->EventDownloadEnded(report);
}

void LinkController::TransferEnded(const TransferReport& report) {
    // "Cancelar" ends the read or write and nothing else: the session goes on (hanging up is
    // "Desconectar"'s job). What was done is told once the worker is back to its loop, so the
    // message does not hold it (not when the program is stopping: nobody is left to read it).
    if (report.outcome == TransferReport::Outcome::Cancelled && !m_stopping) {
        QMetaObject::invokeMethod(
            this,
            [report] {
                OperatorMessages::Tell(nullptr, StopTexts::TransferCancelled(report),
                                       MessageIcon::Information);
            },
            Qt::QueuedConnection);
    }
    if (m_screen)
        m_screen->TransferEnded(report);
}
