#include "support/scripted_panel.h"

#include "base/clock.h"
#include "serial/memory_line.h"

#include <QTimer>

ScriptedPanel::ScriptedPanel(MemoryLine& line, QObject* parent) : QObject(parent), m_line(line) {
    connect(&line, &MemoryLine::receivedFromProgram, this, &ScriptedPanel::received);
}

QByteArray ScriptedPanel::Answer(quint8 type, const QByteArray& payload) {
    QByteArray body = char(type) + payload;
    quint8 x = 0;
    for (char c : body)
        x ^= quint8(c);
    return QByteArray("ZRV") + body + char(x);
}

int ScriptedPanel::ImageOffset(quint8 command, quint8 address) {
    if (command == 0xC4 || command == 0x88)
        return address;
    // Page 1: panel blocks 18, 20, 22 hold image blocks 16, 17, 18.
    const int imageBlock = 16 + (address / 16 - 2) / 2;
    return imageBlock * 16 + address % 16;
}

void ScriptedPanel::received(const QByteArray& bytes) {
    m_rx += bytes;
    for (;;) {
        if (m_rx.isEmpty())
            return;
        const quint8 first = quint8(m_rx[0]);
        QByteArray request;
        if (first == 0xB8) {
            request = m_rx.left(1);
        } else if (first == 0xB3) {
            if (m_rx.size() < 8)
                return;
            request = m_rx.left(8);
        } else {
            m_rx.remove(0, 1); // modem commands after the hang-up and the like
            continue;
        }
        m_rx.remove(0, request.size());
        requests.append(request);
        QByteArray answer = answerTo(request);
        if (script)
            answer = script(request, answer);
        if (!answer.isEmpty()) {
            QTimer::singleShot(Clock::instance().realInterval(answerDelayMs), this,
                               [this, answer] { m_line.sendToProgram(answer); });
        }
    }
}

QByteArray ScriptedPanel::answerTo(const QByteArray& request) {
    const QByteArray statusBytes(reinterpret_cast<const char*>(status), 6);
    if (request.size() == 1)
        return Answer(0x18, statusBytes);
    const quint8 command = quint8(request[1]);
    const quint8 address = quint8(request[2]);
    switch (command) {
    case 0xC4:
    case 0xA5:
        for (int i = 0; i < 4; ++i) {
            const int n = ImageOffset(command, address) + i;
            if (!refusedBytes.contains(n))
                memory[n] = request[3 + i];
        }
        return Answer(0xC7, {});
    case 0x88:
    case 0x70:
        return Answer(command, char(address) + memory.mid(ImageOffset(command, address), 16));
    case 0x36: {
        const quint8 code = quint8(request[3]);
        const quint8 p = quint8(request[4]);
        if (code == 0x22 && p >= 1 && p <= 4)
            status[4] &= quint8(~(1 << (p - 1)));
        if (code == 0xA7 && p >= 1 && p <= 4)
            status[4] |= quint8(1 << (p - 1));
        return Answer(0x18, QByteArray(reinterpret_cast<const char*>(status), 6));
    }
    case 0xF1:
        return Answer(0xF1, QByteArray::fromHex("301509251207"));
    case 0x17:
    case 0x48:
        return Answer(0xC7, {});
    default:
        return Answer(0xD5, {});
    }
}
