#pragma once

#include "link_control/call_back.h"
#include "link_control/panel_link_worker.h"
#include "programming/event_reception.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

class BufferReceiver;

// What the workers of listening (the modem set-up and the reception) need besides the link host:
// the send operation without its closing pause (the worker takes it on its own thread, so the window
// is never held), where the logs are stored, and the main window's response timer (tmrOnline),
// whose every expiry sets the reception worker's TimedOut. Main thread only.
class BufferWorkerHost {
public:
    virtual ~BufferWorkerHost() = default;
    virtual BufferReceiver* Receiver() = 0;
    // The main window's send operation without the dial command's pause (the record requests).
    virtual bool SendFrame(const QByteArray& text) = 0;
    virtual void SetResponseTimerInterval(int logicalMs) = 0;
    virtual void StartResponseTimer() = 0;
    virtual void StopResponseTimer() = 0;
    // A notice for the operator while listening goes on (a set-up command the modem refused).
    virtual void ListeningNotice(const QString& text) = 0;
};

// How one panel call ended, for the supervisor's log line and the operator.
struct BufferCallReport {
    enum class Outcome {
        Received,     // the log came to its end record (or filled the event area)
        NotAnswered,  // no carrier within 15 s of the start or of the last answer, or a failure result
        UnknownPanel, // no customer has the panel code the panel reported: hung up, nothing stored
        WrongProduct, // the customer's product is another one: hung up, nothing stored
        Abandoned,    // the panel stopped answering before its log (supervision), or listening stopped
        LineDropped,  // ten time-outs in a row during the log: what arrived before is stored
        Stopped,      // listening was switched off during the log: what arrived before is stored
        Cancelled,    // the operator stopped the call from the progress window: what arrived is stored
        StoreFailed,  // an event could not be stored: the call was ended
        Error,        // an unexpected error ended the worker
    };
    Outcome outcome = Outcome::NotAnswered;
    QString panelCode;  // as the panel reported it
    int customerId = 0; // 0 when no customer was found
    QString customerName;
    int records = 0; // records received and stored (the end record not counted)
    int stored = 0;  // events written
    int alreadyStored = 0;
    QString error;   // the storing error, when there was one
    QString warning; // the warning of the call's end (Mostra_Aviso's text), told without a box

    bool logComplete() const { return outcome == Outcome::Received; }
};

// The reception of a panel that calls in with its event log (`ThreadBuffer`). It is created
// waiting (Suspended) while the program listens; the dispatcher has it started on the first RING.
// It then counts the rings and answers, identifies the calling panel and finds its customer by the
// panel code, proves the customer's PC code (the code frame carries it twice), sends proceed,
// fetches the records one by one until the end record and stores each as it arrives. It hangs up
// and ends with its end message BufferFim (`WM_BUFFER_FIM`); the report tells how the call went.
//
// Flags: Cancelado is the stop flag (the operator switched listening off), Abandonado the abandon
// flag (the supervision timer gave up on a silent panel), TimedOut the response timer's flag.
class ThreadBuffer : public PanelLinkWorker {
    Q_OBJECT
public:
    ThreadBuffer(ConectaAlarmeHost& host, BufferWorkerHost& buffers, CallBackInputs inputs);

    std::atomic<bool> Abandonado{false};
    // The operator stopped this call ("Cancelar" of the progress window); set with Cancelado.
    std::atomic<bool> CanceladoPeloOperador{false};
    std::atomic<bool> TimedOut{false};
    // Consecutive time-outs in the record loop that end the call.
    static constexpr int MaxTimeouts = 10;

    // Main thread, once the worker has ended.
    const BufferCallReport& Report() const { return m_report; }

Q_SIGNALS:
    // The end message: emitted from the worker thread as its last act.
    void BufferFim();

protected:
    void run() override;

private:
    void Executa();
    bool Atende();
    bool Identifica();
    bool ProvaCodigo();
    bool Prossegue();
    void RecebeRegistros();
    void ContaRing(int& count, qint64& lastAnswer);
    // The main window's send operation; its closing pause runs on this thread.
    void Envia(const QByteArray& text, const std::function<void()>& before = {});
    void Termina();
    void TerminaComErro() noexcept;
    // Hangs up and keeps warning `code` in the report.
    void Aviso(int code, BufferCallReport::Outcome outcome);

    BufferWorkerHost& m_buffers;
    const CallBackInputs m_inputs;
    int m_rings = 2;
    std::optional<CallingCustomer> m_customer;
    int m_product = 255;
    QByteArray m_area; // the event area of the panel's family, 0xFF before the log
    BufferCallReport m_report;
    bool m_ringLineShown = false;
};
