#include "link_control/stop_texts.h"

#include "session/online_host.h"

#include <bit>

namespace StopTexts {

QString TransferCancelled(const TransferReport& report) {
    const int done = std::popcount(report.done);
    const int requested = std::popcount(report.requested);
    const bool read = report.kind == TransferReport::Kind::Read;
    return QStringLiteral("%1 foi cancelada: %2 de %3 blocos %4.")
        .arg(read ? QStringLiteral("A leitura da programação") : QStringLiteral("A gravação da programação"))
        .arg(done)
        .arg(requested)
        .arg(read ? QStringLiteral("recebidos") : QStringLiteral("gravados"));
}

} // namespace StopTexts
