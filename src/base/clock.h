#pragma once

#include <QtGlobal>

#include <atomic>

// Every wait of the link and of the simulated panel goes through this clock: sleeping, reading the
// time and choosing timer intervals. The application runs it at real speed; tests scale it (for
// example 50 times faster) so a whole connection runs in a fraction of a second with every
// ordering unchanged. Times given to and returned by the clock are logical milliseconds.
class Clock {
public:
    static Clock& instance();

    // How many times faster than real time the clock runs (1 = real time). Meant to be set once,
    // before any worker starts.
    void setScale(double scale);
    double scale() const { return m_scale.load(); }

    // Logical milliseconds since the clock was created.
    qint64 nowMs() const;

    // Blocks the calling thread for the given logical time.
    void sleepMs(qint64 ms) const;

    // The real interval to give a QTimer that must fire after the given logical time (at least 1).
    int realInterval(qint64 logicalMs) const;

    // Logical time corresponding to a real duration measured outside the clock.
    qint64 toLogical(qint64 realMs) const;

private:
    Clock();
    std::atomic<double> m_scale{1.0};
    std::atomic<qint64> m_baseLogicalMs{0};
    std::atomic<qint64> m_baseRealMs{0};
};
