#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// A Hayes modem answers ERROR for a whole command line when one of its commands is unknown to it
// (a modem without speaker volume 0 refuses "ATL0M1Q0S0=0" because of "L0"), and then runs none of
// them. The modem set-up then sends that line's commands one at a time, leaves out only the ones
// refused, and goes on with the next line.
struct OneAtATime {
    // Sends one command line ("ATL0\r"). The worker empties the receive accumulator just before
    // the write, so an ERROR already acted on is not found again in the bytes that follow.
    std::function<void(const QByteArray& line)> send;
    // Takes the modem's last result (ResultNone while none came).
    std::function<quint8()> takeResult;
    // The worker is stopping: the commands left are not sent.
    std::function<bool()> stopping;
    // A command the modem refused, told as it happens.
    std::function<void(const QString& command)> refused;
    // A command left without an answer goes out again after this long (logical ms).
    qint64 resendMs = 1000;
};

// Sends each command as "AT" + command + "\r" once the one before was answered with OK or ERROR,
// and answers the refused ones in order.
QStringList SendOneAtATime(const QStringList& commands, const OneAtATime& how);
