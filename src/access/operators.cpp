#include "access/operators.h"

#include "access/login.h"
#include "store/data_module.h"
#include "store/logged_operator.h"

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
        return CreateFirstOperator(dm, first, error);
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
