#include "workspace/customer_groups.h"

#include "store/data_module.h"

namespace {

constexpr int RecycleBinGroup = 1;
constexpr int MaxNameLength = 30; // GRUPOS.NOME_GRUPO

bool Fail(TdmBancoDeDados& dm, QString* error, const QString& why) {
    dm.RollbackRetaining();
    if (error)
        *error = why;
    return false;
}

} // namespace

bool ReadEditableGroups(TdmBancoDeDados& dm, QList<CustomerGroup>* groups, QString* error) {
    DataSet& q = dm.qryGrupos;
    q.Close();
    q.SetSelectSql(
        QStringLiteral("Select ID_GRUPO, NOME_GRUPO from GRUPOS where ID_GRUPO <> ? order by ID_GRUPO"),
        {RecycleBinGroup});
    if (!q.Open() || !q.FetchAll()) {
        if (error)
            *error = q.LastError();
        return false;
    }
    groups->clear();
    for (int i = 0; i < q.RecordCount(); ++i)
        groups->append({q.Value(i, 0).toInt(), q.Value(i, 1).toString()});
    q.Close();
    return true;
}

bool IsGroupNameChar(QChar c) {
    return c.isLetterOrNumber() && c.unicode() < 0x100;
}

bool SaveGroup(TdmBancoDeDados& dm, int id, const QString& name, QString* error) {
    const QString upper = name.trimmed().toUpper();
    if (upper.isEmpty() || upper.size() > MaxNameLength || id == RecycleBinGroup)
        return Fail(dm, error, kMsgGrupoErro);
    for (QChar c : upper) {
        if (!IsGroupNameChar(c))
            return Fail(dm, error, kMsgGrupoErro);
    }
    DataSet& q = dm.qryGrupos;
    q.Close();
    const bool ok = id == 0 ? q.Execute(QStringLiteral("insert into GRUPOS (ID_GRUPO, NOME_GRUPO) values "
                                                       "(gen_id(GEN_GRUPOS_ID, 1), ?)"),
                                        {upper})
                            : q.Execute(QStringLiteral("update GRUPOS set NOME_GRUPO = ? where ID_GRUPO = ?"),
                                        {upper, id});
    if (!ok)
        return Fail(dm, error, q.LastError());
    if (!dm.CommitRetaining())
        return Fail(dm, error, dm.IBDB.LastError());
    return true;
}

bool DeleteGroup(TdmBancoDeDados& dm, int id, QString* error) {
    if (id == RecycleBinGroup)
        return Fail(dm, error, kMsgGrupoErro);
    DataSet& q = dm.qryGrupos;
    q.Close();
    if (!q.Execute(QStringLiteral("update CLIENTES set ID_GRUPO = ? where ID_GRUPO = ?"),
                   {RecycleBinGroup, id}) ||
        !q.Execute(QStringLiteral("delete from GRUPOS where ID_GRUPO = ?"), {id}))
        return Fail(dm, error, q.LastError());
    if (!dm.CommitRetaining())
        return Fail(dm, error, dm.IBDB.LastError());
    return true;
}
