#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <stdexcept>

// The error the serial-port service raises, with the texts the rest of the program expects:
// "Cannot open port '<device>'", "Port not open", "Value can not be negatieve".
// An opening refused because another program holds the device says so (AccessDenied).
class ECiaComPort : public std::runtime_error {
public:
    enum Cause { Other, AccessDenied };
    explicit ECiaComPort(const QString& message, Cause cause = Other)
        : std::runtime_error(message.toStdString()), m_message(message), m_cause(cause)
    {
    }
    QString message() const { return m_message; }
    Cause cause() const { return m_cause; }

private:
    QString m_message;
    Cause m_cause;
};

// The serial-port service as the program uses it: open and close by COM number (mapped to a device
// through ComPortMap and the overrides of the device map), set the speed,
// write without blocking, read everything that has arrived, discard pending input or output. It
// emits DataAvailable on the thread that owns it (the main thread) whenever unread bytes are
// waiting; the handler is expected to call ReadAll. Implementations: TCiaComPort over a real
// device, and the in-memory end of a MemoryLine for tests.
class ComPort : public QObject {
    Q_OBJECT
public:
    explicit ComPort(QObject* parent = nullptr);

    int Port() const { return m_port; }
    void SetPort(int number) { m_port = number; }

    // Device paths per COM number that replace the default ones (ComPortMap::ReadOverrides). A
    // port that is not a real device ignores them.
    void SetDeviceMap(const QHash<int, QString>& overrides) { m_overrides = overrides; }
    const QHash<int, QString>& DeviceMap() const { return m_overrides; }

    int Baudrate() const { return m_baudrate; }
    // Stores the speed; when the port is open it applies to the device at once.
    void SetBaudrate(int baudrate);

    // With a quiet period above 0 ms, arriving bytes are announced once the line has been quiet
    // that long (one DataAvailable for the whole batch); 0 announces every arrival at once. A
    // negative value raises "Value can not be negatieve" and keeps the old one.
    int RxTimeout() const { return m_rxTimeout; }
    void SetRxTimeout(int ms);

    virtual bool Opened() const = 0;
    // Opens or closes the port; setting the current state again does nothing. Opening failures
    // raise ECiaComPort("Cannot open port '<device>'").
    void SetOpened(bool open);

    // True when the port is open; otherwise opens and closes it, false when opening failed.
    bool CanOpen();
    // Closes the port and tells whether it had been open.
    bool CloseReportingState();

    virtual QByteArray ReadAll() = 0;
    // Queues the bytes for sending and returns their count; raises "Port not open" when closed.
    virtual int WriteText(const QByteArray& text) = 0;
    virtual void PurgeInput() = 0;
    // Drops everything not yet sent, on the program's side and in the driver.
    virtual void PurgeOutput() = 0;
    // Drops the program-side output queue only.
    virtual void ClearOutputQueue() = 0;

    // The device this port number opens (for messages).
    virtual QString DevicePath() const = 0;

Q_SIGNALS:
    void DataAvailable();

protected:
    // Implementations call this whenever bytes arrive; it emits DataAvailable now or after the
    // quiet period.
    void bytesArrived();

    virtual void openDevice() = 0;  // raises ECiaComPort on failure
    virtual void closeDevice() = 0;
    virtual void applyBaudrate() = 0;

private:
    int m_port = 1;
    int m_baudrate = 300;
    QHash<int, QString> m_overrides;
    int m_rxTimeout = 0;
    QTimer m_quietTimer;
};
