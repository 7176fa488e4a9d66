#pragma once

#include "link/link_state.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class ComPort;

// What the customer screen's send operation needs to expand a bare dial command.
struct DialInputs {
    QString Digito;             // the outside-line digit of the settings
    bool HabilitaPausa = false; // the settings' "Habilita Pausa": dial the digit and a pause first
    QString FonePainel;         // the customer's FONE_PAINEL
};

// The only reader of the modem's byte stream, and the owner of the link state and of the send
// operations every link and session worker uses.
//
// It lives on the main thread, with the port it is given, and handles the port's DataAvailable
// (ModemDataAvailable). Depending on the phase of the link it:
//  - modem phase (State().FrameMode false, a modem-phase worker exists): recognises modem results
//    and stores them in the ResultCode of the first existing worker (ConectaAlarmeWorker,
//    CallBackWorker, ConfigModemWorker, BufferWorker); sets OkReceived and ModemInitDone;
//  - frame mode (FrameMode true): cuts complete "ZRV" frames out of the stream into the one-frame
//    mailbox (State().FrameReady / FrameText / TakeFrame); a NO CARRIER in the bytes between
//    frames sets State().CarrierLost, which ends a session at once;
//  - otherwise, with no customer screen open: reports an incoming RING (RingIndicated).
//
// Results are recognised by their word ("OK", "CONNECT", "NO CARRIER"...) anywhere in the
// accumulator, or by their digit standing alone on a line (the start of the accumulator or a CR or
// LF before it, a CR or LF after it): a modem echo such as "AT&I0&K0&N1E0\r" holds digits that are
// not results. Results 2 to 8 stay in the accumulator and are stored again with every later batch
// until an "OK" or CONNECT empties it or someone calls State().ClearRxText().
//
// Workers never read the port: they poll the state's flags and mailbox and send through
// EnviaComando, which may be called from any thread (it runs on the main thread and the caller
// waits).
class ReceiveDispatcher : public QObject {
    Q_OBJECT
public:
    // Connects to the port's DataAvailable. The port must live on this object's thread.
    explicit ReceiveDispatcher(ComPort* port, QObject* parent = nullptr);

    ComPort* Modem() const { return m_port; }
    LinkState& State() { return m_state; }

    // --- hooks the application fills (called on the main thread) ---
    // Whether a customer screen is open; while one is, no ring is reported. Unset: none is open.
    std::function<bool()> CustomerScreenOpen;
    // Called when a RING is stored for a reception worker that waits suspended: show the connection
    // window and start the worker. Returning true clears the worker's Suspended flag; returning
    // false means it could not be started, and the dispatcher clears State().BufferWorker (the
    // hook's owner frees the worker). Unset: the worker stays suspended.
    std::function<bool()> ResumeBufferWorker;

    // The main window's send operation: empty the port's output queue, purge its output, write the
    // text, pause 100 ms, clear OkReceived. Anything still waiting from an earlier command is
    // dropped. Returns false, with the port's error text in *error ("Port not open"), when the
    // text could not be written.
    bool EnviaComando(const QByteArray& text, QString* error = nullptr);
    // The customer screen's send operation, used by the connection worker for its modem commands:
    // a bare "ATDT" or "ATDP" is expanded (ExpandDialCommand), then pause 300 ms, send as above
    // without the 100 ms pause, clear OkReceived.
    bool EnviaComando(const QByteArray& text, const DialInputs& dial, QString* error = nullptr);
    // "ATDT" or "ATDP" alone becomes text + [Digito + ","] + FonePainel + ";ATA\r", the digit and
    // comma only when HabilitaPausa is set; any other text is returned unchanged.
    static QByteArray ExpandDialCommand(const QByteArray& text, const DialInputs& dial);

    // Closes the port (dropping the line) and tells whether it had been open.
    bool ClosePort();

    // The result tests: the word anywhere in the text; a line made only of digits whose number
    // means `code` (NumericResult).
    static bool HasResultWord(const QByteArray& text, const char* word);
    static bool HasResultCode(const QByteArray& text, quint8 code);
    // The result a modem's number stands for: the codes the program knows as they are, any other
    // number (a CONNECT with the line speed) as ResultConnect.
    static quint8 NumericResult(int number);

    // What the accumulator keeps while no worker reads it.
    static constexpr int IdleTailBytes = 64;

public Q_SLOTS:
    // Handles the port's data-available notification: reads everything waiting and works on the
    // accumulated bytes in this order: no-carrier discard, frame cutting (frame mode), result
    // recognition (modem phase) or ring look-up, and finally clears OkReceived unless a connection
    // worker exists.
    void ModemDataAvailable();

Q_SIGNALS:
    // A RING arrived while no modem-phase worker is listening (or in frame mode) and no customer
    // screen is open: the application plays the ring sound and blinks its ring indication.
    void RingIndicated();

private:
    bool send(const QByteArray& text, QString* error);
    void discardNoCarrier(ModemWorkerLink* worker, QByteArray& rx);
    void cutFrames(QByteArray& rx);
    // Bytes of the stream that are part of no frame: a NO CARRIER among them sets the link's
    // CarrierLost (cleared again by the next CONNECT).
    void noteOutsideFrames(QByteArrayView bytes);
    // Returns true when a RING was stored for a suspended reception worker.
    bool recogniseResults(QByteArray& rx);

    ComPort* m_port;
    LinkState m_state;
    // The last bytes outside frames, so that a result split across arrivals is still recognised.
    static constexpr qsizetype OutsideFramesKept = 16;
    QByteArray m_outsideFrames;
};
