#pragma once

#include "sim_config.h"
#include "sim_journal.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <random>

namespace sim {

// The alarm panel behind the modem: its programming memory (two pages of 256 bytes), its event
// log, its status and its clock, and the answers it gives to the program's frames during a call.
//
// Requests are 8-byte frames starting with 0xB3 and ending with the XOR of the seven bytes before
// (so the XOR of the whole frame is 0), except the status request, the single byte 0xB8. Answers
// are "ZRV", a type byte, the payload and a checksum that makes the XOR of type, payload and
// checksum 0. Bytes outside a frame that are neither 0xB3 nor 0xB8 (the program's "ATH0\r" sent
// in data mode, line noise) are ignored; a frame whose bytes stop coming for a second is dropped.
//
// Order of a call: identification ('C') is answered at any time; the code frame is accepted when
// its PC code (bytes 4 and 5) equals the PC code in memory (image bytes 114, 115), else 0xD5; the
// proceed and callback frames need accepted codes; every other request needs the proceed. A
// request that comes too early, has a bad checksum or an unknown command gets 0xD5.
class SimPanel : public QObject {
    Q_OBJECT
public:
    SimPanel(const PanelSimConfig& config, FaultSettings* faults, QObject* parent = nullptr);

    Family family() const { return m_family; }
    int product() const { return m_product; }
    quint8 versionByte() const { return m_version; }

    // Programming image (304 or 256 bytes) as the program numbers it; page 1 holds image blocks
    // 16..18 at addresses 0x20, 0x40, 0x60 (10-zone family only).
    QByteArray image() const;
    void setImage(const QByteArray& image);
    QByteArray page(int page) const { return page == 0 ? m_page0 : m_page1; }

    QByteArray events() const { return m_events; }
    void setEvents(const QByteArray& events) { m_events = events; }

    PanelStatus& status() { return m_status; }
    QDateTime clock() const;
    void setClock(const QDateTime& time);

    PanelBehaviour& behaviour() { return m_behaviour; }
    const QVector<ChunkWrite>& chunkWrites() const { return m_writes; }

    // The call.
    void callStarted(bool placedByPc);
    void callEnded();
    bool inCall() const { return m_inCall; }
    bool placedByPc() const { return m_placedByPc; }
    bool codesAccepted() const { return m_codesOk; }
    bool sessionOpen() const { return m_sessionOpen; }
    void receive(const QByteArray& bytes);

    // Frame helpers (public for tests of the simulator itself).
    static QByteArray answerFrame(quint8 type, const QByteArray& payload);

Q_SIGNALS:
    void answer(const QByteArray& bytes, qint64 delayMs);
    // After the answer just given: hang up (and, for a callback, call the PC back).
    void hangUpAfterAnswer(bool callbackFollows);
    void hangUpNow();
    void sessionStarted();
    void journal(const sim::JournalEntry& entry);

private:
    void handleFrame(const QByteArray& frame);
    void handleStatusRequest();
    // Journals the request, picks a fault, runs `act` (the request's effect and its proper answer)
    // unless the fault means the request was not taken, sends the answer and returns it (empty
    // when the panel stays silent).
    QByteArray respond(FrameKind kind, JournalEntry in, const std::function<QByteArray()>& act);
    Fault pickFault(FrameKind kind);
    QByteArray statusFrame() const;
    QByteArray nak() const { return answerFrame(0xD5, {}); }
    QByteArray ack() const { return answerFrame(0xC7, {}); }
    QByteArray refusal() const { return answerFrame(0xA9, {}); }
    int imageIndex(int page, int address) const; // -1 outside the image
    bool store(int page, int address, const QByteArray& data);
    QByteArray readPage(int page, int address) const;
    QByteArray clockBytes() const;
    bool setDate(quint8 d, quint8 m, quint8 y);
    bool setTime(quint8 s, quint8 m, quint8 h);
    QByteArray command(quint8 code, quint8 param);
    void flushNoise();
    void restartIdleTimer();

    Family m_family;
    int m_product;
    quint8 m_version;
    QByteArray m_page0;
    QByteArray m_page1;
    QByteArray m_events;
    PanelStatus m_status;
    QDateTime m_clockBase;
    qint64 m_clockBaseMs = 0;
    PanelBehaviour m_behaviour;
    FaultSettings* m_faults;
    std::mt19937 m_random;
    bool m_callbackAgreed = false;

    bool m_inCall = false;
    bool m_placedByPc = false;
    bool m_codesOk = false;
    bool m_sessionOpen = false;
    int m_framesAnswered = 0;
    bool m_dropDone = false;

    QByteArray m_frame;
    QByteArray m_noise;
    qint64 m_lastByteMs = 0;
    QTimer m_idleTimer;
    QVector<ChunkWrite> m_writes;
};

} // namespace sim
