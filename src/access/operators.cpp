#include "access/operators.h"

#include "access/login.h"
#include "access/operator_audit.h"
#include "store/data_module.h"
#include "store/logged_operator.h"

#include <optional>

bool ListOperators(TdmBancoDeDados& dm, QList<OperatorRow>* rows, QString* error) {
    DataSet& q = dm.qrySenhas;
    q.Close();
    q.SetSelectSql(QStringLiteral("Select ID_USER_SOFT, USUARIO, ATIVO, PERMISSOES from USUARIOS_SOFTWARE "
                                  "order by ID_USER_SOFT"));
    if (!q.Open()) {
        *error = q.LastError();
        return false;
    }
    rows->clear();
    for (; !q.Eof(); q.Next()) {
        OperatorRow row;
        row.id = q.Value(QStringLiteral("ID_USER_SOFT")).toInt();
        row.usuario = q.Value(QStringLiteral("USUARIO")).toString();
        row.ativo = q.Value(QStringLiteral("ATIVO")).toString() == QLatin1String("T");
        row.permissoes = q.Value(QStringLiteral("PERMISSOES")).toString();
        rows->append(row);
    }
    q.Close();
    return true;
}

bool AddOperator(TdmBancoDeDados& dm, const QString& usuario, const QString& senha, const QString& pergunta,
                 const QString& resposta, const QString& permissoes, QString* error) {
    QList<OperatorRow> rows;
    if (!ListOperators(dm, &rows, error))
        return false;
    const QString name = usuario.trimmed();
    for (const OperatorRow& row : rows) {
        if (row.usuario.trimmed() == name) {
            *error = QStringLiteral("O usuário %1 já existe.").arg(name);
            return false;
        }
    }
    if (rows.isEmpty()) {
        NewOperator first{name, senha, senha, pergunta, resposta};
        if (!CreateFirstOperator(dm, first, error))
            return false;
        AuditOperatorCreated(dm, {name, true, QString(LoggedOperator::kPermissionCount, QLatin1Char('1'))});
        return true;
    }
    DataSet& set = dm.DSetUsuariosSoft;
    auto fail = [&](const QString& why) {
        if (set.Editing())
            set.Cancel();
        dm.RollbackRetaining();
        *error = why;
        return false;
    };
    if (!set.Active() && !set.Open())
        return fail(set.LastError());
    if (!set.Insert())
        return fail(set.LastError());
    set.SetValue(QStringLiteral("USUARIO"), name);
    set.SetValue(QStringLiteral("SENHA"), senha);
    set.SetValue(QStringLiteral("CONFIRMA_SENHA"), senha);
    set.SetValue(QStringLiteral("PERGUNTA"), pergunta);
    set.SetValue(QStringLiteral("RESPOSTA"), resposta);
    set.SetValue(QStringLiteral("PERMISSOES"), permissoes);
    set.SetValue(QStringLiteral("ATIVO"), QStringLiteral("T"));
    if (!set.Post())
        return fail(set.LastError());
    if (!dm.CommitRetaining())
        return fail(dm.IBDB.LastError());
    AuditOperatorCreated(dm, {name, true, permissoes});
    return true;
}

bool PermissionText(const QList<int>& permissions, QString* text) {
    QString bits(LoggedOperator::kPermissionCount, QLatin1Char('0'));
    for (int p : permissions) {
        if (p < 1 || p > LoggedOperator::kPermissionCount)
            return false;
        bits[p - 1] = QLatin1Char('1');
    }
    *text = bits;
    return true;
}

