#include "store/customer_index.h"

#include "store/db_connection.h"
#include "store/schema_tables.h"

namespace {

const QString kSelect = QStringLiteral(
    "select ID_CLIENTE, NOME, PRODUTO, VERSAO_PRODUTO, ID_GRUPO from CLIENTES order by ID_CLIENTE");

} // namespace

bool ReadCustomerIndex(DbConnection& db, QList<CustomerIndexRow>* rows, QString* error) {
    bool ok = false;
    const QList<QVariantList> found = db.SelectRows(kSelect, {}, &ok);
    if (!ok) {
        *error = db.LastError();
        return false;
    }
    rows->clear();
    for (const QVariantList& row : found)
        rows->append({row.value(0).toInt(), row.value(1).toString().trimmed(),
                      row.value(2).toString().trimmed(), row.value(3).toString().trimmed(),
                      row.value(4).toInt() == kRecycleBinGroup});
    return true;
}
