#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class LinkState;

// Which of the two programming images of a model: the copy the operator edits (`ImagemPC`) or the
// copy that mirrors the panel (`ImagemAlarme`).
enum class ImageCopy { PC, Alarme };

// What the status window shows when an operation opens it.
struct StatusWindowContent {
    QString Text;           // "Aguarde! Programando o painel." ...
    bool ShowGauge = false; // gauge (GaugeMin..GaugeMax) when set, else the moving waiting bar
    int GaugeMin = 0;
    int GaugeMax = 0;
    bool ShowEfficiency = false; // the label "Eficiência:" and the figure are visible
};

// How a programming read or write ended. The worker hands one to the host at the end of every read
// and write procedure, so that nobody has to infer the result from the status window closing.
struct TransferReport {
    enum class Kind { Read, Write };
    enum class Outcome {
        Completed,    // every requested block was read, or written and read back equal
        Refused,      // the panel answered 0xA9: to a chunk the write stops at that block; to a
                      // block read that block is skipped and the others are still read
        Cancelled,    // "Cancelar" (CancelRequested) ended it
        Disconnected, // DisconnectRequest (the retry prompt's "No") or the end of the worker ended it
        NotVerified,  // a block did not read back equal VerifyLimit times in a row (see OnLine)
    };
    Kind kind = Kind::Read;
    Outcome outcome = Outcome::Completed;
    quint32 requested = 0; // the blocks asked for (bits above LastBlock dropped)
    quint32 done = 0;      // blocks read (read) or written and verified (write)
    int failedBlock = -1;  // the block it stopped at (NotVerified) or the first refused, else -1
    quint32 framesPlanned = 0;
    quint32 errorCount = 0;
    bool succeeded() const { return outcome == Outcome::Completed; }
};

// How an event-buffer download ended. The worker hands one to the host at the end of every
// download, after the status window closed.
struct EventDownloadReport {
    enum class Outcome {
        Completed,    // the end record arrived
        Cancelled,    // "Cancelar" (CancelRequested) ended it
        Disconnected, // DisconnectRequest (the retry prompt's "No", the line given up) or the end
                      // of the worker ended it
        StoreFailed,  // a record's events could not be stored
        AreaFull,     // the panel went on past the last record the event area holds
    };
    Outcome outcome = Outcome::Completed;
    int product = 0;
    int records = 0; // records received and stored, the end record not counted
    quint32 framesPlanned = 0;
    quint32 errorCount = 0;
    bool succeeded() const { return outcome == Outcome::Completed || outcome == Outcome::AreaFull; }
};

// What the session worker (`OnLine`, online_worker.h) needs from the main window. The link
// controller implements it and creates the worker in `Inicia_OnLine`; tests implement it with a
// plain object.
//
// Threads. The worker is a QThread created on the main (user-interface) thread. It calls every
// method below except Link() through a blocking queued call on the thread the worker object was
// created on, so an implementation is ordinary main-thread code and needs no locking of its own;
// the worker waits for each call to return. Link() is called from the worker thread and must
// return the same object for the worker's whole life.
//
// Time. Every interval is in logical milliseconds of Clock (Clock::realInterval gives the QTimer
// value). Pauses that belong to a send are taken by the worker itself around these calls.
//
// End. The worker's last act is the signal OnLine::OnLineFim (the end message `WM_ONLINE_FIM`),
// emitted from its own thread after every call below has returned. The handler, connected with a
// queued connection on the main thread, may therefore wait for the thread (QThread::wait) and
// delete it without ever blocking a call of the worker.
class OnLineHost {
public:
    virtual ~OnLineHost() = default;

    // --- link ---

    // The main window's link state: the one-frame mailbox (FrameReady / TakeFrame / DiscardFrame),
    // CancelRequested, ConnectedProduct, ProgrammingReceived, PanelSentBuffer.
    virtual LinkState& Link() = 0;
    // The main window's send operation without its closing 100 ms pause: clear the port's output
    // queue, purge its output, write the text, clear OkReceived. SendFrameWithoutPause
    // (session_send.h) does exactly that on the dispatcher's port. The worker takes the send
    // operation's 100 ms pause itself, on its own thread, right after this returns: the main
    // thread (the dispatcher, the status window and its "Cancelar") never sleeps for the session.
    // Returns false when nothing could be written; the worker then goes on as if the frame had
    // been lost (its response timer repeats it).
    virtual bool SendFrame(const QByteArray& text) = 0;
    // Closes the serial port (ComPort::CloseReportingState); the worker calls it again, after a
    // 1 ms pause, while PortOpened() still answers true.
    virtual void ClosePort() = 0;
    virtual bool PortOpened() = 0;

    // --- response timer (`tmrOnline`) ---
    // A periodic timer of the main window. Every expiry must set the running worker's TimedOut
    // (OnLine::ResponseTimerExpired), and the buffer worker's, as the controller already does.
    // Start restarts the timer from zero when it is running.
    virtual void SetResponseTimerInterval(int logicalMs) = 0;
    virtual void StartResponseTimer() = 0;
    virtual void StopResponseTimer() = 0;

