#pragma once

// Helpers for the simulator's own tests: the program's end of an in-memory line driven by hand,
// and frames built the way the system's examples write them. Deliberately independent of the
// application's frame code.

#include "base/clock.h"
#include "serial/memory_line.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTest>

namespace simtest {

inline QByteArray bytes(const char* hexText) {
    return QByteArray::fromHex(QByteArray(hexText).replace(' ', ""));
}

// An outgoing frame: 0xB3, command, five parameters, XOR of the seven bytes before.
inline QByteArray request(quint8 command, quint8 p1 = 0, quint8 p2 = 0, quint8 p3 = 0, quint8 p4 = 0,
                          quint8 p5 = 0) {
    QByteArray f;
    for (quint8 b : {quint8(0xB3), command, p1, p2, p3, p4, p5})
        f += char(b);
    quint8 x = 0;
    for (char c : f)
        x ^= quint8(c);
    return f + char(x);
}

// An incoming frame as the panel must send it: "ZRV", type, payload, checksum over type+payload.
inline QByteArray answer(quint8 type, const QByteArray& payload = {}) {
    QByteArray body = QByteArray(1, char(type)) + payload;
    quint8 x = 0;
    for (char c : body)
        x ^= quint8(c);
    return "ZRV" + body + char(x);
}

// The program's side of a MemoryLine: opens the port and collects what arrives.
class ProgramEnd {
public:
    explicit ProgramEnd(MemoryLine& line, int baud = 9600) : m_port(line.port()) {
        QObject::connect(m_port, &ComPort::DataAvailable, m_port, [this] { rx += m_port->ReadAll(); });
        m_port->SetBaudrate(baud);
        m_port->SetOpened(true);
    }

    void send(const QByteArray& b) { m_port->WriteText(b); }
    void setBaud(int baud) { m_port->SetBaudrate(baud); }
    void close() { m_port->SetOpened(false); }
    void open() { m_port->SetOpened(true); }

    // Waits (real time) until `what` has arrived; returns everything up to and including it and
    // keeps the rest. Empty when it did not come.
    QByteArray waitFor(const QByteArray& what, int realMs = 3000) {
        QElapsedTimer t;
        t.start();
        while (!rx.contains(what) && t.elapsed() < realMs)
            QTest::qWait(1);
        const int at = int(rx.indexOf(what));
        if (at < 0)
            return {};
        const QByteArray out = rx.left(at + what.size());
        rx.remove(0, at + what.size());
        return out;
    }

    // Waits until n bytes have arrived and takes them.
    QByteArray take(int n, int realMs = 3000) {
        QElapsedTimer t;
        t.start();
        while (rx.size() < n && t.elapsed() < realMs)
            QTest::qWait(1);
        const QByteArray out = rx.left(n);
        rx.remove(0, out.size());
        return out;
    }

    // Sends a frame and takes an answer of the given length.
    QByteArray ask(const QByteArray& frame, int answerLength) {
        rx.clear();
        send(frame);
        return take(answerLength);
    }

    // Lets the line run for a logical time and returns what arrived meanwhile.
    QByteArray idle(qint64 logicalMs) {
        QTest::qWait(Clock::instance().realInterval(logicalMs));
        const QByteArray out = rx;
        rx.clear();
        return out;
    }

    QByteArray rx;

private:
    ComPort* m_port;
};

// Dials with the program's own dial line and runs identification, codes and proceed.
inline bool openSession(ProgramEnd& program, const QByteArray& pcCode = bytes("56 78")) {
    program.send("ATE0V0\r");
    if (program.waitFor("\r\n0\r\n").isEmpty())
        return false;
    program.send("ATDT5551234;ATA\r");
    if (program.waitFor("\r\n1\r\n").isEmpty())
        return false;
    if (program.ask(bytes("B3 43 00 00 00 00 00 F0"), 9).size() != 9)
        return false;
    const QByteArray code = request(0x28, 0x12, 0x34, quint8(pcCode[0]), quint8(pcCode[1]));
    if (program.ask(code, 5) != answer(0xC7))
        return false;
    return program.ask(bytes("B3 50 00 00 00 00 00 E3"), 5) == answer(0xC7);
}

} // namespace simtest
