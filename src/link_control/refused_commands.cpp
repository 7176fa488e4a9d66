#include "link_control/refused_commands.h"

#include "base/clock.h"
#include "link/link_state.h"

namespace {

constexpr qint64 PollMs = 5;

} // namespace

QStringList SendOneAtATime(const QStringList& commands, const OneAtATime& how) {
    const Clock& clock = Clock::instance();
    QStringList refused;
    for (const QString& command : commands) {
        const QByteArray line = "AT" + command.toLatin1() + '\r';
        how.send(line);
        qint64 sentAt = clock.nowMs();
        for (;;) {
            if (how.stopping())
                return refused;
            const quint8 code = how.takeResult();
            if (code == ResultOk)
                break;
            if (code == ResultError) {
                refused.append(command);
                if (how.refused)
                    how.refused(command);
                break;
            }
            if (clock.nowMs() - sentAt >= how.resendMs) {
                how.send(line);
                sentAt = clock.nowMs();
            }
            clock.sleepMs(PollMs);
        }
    }
    return refused;
}
