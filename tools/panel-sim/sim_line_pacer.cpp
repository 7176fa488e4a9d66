#include "sim_line_pacer.h"

#include "base/clock.h"

#include <cmath>

namespace sim {

LinePacer::LinePacer(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LinePacer::pump);
}

void LinePacer::enqueue(const QByteArray& bytes, qint64 notBeforeMs, double byteMs, int tag) {
    if (bytes.isEmpty())
        return;
    Item item;
    item.bytes = bytes;
    item.notBefore = notBeforeMs;
    item.byteMs = byteMs;
    item.tag = tag;
    m_queue.push_back(std::move(item));
    if (m_queue.size() == 1)
        pump();
}

void LinePacer::enqueueAction(std::function<void()> action, qint64 notBeforeMs, int tag) {
    Item item;
    item.action = std::move(action);
    item.notBefore = notBeforeMs;
    item.tag = tag;
    m_queue.push_back(std::move(item));
    if (m_queue.size() == 1)
        pump();
}

void LinePacer::drop(int tag) {
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (it->tag == tag)
            it = m_queue.erase(it);
        else
            ++it;
    }
    if (m_queue.empty())
        m_timer.stop();
    else
        wakeIn(0);
}

void LinePacer::clear() {
    m_queue.clear();
    m_timer.stop();
}

void LinePacer::wakeIn(double logicalMs) {
    if (logicalMs <= 0)
        m_timer.start(0);
    else
        m_timer.start(Clock::instance().realInterval(qint64(std::ceil(logicalMs))));
}

void LinePacer::pump() {
    while (!m_queue.empty()) {
        const double now = double(Clock::instance().nowMs());
        Item& item = m_queue.front();
        if (item.startAt < 0) {
            if (now < item.notBefore) {
                wakeIn(item.notBefore - now);
                return;
            }
            // A piece starts when it may and the line is free: paced bytes never overlap.
            item.startAt = std::max(double(item.notBefore), m_lineFreeAt);
        }
        if (item.action) {
            auto action = std::move(item.action);
            m_queue.pop_front();
            action(); // may queue or drop items
            continue;
        }
        const int size = int(item.bytes.size());
        int due = size;
        if (item.byteMs > 0)
            due = std::min(size, int(std::floor((now - item.startAt) / item.byteMs)));
        if (due > item.sent) {
            const QByteArray piece = item.bytes.mid(item.sent, due - item.sent);
            const int tag = item.tag;
            item.sent = due;
            const bool done = due == size;
            const double freeAt = item.startAt + size * item.byteMs;
            if (done) {
                m_lineFreeAt = freeAt;
                m_queue.pop_front();
            }
            Q_EMIT output(piece, tag); // may queue or drop items
            if (done)
                continue;
        }
        if (m_queue.empty())
            return;
        Item& current = m_queue.front();
        if (current.sent < int(current.bytes.size()) && current.startAt >= 0) {
            wakeIn(current.startAt + (current.sent + 1) * current.byteMs - double(Clock::instance().nowMs()));
            return;
        }
    }
}

} // namespace sim
