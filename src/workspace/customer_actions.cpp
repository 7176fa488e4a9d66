#include "workspace/customer_actions.h"

#include "store/audit_log.h"
#include "store/data_module.h"
#include "store/schema_tables.h"
#include "store/store_messages.h"

namespace {

// The engine's words come after the system's own sentence.
bool Fail(QString* error, const QString& why) {
    if (error)
        *error = kMsgErroAcessoBanco + why;
    return false;
}

} // namespace

QString DeleteQuestion(bool viewingRecycleBin) {
    return QStringLiteral("Tem certeza que deseja ") +
           (viewingRecycleBin ? QStringLiteral("apagar este registro?")
                              : QStringLiteral("enviar este registro para o grupo LIXEIRA?"));
}

QString SerialPortMessage(int port) {
    return QStringLiteral("A porta serial COM ") + QString::number(port) +
           QStringLiteral(" não pôde ser aberta.\rVerifique se outro programa já está utilizando esta porta "
                          "ou se o modem está configurado na porta correta.");
}

bool ReadGroups(TdmBancoDeDados& dm, QList<CustomerGroup>* groups, QString* error) {
    DataSet& q = dm.qryGrupos;
    q.Close();
    q.SetSelectSql(QStringLiteral("Select ID_GRUPO, NOME_GRUPO from GRUPOS"));
    if (!q.Open() || !q.FetchAll())
        return Fail(error, q.LastError());
    groups->clear();
    for (int i = 0; i < q.RecordCount(); ++i)
        groups->append({q.Value(i, 0).toInt(), q.Value(i, 1).toString()});
    q.Close();
    return true;
}

int GroupIdByName(TdmBancoDeDados& dm, const QString& name) {
    DataSet& q = dm.qryGrupos;
    q.Close();
    q.SetSelectSql(QStringLiteral("Select * from Grupos G where G.Nome_Grupo = ?"), {name});
    const int id = q.Open() && !q.IsEmpty() ? q.Value(QStringLiteral("ID_GRUPO")).toInt() : -1;
    q.Close();
    return id;
}

int CountCustomers(TdmBancoDeDados& dm) {
    bool ok = false;
    const QVariant count = dm.IBDB.SelectValue(
        QStringLiteral("select count(c.id_cliente) from clientes C where C.id_grupo <> ?"),
        {kRecycleBinGroup}, &ok);
    return ok ? count.toInt() : -1;
}

CustomerToOpen SelectCustomerToOpen(TdmBancoDeDados& dm, int customerId, QString* error) {
    CustomerToOpen result;
    bool ok = false;
    const QList<QVariantList> rows = dm.IBDB.SelectRows(
        QStringLiteral("select PRODUTO, VERSAO_PRODUTO from clientes where id_cliente = ?"), {customerId},
        &ok);
    if (!ok) {
        Fail(error, dm.IBDB.LastError());
        return result;
    }
    if (rows.isEmpty())
        return result;
    const QVariantList& row = rows.first();
    result.found = true;
    result.produto = row[0].toString();
    result.version = row[1].toString();
    if (row[1].isNull()) {
        result.version = QStringLiteral("1.0");
        if (!dm.IBDB.Exec(QStringLiteral("update clientes set VERSAO_PRODUTO = ? where id_cliente = ?"),
                          {result.version, customerId}) ||
            !dm.CommitRetaining()) {
            Fail(error, dm.IBDB.LastError());
            dm.RollbackRetaining();
        }
    }
    return result;
}

bool StoreCustomerProduct(TdmBancoDeDados& dm, int customerId, int productCode, const QString& version,
                          QString* error) {
    const bool stored =
        version.isEmpty()
            ? dm.IBDB.Exec(QStringLiteral("update clientes set PRODUTO = ? where id_cliente = ?"),
                           {QString::number(productCode), customerId})
            : dm.IBDB.Exec(
                  QStringLiteral("update clientes set PRODUTO = ?, VERSAO_PRODUTO = ? where id_cliente = ?"),
                  {QString::number(productCode), version, customerId});
    if (!stored || !dm.CommitRetaining()) {
        const QString why = dm.IBDB.LastError();
        dm.RollbackRetaining();
        return Fail(error, why);
    }
    return true;
}

bool RemoveCustomer(TdmBancoDeDados& dm, int customerId, bool forGood, QString* error) {
    // The audit row names the customer, which a deletion for good takes away from the table.
    const QString nome =
        dm.IBDB.SelectValue(QStringLiteral("select NOME from clientes where id_cliente = ?"), {customerId})
            .toString();
    const bool ok =
        forGood ? dm.IBDB.Exec(QStringLiteral("delete from clientes where id_cliente = ?"), {customerId})
                : dm.IBDB.Exec(QStringLiteral("update clientes set ID_GRUPO = ? where id_cliente = ?"),
                               {kRecycleBinGroup, customerId});
    if (!ok || !dm.CommitRetaining()) {
        const QString why = dm.IBDB.LastError();
        dm.RollbackRetaining();
        return Fail(error, why);
    }
    RecordAudit(dm, dm.Operator.name, customerId, AuditAction::DeleteCustomer,
                (forGood ? QStringLiteral("apagado") : QStringLiteral("enviado para o grupo LIXEIRA")) +
                    (nome.isEmpty() ? QString() : QStringLiteral(": ") + nome));
    return true;
}
