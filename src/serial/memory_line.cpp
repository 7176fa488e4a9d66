#include "serial/memory_line.h"

#include "serial/line_tap.h"

#include <QMetaObject>
#include <QMutexLocker>

MemoryComPort::MemoryComPort(MemoryLine* line) : ComPort(line), m_line(line) {}

QString MemoryComPort::DevicePath() const
{
    return QStringLiteral("memory:COM%1").arg(Port());
}

void MemoryComPort::openDevice()
{
    if (m_line->openFails())
        throw ECiaComPort(QStringLiteral("Cannot open port '%1'").arg(DevicePath()));
    if (m_line->m_openingsBeforeTaken.load() == 0)
        throw ECiaComPort(QStringLiteral("Cannot open port '%1'").arg(DevicePath()), ECiaComPort::AccessDenied);
    if (m_line->m_openingsBeforeTaken.load() > 0)
        --m_line->m_openingsBeforeTaken;
    {
        QMutexLocker lock(&m_rxMutex);
        m_rx.clear();
    }
    m_tx.clear();
    m_open = true;
    Q_EMIT m_line->programOpenedChanged(true);
}

void MemoryComPort::closeDevice()
{
    m_open = false;
    m_tx.clear();
    {
        QMutexLocker lock(&m_rxMutex);
        m_rx.clear();
    }
    Q_EMIT m_line->programOpenedChanged(false);
}

void MemoryComPort::applyBaudrate()
{
    Q_EMIT m_line->programBaudrateChanged(Baudrate());
}

QByteArray MemoryComPort::ReadAll()
{
    QMutexLocker lock(&m_rxMutex);
    QByteArray out;
    out.swap(m_rx);
    if (LineTap* tap = LineTap::Current(); tap && !out.isEmpty())
        tap->Received(out);
    return out;
}

int MemoryComPort::WriteText(const QByteArray& text)
{
    if (!Opened())
        throw ECiaComPort(QStringLiteral("Port not open"));
    if (text.isEmpty())
        return 0;
    if (LineTap* tap = LineTap::Current())
        tap->Sent(text);
    m_tx += text;
    if (!m_flushPending) {
        m_flushPending = true;
        QMetaObject::invokeMethod(this, &MemoryComPort::flushOutput, Qt::QueuedConnection);
    }
    return int(text.size());
}

void MemoryComPort::flushOutput()
{
    m_flushPending = false;
    if (m_tx.isEmpty() || !Opened())
        return;
    QByteArray out;
    out.swap(m_tx);
    Q_EMIT m_line->receivedFromProgram(out);
}

void MemoryComPort::PurgeInput()
{
    QMutexLocker lock(&m_rxMutex);
    m_rx.clear();
}

void MemoryComPort::PurgeOutput()
{
    m_tx.clear();
}

void MemoryComPort::ClearOutputQueue()
{
    m_tx.clear();
}

void MemoryComPort::notifyDataAvailable()
{
    m_notifyPending = false;
    bool waiting = false;
    {
        QMutexLocker lock(&m_rxMutex);
        waiting = !m_rx.isEmpty();
    }
    if (waiting && Opened())
        bytesArrived();
}

MemoryLine::MemoryLine(QObject* parent) : QObject(parent), m_port(new MemoryComPort(this)) {}

void MemoryLine::sendToProgram(const QByteArray& bytes)
{
    if (bytes.isEmpty() || !m_port->Opened())
        return;
    {
        QMutexLocker lock(&m_port->m_rxMutex);
        m_port->m_rx += bytes;
    }
    if (!m_port->m_notifyPending.exchange(true))
        QMetaObject::invokeMethod(m_port, &MemoryComPort::notifyDataAvailable, Qt::QueuedConnection);
}
