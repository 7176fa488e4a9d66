#include "workspace/customer_actions.h"

#include "app/settings.h"
#include "store/data_module.h"
#include "store/schema_tables.h"

#include <QDateTime>

namespace {

bool Fail(QString* error, const QString& why) {
    if (error)
        *error = why;
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

int DefaultGroupId(TdmBancoDeDados& dm) {
    bool ok = false;
    const QVariant id = dm.IBDB.SelectValue(
        QStringLiteral("select first 1 ID_GRUPO from GRUPOS where upper(NOME_GRUPO) = ? order by ID_GRUPO"),
        {kDefaultGroupName.toUpper()}, &ok);
    return ok && id.isValid() && !id.isNull() ? id.toInt() : kRecycleBinGroup;
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
    DataSet& c = dm.DSetClientes;
    c.Close();
    c.SetSelectSql(QStringLiteral("select C.* from clientes C where c.id_cliente = ?"), {customerId});
    if (!c.Open()) {
        Fail(error, c.LastError());
        return result;
    }
    if (c.IsEmpty())
        return result;
    result.found = true;
    result.produto = c.Value(QStringLiteral("PRODUTO")).toString();
    const QVariant version = c.Value(QStringLiteral("VERSAO_PRODUTO"));
    result.version = version.toString();
    if (version.isNull()) {
        result.version = QStringLiteral("1.0");
        if (!c.SetValue(QStringLiteral("VERSAO_PRODUTO"), result.version) || !c.Post() ||
            !dm.CommitRetaining()) {
            const QString why = c.LastError().isEmpty() ? dm.IBDB.LastError() : c.LastError();
            c.Cancel();
            dm.RollbackRetaining();
            Fail(error, why);
        }
    }
    return result;
}

bool StoreCustomerProduct(TdmBancoDeDados& dm, int productCode, QString* error) {
    DataSet& c = dm.DSetClientes;
    if (!c.SetValue(QStringLiteral("PRODUTO"), QString::number(productCode)) || !c.Post() ||
        !dm.CommitRetaining()) {
        const QString why = c.LastError().isEmpty() ? dm.IBDB.LastError() : c.LastError();
        c.Cancel();
        dm.RollbackRetaining();
        return Fail(error, why);
    }
    return true;
}

bool RemoveCustomer(TdmBancoDeDados& dm, int customerId, bool forGood, QString* error) {
    const bool ok =
        forGood ? dm.IBDB.Exec(QStringLiteral("delete from clientes where id_cliente = ?"), {customerId})
                : dm.IBDB.Exec(QStringLiteral("update clientes set ID_GRUPO = ? where id_cliente = ?"),
                               {kRecycleBinGroup, customerId});
    if (!ok || !dm.CommitRetaining()) {
        const QString why = dm.IBDB.LastError();
        dm.RollbackRetaining();
        return Fail(error, why);
    }
    return true;
}

bool PrepareNewCustomer(TdmBancoDeDados& dm, const Settings& settings, int productCode, QString* error) {
    dm.FechaTodosBD();
    dm.DSetClientes.SetSelectSql(QStringLiteral("Select * from CLIENTES"));
    if (!dm.AbreTodosBD())
        return Fail(error, dm.LastError());
    for (DataSet* set : dm.CustomerSets()) {
        if (!set->Insert())
            return Fail(error, set->LastError());
    }
    DataSet& c = dm.DSetClientes;
    DataSet& p = dm.DSetPainel;
    const QDateTime now = QDateTime::currentDateTime();
    c.SetValue(QStringLiteral("PRODUTO"), QString::number(productCode));
    c.SetValue(QStringLiteral("ID_GRUPO"), DefaultGroupId(dm));
    c.SetValue(QStringLiteral("DATA_CRIACAO"), now.date());
    c.SetValue(QStringLiteral("HORA_CRIACAO"),
               QTime(now.time().hour(), now.time().minute(), now.time().second()));
    p.SetValue(QStringLiteral("CODIGO_PAINEL"), kDefaultPanelCode);
    p.SetValue(QStringLiteral("CODIGO_PC"), kDefaultPanelCode);
    if (!settings.Cidade_Default.isEmpty()) {
        c.SetValue(QStringLiteral("CIDADE"), settings.Cidade_Default);
        p.SetValue(QStringLiteral("P_CIDADE"), settings.Cidade_Default);
    }
    if (settings.Estado_Default > 0) {
        c.SetValue(QStringLiteral("ESTADO"), settings.Estado_Default);
        p.SetValue(QStringLiteral("P_ESTADO"), settings.Estado_Default);
    }
    if (!settings.CEP_Default.isEmpty()) {
        c.SetValue(QStringLiteral("CEP"), settings.CEP_Default);
        p.SetValue(QStringLiteral("P_CEP"), settings.CEP_Default);
    }
    return true;
}
