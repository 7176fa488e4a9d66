#pragma once

#include "link/link_state.h"
#include "link/receive_dispatcher.h"
#include "link_control/conecta_alarme_host.h"
#include "link_control/link_settings.h"
#include "link_control/progress_steps.h"
#include "link_control/thread_buffer.h"
#include "serial/port_opening.h"
#include "session/online_host.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class CallBack;
class ComPort;
class ConectaAlarme;
class LinkCustomerScreen;
class LinkOperator;
class OnLine;
class ThreadConfigModem;

// The main window's link role as a core object (TfrmPrincipal's link part): it owns the receive
// dispatcher and its link state over the one serial port, the supervision timer tmrConectaAlarme
// and the response timer tmrOnline, the link workers, and the handlers of their end messages. It
// talks to the operator through LinkOperator and to the open customer screen through
// LinkCustomerScreen.
//
// It is the host of both workers: of the connection worker (ConectaAlarmeHost) and of the session
// worker (OnLineHost). The session's sends, port, response timer and status window go through it,
// and what the session needs of the customer screen is passed on to the registered
// LinkCustomerScreen.
//
// Threads: the controller lives on the main thread. Workers call RunOnMain for every send and every
// window update, and emit their end message when they are done (the connection worker's, the
// session's and the callback wait's, connected queued to the handlers WM_CONECTA_ALARME_FIM,
// WM_ONLINE_FIM and WM_CALLBACK_FIM); the handlers wait for the worker thread while still serving
// its calls, free it, pause 1500 ms (through the clock) and start what comes next.
class LinkController : public QObject, public ConectaAlarmeHost, public OnLineHost, public BufferWorkerHost {
    Q_OBJECT
public:
    // `port` is the one serial port (a TCiaComPort, or a MemoryLine's port in tests); it must live
    // on this thread. `op` must outlive the controller.
    LinkController(ComPort* port, LinkOperator* op, QObject* parent = nullptr);
    // Stops any worker still running (cancel and terminate) and waits for it.
    ~LinkController() override;

    ReceiveDispatcher& Dispatcher() { return m_dispatcher; }
    LinkState& State() { return m_dispatcher.State(); }
    ComPort* Modem() const { return m_dispatcher.Modem(); }
    LinkOperator* Operator() const override { return m_operator; }

    // What the link uses of ZRVConfig.ini; set again whenever the settings are read again.
    void SetLinkSettings(const LinkSettings& settings) { m_settings = settings; }
    const LinkSettings& Config() const { return m_settings; }

    // The open customer screen, or null when none is open. Registering null does not reset the link:
    // the screen's destruction calls Inicia_todas_as_variaveis.
    void SetCustomerScreen(LinkCustomerScreen* screen) { m_screen = screen; }
    LinkCustomerScreen* CustomerScreen() const override { return m_screen; }

    // --- connecting (customer screen) ---
    // The connect action after the screen's own checks (customer saved, permission): clears or keeps
    // CallbackRequested, opens the port at 9600 baud on the ComPort and Portas settings, shows the progress
    // window with its steps and starts the connection worker. False, with the failure shown, when the port
    // could not be opened or no customer screen is open.
    bool Conectar(bool withCallback);
    // Starts the connection worker (the progress window's part of the connect action).
    void IniciaConexao();
    // The operator closed the progress window ("Cancelar" or its close box): cancels the connection
    // worker or the callback wait and waits for it to end.
    void CancelaConexao();
    // "Pressione aqui no segundo ring".
    void SegundoRingPressionado();
    // The status window's "Cancelar" (or the operator trying to close it): the running session
    // operation is asked to stop (CancelRequested).
    void StatusCancelado();
    // The status window was hidden: whatever it showed is over (CancelRequested set).
    void StatusOcultado();
    // Stops whatever the link is doing at its next safe point, without waiting (an interrupt or a
    // termination request): a connection attempt is cancelled and its line dropped; a session
    // cancels its running operation and hangs up. ConnectionEnded or SessionEnded follow. False
    // when nothing was running.
    bool Encerrar();
    bool Stopping() const { return m_stopping; }
    // The connection progress window's step list as the link keeps it.
    const ProgressSteps& Steps() const { return m_steps; }

