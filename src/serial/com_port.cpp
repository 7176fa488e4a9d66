#include "serial/com_port.h"

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
    if (open)
        openDevice();
    else
        closeDevice();
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
