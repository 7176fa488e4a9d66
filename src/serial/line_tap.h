#pragma once

#include <QByteArray>

// Something that watches every byte crossing the serial ports of the process: the line trace of
// a field problem. The ports call it with what they hand to the device and what they read from
// it; the receive dispatcher adds every frame it cuts out of the stream. Calls may come from any
// thread that uses a port, so an implementation guards its own state.
//
// At most one tap is installed, before any port is used; with none installed the ports only pay a
// null check.
class LineTap {
public:
    virtual ~LineTap() = default;

    virtual void Sent(const QByteArray& bytes) = 0;
    virtual void Received(const QByteArray& bytes) = 0;
    // A complete panel frame the receive dispatcher delivered.
    virtual void FrameDelivered(const QByteArray& frame) = 0;

    // Installs `tap` (nullptr removes it); the caller keeps it alive while installed.
    static void Install(LineTap* tap);
    static LineTap* Current();
};
