#include "sim_panel.h"

#include "sim_bytes.h"

#include "base/clock.h"

namespace sim {

namespace {
constexpr qint64 kInterByteTimeoutMs = 1000;

QString answerName(const QByteArray& reply) {
    if (reply.size() < 4)
        return QStringLiteral("none");
    switch (quint8(reply[3])) {
    case 0x18:
        return QStringLiteral("status");
    case 0x43:
        return QStringLiteral("ident");
    case 0x56:
        return QStringLiteral("callback");
    case 0x70:
    case 0x88:
        return QStringLiteral("block");
    case 0xA9:
        return QStringLiteral("refused");
    case 0xC7:
        return QStringLiteral("ack");
    case 0xD5:
        return QStringLiteral("nak");
    case 0xE2:
        return QStringLiteral("record");
    case 0xF1:
        return QStringLiteral("clock");
    default:
        return QStringLiteral("type %1").arg(quint8(reply[3]), 2, 16, QLatin1Char('0'));
    }
}
} // namespace

SimPanel::SimPanel(const PanelSimConfig& config, FaultSettings* faults, QObject* parent)
    : QObject(parent), m_family(config.family()), m_product(config.product),
      m_version(quint8(config.effectiveVersionByte())), m_page0(256, '\0'), m_page1(256, char(0xFF)),
      m_events(config.events), m_status(config.status), m_behaviour(config.panel), m_faults(faults),
      m_random(config.seed) {
    QByteArray image = config.image.size() == imageSize(m_family) ? config.image : defaultImage(m_family);
    if (!config.panelCode.isEmpty() && packCode(config.panelCode).size() == 2)
        image.replace(112, 2, packCode(config.panelCode));
    if (!config.pcCode.isEmpty() && packCode(config.pcCode).size() == 2)
        image.replace(114, 2, packCode(config.pcCode));
    setImage(image);
    const int capacity = logRecordCapacity(m_family) * 16;
    if (m_events.size() > capacity)
        m_events.truncate(capacity);
    m_events.truncate(m_events.size() / 4 * 4);
    setClock(config.clock.isValid() ? config.clock : QDateTime::currentDateTime());
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        if (!m_inCall)
            return;
        JournalEntry e;
        e.dir = QStringLiteral("line");
        e.kind = QStringLiteral("event");
        e.text = QStringLiteral("the panel hangs up: no request for too long");
        Q_EMIT journal(e);
        Q_EMIT hangUpNow();
    });
}

QByteArray SimPanel::answerFrame(quint8 type, const QByteArray& payload) {
    QByteArray body;
    body += char(type);
    body += payload;
    return QByteArray("ZRV") + body + char(xorOf(body));
}

int SimPanel::imageIndex(int page, int address) const {
    address &= 0xFF;
    if (page == 0)
        return address;
    if (m_family == Family::FiveZone)
        return -1;
    // Image blocks 16, 17, 18 sit at page-1 addresses 0x20, 0x40, 0x60.
    if (address >= 0x20 && address < 0x70 && (address & 0x10) == 0)
        return 256 + ((address >> 5) - 1) * 16 + (address & 0x0F);
    return -1;
}

QByteArray SimPanel::image() const {
    QByteArray out = m_page0;
    if (m_family == Family::TenZone) {
        for (int a = 0x20; a < 0x70; a += 0x20)
            out += m_page1.mid(a, 16);
    }
    return out;
}

void SimPanel::setImage(const QByteArray& image) {
    if (image.size() != imageSize(m_family))
        return;
    m_page0 = image.left(256);
    if (m_family == Family::TenZone) {
        for (int b = 0; b < 3; ++b)
            m_page1.replace(0x20 * (b + 1), 16, image.mid(256 + b * 16, 16));
    } else {
        // The 5-zone panel reports bits 5..7 of the zone byte set (it has no zones 6 to 8).
        m_page0[48] = char(quint8(m_page0[48]) | 0xE0);
    }
}

QDateTime SimPanel::clock() const {
    return m_clockBase.addMSecs(Clock::instance().nowMs() - m_clockBaseMs);
}

void SimPanel::setClock(const QDateTime& time) {
    m_clockBase = time;
    m_clockBaseMs = Clock::instance().nowMs();
}

void SimPanel::callStarted(bool placedByPc) {
    m_inCall = true;
    m_placedByPc = placedByPc;
    m_codesOk = false;
    m_sessionOpen = false;
    m_callbackAgreed = false;
    m_frame.clear();
    m_noise.clear();
    restartIdleTimer();
}

