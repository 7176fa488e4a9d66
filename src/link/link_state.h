#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>

#include <atomic>
#include <optional>

// Modem results as the dispatcher stores them in a worker's ResultCode.
enum ModemResult : quint8 {
    ResultOk = 0,
    ResultConnect = 1,
    ResultRing = 2,
    ResultNoCarrier = 3,
    ResultError = 4,
    ResultNoDialTone = 6,
    ResultBusy = 7,
    ResultNoAnswer = 8,
    // A number outside the table above that names no line speed either.
    ResultUnknown = 254,
    ResultNone = 255,
};

// A value of a type that cannot be read or written whole in one step (a text), shared between the
// main thread and a worker: load() and store() take a lock so neither side sees it half-written.
template <typename T> class LockedValue {
public:
    T load() const {
        QMutexLocker lock(&m_mutex);
        return m_value;
    }
    void store(T value) {
        QMutexLocker lock(&m_mutex);
        m_value = std::move(value);
    }

private:
    mutable QMutex m_mutex;
    T m_value{};
};

// What the receive dispatcher sees of a modem-phase worker (connection, callback wait, modem
// configuration, reception of a panel's call). The worker owns one of these (as a member or a
// base) and the supervisor puts its address into the matching LinkState reference while the
// worker exists.
struct ModemWorkerLink {
    // The last modem result stored by the dispatcher; the worker resets it to ResultNone after
    // acting on it.
    std::atomic<quint8> ResultCode{ResultNone};
    // The initialisation-line index and the command count it is compared with: an "OK" that
    // arrives while IndiceComando > NumComandos completes the modem set-up (ModemInitDone).
    std::atomic<int> IndiceComando{0};
    std::atomic<int> NumComandos{0};
    // The reception worker waits, not yet running, for the panel's call; the dispatcher has the
    // supervisor start it on RING (ReceiveDispatcher::ResumeBufferWorker).
    std::atomic<bool> Suspended{false};
};

// The link state the main window shares with the link and session workers.
//
// Threads: the receive dispatcher and every send run on the main thread; workers run on their own
// threads and poll these fields. Every single-value field is an std::atomic written whole by one
// side and read by the other; a requester writes an operation's parameters before its flag. The
// receive accumulator, the one-frame mailbox and the version texts are guarded by locks, so a
// worker may also empty RxText or take a frame directly.
class LinkState {
public:
    // --- flags and values (any thread) ---

    // false: the dispatcher looks for modem results; true: it cuts panel frames (from CONNECT
    // until the session or the callback wait ends).
    std::atomic<bool> FrameMode{false};
    // An "OK" arrived since the last command went out. Kept only while a connection worker
    // exists: every batch of bytes received without one clears it.
    std::atomic<bool> OkReceived{false};
    // The "OK" to the last initialisation line arrived.
    std::atomic<bool> ModemInitDone{false};
    // Throw away the next "NO CARRIER" (set when the main window is created).
    std::atomic<bool> IgnoreNoCarrier{true};
    // Product byte of the panel's identification answer; 255 = none.
    std::atomic<quint8> ConnectedProduct{255};
    // Version "M.m" from the identification answer, and the customer's stored VERSAO_PRODUTO.
    LockedValue<QString> ReceivedVersion;
    LockedValue<QString> StoredVersion;
    // The identification answer's product byte was 4.
    std::atomic<bool> Orvan9Max{false};
    // The operator asked for a connection with callback / the panel agreed to call back.
    std::atomic<bool> CallbackRequested{false};
    std::atomic<bool> CallbackPending{false};
    // The modem set-up is over: the worker is dialling or talking to the panel.
    std::atomic<bool> DialPhase{false};
    // The modem wants one command per line.
    std::atomic<bool> UsbModem{false};
    // The operator cancelled a session operation.
    std::atomic<bool> CancelRequested{false};
    // The whole job was told to stop (an interrupt or a termination request, the operator closing
    // the connection window): remembered until the next connection starts, whatever phase the job
    // is in; from then on nothing more is sent to the panel and the line is hung up.
    std::atomic<bool> StopRequested{false};
    // The modem reported the carrier lost (NO CARRIER) while the link was in frame mode, since the
    // last CONNECT.
    std::atomic<bool> CarrierLost{false};
    // One-second supervision ticks since the last progress.
    std::atomic<int> TimeoutTicks{0};
    // The session worker has read the whole programming of the connected panel.
    std::atomic<bool> ProgrammingReceived{false};
    // A panel that called in answered the proceed frame with an event record.
    std::atomic<bool> PanelSentBuffer{false};

    // --- worker references (written by the supervisor on the main thread) ---
    // A non-null reference means the worker exists. The dispatcher stores modem results into the
    // first existing one in the order ConectaAlarmeWorker, CallBackWorker, ConfigModemWorker,
    // BufferWorker. The session worker is not a modem-phase worker: OnLineWorker only tells that
    // it exists.
    std::atomic<ModemWorkerLink*> ConectaAlarmeWorker{nullptr};
    std::atomic<ModemWorkerLink*> CallBackWorker{nullptr};
    std::atomic<ModemWorkerLink*> ConfigModemWorker{nullptr};
    std::atomic<ModemWorkerLink*> BufferWorker{nullptr};
    std::atomic<QObject*> OnLineWorker{nullptr};

    // --- receive accumulator (any thread) ---
    // Everything read from the port and not yet consumed.
    QByteArray RxText() const;
    void SetRxText(const QByteArray& text);
    void ClearRxText();

    // --- one-frame mailbox (any thread) ---
    // The dispatcher puts each complete incoming frame (header included) here, replacing one no
    // worker has taken yet; there is no queue. A worker takes a frame with TakeFrame(), or in the
    // original three steps: read FrameReady(), read FrameText(), SetFrameReady(false).
    bool FrameReady() const { return m_frameReady.load(); }
    // Setting it false also empties FrameText.
    void SetFrameReady(bool ready);
    // The last frame. Read while empty it first becomes a single 0x00 byte, in which
    // FrameCodec::AnswerSlice finds no header.
    QByteArray FrameText();
    void SetFrameText(const QByteArray& text);
    // Takes the waiting frame in one step (nothing when no frame is ready): a frame the dispatcher
    // delivers at the same moment is never lost between reading and clearing.
    std::optional<QByteArray> TakeFrame();
    // "Discard any waiting frame": FrameReady cleared, FrameText emptied.
    void DiscardFrame() { SetFrameReady(false); }
    // The dispatcher's delivery: FrameText := frame, FrameReady := frame not empty.
    void DeliverFrame(const QByteArray& frame);

    // The link part of the main window's reset of all link variables: clears the worker
    // references, RxText, OkReceived, ModemInitDone, CallbackPending, the mailbox, FrameMode,
    // CancelRequested, DialPhase, CallbackRequested, PanelSentBuffer, UsbModem and TimeoutTicks,
    // and sets ConnectedProduct to 255. Closing the port is the caller's part.
    void ResetLink();

private:
    friend class ReceiveDispatcher;
    mutable QMutex m_rxMutex;
    QByteArray m_rxText;

    mutable QMutex m_frameMutex;
    std::atomic<bool> m_frameReady{false};
    QByteArray m_frameText;
};
