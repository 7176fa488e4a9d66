#pragma once

#include "sim_config.h"
#include "sim_journal.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class MemoryLine;

namespace sim {
class LinePacer;
class SimModem;
class SimPanel;
class Transport;
} // namespace sim

// A simulated alarm panel behind a simulated Hayes modem: the far end of the program's serial
// line, for tests and for trying the application without hardware.
//
// Use in process (tests): construct it with a configuration and attach it to a MemoryLine; the
// program opens line.port() as its serial port. Everything runs on the thread that owns the
// simulator (its timers need that thread's event loop); all waits are logical times of
// Clock::instance(), so a scaled clock speeds the whole conversation up.
//
//     MemoryLine line;
//     sim::PanelSimConfig config;
//     config.product = 1;
//     config.pcCode = "5678";
//     PanelSimulator panel(config);
//     panel.attach(&line);
//     ... program talks on line.port() ...
//     QCOMPARE(panel.chunkWrites().size(), 2);
//
// Or on a pseudo-terminal (openPty) for end-to-end tests and the telvora-panel-sim executable.
//
// What it does is described where it is done: the modem in sim_modem.h, the panel in
// sim_panel.h, the knobs in sim_config.h. Everything here can be read and changed while a call
// runs; changes apply from the next request on.
class PanelSimulator : public QObject {
    Q_OBJECT
public:
    explicit PanelSimulator(const sim::PanelSimConfig& config = {}, QObject* parent = nullptr);
    ~PanelSimulator() override;

    // Where the program is: one of the two, once.
    void attach(MemoryLine* line);
    bool openPty(QString* devicePath, QString* error);

    // The panel's programming memory, in image numbering (304 or 256 bytes).
    sim::Family family() const;
    int product() const;
    QByteArray image() const;
    void setImage(const QByteArray& image);
    QByteArray block(int block) const;
    QByteArray pageBytes(int page) const; // the raw 256-byte memory pages

    // Event log: packed 4-byte events, oldest first; records as the panel answers them.
    QByteArray events() const;
    void setEvents(const QByteArray& events);
    QByteArray eventRecord(int record) const;

    // Status bytes s0..s5 and the panel clock.
    sim::PanelStatus status() const;
    void setStatus(const sim::PanelStatus& status);
    QDateTime panelClock() const;
    void setPanelClock(const QDateTime& time);

    // The line.
    bool carrier() const;     // a call is connected
    bool sessionOpen() const; // the panel accepted proceed on this call
    bool programPortOpen() const;
    int programBaudrate() const; // 0 when unknown
    QString modemState() const;  // "command", "dialling", "online", ...
    bool modemEcho() const;
    bool modemVerbose() const;
    QString lastDialled() const { return m_lastDialled; }

    // Knobs, live.
    sim::FaultSettings& faults() { return m_config.faults; }
    sim::ModemSettings& modemSettings();
    sim::PanelBehaviour& behaviour();
    void setLine300(bool paced);

    // Actions.
    void callIn();   // the panel calls the PC now (rings until answered or given up, then retries)
    void dropLine(); // the panel hangs up now

    // What happened.
    const QVector<sim::JournalEntry>& journal() const;
    QVector<sim::JournalEntry> journal(const QString& kind) const; // entries of one kind
    const QVector<sim::ChunkWrite>& chunkWrites() const;
    bool setJournalFile(const QString& path, QString* error);
    QJsonObject finalState() const;
    void writeFinalState(); // appends {"final": finalState()} to the journal file

Q_SIGNALS:
    void journalAppended(const sim::JournalEntry& entry);
    void sessionStarted();
    // A call ended; callbackFollows tells that the panel hung up to call back.
    void callFinished(bool callbackFollows);

private:
    void wire();
    void connectTransport(sim::Transport* transport);
    void addJournal(sim::JournalEntry entry);
    void placeCall();
    void ringOnce();
    void callAttemptFailed();
    void hangUpAfterAnswer(bool callbackFollows);

    sim::PanelSimConfig m_config;
    qint64 m_startMs = 0;
    sim::Journal m_journal;
    sim::LinePacer* m_pacer = nullptr;
    sim::SimModem* m_modem = nullptr;
    sim::SimPanel* m_panel = nullptr;
    sim::Transport* m_transport = nullptr;

    // The panel's own calls.
    QTimer m_ringTimer;
    QTimer m_retryTimer;
    QTimer m_callInTimer;
    QTimer m_hangUpTimer;
    bool m_calling = false;
    int m_ringsThisCall = 0;
    int m_attemptsLeft = 0;
    bool m_callbackPending = false; // the panel hung up to call back

    // Answering-machine bypass: when the unanswered first call ended.
    qint64 m_firstCallEndedMs = -1;
    bool m_firstCallRinging = false;

    QString m_lastDialled;
};
