#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class MemoryLine;

namespace sim {

// The program's end of the line as the simulated modem sees it: bytes both ways, whether the
// program has the port open (its DTR) and at what speed.
class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void write(const QByteArray& bytes) = 0;
    virtual bool programOpen() const = 0;
    virtual int programBaudrate() const = 0; // 0 when it cannot be told
    virtual QString describe() const = 0;

Q_SIGNALS:
    void received(const QByteArray& bytes);
    void programOpenChanged(bool open);
    void programBaudrateChanged(int baudrate);
};

// In process: the peer end of a MemoryLine.
class MemoryLineTransport : public Transport {
    Q_OBJECT
public:
    explicit MemoryLineTransport(MemoryLine* line, QObject* parent = nullptr);
    void write(const QByteArray& bytes) override;
    bool programOpen() const override;
    int programBaudrate() const override;
    QString describe() const override { return QStringLiteral("memory line"); }

private:
    QPointer<MemoryLine> m_line;
};

// A pseudo-terminal the simulator creates; the program opens its slave device as its serial port.
//
// Telling whether the program has the port open: the master side reports a hang-up (poll gives
// POLLHUP, read fails with EIO) exactly while no process holds the slave open. The slave is opened
// once at creation to put it in raw mode and closed again, so the line starts "closed"; from then
// on the program opening the device is its DTR rising and closing it is DTR falling. A close and
// reopen quicker than one poll period (about 5 logical ms) can go unnoticed, as a real modem
// ignores a DTR drop shorter than its detection time. Nothing is written while the slave is
// closed, so the program never reads stale bytes after opening the port.
//
// Speed: on Linux the terminal settings read through the master are the slave's, so the speed
// the program set on its port is visible (programBaudrate); elsewhere it reads 0 (unknown) and
// the simulator behaves as if it matched.
class PtyTransport : public Transport {
    Q_OBJECT
public:
    explicit PtyTransport(QObject* parent = nullptr);
    ~PtyTransport() override;

    bool open(QString* error);
    QString devicePath() const { return m_path; }

    void write(const QByteArray& bytes) override;
    bool programOpen() const override { return m_slaveOpen; }
    int programBaudrate() const override { return m_baudrate; }
    QString describe() const override { return m_path; }

private:
    void poll();
    void readSpeed();
    void setSlaveOpen(bool open);

    int m_master = -1;
    QString m_path;
    QTimer m_timer;
    bool m_slaveOpen = false;
    int m_baudrate = 0;
    QByteArray m_pending; // written while the pty buffer was full
};

} // namespace sim
