#include "session/operation_audit.h"

#include <QStringList>

#include <bit>

namespace {

QString reportText(const TransferReport& report) {
    const QString blocks = QStringLiteral("%1 de %2 blocos conferidos")
                               .arg(std::popcount(report.done & report.requested))
                               .arg(std::popcount(report.requested));
    switch (report.outcome) {
    case TransferReport::Outcome::Completed:
        return blocks;
    case TransferReport::Outcome::Refused:
        return blocks + QStringLiteral(", recusada no bloco %1").arg(report.failedBlock);
    case TransferReport::Outcome::NotVerified:
        return blocks + QStringLiteral(", bloco %1 diferente no painel").arg(report.failedBlock);
    case TransferReport::Outcome::Cancelled:
        return blocks + QStringLiteral(", cancelada");
    case TransferReport::Outcome::Disconnected:
        return blocks + QStringLiteral(", interrompida");
    }
    return blocks;
}

} // namespace

QString TransferAuditText(const QList<TransferReport>& reports) {
    QStringList parts;
    for (const TransferReport& report : reports) {
        if (report.kind == TransferReport::Kind::Write)
            parts << reportText(report);
    }
    return parts.isEmpty() ? QStringLiteral("não enviada") : parts.join(QStringLiteral("; "));
}

QString CommandAuditText(OnLine::CommandOutcome outcome) {
    switch (outcome) {
    case OnLine::CommandOutcome::Effect:
        return QStringLiteral("executado");
    case OnLine::CommandOutcome::Refused:
        return QStringLiteral("recusado");
    case OnLine::CommandOutcome::NoAnswer:
        return QStringLiteral("sem resposta");
    case OnLine::CommandOutcome::Stopped:
        break;
    }
    return QStringLiteral("interrompido");
}