    // --- ConectaAlarmeHost: what the workers call on the main thread ---
    void Mostra_Aviso(int code) override;
    // Step-list changes, passed on to the operator.
    void StepsReset(const QStringList& lines) override;
    void StepNext() override;
    void StepAdd(const QString& text, StepState state = StepState::Pending) override;
    void StepInsertAfterCurrent(const QString& text) override;
    void StepInsert(int position, const QString& text) override;
    void StepSetState(int index, StepState state) override;
    void AbrePortaCallBack() override;
    // Supervision timer: a logical interval starts it, 0 stops it (interval 0).
    void SetSupervision(qint64 intervalMs) override;
    bool SupervisionActive() const { return m_tmrConectaAlarme.isActive(); }
    // Closes the port, sets the speed and opens it again on the chosen port (clearing the output
    // queue, purging input and output). Throws ECiaComPort when the port cannot be opened.
    void ReopenPort(int baudrate) override;
    bool EnviaComando(const QByteArray& command, const DialInputs& dial, QString* error) override;

    // Runs `work` on the main thread and waits for it; an exception `work` throws is rethrown in
    // the caller's thread. Called on the main thread it just runs `work`.
    void RunOnMain(const std::function<void()>& work) override;

    // --- link supervisor ---
    // Creates and starts the session worker after a successful connection.
    void Inicia_OnLine();
    // The reset of all link variables: closes the port, forgets the workers, clears the link state.
    void Inicia_todas_as_variaveis();
    // Compares the received and stored versions and updates the customer (silently for an Orvan 9
    // Max panel, after asking otherwise).
    void VerificaVersao();

    // Starts the wait for the panel's call back, after the panel agreed to call back.
    void Inicia_CallBack();

    ConectaAlarme* ConectaAlarmeWorker() const { return m_conectaAlarme; }
    CallBack* CallBackWorker() const { return m_callBack; }
    OnLine* OnLineWorker() const { return m_onLine; }
    bool ResponseTimerActive() const { return m_tmrOnline.isActive(); }

    // --- OnLineHost (Link and ClosePort serve ConectaAlarmeHost too) ---
    LinkState& Link() override { return State(); }
    bool SendFrame(const QByteArray& text) override;
    void ClosePort() override { m_dispatcher.ClosePort(); }
    bool PortOpened() override;
    void SetResponseTimerInterval(int logicalMs) override;
    void StartResponseTimer() override;
    void StopResponseTimer() override;
    void ShowStatusWindow(const StatusWindowContent& content) override;
    void SetStatusGauge(int position) override;
    void ShowEfficiency(const QString& figure) override;
    void CloseStatusWindow() override;
    bool AskContinueTrying() override;
    bool CustomerWindowExists() override { return m_screen != nullptr; }
    std::optional<int> CustomerProduct() override;
    void SetCloseButtonEnabled(bool enabled) override;
    void SetOnLineIndicator(bool online) override;
    void RefreshMonitoringView() override;
    void Atualiza_Monitorando(const QByteArray& panelStatus) override;
    void ShowPanelDateTime(const QByteArray& panelClock, const QString& text) override;
    void ClearBufferDownloading() override;
    void RepaintProgrammingWindows() override;
    void CloseWindowsForDisconnect() override;
    QByteArray ImageBytes(int product, ImageCopy which, int offset, int count) override;
    void SetImageBytes(int product, ImageCopy which, int offset, const QByteArray& bytes) override;
    void ClearImagemAlarme() override;
    void TransferEnded(const TransferReport& report) override;
    bool BeginEventDownload(int product) override;
    bool Atualiza_Tabela_Eventos(int index, const QByteArray& record) override;
    void EventDownloadEnded(const EventDownloadReport& report) override;

