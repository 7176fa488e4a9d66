#include "store/calling_customers.h"

#include "store/db_connection.h"

namespace {

const QString kCountListening =
    QStringLiteral("select count(*) from PAINEL P join CLIENTES C on P.ID_CLIENTE = C.ID_CLIENTE "
                   "where C.ID_GRUPO <> 1");
const QString kSharedCodes = QStringLiteral(
    "select trim(P.CODIGO_PAINEL), C.NOME from PAINEL P join CLIENTES C on P.ID_CLIENTE = C.ID_CLIENTE "
    "where C.ID_GRUPO <> 1 and trim(P.CODIGO_PAINEL) in (select trim(P2.CODIGO_PAINEL) from PAINEL P2 "
    "join CLIENTES C2 on P2.ID_CLIENTE = C2.ID_CLIENTE where C2.ID_GRUPO <> 1 "
    "group by trim(P2.CODIGO_PAINEL) having count(*) > 1) "
    "order by 1, 2");
const QString kFindByCode = QStringLiteral(
    "select C.ID_CLIENTE, C.NOME, trim(P.CODIGO_PAINEL), trim(P.CODIGO_PC), C.PRODUTO, C.VERSAO_PRODUTO "
    "from PAINEL P join CLIENTES C on P.ID_CLIENTE = C.ID_CLIENTE "
    "where C.ID_GRUPO <> 1 and trim(P.CODIGO_PAINEL) = ? order by C.ID_CLIENTE");

QString textOf(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

} // namespace

namespace CallingCustomers {

bool CountListening(DbConnection& db, int* count, QString* error) {
    bool ok = false;
    const QVariant value = db.SelectValue(kCountListening, {}, &ok);
    if (!ok) {
        *error = db.LastError();
        return false;
    }
    *count = value.toInt();
    return true;
}

bool SharedPanelCodes(DbConnection& db, QList<SharedPanelCode>* shared, QString* error) {
    bool ok = false;
    const QList<QVariantList> rows = db.SelectRows(kSharedCodes, {}, &ok);
    if (!ok) {
        *error = db.LastError();
        return false;
    }
    shared->clear();
    for (const QVariantList& row : rows)
        shared->append({textOf(row.value(0)), textOf(row.value(1))});
    return true;
}

bool FindByPanelCode(DbConnection& db, const QString& panelCode, std::optional<CallingCustomer>* found,
                     QString* error) {
    found->reset();
    bool ok = false;
    const QList<QVariantList> rows = db.SelectRows(kFindByCode, {panelCode.trimmed()}, &ok);
    if (!ok) {
        *error = db.LastError();
        return false;
    }
    if (rows.isEmpty())
        return true;
    const QVariantList& row = rows.first();
    CallingCustomer customer;
    customer.id = row.value(0).toInt();
    customer.nome = textOf(row.value(1));
    customer.codigoPainel = textOf(row.value(2));
    customer.codigoPC = textOf(row.value(3));
    bool number = false;
    const int produto = textOf(row.value(4)).trimmed().toInt(&number);
    customer.produto = number ? produto : -1;
    customer.versaoProduto = textOf(row.value(5));
    *found = customer;
    return true;
}

} // namespace CallingCustomers
