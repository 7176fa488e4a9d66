#pragma once

#include "link/link_state.h"
#include "programming/programming_image.h"
#include "programming/write_content.h"
#include "session/online_host.h"
#include "session/session_exchange.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QThread>

#include <array>
#include <atomic>
#include <functional>
#include <optional>

// The session worker: owns the conversation with a connected panel until the line is hung up.
//
// The link controller creates it (on the main thread, not started), clears DisconnectRequest,
// ReadDateTimeRequest, ReadProgrammingRequest and ReadBufferRequest, connects OnLineFim with a
// queued connection, starts it, and then sets Blocks (0x7FFFF for the 10-zone family, 0xFFFF for
// the 5-zone model), ReadProgrammingRequest and StatusRequest.
//
// Every operation talks to the panel through one exchange (session_exchange.h): send, wait for the
// answer with the deadline kept on this thread, accept or refuse. An expiry raised from outside
// (ResponseTimerExpired) counts as the deadline passing.
//
// Windows raise work by writing a request's parameters first and its flag last; the worker serves
// the flags in a fixed order on every pass of its loop (write programming, read programming,
// hang-up, event buffer, date and time, PGM change, status, PGM restore, command, idle check), shows
// the status window while an operation runs and clears the flag. Between operations it asks for the
// panel's status every 10 s.
//
// Ending: DisconnectRequest hangs up ("ATH0\r", three "AT\r", the port closed) and ends the loop;
// so does requestInterruption() (the thread's terminate flag) or the customer window going away.
// The worker never deletes itself; its last act is OnLineFim.
class OnLine : public QThread, private ExchangeChannel {
    Q_OBJECT
public:
    static constexpr int BlockCount = 19; // blocks of the larger (10-zone) image

    explicit OnLine(OnLineHost& host, QObject* parent = nullptr);
    ~OnLine() override;

    // --- requests (written by windows, read and cleared by the worker) ---
    std::atomic<bool> DisconnectRequest{false};
    std::atomic<bool> ReadDateTimeRequest{false};
    std::atomic<bool> ReadProgrammingRequest{false};
    std::atomic<bool> WriteProgrammingRequest{false};
    std::atomic<bool> ReadBufferRequest{false};
    std::atomic<bool> StatusRequest{false};
    std::atomic<bool> CommandRequest{false};
    std::atomic<bool> WriteDateRequest{false};
    std::atomic<bool> WriteTimeRequest{false};
    std::atomic<bool> PgmChangeRequest{false};
    // At hang-up also close the customer window and the programming windows.
    std::atomic<bool> CloseWindowsOnDisconnect{false};
    // The PGM module option changed: every PGM counts as changed.
    std::atomic<bool> PgmModuleChanged{false};

    // Blocks of a read or write request (bit b = block b; bits above LastBlock are ignored).
    std::atomic<quint32> Blocks{0};
    // Per block, the chunks (bit c = chunk c) a write sends. The worker never clears them: a
    // requester clears the entry of every block it examines before setting bits.
    std::array<std::atomic<quint8>, BlockCount> Chunks{};
    // The bytes a write takes from ImagemPC and those it sends with values of their own; every
    // other byte of a written chunk goes as the panel holds it (WriteContent). Written with Blocks
    // and Chunks, before the request flag. Empty: the marked chunks are sent whole from ImagemPC.
    LockedValue<WriteContent> WriteBytes;
    // Command frame fields and the PGMs whose mode the operator changed (bits 0..3 = PGM 1..4).
    std::atomic<quint8> CommandCode{0};
    std::atomic<quint8> CommandParam{0};
    std::atomic<quint8> ChangedPgms{0};
    // The effect the command in progress waits for.
    std::atomic<bool> ExpectPgmOn{false}, ExpectPgmOff{false}, ExpectArmA{false}, ExpectArmB{false},
        ExpectDisarmA{false}, ExpectDisarmB{false}, ExpectBypass{false};

