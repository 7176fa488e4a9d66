#pragma once

#include "serial/com_port.h"

#include <QMutex>

#include <atomic>

class MemoryLine;

// The program's end of an in-memory serial line: a ComPort whose "device" is the peer end of a
// MemoryLine (in tests, the simulated modem and panel running in the same process).
class MemoryComPort : public ComPort {
    Q_OBJECT
public:
    bool Opened() const override { return m_open.load(); }
    QByteArray ReadAll() override;
    int WriteText(const QByteArray& text) override;
    void PurgeInput() override;
    void PurgeOutput() override;
    void ClearOutputQueue() override;
    QString DevicePath() const override;

protected:
    void openDevice() override;
    void closeDevice() override;
    void applyBaudrate() override;

private:
    friend class MemoryLine;
    explicit MemoryComPort(MemoryLine* line);
    void flushOutput();
    void notifyDataAvailable();

    MemoryLine* m_line;
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_notifyPending{false};
    QMutex m_rxMutex;
    QByteArray m_rx;
    QByteArray m_tx; // written but not yet handed to the peer
    bool m_flushPending = false;
};

// A serial line held in memory. The program gets port(), a ComPort like any other; the peer
// (a simulated modem) writes with sendToProgram() from any thread and hears what the program
// sends through receivedFromProgram(), emitted on the line's thread once the program's event
// loop has run (so a purge right after a write still drops it, as on a real line). Bytes sent
// while the program's port is closed are lost, as they would be on a real port.
class MemoryLine : public QObject {
    Q_OBJECT
public:
    explicit MemoryLine(QObject* parent = nullptr);

    ComPort* port() const { return m_port; }

    // Thread-safe.
    void sendToProgram(const QByteArray& bytes);
    bool programOpened() const { return m_port->Opened(); }
    int programBaudrate() const { return m_port->Baudrate(); }

    // Makes the next openings fail as a missing or busy device does.
    void setOpenFails(bool fails) { m_openFails = fails; }
    bool openFails() const { return m_openFails; }
    // Lets `openings` more openings succeed and then refuses the next ones as a device another
    // program holds (access denied).
    void setTakenAfter(int openings) { m_openingsBeforeTaken = openings; }

Q_SIGNALS:
    void receivedFromProgram(const QByteArray& bytes);
    // The program opened or closed its port (DTR rises or falls; a modem hangs up on the fall).
    void programOpenedChanged(bool opened);
    void programBaudrateChanged(int baudrate);

private:
    MemoryComPort* m_port;
    std::atomic<bool> m_openFails{false};
    std::atomic<int> m_openingsBeforeTaken{-1}; // -1: never taken
    friend class MemoryComPort;
};
