#pragma once

#include <QHash>
#include <QString>

class ComPort;

// Which device the program's serial port is, as the settings name it: the COM number (`ComPort`)
// and the device paths that replace the default ones (section "Portas").
struct PortChoice {
    int Number = 1;
    QHash<int, QString> DeviceMap;
};

// How an opening went.
enum class PortOpening {
    Opened,
    Unavailable, // the CanOpen check found that the device cannot be opened; the port stays closed
    Failed,      // the opening itself failed (ECiaComPort); the port stays closed
    Taken,       // the opening was refused because another program holds the device; stays closed
};

// Whether the device is first tried with CanOpen (opened and closed again). The connect action does
// so, to tell a port nobody can use from one that failed at the opening itself.
enum class PortCheck { None, CanOpenFirst };

// Opens or reopens the program's serial port: closes it when open, points it at the chosen device,
// sets the speed and opens it, then drops whatever was left from before (the output queue cleared,
// input and output purged). The main window, the link controller and the command line all open the
// port through here.
PortOpening ReopenPort(ComPort& port, const PortChoice& choice, int baudrate,
                       PortCheck check = PortCheck::None);