void SimPanel::callEnded() {
    flushNoise();
    m_inCall = false;
    m_codesOk = false;
    m_sessionOpen = false;
    m_frame.clear();
    m_idleTimer.stop();
}

void SimPanel::restartIdleTimer() {
    if (m_behaviour.idleHangupMs > 0)
        m_idleTimer.start(Clock::instance().realInterval(m_behaviour.idleHangupMs));
    else
        m_idleTimer.stop();
}

void SimPanel::flushNoise() {
    if (m_noise.isEmpty())
        return;
    JournalEntry e;
    e.dir = QStringLiteral("in");
    e.kind = QStringLiteral("noise");
    e.bytes = m_noise;
    e.text = QString::fromLatin1(m_noise).trimmed();
    m_noise.clear();
    Q_EMIT journal(e);
}

void SimPanel::receive(const QByteArray& bytes) {
    if (!m_inCall)
        return;
    for (char c : bytes) {
        const qint64 now = Clock::instance().nowMs();
        if (!m_frame.isEmpty() && now - m_lastByteMs > kInterByteTimeoutMs) {
            m_noise += m_frame; // an incomplete frame: the rest never came
            m_frame.clear();
        }
        m_lastByteMs = now;
        if (!m_frame.isEmpty()) {
            m_frame += c;
            if (m_frame.size() == 8) {
                const QByteArray frame = m_frame;
                m_frame.clear();
                flushNoise();
                handleFrame(frame);
            }
        } else if (quint8(c) == 0xB3) {
            m_frame += c;
        } else if (quint8(c) == 0xB8) {
            flushNoise();
            handleStatusRequest();
        } else {
            m_noise += c;
        }
        if (!m_inCall)
            return;
    }
    flushNoise();
}

Fault SimPanel::pickFault(FrameKind kind) {
    if (!m_faults)
        return Fault::None;
    for (FaultRule& rule : m_faults->rules) {
        if (!rule.matches(kind) || rule.fault == Fault::None)
            continue;
        if (rule.fault == Fault::Refuse && kind != FrameKind::Read && kind != FrameKind::Write)
            continue;
        if (rule.times > 0) {
            if (rule.used < rule.times) {
                ++rule.used;
                return rule.fault;
            }
            continue;
        }
        // One draw per probability rule that applies, so a seed replays the same faults.
        const double draw = double(m_random()) / 4294967296.0;
        if (draw < rule.probability)
            return rule.fault;
    }
    return Fault::None;
}

QByteArray SimPanel::respond(FrameKind kind, JournalEntry in, const std::function<QByteArray()>& act) {
    restartIdleTimer();
    in.dir = QStringLiteral("in");
    in.kind = QStringLiteral("frame");
    if (in.text.isEmpty())
        in.text = frameKindName(kind);
    Q_EMIT journal(in);

    const Fault fault = pickFault(kind);
    m_callbackAgreed = false;
    QByteArray reply;
    switch (fault) {
    case Fault::None:
        reply = act();
        break;
    case Fault::Corrupt:
        reply = act();
        if (!reply.isEmpty())
            reply[reply.size() - 1] = char(quint8(reply[reply.size() - 1]) ^ 0x55);
        break;
    case Fault::Nak:
        reply = nak();
        break;
    case Fault::Refuse:
        reply = refusal();
        break;
    case Fault::Silence:
        break;
    }

    JournalEntry out;
    out.dir = QStringLiteral("out");
    out.kind = QStringLiteral("answer");
    out.bytes = reply;
    out.text = answerName(reply);
    out.page = in.page;
    out.address = in.address;
    out.block = in.block;
    out.chunk = in.chunk;
    out.record = in.record;
    if (fault != Fault::None)
        out.fault = faultName(fault);
    Q_EMIT journal(out);
    if (!reply.isEmpty())
        Q_EMIT answer(reply, m_behaviour.answerDelayMs);

    ++m_framesAnswered;
    if (m_callbackAgreed) {
        m_callbackAgreed = false;
        Q_EMIT hangUpAfterAnswer(true);
    } else if (m_faults && m_faults->dropAfterFrames > 0 && !m_dropDone &&
               m_framesAnswered >= m_faults->dropAfterFrames) {
        m_dropDone = true;
        JournalEntry e;
        e.dir = QStringLiteral("line");
        e.kind = QStringLiteral("event");
        e.text = QStringLiteral("line drop after %1 frames").arg(m_framesAnswered);
        Q_EMIT journal(e);
        Q_EMIT hangUpAfterAnswer(false);
    }
    return reply;
}

