#pragma once

#include "sim_config.h"
#include "sim_journal.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <functional>

namespace sim {

// A Hayes-compatible modem as the program sees it on its serial port.
//
// Command mode: lines start with "AT" (any letter case; anything before it is ignored) and end
// with a carriage return (S3); several commands may follow each other ("AT&F0&C0E0V0"). Every
// known command is accepted, an unknown one (or one listed in FaultSettings::rejectedCommands)
// turns the whole line into ERROR, and none of the line's commands takes effect. Characters are echoed while
// E1 (the factory setting, so also after &F or Z). Results are words framed by CR LF with V1 ("\r\nOK\r\n")
// and digits framed the same way with V0 ("\r\n0\r\n"); Q1 silences them.
//
// Calls: "D" dials (T tone, P pulse, "," pauses S8 seconds); a ";" returns to command mode after
// dialling and the rest of the line runs, so the program's "ATDT<number>;ATA" dials and then
// waits for the carrier as the originating side. The outcome (CONNECT or BUSY, NO ANSWER, NO DIAL
// TONE, NO CARRIER) comes from the dial handler the simulator installs. Any character sent while
// dialling or waiting for the carrier aborts the attempt with NO CARRIER. An incoming call writes
// RING each time the line rings; "A" (or S0 > 0 rings with the port open) answers it.
//
// Data mode: everything the program sends travels to the far end, "ATH0" and "AT" included;
// "+++" framed by the guard time S12 returns to command mode with the call kept ("O" goes back).
// The call ends when the far end hangs up, or when the program closes its port (DTR falls) with
// &D2 or &D3 (&D3 also resets the settings); the modem then writes NO CARRIER.
//
// The CONNECT report follows the reported speed: 300 bit/s ("1") after +MS=B103 or &N1, or when
// the program's speed is unknown or 300; otherwise the program's speed ("12" or "CONNECT 9600"
// for 9600). X0 always reports plain CONNECT.
class SimModem : public QObject {
    Q_OBJECT
public:
    enum class State { Command, Dialling, OffHook, Handshake, Answering, Online, OnlineCommand };
    enum class Result {
        Ok = 0,
        Connect = 1,
        Ring = 2,
        NoCarrier = 3,
        Error = 4,
        NoDialTone = 6,
        Busy = 7,
        NoAnswer = 8
    };

    // What happens to a dialled call: the outcome and how long after dialling it comes.
    struct CallPlan {
        DialOutcome outcome = DialOutcome::Connect;
        qint64 delayMs = 0;
    };
    using DialHandler = std::function<CallPlan(const QString& digits)>;

    // Tags of what the modem sends, so the line can drop data when the carrier goes.
    enum Tag { CommandTag = 0, DataTag = 1 };

    SimModem(const ModemSettings& settings, const FaultSettings* faults, QObject* parent = nullptr);

    void setDialHandler(DialHandler handler) { m_dialHandler = std::move(handler); }
    void setPaced(bool paced) { m_paced = paced; }
    ModemSettings& settings() { return m_settings; }

    // Program side.
    void fromProgram(const QByteArray& bytes);
    void setDtr(bool up);
    void setDteBaud(int baud) { m_dteBaud = baud; }

    // Line side.
    void incomingRing(); // the line rings once (an incoming call is present)
    void callerGone();   // the caller stopped ringing
    void remoteHangUp(); // the far end dropped the line
    void sendData(const QByteArray& bytes, qint64 delayMs); // far end -> program while online

    State state() const { return m_state; }
    bool carrier() const { return m_state == State::Online || m_state == State::OnlineCommand; }
    bool inCall() const { return m_state != State::Command; }
    bool dtr() const { return m_dtr; }
    bool echo() const { return m_echo; }
    bool verbose() const { return m_verbose; }
    int sRegister(int n) const { return m_s.value(n, 0); }
    int dteBaud() const { return m_dteBaud; }
    int ringCount() const { return m_s.value(1, 0); }
    bool incomingCall() const { return m_incoming; }
    static QString stateName(State state);

Q_SIGNALS:
    void toProgram(const QByteArray& bytes, qint64 notBeforeMs, double byteMs, int tag);
    void dataToRemote(const QByteArray& bytes);
    void callStarted(bool originated); // carrier up
    void callEnded();                  // carrier down, for any reason
    void callFailed();                 // an attempt (either direction) ended without carrier
    void dialled(const QString& digits);
    void journal(const sim::JournalEntry& entry);

private:
    enum class LineResult { Ok, Error, TookOver };
    // The settings a command line changes.
    struct Profile {
        bool echo, verbose, quiet;
        int x, dtrMode;
        bool bell103, fixed300;
        QHash<int, int> s;
    };
    Profile profile() const;
    void setProfile(const Profile& profile);

    void factoryReset();
    void feedCommand(const QByteArray& bytes);
    void processLine(const QByteArray& line);
    LineResult execute(const QString& text);
    bool rejected(const QString& token, const QString& name) const;
    LineResult dial(const QString& dialString, bool returnToCommand, bool* answerFollows);
    void answer();
    void goOnline(bool originated, bool fresh);
    void endAttempt(Result result);
    void endCall(bool dtrDrop);
    void hangUpLocally();
    void sendResult(Result result, qint64 notBeforeMs = 0);
    void sendText(const QByteArray& text, const QString& kind, const QString& what, qint64 notBeforeMs = 0);
    void onCallTimer();
    void onGuardTimer();
    qint64 now() const;
    double commandByteMs() const;
    int reportedSpeed() const;
    void log(const QString& dir, const QString& kind, const QByteArray& bytes, const QString& text);

    ModemSettings m_settings;
    const FaultSettings* m_faults;
    DialHandler m_dialHandler;
    bool m_paced = false;

    State m_state = State::Command;
    bool m_dtr = false;
    int m_dteBaud = 0;
    bool m_echo = true;
    bool m_verbose = true;
    bool m_quiet = false;
    int m_x = 4;
    int m_dtrMode = 2;
    bool m_bell103 = false;
    bool m_fixed300 = false; // &N1
    QHash<int, int> m_s;
    QByteArray m_line;

    // The call being set up.
    QTimer m_callTimer;
    CallPlan m_plan;
    bool m_planPending = false; // dialled with ";": the plan waits for "A"
    bool m_incoming = false;    // the line is ringing
    bool m_originated = false;
    QString m_lastNumber;

    // "+++" escape.
    QTimer m_guardTimer;
    qint64 m_lastDataMs = 0;
    int m_plusCount = 0;
};

} // namespace sim