namespace {

// Whether the operator may reach the permission editor: the administrator, or an active operator
// holding "Alterar usuários, senhas e permissões" and "Modificar usuário".
bool CanAdminister(const OperatorRow& row) {
    if (!row.ativo)
        return false;
    const LoggedOperator op = LoggedOperator::FromRow(row.id, row.usuario, row.permissoes);
    return op.administrator ||
           (op.HasPermission(Permission::AlterarUsuarios) && op.HasPermission(Permission::ModificarUsuario));
}

// Whether replacing (or, with `after` empty, removing) the operator with key `id` leaves nobody to
// reach the permission editor while somebody could before.
bool LosesLastAdministrator(const QList<OperatorRow>& rows, int id, const std::optional<OperatorRow>& after) {
    bool before = false;
    bool remains = after && CanAdminister(*after);
    for (const OperatorRow& row : rows) {
        before = before || CanAdminister(row);
        if (row.id != id)
            remains = remains || CanAdminister(row);
    }
    return before && !remains;
}

OperatorChange Fail(TdmBancoDeDados& dm, QString* error) {
    const QList<long> codes = dm.IBDB.LastErrorCodes();
    if (error)
        *error = dm.IBDB.LastError();
    dm.RollbackRetaining();
    return IsDuplicateKeyError(codes) ? OperatorChange::DuplicateName : OperatorChange::Failed;
}

} // namespace

bool OperatorNames(TdmBancoDeDados& dm, bool administratorLoggedIn, QStringList* names, QString* error) {
    QList<OperatorRow> rows;
    if (!ListOperators(dm, &rows, error))
        return false;
    names->clear();
    for (const OperatorRow& row : rows) {
        if (administratorLoggedIn || row.id != 1)
            names->append(row.usuario);
    }
    return true;
}

bool LoadOperator(TdmBancoDeDados& dm, const QString& usuario, OperatorRecord* record, QString* error) {
    error->clear();
    bool ok = false;
    const QList<QVariantList> rows = dm.IBDB.SelectRows(
        QStringLiteral("select ID_USER_SOFT, USUARIO, SENHA, CONFIRMA_SENHA, PERGUNTA, RESPOSTA, ATIVO, "
                       "PERMISSOES from USUARIOS_SOFTWARE where USUARIO = ?"),
        {usuario}, &ok);
    if (!ok) {
        *error = dm.IBDB.LastError();
        return false;
    }
    if (rows.isEmpty())
        return false;
    const QVariantList& r = rows.first();
    OperatorRecord loaded;
    loaded.id = r.value(0).toInt();
    loaded.usuario = r.value(1).toString();
    loaded.senha = r.value(2).toString();
    loaded.confirmacao = r.value(3).toString();
    loaded.pergunta = SecretQuestions().contains(r.value(4).toString()) ? r.value(4).toString() : QString();
    loaded.resposta = r.value(5).toString();
    loaded.ativo = r.value(6).toString() == QLatin1String("T");
    loaded.permissoes = r.value(7).isNull() ? QString() : r.value(7).toString();
    if (loaded.IsAdministrator() && loaded.permissoes.size() < LoggedOperator::kPermissionCount) {
        loaded.permissoes +=
            QString(LoggedOperator::kPermissionCount - loaded.permissoes.size(), QLatin1Char('1'));
        if (!dm.IBDB.Exec(
                QStringLiteral("update USUARIOS_SOFTWARE set PERMISSOES = ? where ID_USER_SOFT = ?"),
                {loaded.permissoes, loaded.id}) ||
            !dm.CommitRetaining()) {
            Fail(dm, error);
            return false;
        }
    }
    *record = loaded;
    return true;
}

