#include "session/session_send.h"

#include "link/receive_dispatcher.h"
#include "serial/com_port.h"

bool SendFrameWithoutPause(ReceiveDispatcher& dispatcher, const QByteArray& text, QString* error) {
    ComPort* port = dispatcher.Modem();
    try {
        port->ClearOutputQueue();
        port->PurgeOutput();
        port->WriteText(text);
    } catch (const ECiaComPort& e) {
        if (error)
            *error = e.message();
        return false;
    }
    dispatcher.State().OkReceived = false;
    return true;
}
