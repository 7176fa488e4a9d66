#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "serial/modem_commands.h"

struct Settings;

// The modem initialisation both modem-phase workers run: the list of AT commands built from the
// settings, and the lines the send loop writes from it.
//
// How a worker uses this (the waiting belongs to the worker):
//
//   const ModemInitList list = BuildModemInitList(settings, ModemInitWorker::Connection);
//   link.UsbModem = list.usbModem;
//   send(kModemAttention);                       // "AT\r", then sleep 300 ms
//   for (const ModemInitStep& step : ModemInitSteps(list)) {
//       wait for OkReceived (connection worker: "AT\r" every 3 s meanwhile;
//                            configuration worker: the last line sent every 1 s meanwhile);
//       send(step.line);
//       index = step.indexAfter;                  // the dispatcher's ModemInitDone test and the gauge
//       if (step.modulation)
//           send(kModemModulation);                // "AT+MS=B103,0,300\r"
//   }
//   index += 4; then wait for ModemInitDone.
//
// ModemInitOutput() gives the same lines flattened, exactly as they go out when every line is
// answered at once (no keep-alives).

enum class ModemInitWorker {
    Connection,   // ConectaAlarme: every connection
    Configuration // ThreadConfigModem: before waiting for panels to call in
};

struct ModemInitList {
    ModemInitWorker worker = ModemInitWorker::Connection;
    QStringList items;     // the commands (sorted unless a USB modem's configuration list), then empty texts
    int commandCount = 0;  // real commands before the padding
    int nat = 0;           // the count of advanced lines (NºAT) the loop bounds are counted from
    bool usbModem = false; // one command per line, modulation command, no port re-open

    // The send loop goes on while its index is at most this: NºAT + 2 (connection) or NºAT + 3
    // (configuration). It is also the top of the configuration worker's gauge.
    int lastIndex() const;
    // Item i of the list; an empty text past its end (a group of four may reach beyond the padding).
    QString item(int i) const;
};

// True when a model name marks a USB-type modem (it contains "USB").
bool IsUsbModemName(const QString& modelName);

// Builds the list from the advanced lines (AT1 .. ATn), Speaker ("M0".."M3"), Volume ("L0".."L3";
// other values add nothing) and, for the connection, the pause ("S08=" + Intervalo when Habilita
// Pausa) or, for the configuration, "S00=000". The connection list is also USB-type when an advanced
// line holds "+MS", and is always sorted; the configuration list is sorted only for a serial modem.
// Five (connection) or three (configuration) empty texts follow the commands.
ModemInitList BuildModemInitList(const Settings& settings, ModemInitWorker worker);

// The command order of the list: letter case ignored, symbols ("&", "+", "=") before digits,
// digits before letters, character by character, a prefix before the longer text. Negative, zero
// or positive like QString::compare.
int CompareModemCommands(const QString& a, const QString& b);
// Stable sort by CompareModemCommands.
void SortModemCommands(QStringList& commands);

// One line of the send loop, sent after an "OK".
struct ModemInitStep {
    QByteArray line;         // "AT" + one command + "\r" (USB) or "AT" + four commands back to back + "\r"
    int indexAfter = 0;      // the loop index once the line is sent
    bool modulation = false; // "AT+MS=B103,0,300\r" follows at once
    QStringList commands;    // the line's commands (no padding), for sending them one at a time
};

QList<ModemInitStep> ModemInitSteps(const ModemInitList& list);

// Everything the initialisation writes, in order: "AT\r", then each step's line, each followed by
// the modulation command where due.
QList<QByteArray> ModemInitOutput(const ModemInitList& list);
