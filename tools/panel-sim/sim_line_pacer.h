#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

namespace sim {

// Everything the simulator sends goes through here, in order. Each piece may wait for a logical
// time (the panel's think time, the length of a dial) and may be paced at a number of logical ms
// per byte (33.3 at 300 bit/s), so the program sees bytes trickle in as on a real line. Actions
// queued between pieces run when the line reaches them (a hang-up after an answer has gone out).
// All times are logical (Clock::instance()); the timer waits the matching real interval.
class LinePacer : public QObject {
    Q_OBJECT
public:
    explicit LinePacer(QObject* parent = nullptr);

    void enqueue(const QByteArray& bytes, qint64 notBeforeMs, double byteMs, int tag);
    void enqueueAction(std::function<void()> action, qint64 notBeforeMs, int tag);
    // Forgets what is queued with this tag (the carrier dropped) or everything (the port closed).
    void drop(int tag);
    void clear();
    bool idle() const { return m_queue.empty(); }

Q_SIGNALS:
    void output(const QByteArray& bytes, int tag);

private:
    struct Item {
        QByteArray bytes;
        std::function<void()> action;
        qint64 notBefore = 0;
        double byteMs = 0;
        int tag = 0;
        int sent = 0;
        double startAt = -1;
    };
    void pump();
    void wakeIn(double logicalMs);

    std::deque<Item> m_queue;
    QTimer m_timer;
    double m_lineFreeAt = 0;
};

} // namespace sim