void SimPanel::handleStatusRequest() {
    JournalEntry in;
    in.bytes = QByteArray(1, char(0xB8));
    respond(FrameKind::Status, in, [this] { return m_sessionOpen ? statusFrame() : nak(); });
}

QByteArray SimPanel::statusFrame() const {
    return answerFrame(0x18, m_status.bytes());
}

void SimPanel::handleFrame(const QByteArray& f) {
    JournalEntry in;
    in.bytes = f;
    if (xorOf(f) != 0) {
        in.text = QStringLiteral("bad checksum");
        respond(FrameKind::Unknown, in, [this] { return nak(); });
        return;
    }
    const quint8 cmd = quint8(f[1]);
    const quint8 p1 = quint8(f[2]);
    switch (cmd) {
    case 0x43:
        respond(FrameKind::Ident, in, [this] {
            QByteArray payload;
            payload += char(m_product);
            payload += char(m_version);
            payload += m_page0.mid(112, 2);
            return answerFrame(0x43, payload);
        });
        return;
    case 0x28:
        respond(FrameKind::Code, in, [this, f] {
            m_codesOk = f.mid(4, 2) == m_page0.mid(114, 2);
            if (!m_codesOk)
                return nak();
            if (m_behaviour.callbackOnCodes && m_placedByPc) {
                m_callbackAgreed = true;
                return answerFrame(0x56, {});
            }
            return ack();
        });
        return;
    case 0x50:
        respond(FrameKind::Proceed, in, [this] {
            if (!m_codesOk)
                return nak();
            const bool first = !m_sessionOpen;
            m_sessionOpen = true;
            if (first)
                Q_EMIT sessionStarted();
            if (m_behaviour.logAfterProceed)
                return answerFrame(0xE2, QByteArray(1, '\0') + logRecord(m_events, 0));
            return ack();
        });
        return;
    case 0x56:
        respond(FrameKind::Callback, in, [this] {
            // The panel calls back only on a call the PC placed: on its own call it would loop.
            if (!m_codesOk || !m_placedByPc)
                return nak();
            m_callbackAgreed = true;
            return answerFrame(0x56, {});
        });
        return;
    case 0x88:
    case 0x70: {
        const int page = cmd == 0x88 ? 0 : 1;
        in.page = page;
        in.address = p1;
        const int index = imageIndex(page, p1);
        if (index >= 0 && index % 16 == 0)
            in.block = index / 16;
        respond(FrameKind::Read, in, [this, page, cmd, p1] {
            if (!m_sessionOpen)
                return nak();
            if (page == 1 && m_family == Family::FiveZone)
                return refusal();
            return answerFrame(cmd, QByteArray(1, char(p1)) + readPage(page, p1));
        });
        return;
    }
    case 0xC4:
    case 0xA5: {
        const int page = cmd == 0xC4 ? 0 : 1;
        in.page = page;
        in.address = p1;
        const int index = imageIndex(page, p1);
        if (index >= 0) {
            in.block = index / 16;
            in.chunk = (index % 16) / 4;
        }
        ChunkWrite w;
        w.timeMs = Clock::instance().nowMs();
        w.page = page;
        w.address = p1;
        w.block = in.block;
        w.chunk = in.chunk;
        w.data = f.mid(3, 4);
        const QByteArray reply = respond(FrameKind::Write, in, [&] {
            if (!m_sessionOpen)
                return nak();
            if (page == 1 && m_family == Family::FiveZone)
                return refusal();
            w.stored = store(page, p1, w.data);
            return ack();
        });
        w.answer = reply.size() >= 4 ? quint8(reply[3]) : 0;
        m_writes.append(w);
        return;
    }
    case 0xE2:
        in.record = p1;
        respond(FrameKind::Event, in, [this, p1] {
            if (!m_sessionOpen)
                return nak();
            return answerFrame(0xE2, QByteArray(1, char(p1)) + logRecord(m_events, p1));
        });
        return;
    case 0xF1:
        respond(FrameKind::ReadClock, in, [this] {
            if (!m_sessionOpen)
                return nak();
            return answerFrame(0xF1, clockBytes());
        });
        return;
    case 0x17:
        respond(FrameKind::WriteDate, in, [this, f] {
            if (!m_sessionOpen || !setDate(quint8(f[2]), quint8(f[3]), quint8(f[4])))
                return nak();
            return ack();
        });
        return;
    case 0x48:
        respond(FrameKind::WriteTime, in, [this, f] {
            if (!m_sessionOpen || !setTime(quint8(f[2]), quint8(f[3]), quint8(f[4])))
                return nak();
            return ack();
        });
        return;
    case 0x36:
        in.text = QStringLiteral("command %1 %2")
                      .arg(p1, 2, 16, QLatin1Char('0'))
                      .arg(quint8(f[3]), 2, 16, QLatin1Char('0'))
                      .toUpper();
        respond(FrameKind::Command, in, [this, p1, f] {
            if (!m_sessionOpen)
                return nak();
            return command(p1, quint8(f[3]));
        });
        return;
    default:
        in.text = QStringLiteral("unknown command");
        respond(FrameKind::Unknown, in, [this] { return nak(); });
        return;
    }
}

