#pragma once

#include "link_control/call_back.h"
#include "link_control/conecta_alarme.h"
#include "link_control/config_modem.h"
#include "serial/port_opening.h"

#include <QString>

struct Settings;

// What the link controller takes from the settings: the port to open, the modem's name for the
// progress steps, and what a connection attempt needs. The main window and the command line hand
// a fresh copy over whenever they (re)read ZRVConfig.ini, so the controller never works from a
// stale one.
struct LinkSettings {
    PortChoice Port;
    QString Modem;                 // the modem model's name, shown in the progress steps
    ConnectionInputs Connection;   // without DialResultLimitMs, which the controller sets
    CallBackInputs CallBack;       // the wait for the panel's call back; also a calling panel's rings
    ConfigModemInputs ConfigModem; // the modem set-up before listening for calls
};

LinkSettings LinkSettingsFrom(const Settings& settings);