    // --- status window (`TfrmStatus`) ---
    // Show: create the window or bring it to the front, set the text, gauge or waiting bar and the
    // efficiency label as given, disable the application's other windows (remembering them) and
    // show it. Cancelar and the window's close box set Link().CancelRequested.
    virtual void ShowStatusWindow(const StatusWindowContent& content) = 0;
    virtual void SetStatusGauge(int position) = 0;
    // The efficiency figure, already formatted ("100,00%", "66,67%"); shown only while the label
    // is visible.
    virtual void ShowEfficiency(const QString& figure) = 0;
    // OperationDone: re-enable the windows disabled at show time, mark the window as closed by the
    // program (so that it does not count as "Cancelar") and close it. Called also when no window
    // is shown; it must then do nothing.
    virtual void CloseStatusWindow() = 0;
    // The retry prompt after 10 time-outs: "O painel de alarme não está respondendo\rDeseja
    // continuar tentando?", Yes/No with No as default, the status window taken out of stay-on-top
    // while it is up. true = Yes (go on trying), false = No (the worker hangs up). The command-line
    // program answers No unless it was started with --keep-trying.
    virtual bool AskContinueTrying() = 0;

    // --- customer window (`TfrmProgMain`) and programming windows ---
    // The worker runs while this is true; it is asked once per pass of the worker's loop.
    virtual bool CustomerWindowExists() = 0;
    // The customer's PRODUTO as a number when it is not null, else nothing. A value outside 1..4
    // ("0": not identified yet) makes the worker take the product the panel reported.
    virtual std::optional<int> CustomerProduct() = 0;
    // `Desabilita_botao_fechar` (false) / `Habilita_botao_fechar` (true).
    virtual void SetCloseButtonEnabled(bool enabled) = 0;
    // The link indicator: the "on line" picture and `lblOnOffLine` "On Line" (true), or the "off
    // line" picture and "Off Line" (false).
    virtual void SetOnLineIndicator(bool online) = 0;
    // When the monitoring view is the one shown, let it refresh itself as if just selected
    // (`jvLookMonitorarClick` with no button); otherwise nothing.
    virtual void RefreshMonitoringView() = 0;
    // `Atualiza_Monitorando`: an accepted status answer, the six bytes s0..s5 (`PanelStatus`).
    virtual void Atualiza_Monitorando(const QByteArray& panelStatus) = 0;
    // An accepted date and time answer: the six bytes as the panel sent them (`PanelClock`) and the
    // text for the label `Label5`, "Painel:  25/12/2007 09:15:30".
    virtual void ShowPanelDateTime(const QByteArray& panelClock, const QString& text) {
        Q_UNUSED(panelClock);
        Q_UNUSED(text);
    }
    // Clear the customer window's `BufferDownloading` flag.
    virtual void ClearBufferDownloading() = 0;
    // The idle check: both programming windows, where they exist, repaint their scrolling area.
    virtual void RepaintProgrammingWindows() = 0;
    // Hang-up with `CloseWindowsOnDisconnect`: close the 10-zone and 5-zone programming windows
    // where they exist, each marked as closed by the worker, then the customer window.
    virtual void CloseWindowsForDisconnect() = 0;

    // --- programming images ---
    // The pair of images of the model `product` selects (1, 3, 4: 10-zone family, 304 bytes;
    // 2: 5-zone model, 256 bytes). Offsets are image byte numbers; the worker never asks beyond
    // the model's size.
    virtual QByteArray ImageBytes(int product, ImageCopy which, int offset, int count) = 0;
    virtual void SetImageBytes(int product, ImageCopy which, int offset, const QByteArray& bytes) = 0;
    // At the end of the worker: every byte of `ImagemAlarme` of both models set to 0.
    virtual void ClearImagemAlarme() = 0;

    // --- event buffer (`BUFFER_EVENTOS`) ---
    // A download of the panel's log begins for the model of `product`: the customer window's
    // `BufferDownloading` is set and what the customer already holds is looked at, so that no event
    // is stored twice. False when storing cannot be prepared: the download does not start.
    virtual bool BeginEventDownload(int product) {
        Q_UNUSED(product);
        return true;
    }
    // `Atualiza_Tabela_Eventos`: stores the events of record `index` (16 bytes, as received) and
    // refreshes the event grid. False when an event could not be stored: the download ends (the
    // host has told the operator why).
    virtual bool Atualiza_Tabela_Eventos(int index, const QByteArray& record) {
        Q_UNUSED(index);
        Q_UNUSED(record);
        return true;
    }
    // Every download ends with one report, after the status window closed.
    virtual void EventDownloadEnded(const EventDownloadReport& report) { Q_UNUSED(report); }

    // --- outcome ---
    // Every read and write procedure ends with one report, after the status window closed.
    virtual void TransferEnded(const TransferReport& report) { Q_UNUSED(report); }
};