    // A write that reads a block back different this many times in a row stops with
    // TransferReport::NotVerified, as if the operator had pressed "Cancelar". 0 (the default, used
    // by the desktop program) repeats until the operator cancels; the command-line program sets a
    // limit because nobody is there to press "Cancelar".
    std::atomic<int> VerifyLimit{0};
    // The same for a remote command: after this many answers that do not show its effect (a status
    // without the change, or 0xD5) the command stops, its expectation cleared and CommandRefused
    // set. 0 (the desktop program) repeats until the operator cancels.
    std::atomic<int> CommandRepeatLimit{0};
    // The last command stopped at CommandRepeatLimit without its effect showing, although the panel
    // answered it.
    std::atomic<bool> CommandRefused{false};
    // How the last command ended: its effect showed; the panel answered it without the effect
    // (CommandRefused); the panel never answered the command itself (silent, or only its status
    // asked after time-outs came back); or it was stopped ("Cancelar", the hang-up) after answers.
    enum class CommandOutcome : quint8 { Effect, Refused, NoAnswer, Stopped };
    std::atomic<CommandOutcome> LastCommandOutcome{CommandOutcome::Stopped};
    // Written dates and times are the computer's clock plus this offset (0: the computer's own
    // time); the command line sets a time the operator gave.
    std::atomic<qint64> ClockOffsetMs{0};

    // --- state (written by the worker, readable anywhere) ---
    std::atomic<bool> OperationDone{false};
    // A write procedure runs (set before it clears WriteProgrammingRequest, cleared after its
    // report), and the PGM change procedure runs (from its preparation until its last write has
    // been raised). A requester that waits for the end of what it asked for waits until neither
    // these nor the request flags are set.
    std::atomic<bool> WriteInProgress{false};
    std::atomic<bool> PgmChangeInProgress{false};
    std::atomic<bool> AwaitingAck{false};
    std::atomic<bool> TimedOut{false};
    std::atomic<bool> PgmSwitchOffPhase{false};
    std::atomic<bool> ShowEfficiency{false};
    std::atomic<quint8> CurrentChunk{0};
    std::atomic<quint8> Product{0};
    std::atomic<quint8> LastBlock{18};
    std::atomic<quint32> CurrentBlock{0};
    std::atomic<quint32> FramesPlanned{0};
    std::atomic<quint32> ErrorCount{0};
    // Answer deadlines that passed during this session (each one went through the time-out rule).
    std::atomic<quint32> TimeOutCount{0};
    std::atomic<bool> ShowGauge{false};
    std::atomic<qint32> GaugeMin{0};
    std::atomic<qint32> GaugeMax{0};
    LockedValue<QString> StatusText;
    // s0..s5 of the last accepted status answer.
    LockedValue<QByteArray> PanelStatus;
    // The last accepted date and time answer (`PanelClock`) and its text, "Painel:  dd/mm/yyyy ...".
    LockedValue<QByteArray> PanelClock;
    LockedValue<QString> PanelClockText;

    // An expiry of the host's response timer (any thread): the exchange waiting for an answer
    // takes it as its deadline passing.
    void ResponseTimerExpired() { TimedOut = true; }

    // The report of the last event-buffer download (also handed to OnLineHost::EventDownloadEnded).
    std::optional<EventDownloadReport> LastEventDownload() const;

    // The report of the last programming read or write (also handed to OnLineHost::TransferEnded).
    std::optional<TransferReport> LastTransfer() const;

    // The efficiency figure: 100 without errors, else (P + E) / (P + 2E) * 100.
    static double Efficiency(quint32 framesPlanned, quint32 errorCount);
    // "100,00%", "66,67%".
    static QString EfficiencyText(quint32 framesPlanned, quint32 errorCount);
    // The label text of a date and time answer (seconds, minutes, hours, day, month, year):
    // "Painel:  25/12/2007 09:15:30"; packed BCD values for the 10-zone family, binary for the
    // 5-zone model.
    static QString PanelDateTimeText(const QByteArray& clock, bool packedBcd);

Q_SIGNALS:
    // `WM_ONLINE_FIM`: the worker has finished; emitted from the worker thread as its last act.
    void OnLineFim();

protected:
    void run() override;

private:
    // --- the loop and its rows (online_worker.cpp) ---
    void startSteps();
    void endSteps();
    void pass();
    // Terminated, DisconnectRequest, the job told to stop, or the carrier lost.
    bool ending() const;
    void hangUp();
    void idleCheck();

