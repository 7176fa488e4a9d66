#include "serial/com_port.h"

ComPort::ComPort(QObject* parent) : QObject(parent), m_quietTimer(this)
{
    m_quietTimer.setSingleShot(true);
    connect(&m_quietTimer, &QTimer::timeout, this, [this] {
        if (Opened())
            Q_EMIT DataAvailable();
    });
}

void ComPort::SetRxTimeout(int ms)
{
    if (ms < 0)
        throw ECiaComPort(QStringLiteral("Value can not be negatieve"));
    m_rxTimeout = ms;
    if (ms == 0 && m_quietTimer.isActive()) {
        m_quietTimer.stop();
        Q_EMIT DataAvailable();
    }
}

void ComPort::bytesArrived()
{
    if (m_rxTimeout == 0)
        Q_EMIT DataAvailable();
    else
        m_quietTimer.start(m_rxTimeout);
}

void ComPort::SetBaudrate(int baudrate)
{
    m_baudrate = baudrate;
    if (Opened())
        applyBaudrate();
}

void ComPort::SetOpened(bool open)
{
    if (open == Opened())
        return;
    if (open) {
        openDevice();
    } else {
        m_quietTimer.stop();
        closeDevice();
    }
}

bool ComPort::CanOpen()
{
    if (Opened())
        return true;
    try {
        SetOpened(true);
    } catch (const ECiaComPort&) {
        return false;
    }
    SetOpened(false);
    return true;
}

bool ComPort::CloseReportingState()
{
    const bool was = Opened();
    SetOpened(false);
    return was;
}