OperatorChange SaveOperator(TdmBancoDeDados& dm, OperatorRecord* record, QString* error) {
    if (record->IsAdministrator()) {
        // Its permissions are not editable: every one stays granted (a longer text of "1" stays).
        record->ativo = true;
        if (record->permissoes.left(LoggedOperator::kPermissionCount) !=
            QString(LoggedOperator::kPermissionCount, QLatin1Char('1')))
            record->permissoes = QString(LoggedOperator::kPermissionCount, QLatin1Char('1'));
    }
    if (record->permissoes.isNull())
        record->permissoes = QString(LoggedOperator::kPermissionCount, QLatin1Char('0'));
    QList<OperatorRow> rows;
    if (!ListOperators(dm, &rows, error))
        return OperatorChange::Failed;
    QString oldName;
    OperatorState before;
    for (const OperatorRow& row : rows) {
        if (row.id == record->id) {
            oldName = row.usuario;
            before = {row.usuario, row.ativo, row.permissoes};
        }
    }
    if (record->id != 0 &&
        LosesLastAdministrator(rows, record->id,
                               OperatorRow{record->id, record->usuario, record->ativo, record->permissoes}))
        return OperatorChange::LastAdministrator;
    const QVariantList values{record->usuario,     record->senha,
                              record->confirmacao, record->pergunta,
                              record->resposta,    record->ativo ? QStringLiteral("T") : QStringLiteral("F"),
                              record->permissoes};
    if (record->id == 0) {
        const QVariant id = dm.IBDB.SelectValue(
            QStringLiteral("select gen_id(GEN_USUARIOS_SOFTWARE_ID, 1) from RDB$DATABASE"));
        if (!id.isValid())
            return Fail(dm, error);
        if (!dm.IBDB.Exec(QStringLiteral("insert into USUARIOS_SOFTWARE (USUARIO, SENHA, CONFIRMA_SENHA, "
                                         "PERGUNTA, RESPOSTA, ATIVO, PERMISSOES, ID_USER_SOFT) values "
                                         "(?, ?, ?, ?, ?, ?, ?, ?)"),
                          values + QVariantList{id}))
            return Fail(dm, error);
        record->id = id.toInt();
    } else if (!dm.IBDB.Exec(QStringLiteral("update USUARIOS_SOFTWARE set USUARIO = ?, SENHA = ?, "
                                            "CONFIRMA_SENHA = ?, PERGUNTA = ?, RESPOSTA = ?, ATIVO = ?, "
                                            "PERMISSOES = ? where ID_USER_SOFT = ?"),
                             values + QVariantList{record->id})) {
        return Fail(dm, error);
    }
    if (!dm.CommitRetaining())
        return Fail(dm, error);
    const OperatorState after{record->usuario, record->ativo, record->permissoes};
    if (oldName.isEmpty())
        AuditOperatorCreated(dm, after);
    else
        AuditOperatorChanged(dm, before, after, true);
    // The logged-in operator edited: the new name and permissions hold at once.
    if (!oldName.isEmpty() && oldName == dm.Operator.name)
        dm.Operator = LoggedOperator::FromRow(record->id, record->usuario, record->permissoes);
    return OperatorChange::Done;
}

OperatorChange DeleteOperator(TdmBancoDeDados& dm, const QString& usuario, QString* error) {
    QList<OperatorRow> rows;
    if (!ListOperators(dm, &rows, error))
        return OperatorChange::Failed;
    for (const OperatorRow& row : rows) {
        if (row.usuario != usuario)
            continue;
        if (row.id == 1)
            return OperatorChange::NotAllowed;
        if (LosesLastAdministrator(rows, row.id, std::nullopt))
            return OperatorChange::LastAdministrator;
        if (!dm.IBDB.Exec(QStringLiteral("delete from USUARIOS_SOFTWARE where ID_USER_SOFT = ?"), {row.id}) ||
            !dm.CommitRetaining())
            return Fail(dm, error);
        AuditOperatorDeleted(dm, usuario);
        return OperatorChange::Done;
    }
    return OperatorChange::Done; // already gone
}

QString OperatorChangeMessage(OperatorChange change) {
    switch (change) {
    case OperatorChange::DuplicateName:
        return kMsgUsuarioJaExiste;
    case OperatorChange::LastAdministrator:
        return kMsgUltimoAdministrador;
    case OperatorChange::NotAllowed:
        return kMsgUsuarioNaoPodeSerExcluido;
    case OperatorChange::Done:
    case OperatorChange::Failed:
        break;
    }
    return {};
}
