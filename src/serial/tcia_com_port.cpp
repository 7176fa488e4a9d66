#include "serial/tcia_com_port.h"

#include "serial/com_port_map.h"
#include "serial/line_tap.h"

#include <QSerialPort>

TCiaComPort::TCiaComPort(QObject* parent) : ComPort(parent), m_serial(new QSerialPort(this)) {
    connect(m_serial, &QSerialPort::readyRead, this, &TCiaComPort::bytesArrived);
    connect(m_serial, &QSerialPort::bytesWritten, this, [this] {
        if (m_serial->bytesToWrite() == 0)
            sendNextPiece();
    });
    // A device that went away reports ResourceError, or a ReadError on every read notification
    // (a hang-up reads as zero bytes) that would otherwise repeat without end. Closed later, once
    // the serial port has finished reporting the error.
    connect(
        m_serial, &QSerialPort::errorOccurred, this,
        [this](QSerialPort::SerialPortError error) {
            if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
                deviceLost();
        },
        Qt::QueuedConnection);
}

TCiaComPort::~TCiaComPort() {
    SetOpened(false);
}

QString TCiaComPort::DevicePath() const {
    return ComPortMap::DevicePath(Port(), DeviceMap());
}

bool TCiaComPort::Opened() const {
    return m_serial->isOpen();
}

void TCiaComPort::openDevice() {
    const QString path = DevicePath();
    const ECiaComPort cannotOpen(QStringLiteral("Cannot open port '%1'").arg(path));
    if (!ComPortMap::IsValidPort(Port()))
        throw cannotOpen;
    m_serial->setPortName(path);
    m_serial->setBaudRate(Baudrate());
    m_serial->setDataBits(QSerialPort::Data8);
    m_serial->setParity(QSerialPort::NoParity);
    m_serial->setStopBits(QSerialPort::OneStop);
    m_serial->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_serial->open(QIODevice::ReadWrite)) {
        // A device locked by another program is refused as a permission error.
        if (m_serial->error() == QSerialPort::PermissionError)
            throw ECiaComPort(cannotOpen.message(), ECiaComPort::AccessDenied);
        throw cannotOpen;
    }
    // Devices without modem-control lines (a pseudo-terminal) refuse these; the line works anyway.
    m_serial->setDataTerminalReady(true);
    m_serial->setRequestToSend(true);
    m_serial->clearError();
    m_queue.clear();
}

void TCiaComPort::closeDevice() {
    m_queue.clear();
    m_serial->close();
}

void TCiaComPort::deviceLost() {
    if (Opened())
        closeDevice();
}

void TCiaComPort::applyBaudrate() {
    m_serial->setBaudRate(Baudrate());
}

QByteArray TCiaComPort::ReadAll() {
    if (!Opened())
        return {};
    const QByteArray bytes = m_serial->readAll();
    if (LineTap* tap = LineTap::Current(); tap && !bytes.isEmpty())
        tap->Received(bytes);
    return bytes;
}

int TCiaComPort::WriteText(const QByteArray& text) {
    if (!Opened())
        throw ECiaComPort(QStringLiteral("Port not open"));
    if (text.isEmpty())
        return 0;
    if (LineTap* tap = LineTap::Current())
        tap->Sent(text);
    m_queue += text;
    if (m_serial->bytesToWrite() == 0)
        sendNextPiece();
    return int(text.size());
}

void TCiaComPort::sendNextPiece() {
    if (m_queue.isEmpty() || !Opened())
        return;
    const QByteArray piece = m_queue.left(TxBuffer);
    m_queue.remove(0, piece.size());
    if (m_queue.isEmpty())
        m_queue = QByteArray(); // release the memory of a large queue
    m_serial->write(piece);
}

void TCiaComPort::PurgeInput() {
    if (Opened())
        m_serial->clear(QSerialPort::Input);
}

void TCiaComPort::PurgeOutput() {
    m_queue = QByteArray();
    if (Opened())
        m_serial->clear(QSerialPort::Output);
}

void TCiaComPort::ClearOutputQueue() {
    m_queue = QByteArray();
}
