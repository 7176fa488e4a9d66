#include "workspace/customer_list_reader.h"

#include "store/database_credentials.h"
#include "store/firebird_client.h"

#include <ibase.h>

#include <memory>
#include <vector>

namespace {

QString StatusText(const ISC_STATUS* status) {
    QString text;
    char buffer[512];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QString::fromLocal8Bit(buffer);
    }
    return text;
}

void AppendDpb(QByteArray& dpb, char tag, const QByteArray& value) {
    dpb.append(tag);
    dpb.append(char(std::min<qsizetype>(value.size(), 255)));
    dpb.append(value.left(255));
}

// Days from the engine's day 0 (17 November 1858) to the Julian day count.
constexpr qint32 kIscDateToJulianDay = 2400001;

struct Handles {
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    isc_stmt_handle stmt = 0;
    ~Handles() {
        ISC_STATUS_ARRAY status;
        if (stmt)
            isc_dsql_free_statement(status, &stmt, DSQL_drop);
        if (tr)
            isc_commit_transaction(status, &tr);
        if (db)
            isc_detach_database(status, &db);
    }
};

XSQLDA* NewSqlda(int count, std::unique_ptr<char[]>& storage) {
    storage.reset(new char[XSQLDA_LENGTH(count)]());
    auto* sqlda = reinterpret_cast<XSQLDA*>(storage.get());
    sqlda->version = SQLDA_VERSION1;
    sqlda->sqln = short(count);
    return sqlda;
}

} // namespace

bool ReadRawRows(const QString& databaseName, const QString& sql, const QVariantList& params, int columns,
                 const std::function<void(const RawField* fields)>& row, QString* error) {
    PrepareFirebirdEnvironment();
    ISC_STATUS_ARRAY status;
    auto fail = [&](const ISC_STATUS* st) {
        if (error)
            *error = StatusText(st);
        return false;
    };
    Handles h;
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    AppendDpb(dpb, isc_dpb_user_name, kDatabaseUser.toUtf8());
    AppendDpb(dpb, isc_dpb_password, kDatabasePassword.toUtf8());
    AppendDpb(dpb, isc_dpb_lc_ctype, kDatabaseCharacterSet.toUtf8());
    const QByteArray name = NormalizeDatabaseName(databaseName).toLocal8Bit();
    if (isc_attach_database(status, 0, name.constData(), &h.db, short(dpb.size()), dpb.constData()))
        return fail(status);
    static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version,
                               isc_tpb_nowait};
    if (isc_start_transaction(status, &h.tr, 1, &h.db, short(sizeof tpb), tpb))
        return fail(status);
    if (isc_dsql_allocate_statement(status, &h.db, &h.stmt))
        return fail(status);

    std::unique_ptr<char[]> outStorage;
    XSQLDA* out = NewSqlda(columns, outStorage);
    const QByteArray text = sql.toLatin1();
    if (isc_dsql_prepare(status, &h.tr, &h.stmt, 0, text.constData(), SQL_DIALECT_V6, out))
        return fail(status);
    if (out->sqld != columns) {
        if (error)
            *error =
                QStringLiteral("A consulta devolve %1 colunas em vez de %2.").arg(out->sqld).arg(columns);
        return false;
    }

    // Parameters: integers.
    std::unique_ptr<char[]> inStorage;
    XSQLDA* in = NewSqlda(std::max(1, int(params.size())), inStorage);
    std::vector<ISC_LONG> values(params.size());
    std::vector<short> inNulls(params.size(), 0);
    if (!params.isEmpty()) {
        if (isc_dsql_describe_bind(status, &h.stmt, SQL_DIALECT_V6, in))
            return fail(status);
        if (in->sqld != params.size()) {
            if (error)
                *error = QStringLiteral("A consulta espera %1 parâmetros.").arg(in->sqld);
            return false;
        }
        for (int i = 0; i < params.size(); ++i) {
            values[i] = ISC_LONG(params[i].toInt());
            XSQLVAR& var = in->sqlvar[i];
            var.sqltype = SQL_LONG | 1;
            var.sqllen = sizeof(ISC_LONG);
            var.sqlscale = 0;
            var.sqldata = reinterpret_cast<char*>(&values[i]);
            var.sqlind = &inNulls[i];
        }
    }

    // Output buffers, one per column.
    std::vector<std::vector<char>> buffers(columns);
    std::vector<short> nulls(columns, 0);
    for (int i = 0; i < columns; ++i) {
        XSQLVAR& var = out->sqlvar[i];
        const int type = var.sqltype & ~1;
        buffers[i].resize(size_t(var.sqllen) + (type == SQL_VARYING ? sizeof(short) : 0) + 8);
        var.sqldata = buffers[i].data();
        var.sqlind = &nulls[i];
        var.sqltype |= 1;
    }
    if (isc_dsql_execute(status, &h.tr, &h.stmt, SQL_DIALECT_V6, params.isEmpty() ? nullptr : in))
        return fail(status);

    std::vector<RawField> fields(columns);
    ISC_STATUS fetch;
    while ((fetch = isc_dsql_fetch(status, &h.stmt, SQL_DIALECT_V6, out)) == 0) {
        for (int i = 0; i < columns; ++i) {
            const XSQLVAR& var = out->sqlvar[i];
            RawField& f = fields[i];
            f = RawField{};
            if (nulls[i] < 0)
                continue;
            const char* data = var.sqldata;
            switch (var.sqltype & ~1) {
            case SQL_VARYING: {
                short length = 0;
                memcpy(&length, data, sizeof length);
                f.kind = RawField::Kind::Text;
                f.text = QByteArrayView(data + sizeof(short), length);
                break;
            }
            case SQL_TEXT: {
                int length = var.sqllen;
                while (length > 0 && data[length - 1] == ' ')
                    --length;
                f.kind = RawField::Kind::Text;
                f.text = QByteArrayView(data, length);
                break;
            }
            case SQL_SHORT: {
                short v;
                memcpy(&v, data, sizeof v);
                f.kind = RawField::Kind::Integer;
                f.integer = v;
                break;
            }
            case SQL_LONG: {
                ISC_LONG v;
                memcpy(&v, data, sizeof v);
                f.kind = RawField::Kind::Integer;
                f.integer = v;
                break;
            }
            case SQL_INT64: {
                ISC_INT64 v;
                memcpy(&v, data, sizeof v);
                f.kind = RawField::Kind::Integer;
                f.integer = v;
                break;
            }
            case SQL_TYPE_DATE: {
                ISC_DATE v;
                memcpy(&v, data, sizeof v);
                f.kind = RawField::Kind::Date;
                f.julianDay = qint32(v) + kIscDateToJulianDay;
                break;
            }
            case SQL_TYPE_TIME: {
                ISC_TIME v;
                memcpy(&v, data, sizeof v);
                f.kind = RawField::Kind::Time;
                f.msecsOfDay = qint32(v / 10);
                break;
            }
            default:
                break; // a kind the list does not show stays empty
            }
        }
        row(fields.data());
    }
    if (fetch != 100)
        return fail(status);
    return true;
}