    // --- the worker's side of an exchange and its calls into the host (online_channel.cpp) ---
    ExchangeResult exchange(const ExchangeRequest& request) { return RunExchange(*this, request); }
    bool stopRequested() override; // ending() or CancelRequested
    std::optional<QByteArray> takeFrame() override;
    void discardFrame() override;
    qint64 nowMs() override;
    void idle() override;
    bool takeExternalTimeOut() override;
    // RetryCount and the prompt after 10 time-outs.
    void timeOutRule() override;
    void countError() override;
    // Runs f on the thread the worker object lives on (the main thread) and waits for it.
    void onUi(const std::function<void()>& f);
    // A frame for the panel: not sent once the operation is cancelled or the session is ending.
    void send(const QByteArray& frame);
    // The hang-up's modem commands, sent whatever was requested.
    void sendToModem(const QByteArray& command);
    void pause(qint64 ms) const;
    void showStatus(const QString& text, bool gauge, int min, int max, bool efficiency);
    void closeStatus();
    // OperationDone (the status window closes), CancelRequested cleared, LastActivity.
    void endOperation();
    void showFigure();
    // The status answer s0..s5 kept and shown.
    void acceptStatus(const QByteArray& status);
    QByteArray image(ImageCopy which, int offset, int count);
    // The whole image of the session's model, as it stands now.
    ProgrammingImage currentImage(ImageCopy which);
    void setImage(ImageCopy which, int offset, const QByteArray& bytes);
    int lastBlock() const { return LastBlock.load(); }

    // --- programming block read (block_read.cpp) ---
    void readProcedure();
    // Sends the read request of a block and waits for its answer into ImagemAlarme.
    enum class BlockAnswer { Received, Refused, Stopped };
    BlockAnswer readBlock(int block);
    void sendReadRequest(int block);
    void finishTransfer(const TransferReport& report);

    // --- programming block write with verify (block_write.cpp) ---
    void writeProcedure();
    // Writes the chunks of one block and reads it back; Verified when it reads back equal.
    enum class BlockResult { Verified, Differs, Refused, Stopped };
    BlockResult writeBlock(int block, quint8 chunks);
    void sendChunk(int block, int chunk);
    bool compareBlock(int block, quint8 chunks);

    // --- event buffer download (event_download.cpp) ---
    void readBufferProcedure();
    // Asks for event record `index` until its own answer arrives (into `record`); `whileOnTheLine`
    // runs after each send of the request, within the pause that follows it.
    ExchangeResult readEventRecord(int index, QByteArray* record,
                                   const std::function<void()>& whileOnTheLine);

    // --- date and time (panel_clock.cpp) ---
    void readDateTime();
    void writeDateOrTime(bool date);

    // --- remote commands (remote_commands.cpp) ---
    void sendCommand();
    bool commandTakenEffect(const QByteArray& status);
    void clearExpectations();

    // --- status poll (status_poll.cpp) ---
    void statusPoll();

    // --- PGM change procedure (pgm_change.cpp) ---
    // Handles a status answer during the PGM switch-off phase; true when the phase is over.
    bool pgmSwitchOffStep(const QByteArray& status);
    void pgmChangePreparation();
    void pgmRestore();
    // The operator cancelled a step, a write of it failed, or the session is ending: the procedure
    // stops where it is (nothing more of it is written or switched).
    void abandonPgmChange();
    quint8 pgmTarget(const QByteArray& pc, int n) const;

    OnLineHost& m_host;
    LinkState& m_link;

    // Private to the running worker.
    quint8 m_retryCount = 0;
    qint64 m_lastActivity = 0;
    // Blocks read from the panel in this session, and their bytes as the panel sent them (the
    // zone attributes of ImagemAlarme are normalised after a read; a write must give the panel
    // back its own bytes, not the normalised ones).
    quint32 m_knownBlocks = 0;
    QByteArray m_panelMemory;
    // The write in progress: what it sends, and the block being written as the panel held it
    // before (the bytes of its chunks that the write does not send).
    struct BlockWrite {
        WriteContent content;
        QByteArray panelBlock;
    } m_write;

    // Saved values of the PGM change procedure.
    struct PgmChange {
        bool preparationDone = false;
        bool restorePending = false;
        bool optionChanged = false;    // until the option byte has been written back
        bool optionWasChanged = false; // for the whole procedure
        bool modesChanged = false;
        bool temporaryWrite = false; // the preparation raised a write with temporary PGM bytes
        quint8 savedPc34 = 0;
        quint8 savedAlarme34 = 0;
        std::array<quint8, 4> savedPcModes{};
        std::array<quint8, 4> savedAlarmeModes{};
        quint32 savedBlocks = 0;
        quint8 savedChangedPgms = 0;
        WriteContent content;   // the request's own
        WriteContent temporary; // with the temporary values put
    } m_pgm;

    mutable QMutex m_reportMutex;
    std::optional<TransferReport> m_lastTransfer;
    std::optional<EventDownloadReport> m_lastEventDownload;
    // The event area: the raw records of the download in progress, 0xFF where none arrived.
    QByteArray m_eventArea;
};