QByteArray SimPanel::readPage(int page, int address) const {
    const QByteArray& mem = page == 0 ? m_page0 : m_page1;
    QByteArray out;
    for (int i = 0; i < 16; ++i)
        out += mem[(address + i) & 0xFF];
    return out;
}

bool SimPanel::store(int page, int address, const QByteArray& data) {
    QByteArray& mem = page == 0 ? m_page0 : m_page1;
    bool all = true;
    for (int i = 0; i < data.size(); ++i) {
        const int a = (address + i) & 0xFF;
        const int index = imageIndex(page, a);
        quint8 value = quint8(data[i]);
        const bool refused = index >= 0 && m_faults && m_faults->refusedBytes.contains(index);
        // The 10-zone panel keeps bytes 41..47 of its option block for itself.
        const bool owned = m_family == Family::TenZone && index >= 41 && index <= 47;
        if (refused || owned) {
            all = all && mem[a] == data[i];
            continue;
        }
        // The 5-zone panel has no zones 6 to 8: their bits of the zone byte always read set.
        if (m_family == Family::FiveZone && index == 48)
            value |= 0xE0;
        mem[a] = char(value);
        all = all && value == quint8(data[i]);
    }
    return all;
}

QByteArray SimPanel::clockBytes() const {
    const QDateTime t = clock();
    const int values[] = {t.time().second(), t.time().minute(), t.time().hour(),
                          t.date().day(),    t.date().month(),  t.date().year() % 100};
    QByteArray out;
    for (int v : values)
        out += char(m_family == Family::TenZone ? toBcd(v) : quint8(v));
    return out;
}

bool SimPanel::setDate(quint8 d, quint8 m, quint8 y) {
    int day = d, month = m, year = y;
    if (m_family == Family::TenZone) {
        bool ok1 = false, ok2 = false, ok3 = false;
        day = fromBcd(d, &ok1);
        month = fromBcd(m, &ok2);
        year = fromBcd(y, &ok3);
        if (!ok1 || !ok2 || !ok3)
            return false;
    }
    const QDate date(2000 + year, month, day);
    if (!date.isValid() || year > 99)
        return false;
    setClock(QDateTime(date, clock().time()));
    return true;
}

bool SimPanel::setTime(quint8 s, quint8 m, quint8 h) {
    int second = s, minute = m, hour = h;
    if (m_family == Family::TenZone) {
        bool ok1 = false, ok2 = false, ok3 = false;
        second = fromBcd(s, &ok1);
        minute = fromBcd(m, &ok2);
        hour = fromBcd(h, &ok3);
        if (!ok1 || !ok2 || !ok3)
            return false;
    }
    const QTime time(hour, minute, second);
    if (!time.isValid())
        return false;
    setClock(QDateTime(clock().date(), time));
    return true;
}

QByteArray SimPanel::command(quint8 code, quint8 param) {
    const bool ten = m_family == Family::TenZone;
    switch (code) {
    case 0x04: {
        // Bypass: the parameter is the whole mask; zones the programming does not allow to be
        // bypassed (image byte 59) and zones the model lacks stay as they are.
        const quint8 allowed = quint8(m_page0[59]) & (ten ? 0xFF : 0x1F);
        m_status.s[5] = quint8((m_status.s[5] & ~allowed) | (param & allowed));
        return statusFrame();
    }
    case 0xA7:
    case 0x22:
        if (param < 1 || param > 4)
            return nak();
        m_status.setPgmOn(param, code == 0xA7);
        return statusFrame();
    case 0x54:
    case 0x4A:
        if (param != 1 && !(param == 2 && ten))
            return nak();
        m_status.setArmed(param, code == 0x54);
        return statusFrame();
    default:
        return nak();
    }
}

} // namespace sim
