#pragma once

#include <QByteArray>
#include <QString>

struct Settings;

// The fixed commands the program says to the modem. Everything goes out through the link's one
// send operation.

inline constexpr char kModemAttention[] = "AT\r"; // first of every initialisation, keep-alive, abort
inline constexpr char kModemModulation[] = "AT+MS=B103,0,300\r"; // Bell 103 for a USB-type modem
inline constexpr char kModemAnswer[] = "ATA\r";
inline constexpr char kModemHangUp[] = "ATH0\r";

// "ATDT" when Discagem is "Tom", otherwise "ATDP".
QByteArray DialCommand(const Settings& settings);

// The dial line the customer screen writes for a dial command: the command, the outside-line digit
// and a comma (only with Habilita Pausa), the panel's number, then ";ATA\r" so that the modem goes
// on to answer the panel's carrier: "ATDT" + "0," + "5551234" + ";ATA\r".
QByteArray ExpandDialCommand(const QByteArray& dialCommand, const Settings& settings,
                             const QString& panelNumber);

// The answering-machine dial: the command and the number only, "ATDT5551234\r".
QByteArray PlainDialLine(const QByteArray& dialCommand, const QString& panelNumber);
