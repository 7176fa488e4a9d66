#include "access/operator_audit.h"

#include "store/audit_log.h"
#include "store/data_module.h"

namespace {

bool Granted(const QString& permissoes, int permission) {
    return permission <= permissoes.size() && permissoes.at(permission - 1) == QLatin1Char('1');
}

} // namespace

QString PermissionDifference(const QString& before, const QString& after) {
    QStringList added;
    QStringList removed;
    for (int p = 1; p <= LoggedOperator::kPermissionCount; ++p) {
        if (Granted(after, p) && !Granted(before, p))
            added << QString::number(p);
        else if (!Granted(after, p) && Granted(before, p))
            removed << QString::number(p);
    }
    QStringList parts;
    if (!added.isEmpty())
        parts << QLatin1Char('+') + added.join(QLatin1Char(','));
    if (!removed.isEmpty())
        parts << QLatin1Char('-') + removed.join(QLatin1Char(','));
    return parts.join(QLatin1Char(' '));
}

void AuditOperatorCreated(TdmBancoDeDados& dm, const OperatorState& created) {
    RecordAudit(dm, dm.Operator.name, 0, AuditAction::OperatorCreated, created.usuario);
    const QString granted = PermissionDifference(QString(), created.permissoes);
    if (!granted.isEmpty())
        RecordAudit(dm, dm.Operator.name, 0, AuditAction::PermissionsChanged,
                    created.usuario + QLatin1Char(' ') + granted);
}

void AuditOperatorChanged(TdmBancoDeDados& dm, const OperatorState& before, const OperatorState& after,
                          bool otherDataChanged) {
    if (before.usuario != after.usuario)
        RecordAudit(dm, dm.Operator.name, 0, AuditAction::OperatorChanged,
                    before.usuario + QStringLiteral(" -> ") + after.usuario);
    else if (otherDataChanged)
        RecordAudit(dm, dm.Operator.name, 0, AuditAction::OperatorChanged, after.usuario);
    if (before.ativo && !after.ativo)
        RecordAudit(dm, dm.Operator.name, 0, AuditAction::OperatorDeactivated, after.usuario);
    else if (!before.ativo && after.ativo)
        RecordAudit(dm, dm.Operator.name, 0, AuditAction::OperatorChanged,
                    after.usuario + QStringLiteral(": reativado"));
    const QString difference = PermissionDifference(before.permissoes, after.permissoes);
    if (!difference.isEmpty())
        RecordAudit(dm, dm.Operator.name, 0, AuditAction::PermissionsChanged,
                    after.usuario + QLatin1Char(' ') + difference);
}

void AuditOperatorDeleted(TdmBancoDeDados& dm, const QString& usuario) {
    RecordAudit(dm, dm.Operator.name, 0, AuditAction::OperatorDeleted, usuario);
}
