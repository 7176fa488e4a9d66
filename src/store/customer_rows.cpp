#include "store/customer_rows.h"

#include "store/data_set.h"
#include "store/db_connection.h"

namespace {

// The first row of a select as column to value; an empty map when there is none.
bool ReadRow(DbConnection& db, const QString& sql, const QVariant& key, QVariantMap* row, QString* error) {
    DataSet set(db, QStringLiteral("CustomerRows"));
    set.SetSelectSql(sql, {key});
    if (!set.Open()) {
        if (error)
            *error = set.LastError();
        return false;
    }
    row->clear();
    if (!set.IsEmpty()) {
        for (const QString& field : set.FieldNames())
            row->insert(field.toUpper(), set.Value(field));
    }
    set.Close();
    return true;
}

bool ReadStateName(DbConnection& db, const QVariant& estado, QString* name, QString* error) {
    name->clear();
    bool numeric = false;
    const int id = estado.toInt(&numeric);
    if (estado.isNull() || !numeric)
        return true;
    QVariantMap row;
    if (!ReadRow(db, QStringLiteral("select E.ESTADO from ESTADOS E where E.ID_ESTADO = ?"), id, &row, error))
        return false;
    *name = row.value(QStringLiteral("ESTADO")).toString();
    return true;
}

} // namespace

bool ReadCustomerRows(DbConnection& db, int idCliente, CustomerRows* rows, QString* error) {
    *rows = CustomerRows();
    if (!ReadRow(db, QStringLiteral("select C.* from CLIENTES C where C.ID_CLIENTE = ?"), idCliente,
                 &rows->clientes, error))
        return false;
    if (!rows->Found())
        return true;
    if (!ReadRow(db, QStringLiteral("select P.* from PAINEL P where P.ID_CLIENTE = ?"), idCliente,
                 &rows->painel, error))
        return false;
    if (!ReadStateName(db, rows->clientes.value(QStringLiteral("ESTADO")), &rows->estadoCliente, error) ||
        !ReadStateName(db, rows->painel.value(QStringLiteral("P_ESTADO")), &rows->estadoPainel, error))
        return false;
    const QVariant idPainel = rows->painel.value(QStringLiteral("ID_PAINEL"));
    if (idPainel.isNull())
        return true;
    const struct {
        const char* select;
        QVariantMap CustomerRows::*row;
    } tables[] = {
        {"select Z.* from ZONAS Z where Z.ID_PAINEL = ?", &CustomerRows::zonas},
        {"select U.* from USUARIOS U where U.ID_PAINEL = ?", &CustomerRows::usuarios},
        {"select T.* from TEMPOS T where T.ID_PAINEL = ?", &CustomerRows::tempos},
        {"select F.* from FONES F where F.ID_PAINEL = ?", &CustomerRows::fones},
        {"select O.* from OPCOES O where O.ID_PAINEL = ?", &CustomerRows::opcoes},
        {"select R.* from REPORT R where R.ID_PAINEL = ?", &CustomerRows::report},
    };
    for (const auto& table : tables) {
        if (!ReadRow(db, QString::fromLatin1(table.select), idPainel, &(rows->*table.row), error))
            return false;
    }
    return true;
}
