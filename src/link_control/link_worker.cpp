#include "link_control/link_worker.h"

#include "base/clock.h"
#include "link_control/conecta_alarme_host.h"

#include <algorithm>

namespace {

// How often a worker looks at the flags it waits on. A byte takes 33 ms at 300 bit/s, so a 5 ms
// poll adds nothing the line would notice, while the thread does not spin.
constexpr qint64 PollMs = 5;

} // namespace

LinkWorker::LinkWorker(ConectaAlarmeHost& host) : m_host(host) {}

void LinkWorker::OnMain(const std::function<void()>& work) {
    m_host.RunOnMain(work);
}

void LinkWorker::OnMainQuietly(const std::function<void()>& work) noexcept {
    try {
        m_host.RunOnMain(work);
    } catch (...) {
    }
}

void LinkWorker::Sleep(qint64 ms) const {
    Clock::instance().sleepMs(ms);
}

bool LinkWorker::SleepUnlessStopping(qint64 ms) const {
    const Clock& clock = Clock::instance();
    const qint64 end = clock.nowMs() + ms;
    for (qint64 now = clock.nowMs(); now < end; now = clock.nowMs()) {
        if (Stopping())
            return false;
        clock.sleepMs(std::min(PollMs, end - now));
    }
    return !Stopping();
}

bool LinkWorker::WaitUntil(const std::function<bool()>& condition) const {
    while (!condition()) {
        if (Stopping())
            return false;
        Clock::instance().sleepMs(PollMs);
    }
    return true;
}
