#include "link/link_controller.h"

#include "link/clock.h"
#include "link/conecta_alarme.h"
#include "link/link_operator.h"
#include "link/link_texts.h"
#include "programming/product_codes.h"
#include "serial/com_port.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <exception>

namespace {

constexpr qint64 AfterWorkerPauseMs = 1500;
constexpr qint64 ResponseTimerMs = 2000;
constexpr int ModemSilentTicks = 6;
constexpr int PanelSilentTicks = 25;
constexpr int ConnectBaudrate = 9600;

} // namespace

LinkController::LinkController(ComPort* port, LinkOperator* op, QObject* parent)
    : QObject(parent), m_dispatcher(port), m_operator(op) {
    m_dispatcher.CustomerScreenOpen = [this] { return m_screen != nullptr; };
    m_tmrConectaAlarme.setInterval(0);
    connect(&m_tmrConectaAlarme, &QTimer::timeout, this, &LinkController::tmrConectaAlarmeTimer);
    m_tmrOnline.setInterval(Clock::instance().realInterval(ResponseTimerMs));
    connect(&m_tmrOnline, &QTimer::timeout, this, &LinkController::tmrOnlineTimer);
}

LinkController::~LinkController() {
    if (m_conectaAlarme) {
        m_conectaAlarme->Cancelado = true;
        m_conectaAlarme->requestInterruption();
        waitForThread(m_conectaAlarme);
        delete m_conectaAlarme;
        m_conectaAlarme = nullptr;
    }
}

// --- connecting ----------------------------------------------------------------------------------

bool LinkController::Conectar(bool withCallback) {
    if (!m_screen || m_conectaAlarme)
        return false;
    LinkState& state = State();
    state.CallbackRequested = withCallback;
    state.FrameMode = false;

    ComPort* port = Modem();
    ClosePort();
    port->SetPort(m_settings.ComPort);
    port->SetBaudrate(ConnectBaudrate); // the modem is set up at 9600 baud
    m_operator->SetBusyCursor(true);
    if (!port->CanOpen()) {
        m_operator->SetBusyCursor(false);
        m_operator->ShowMessage(LinkOperator::MessageKind::Error, LinkTexts::PortCannotBeOpened());
        return false;
    }
    try {
        port->SetOpened(true);
    } catch (const ECiaComPort&) {
        m_operator->SetBusyCursor(false);
        m_operator->ShowMessage(LinkOperator::MessageKind::Error,
                                LinkTexts::PortNumberCannotBeOpened(port->Port()));
        return false;
    }
    m_operator->SetBusyCursor(false);
    port->ClearOutputQueue();
    port->PurgeInput();
    port->PurgeOutput();

    // The progress window: its steps first, then the worker, which updates them.
    m_operator->ProgressSetBar(false, 1, m_settings.NAT + 2, 1);
    m_operator->ProgressSetSecondRingButton(false);
    m_operator->ProgressSetText(QString());
    StepsReset(connectionSteps());
    m_operator->ProgressShow();
    if (!state.CallBackWorker.load())
        IniciaConexao();
    return true;
}

QStringList LinkController::connectionSteps() {
    QStringList steps{LinkTexts::StepPortConnected(m_settings.ComPort),
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
    m_conectaAlarme = new ConectaAlarme(*this, m_settings);
    state.ConectaAlarmeWorker = m_conectaAlarme;
    m_conectaAlarme->start();
}

void LinkController::CancelaConexao() {
    if (!m_conectaAlarme)
        return;
    m_conectaAlarme->Cancelado = true;
    // The end-message handler may free the worker while we wait.
    waitForThread(m_conectaAlarme);
}

void LinkController::SegundoRingPressionado() {
    if (m_conectaAlarme)
        m_conectaAlarme->SegundoRing = true;
}

void LinkController::StatusCancelado() {
    State().CancelRequested = true;
}

void LinkController::StatusOcultado() {
    State().CancelRequested = true;
}

// --- calls from the workers ----------------------------------------------------------------------

void LinkController::Mostra_Aviso(int code) {
    m_operator->ShowMessage(LinkOperator::MessageKind::Information, LinkTexts::Aviso(code));
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
    ComPort* port = Modem();
    ClosePort();
    port->SetBaudrate(baudrate);
    port->SetOpened(true);
    port->ClearOutputQueue();
    port->PurgeInput();
    port->PurgeOutput();
}

void LinkController::RunOnMain(const std::function<void()>& work) {
    if (QThread::currentThread() == thread()) {
        work();
        return;
    }
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        this,
        [&] {
            try {
                work();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
}

void LinkController::PostMessage(LinkMessage message) {
    QMetaObject::invokeMethod(
        this, [this, message] { handleMessage(message); }, Qt::QueuedConnection);
}

void LinkController::handleMessage(int message) {
    switch (message) {
    case WM_CONECTA_ALARME_FIM:
        WM_CONECTA_ALARME_FIM_Handler();
        break;
    case WM_ONLINE_FIM:
        WM_ONLINE_FIM_Handler();
        break;
    default:
        break;
    }
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

void LinkController::WM_CONECTA_ALARME_FIM_Handler() {
    LinkState& state = State();
    ConectaAlarme* worker = m_conectaAlarme;
    if (worker && worker->Erro.load()) {
        ClosePort();
        m_operator->ShowMessage(LinkOperator::MessageKind::Warning, LinkTexts::ConnectionErrorText());
    }
    if (m_screen)
        m_screen->SetCloseEnabled(false);

    const bool failed = !worker || worker->Cancelado.load();
    if (worker) {
        waitForThread(worker);
        delete worker;
        m_conectaAlarme = nullptr;
        state.ConectaAlarmeWorker = nullptr;
        Clock::instance().sleepMs(AfterWorkerPauseMs);
    }
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

    if (!failed) {
        Inicia_OnLine();
        VerificaVersao();
    }
    if (callbackPending) {
        if (Inicia_CallBack) {
            Inicia_CallBack();
        } else {
            // Nobody waits for the panel's call: end the attempt as not connected.
            state.CallbackPending = false;
            m_operator->ProgressClose();
        }
    }
    if (failed && !state.CallbackPending.load()) {
        restoreConnectImages();
        ClosePort();
        if (m_screen)
            m_screen->SetCloseEnabled(true);
    }
    Q_EMIT ConnectionEnded(!failed, callbackPending);
}

void LinkController::WM_ONLINE_FIM_Handler() {
    Q_EMIT SessionEnded();
}

void LinkController::restoreConnectImages() {
    if (m_screen)
        m_screen->SetConnectedImages(false);
}

// --- link supervisor -----------------------------------------------------------------------------

void LinkController::Inicia_OnLine() {}

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
    if (!m_operator->Ask(LinkTexts::VersionQuestion(), false))
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
            m_conectaAlarme->Cancelado = true;
            m_conectaAlarme->requestInterruption();
        }
    }
}

void LinkController::tmrOnlineTimer() {}