    // --- waiting for panels that call in with their log ("Aguarda Buffer") ---
    // Where the calls' logs are stored; must outlive the listening.
    void SetBufferReceiver(BufferReceiver* receiver) { m_bufferReceiver = receiver; }
    BufferReceiver* Receiver() override { return m_bufferReceiver; }
    // Switches listening on after the caller's checks: resets the link, opens the port at 300 baud
    // and starts the modem configuration; a reception worker waits for the first call once it is
    // done. False, with the failure shown, when the port cannot be opened.
    bool IniciaEsperaBuffer();
    // Switches listening off: a call being received is stopped (what it stored stays) and the
    // port is closed. BufferWaitEnded follows.
    void EncerraEsperaBuffer();
    bool AguardandoBuffer() const { return m_listening; }
    ThreadConfigModem* ConfigModemWorker() const { return m_configModem; }
    void ListeningNotice(const QString& text) override { Q_EMIT ListeningNoted(text); }
    ThreadBuffer* BufferWorker() const { return m_buffer; }

    // Longest wait for the modem's answer to the dial. The modem itself gives up on the carrier
    // after S7 seconds (at most 255) and says so; a modem that says nothing at all is taken as not
    // responding once this has passed ("O Modem não responde"), so an attempt never hangs.
    qint64 DialResultLimitMs = 300'000;

    // Called where the link's first-set-up flag of the data module is cleared by the reset.
    std::function<void()> ClearFirstRun;

Q_SIGNALS:
    // A connection attempt ended and its end message was handled: connected (the session worker
    // started), or not; callbackPending when the panel agreed to call back.
    void ConnectionEnded(bool connected, bool callbackPending);
    // The callback wait was started (after ConnectionEnded with callbackPending).
    void CallBackStarted();
    // The callback wait ended and its end message was handled: connected (the session worker
    // started), or not.
    void CallBackEnded(bool connected);
    // The session worker ended and its end message was handled.
    void SessionEnded();
    // The modem configuration for listening ended: ready (a reception worker waits for a call) or
    // not (listening is off again).
    void ModemConfigured(bool ready);
    // A panel's call ended and its end message was handled.
    void BufferCallEnded(const BufferCallReport& report);
    // A reception worker waits for the next call.
    void BufferWaiting();
    // A notice while listening goes on: "O Modem recusou o comando "L0"." during the modem set-up.
    void ListeningNoted(const QString& text);
    // Listening is off (switched off, or the modem configuration failed or was cancelled).
    void BufferWaitEnded();

private Q_SLOTS:
    // The end messages of the connection worker, the session worker and the callback wait.
    void WM_CONECTA_ALARME_FIM();
    void WM_ONLINE_FIM();
    void WM_CALLBACK_FIM();
    void WM_CONFIG_MODEM_FIM();
    void WM_BUFFER_FIM();

private:
    void tmrConectaAlarmeTimer();
    void tmrOnlineTimer();
    // Waits for a worker thread to end while serving its calls on this thread.
    void waitForThread(QThread* thread);
    void restoreConnectImages();
    QStringList connectionSteps();
    // Starts the session after a connection (or a call back) and asks for the whole programming
    // of the panel's family and its status.
    void iniciaSessao();
    // A new reception worker that waits for the next call (the dispatcher starts it on RING).
    void criaBufferWorker();
    // The dispatcher heard the first RING for the waiting reception worker.
    bool retomaBufferWorker();
    void paraWorkersDeEspera();

    ReceiveDispatcher m_dispatcher;
    LinkOperator* m_operator;
    LinkCustomerScreen* m_screen = nullptr;
    LinkSettings m_settings;
    ProgressSteps m_steps;

    QTimer m_tmrConectaAlarme;
    QTimer m_tmrOnline;

    ConectaAlarme* m_conectaAlarme = nullptr;
    CallBack* m_callBack = nullptr;
    OnLine* m_onLine = nullptr;
    ThreadConfigModem* m_configModem = nullptr;
    ThreadBuffer* m_buffer = nullptr;
    BufferReceiver* m_bufferReceiver = nullptr;
    bool m_listening = false;
    bool m_stopping = false;
    // An end message is being handled (its worker waited for, the pause before the next one).
    bool m_handlingEnd = false;
    bool m_statusShown = false;
    bool m_efficiencyShown = false;
};
