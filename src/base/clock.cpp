#include "base/clock.h"

#include <QElapsedTimer>
#include <QThread>

#include <cmath>

namespace {
const QElapsedTimer& startTimer() {
    static const QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}
} // namespace

Clock::Clock() {
    startTimer();
    if (const QByteArray env = qgetenv("TELVORA_CLOCK_SCALE"); !env.isEmpty()) {
        bool ok = false;
        const double s = env.toDouble(&ok);
        if (ok && s > 0)
            m_scale = s;
    }
}

Clock& Clock::instance() {
    static Clock clock;
    return clock;
}

void Clock::setScale(double scale) {
    if (scale <= 0)
        scale = 1;
    // An instrumented build (ThreadSanitizer runs the program several times slower) caps how fast
    // tests may run the clock, so that the program's own work still fits in its logical deadlines.
    if (const double limit = qEnvironmentVariable("TELVORA_CLOCK_SCALE_LIMIT").toDouble(); limit > 0)
        scale = qMin(scale, limit);
    // Keep logical time continuous across the change.
    const qint64 now = nowMs();
    m_baseRealMs = startTimer().elapsed();
    m_baseLogicalMs = now;
    m_scale = scale;
}

qint64 Clock::nowMs() const {
    const qint64 realSinceBase = startTimer().elapsed() - m_baseRealMs.load();
    return m_baseLogicalMs.load() + qint64(std::llround(double(realSinceBase) * m_scale.load()));
}

void Clock::sleepMs(qint64 ms) const {
    if (ms <= 0)
        return;
    const double realUs = double(ms) * 1000.0 / m_scale.load();
    QThread::usleep(std::max<unsigned long>(1, static_cast<unsigned long>(realUs)));
}

int Clock::realInterval(qint64 logicalMs) const {
    const double real = double(logicalMs) / m_scale.load();
    return std::max(1, int(std::lround(real)));
}

qint64 Clock::toLogical(qint64 realMs) const {
    return qint64(std::llround(double(realMs) * m_scale.load()));
}
