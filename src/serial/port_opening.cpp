#include "serial/port_opening.h"

#include "serial/com_port.h"

PortOpening ReopenPort(ComPort& port, const PortChoice& choice, int baudrate, PortCheck check) {
    port.SetOpened(false);
    port.SetPort(choice.Number);
    port.SetDeviceMap(choice.DeviceMap);
    port.SetBaudrate(baudrate);
    if (check == PortCheck::CanOpenFirst && !port.CanOpen())
        return PortOpening::Unavailable;
    try {
        port.SetOpened(true);
    } catch (const ECiaComPort& e) {
        return e.cause() == ECiaComPort::AccessDenied ? PortOpening::Taken : PortOpening::Failed;
    }
    port.ClearOutputQueue();
    port.PurgeInput();
    port.PurgeOutput();
    return PortOpening::Opened;
}
