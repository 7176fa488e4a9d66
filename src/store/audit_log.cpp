#include "store/audit_log.h"

#include "store/data_module.h"

namespace {

constexpr int kUsuarioLength = 30;
constexpr int kDetailsLength = 255;

// Fits a text into a ISO8859_1 column of `length` characters.
QString ForColumn(const QString& text, int length) {
    QString fitted = text.left(length);
    for (QChar& c : fitted) {
        if (c.unicode() > 0xFF)
            c = QLatin1Char('?');
    }
    return fitted;
}

} // namespace

QString AuditActionText(AuditAction action) {
    switch (action) {
    case AuditAction::Connect:
        return QStringLiteral("Conexão");
    case AuditAction::WriteProgramming:
        return QStringLiteral("Envio de programação");
    case AuditAction::Command:
        return QStringLiteral("Comando");
    case AuditAction::DeleteCustomer:
        return QStringLiteral("Exclusão de cliente");
    case AuditAction::DeleteEvents:
        return QStringLiteral("Exclusão de eventos");
    case AuditAction::Restore:
        return QStringLiteral("Restauração do banco");
    case AuditAction::CustomerCreated:
        return QStringLiteral("Inclusão de cliente");
    case AuditAction::OperatorCreated:
        return QStringLiteral("Inclusão de usuário");
    case AuditAction::OperatorChanged:
        return QStringLiteral("Alteração de usuário");
    case AuditAction::OperatorDeactivated:
        return QStringLiteral("Desativação de usuário");
    case AuditAction::OperatorDeleted:
        return QStringLiteral("Exclusão de usuário");
    case AuditAction::PermissionsChanged:
        return QStringLiteral("Alteração de permissões");
    }
    return {};
}

bool RecordAudit(TdmBancoDeDados& dm, const QString& usuario, int customerId, AuditAction action,
                 const QString& details) {
    const QVariant customer = customerId > 0 ? QVariant(customerId) : QVariant(QMetaType(QMetaType::Int));
    if (!dm.IBDB.Exec(QStringLiteral("insert into AUDITORIA (ID_AUDITORIA, DATA_HORA, USUARIO, ID_CLIENTE, "
                                     "ACAO, DETALHES) values (gen_id(GEN_AUDITORIA_ID, 1), ?, ?, ?, ?, ?)"),
                      {QDateTime::currentDateTime(), ForColumn(usuario, kUsuarioLength), customer,
                       AuditActionText(action), ForColumn(details, kDetailsLength)}))
        return false;
    return dm.CommitRetaining();
}

bool ReadAudit(TdmBancoDeDados& dm, const AuditFilter& filter, QList<AuditRow>* rows, QString* error) {
    QString sql = QStringLiteral("select A.DATA_HORA, A.USUARIO, A.ID_CLIENTE, A.ACAO, A.DETALHES, C.NOME "
                                 "from AUDITORIA A left join CLIENTES C on C.ID_CLIENTE = A.ID_CLIENTE");
    QStringList conditions;
    QVariantList params;
    if (filter.customerId > 0) {
        conditions << QStringLiteral("A.ID_CLIENTE = ?");
        params << filter.customerId;
    }
    if (filter.from.isValid()) {
        conditions << QStringLiteral("A.DATA_HORA >= ?");
        params << QDateTime(filter.from, QTime(0, 0));
    }
    if (!conditions.isEmpty())
        sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    sql += QStringLiteral(" order by A.DATA_HORA, A.ID_AUDITORIA");
    bool ok = false;
    const QList<QVariantList> found = dm.IBDB.SelectRows(sql, params, &ok);
    if (!ok) {
        *error = dm.IBDB.LastError();
        return false;
    }
    rows->clear();
    for (const QVariantList& r : found)
        rows->append(AuditRow{r.value(0).toDateTime(), r.value(1).toString(), r.value(2).toInt(),
                              r.value(5).toString(), r.value(3).toString(), r.value(4).toString()});
    return true;
}
