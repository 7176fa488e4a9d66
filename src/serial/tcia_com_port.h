#pragma once

#include "serial/com_port.h"

class QSerialPort;

// The serial-port service over a real device: the COM number is mapped to a device path
// (ComPortMap, with the overrides of the device map), opened exclusively at 8 data bits, no
// parity, one stop bit, no hardware or software handshaking, DTR and RTS raised.
//
// Writes never block: WriteText hands at most TxBuffer bytes to the driver at a time and keeps the
// rest in the program-side output queue, handing the next piece over when the driver has taken
// the previous one. DataAvailable is emitted on the thread that owns the port whenever bytes
// arrive, straight from the device's read notification.
//
// If the device goes away while open (a USB adapter pulled out, the far end of a
// pseudo-terminal closed), the port closes itself: writes then raise "Port not open".
class TCiaComPort : public ComPort {
    Q_OBJECT
public:
    // The largest piece handed to the driver in one write.
    static constexpr int TxBuffer = 8192;

    explicit TCiaComPort(QObject* parent = nullptr);
    ~TCiaComPort() override;

    bool Opened() const override;
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
    void sendNextPiece();
    void deviceLost();

    QSerialPort* m_serial;
    QByteArray m_queue; // written but not yet handed to the driver
};
