#include "store/fb_statement.h"

#include "store/latin1_text.h"

#include "store/db_connection.h"
#include "store/fb_status.h"
#include "store/store_messages.h"

#include <QDateTime>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

static_assert(sizeof(isc_db_handle) == sizeof(quint32), "handles are kept as 32-bit numbers");

const QDate kBaseDate(1858, 11, 17);

XSQLDA* NewDescriptor(int count) {
    auto* da = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(qMax(count, 1))));
    da->version = SQLDA_VERSION1;
    da->sqln = short(qMax(count, 1));
    return da;
}

int DataSize(short type, short length) {
    switch (type) {
    case SQL_VARYING:
        return length + 2;
    case SQL_TEXT:
        return length;
    case SQL_SHORT:
        return 2;
    case SQL_LONG:
    case SQL_FLOAT:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return 4;
    case SQL_BOOLEAN:
        return 1;
    default:
        return qMax<int>(length, 8);
    }
}

int Align(int offset, int alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

int Alignment(short type) {
    switch (type) {
    case SQL_TEXT:
    case SQL_BOOLEAN:
        return 1;
    case SQL_VARYING:
    case SQL_SHORT:
        return 2;
    case SQL_LONG:
    case SQL_FLOAT:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return 4;
    default:
        return 8;
    }
}

QVariant TypedNull(short type, short scale) {
    switch (type) {
    case SQL_VARYING:
    case SQL_TEXT:
        return QVariant(QMetaType::fromType<QString>());
    case SQL_SHORT:
    case SQL_LONG:
        return scale < 0 ? QVariant(QMetaType::fromType<double>()) : QVariant(QMetaType::fromType<int>());
    case SQL_INT64:
        return scale < 0 ? QVariant(QMetaType::fromType<double>())
                         : QVariant(QMetaType::fromType<qlonglong>());
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return QVariant(QMetaType::fromType<double>());
    case SQL_TYPE_DATE:
        return QVariant(QMetaType::fromType<QDate>());
    case SQL_TYPE_TIME:
        return QVariant(QMetaType::fromType<QTime>());
    case SQL_TIMESTAMP:
        return QVariant(QMetaType::fromType<QDateTime>());
    case SQL_BOOLEAN:
        return QVariant(QMetaType::fromType<bool>());
    default:
        return QVariant(QMetaType::fromType<QString>());
    }
}

template <typename T> T Read(const char* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

template <typename T> void Write(char* p, T value) {
    std::memcpy(p, &value, sizeof value);
}

QVariant Scaled(qint64 value, short scale, bool wide) {
    if (scale < 0)
        return double(value) * std::pow(10.0, scale);
    return wide ? QVariant(qlonglong(value)) : QVariant(int(value));
}

struct ParamShape {
    short type;
    short length;
    short scale;
    short subType;
};

} // namespace

bool FbColumn::IsBlob() const {
    return type == SQL_BLOB;
}

FbStatement::FbStatement(DbConnection& db) : m_db(db) {}

FbStatement::~FbStatement() {
    Release();
}

void FbStatement::Release() {
    if (m_handle) {
        ISC_STATUS_ARRAY status = {};
        isc_stmt_handle handle = m_handle;
        if (m_db.Connected())
            isc_dsql_free_statement(status, &handle, DSQL_drop);
        m_handle = 0;
    }
    std::free(m_out);
    std::free(m_in);
    m_out = m_in = nullptr;
    m_columns.clear();
    m_row.clear();
    m_cursorOpen = false;
    m_singletonPending = false;
    m_hasBlobs = false;
}

bool FbStatement::Prepare(const QString& sql) {
    Release();
    m_sql = sql;
    m_lastError.clear();
    m_lastErrorCodes.clear();
    if (!m_db.StartTransaction()) {
        m_lastError = m_db.LastError();
        return false;
    }
    ISC_STATUS_ARRAY status = {};
    auto fail = [&] {
        m_lastError = FbStatusText(status);
        m_lastErrorCodes = FbStatusCodes(status);
        Release();
        return false;
    };
    isc_db_handle db = m_db.m_db;
    isc_tr_handle tr = m_db.m_tr;
    isc_stmt_handle handle = 0;
    isc_dsql_allocate_statement(status, &db, &handle);
    if (FbFailed(status))
        return fail();
    m_handle = handle;

    XSQLDA* out = NewDescriptor(20);
    m_out = out;
    const QByteArray text = sql.toLatin1();
    isc_dsql_prepare(status, &tr, &handle, 0, text.constData(), SQL_DIALECT_V6, out);
    if (FbFailed(status))
        return fail();
    if (out->sqld > out->sqln) {
        const int count = out->sqld;
        std::free(m_out);
        out = NewDescriptor(count);
        m_out = out;
        isc_dsql_describe(status, &handle, SQL_DIALECT_V6, out);
        if (FbFailed(status))
            return fail();
    }
    XSQLDA* in = NewDescriptor(10);
    m_in = in;
    isc_dsql_describe_bind(status, &handle, SQL_DIALECT_V6, in);
    if (FbFailed(status))
        return fail();
    if (in->sqld > in->sqln) {
        const int count = in->sqld;
        std::free(m_in);
        in = NewDescriptor(count);
        m_in = in;
        isc_dsql_describe_bind(status, &handle, SQL_DIALECT_V6, in);
        if (FbFailed(status))
            return fail();
    }
    // The parameters as described, kept apart: binding changes each one to the value's own type.
    m_shapes = QByteArray(int(sizeof(ParamShape)) * in->sqld, Qt::Uninitialized);
    for (int i = 0; i < in->sqld; ++i) {
        const XSQLVAR& var = in->sqlvar[i];
        Write(m_shapes.data() + i * int(sizeof(ParamShape)),
              ParamShape{short(var.sqltype & ~1), var.sqllen, var.sqlscale, var.sqlsubtype});
    }

    const char typeRequest[] = {isc_info_sql_stmt_type};
    char typeInfo[16] = {};
    isc_dsql_sql_info(status, &handle, sizeof typeRequest, typeRequest, sizeof typeInfo, typeInfo);
    if (FbFailed(status))
        return fail();
    const int length = isc_vax_integer(typeInfo + 1, 2);
    m_statementType = isc_vax_integer(typeInfo + 3, short(length));

    // One buffer holds a whole row: every value, then every null flag.
    int offset = 0;
    for (int i = 0; i < out->sqld; ++i) {
        XSQLVAR& var = out->sqlvar[i];
        FbColumn column;
        column.name = QString::fromLatin1(var.aliasname, var.aliasname_length);
        column.relation = QString::fromLatin1(var.relname, var.relname_length);
        column.type = short(var.sqltype & ~1);
        column.subType = var.sqlsubtype;
        column.scale = var.sqlscale;
        column.length = var.sqllen;
        offset = Align(offset, Alignment(column.type));
        column.offset = offset;
        offset += DataSize(column.type, column.length);
        m_hasBlobs = m_hasBlobs || column.IsBlob();
        m_columns << column;
    }
    for (FbColumn& column : m_columns) {
        offset = Align(offset, 2);
        column.nullOffset = offset;
        offset += 2;
    }
    m_row = QByteArray(offset, '\0');
    for (int i = 0; i < out->sqld; ++i) {
        XSQLVAR& var = out->sqlvar[i];
        var.sqltype = short(var.sqltype | 1); // always told whether a value is null
        var.sqldata = m_row.data() + m_columns[i].offset;
        var.sqlind = reinterpret_cast<short*>(m_row.data() + m_columns[i].nullOffset);
    }
    return true;
}

bool FbStatement::BindParameters(const QVariantList& params) {
    auto* in = static_cast<XSQLDA*>(m_in);
    if (params.size() != in->sqld) {
        m_lastError = MsgParameterCount(in->sqld, int(params.size()));
        return false;
    }
    const auto* shapes = reinterpret_cast<const ParamShape*>(m_shapes.constData());
    QList<ParamShape> chosen;
    QList<QByteArray> bytes(params.size());
    int offset = 0;
    QList<int> offsets;
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& value = params[i];
        const ParamShape& described = shapes[i];
        ParamShape shape = described;
        const int id = value.metaType().id();
        if ((id == QMetaType::QString || id == QMetaType::QChar) && !IsLatin1Text(value.toString())) {
            m_lastError = MsgTextNotLatin1(value.toString());
            return false;
        }
        if (value.isNull()) {
            // The described type, flagged null.
        } else if (described.type == SQL_BLOB) {
            bytes[i] = id == QMetaType::QByteArray ? value.toByteArray() : value.toString().toLatin1();
        } else if (id == QMetaType::QString || id == QMetaType::QByteArray || id == QMetaType::QChar) {
            bytes[i] = id == QMetaType::QByteArray ? value.toByteArray() : value.toString().toLatin1();
            shape = {SQL_TEXT, short(qMin<qsizetype>(bytes[i].size(), 32765)), 0, kFbCharsetIso8859_1};
        } else if (id == QMetaType::Bool) {
            shape = {SQL_BOOLEAN, 1, 0, 0};
        } else if (id == QMetaType::Int || id == QMetaType::UInt || id == QMetaType::LongLong ||
                   id == QMetaType::ULongLong || id == QMetaType::Short || id == QMetaType::UShort ||
                   id == QMetaType::Long || id == QMetaType::ULong || id == QMetaType::Char ||
                   id == QMetaType::UChar || id == QMetaType::SChar) {
            shape = {SQL_INT64, 8, 0, 0};
        } else if (id == QMetaType::Double || id == QMetaType::Float) {
            shape = {SQL_DOUBLE, 8, 0, 0};
        } else if (id == QMetaType::QDate) {
            shape = {SQL_TYPE_DATE, 4, 0, 0};
        } else if (id == QMetaType::QTime) {
            shape = {SQL_TYPE_TIME, 4, 0, 0};
        } else if (id == QMetaType::QDateTime) {
            shape = {SQL_TIMESTAMP, 8, 0, 0};
        } else {
            bytes[i] = value.toString().toLatin1();
            shape = {SQL_TEXT, short(qMin<qsizetype>(bytes[i].size(), 32765)), 0, kFbCharsetIso8859_1};
        }
        offset = Align(offset, Alignment(shape.type));
        offsets << offset;
        offset += DataSize(shape.type, shape.length);
        chosen << shape;
    }
    QList<int> nullOffsets;
    for (int i = 0; i < params.size(); ++i) {
        offset = Align(offset, 2);
        nullOffsets << offset;
        offset += 2;
    }
    // The values live in the statement until the next execution.
    m_paramBuffer = QByteArray(offset, '\0');
    char* buffer = m_paramBuffer.data();
    for (int i = 0; i < params.size(); ++i) {
        XSQLVAR& var = in->sqlvar[i];
        const ParamShape& shape = chosen[i];
        var.sqltype = short(shape.type | 1);
        var.sqllen = shape.length;
        var.sqlscale = shape.scale;
        var.sqlsubtype = shape.subType;
        var.sqldata = buffer + offsets[i];
        var.sqlind = reinterpret_cast<short*>(buffer + nullOffsets[i]);
        const QVariant& value = params[i];
        char* p = var.sqldata;
        if (value.isNull()) {
            *var.sqlind = -1;
            continue;
        }
        switch (shape.type) {
        case SQL_BLOB:
            if (!WriteBlob(bytes[i], p))
                return false;
            break;
        case SQL_TEXT:
            std::memcpy(p, bytes[i].constData(), size_t(shape.length));
            break;
        case SQL_BOOLEAN:
            *p = value.toBool() ? 1 : 0;
            break;
        case SQL_INT64:
            Write<qint64>(p, value.toLongLong());
            break;
        case SQL_DOUBLE:
            Write<double>(p, value.toDouble());
            break;
        case SQL_TYPE_DATE:
            Write<ISC_DATE>(p, ISC_DATE(kBaseDate.daysTo(value.toDate())));
            break;
        case SQL_TYPE_TIME:
            Write<ISC_TIME>(p, ISC_TIME(QTime(0, 0).msecsTo(value.toTime()) * 10));
            break;
        case SQL_TIMESTAMP: {
            const QDateTime when = value.toDateTime();
            ISC_TIMESTAMP stamp;
            stamp.timestamp_date = ISC_DATE(kBaseDate.daysTo(when.date()));
            stamp.timestamp_time = ISC_TIME(QTime(0, 0).msecsTo(when.time()) * 10);
            Write(p, stamp);
            break;
        }
        default:
            break;
        }
    }
    return true;
}

bool FbStatement::Execute(const QVariantList& params) {
    m_lastError.clear();
    m_lastErrorCodes.clear();
    if (!m_handle) {
        if (m_lastError.isEmpty())
            m_lastError = MsgStatementNotPrepared();
        return false;
    }
    if (!m_db.StartTransaction()) {
        m_lastError = m_db.LastError();
        return false;
    }
    CloseCursor();
    if (!BindParameters(params))
        return false;
    ISC_STATUS_ARRAY status = {};
    isc_tr_handle tr = m_db.m_tr;
    isc_stmt_handle handle = m_handle;
    auto* in = static_cast<XSQLDA*>(m_in);
    auto* out = static_cast<XSQLDA*>(m_out);
    XSQLDA* inArg = in->sqld > 0 ? in : nullptr;
    if (m_statementType == isc_info_sql_stmt_exec_procedure && out->sqld > 0) {
        isc_dsql_execute2(status, &tr, &handle, SQL_DIALECT_V6, inArg, out);
        m_singletonPending = !FbFailed(status);
    } else {
        isc_dsql_execute(status, &tr, &handle, SQL_DIALECT_V6, inArg);
        m_cursorOpen = !FbFailed(status) && out->sqld > 0;
    }
    if (FbFailed(status)) {
        m_lastError = FbStatusText(status);
        m_lastErrorCodes = FbStatusCodes(status);
        return false;
    }
    return true;
}

bool FbStatement::Fetch() {
    if (m_singletonPending) {
        m_singletonPending = false;
        return true;
    }
    if (!m_cursorOpen)
        return false;
    ISC_STATUS_ARRAY status = {};
    isc_stmt_handle handle = m_handle;
    const ISC_STATUS result = isc_dsql_fetch(status, &handle, SQL_DIALECT_V6, static_cast<XSQLDA*>(m_out));
    if (result == 0)
        return true;
    if (result != 100) {
        m_lastError = FbStatusText(status);
        m_lastErrorCodes = FbStatusCodes(status);
        CloseCursor();
        return false;
    }
    CloseCursor();
    return false;
}

void FbStatement::CloseCursor() {
    m_singletonPending = false;
    if (!m_cursorOpen || !m_handle)
        return;
    ISC_STATUS_ARRAY status = {};
    isc_stmt_handle handle = m_handle;
    isc_dsql_free_statement(status, &handle, DSQL_close);
    m_cursorOpen = false;
}

QVariant FbStatement::Decode(const FbColumn& column, const char* row) {
    if (Read<short>(row + column.nullOffset) < 0)
        return TypedNull(column.type, column.scale);
    const char* p = row + column.offset;
    const bool octets = (column.subType & 0xFF) == kFbCharsetOctets;
    switch (column.type) {
    case SQL_VARYING: {
        const short length = Read<short>(p);
        return octets ? QVariant(QByteArray(p + 2, length)) : QVariant(QString::fromLatin1(p + 2, length));
    }
    case SQL_TEXT:
        return octets ? QVariant(QByteArray(p, column.length))
                      : QVariant(QString::fromLatin1(p, column.length));
    case SQL_SHORT:
        return Scaled(Read<short>(p), column.scale, false);
    case SQL_LONG:
        return Scaled(Read<qint32>(p), column.scale, false);
    case SQL_INT64:
        return Scaled(Read<qint64>(p), column.scale, true);
    case SQL_FLOAT:
        return double(Read<float>(p));
    case SQL_DOUBLE:
        return Read<double>(p);
    case SQL_TYPE_DATE:
        return kBaseDate.addDays(Read<ISC_DATE>(p));
    case SQL_TYPE_TIME:
        return QTime(0, 0).addMSecs(int(Read<ISC_TIME>(p) / 10));
    case SQL_TIMESTAMP: {
        const auto stamp = Read<ISC_TIMESTAMP>(p);
        return QDateTime(kBaseDate.addDays(stamp.timestamp_date),
                         QTime(0, 0).addMSecs(int(stamp.timestamp_time / 10)));
    }
    case SQL_BOOLEAN:
        return *p != 0;
    default:
        return {};
    }
}

bool FbStatement::IsNull(int column) const {
    if (column < 0 || column >= m_columns.size())
        return true;
    return Read<short>(m_row.constData() + m_columns[column].nullOffset) < 0;
}

qint64 FbStatement::IntegerAt(int column) const {
    if (IsNull(column))
        return 0;
    const FbColumn& c = m_columns[column];
    const char* p = m_row.constData() + c.offset;
    switch (c.type) {
    case SQL_SHORT:
        return Read<short>(p);
    case SQL_LONG:
        return Read<qint32>(p);
    case SQL_INT64:
        return Read<qint64>(p);
    default:
        return 0;
    }
}

QByteArrayView FbStatement::TextAt(int column) const {
    if (IsNull(column))
        return {};
    const FbColumn& c = m_columns[column];
    const char* p = m_row.constData() + c.offset;
    switch (c.type) {
    case SQL_VARYING:
        return QByteArrayView(p + 2, Read<short>(p));
    case SQL_TEXT:
        return QByteArrayView(p, c.length);
    default:
        return {};
    }
}

qint32 FbStatement::JulianDayAt(int column) const {
    if (IsNull(column) || m_columns[column].type != SQL_TYPE_DATE)
        return 0;
    return qint32(kBaseDate.toJulianDay()) + Read<ISC_DATE>(m_row.constData() + m_columns[column].offset);
}

qint32 FbStatement::MsecsOfDayAt(int column) const {
    if (IsNull(column) || m_columns[column].type != SQL_TYPE_TIME)
        return -1;
    return qint32(Read<ISC_TIME>(m_row.constData() + m_columns[column].offset) / 10);
}

QVariant FbStatement::Value(int column) {
    if (column < 0 || column >= m_columns.size())
        return {};
    const FbColumn& c = m_columns[column];
    if (!c.IsBlob())
        return Decode(c, m_row.constData());
    if (Read<short>(m_row.constData() + c.nullOffset) < 0)
        return c.subType == 1 ? QVariant(QMetaType::fromType<QString>())
                              : QVariant(QMetaType::fromType<QByteArray>());
    return ReadBlob(m_row.constData() + c.offset, c.subType);
}

QVariant FbStatement::ReadBlob(const char* blobId, short subType) {
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = m_db.m_db;
    isc_tr_handle tr = m_db.m_tr;
    isc_blob_handle blob = 0;
    ISC_QUAD id = Read<ISC_QUAD>(blobId);
    isc_open_blob2(status, &db, &tr, &blob, &id, 0, nullptr);
    if (FbFailed(status)) {
        m_lastError = FbStatusText(status);
        return {};
    }
    QByteArray bytes;
    char segment[32768];
    for (;;) {
        unsigned short length = 0;
        const ISC_STATUS result = isc_get_segment(status, &blob, &length, sizeof segment, segment);
        if (result == 0 || result == isc_segment) {
            bytes.append(segment, length);
            continue;
        }
        if (result != isc_segstr_eof) {
            // Part of the text is no text: the field reads as failed, never cut short.
            m_lastError = FbStatusText(status);
            m_lastErrorCodes = FbStatusCodes(status);
            ISC_STATUS_ARRAY ignored = {};
            isc_close_blob(ignored, &blob);
            return {};
        }
        break;
    }
    isc_close_blob(status, &blob);
    return subType == 1 ? QVariant(QString::fromLatin1(bytes)) : QVariant(bytes);
}

bool FbStatement::WriteBlob(const QByteArray& bytes, char* blobId) {
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = m_db.m_db;
    isc_tr_handle tr = m_db.m_tr;
    isc_blob_handle blob = 0;
    ISC_QUAD id;
    isc_create_blob2(status, &db, &tr, &blob, &id, 0, nullptr);
    for (qsizetype at = 0; !FbFailed(status) && at < bytes.size(); at += 32767) {
        const auto length = static_cast<unsigned short>(qMin<qsizetype>(bytes.size() - at, 32767));
        isc_put_segment(status, &blob, length, bytes.constData() + at);
    }
    if (!FbFailed(status))
        isc_close_blob(status, &blob);
    if (FbFailed(status)) {
        m_lastError = FbStatusText(status);
        m_lastErrorCodes = FbStatusCodes(status);
        ISC_STATUS_ARRAY ignored = {};
        isc_cancel_blob(ignored, &blob);
        return false;
    }
    Write(blobId, id);
    return true;
}

int FbStatement::RowsAffected() {
    if (!m_handle)
        return -1;
    char kind;
    switch (m_statementType) {
    case isc_info_sql_stmt_insert:
        kind = isc_info_req_insert_count;
        break;
    case isc_info_sql_stmt_update:
        kind = isc_info_req_update_count;
        break;
    case isc_info_sql_stmt_delete:
        kind = isc_info_req_delete_count;
        break;
    case isc_info_sql_stmt_select:
        kind = isc_info_req_select_count;
        break;
    default:
        return -1;
    }
    ISC_STATUS_ARRAY status = {};
    isc_stmt_handle handle = m_handle;
    const char request[] = {isc_info_sql_records};
    char buffer[64] = {};
    isc_dsql_sql_info(status, &handle, sizeof request, request, sizeof buffer, buffer);
    if (FbFailed(status) || buffer[0] != isc_info_sql_records)
        return -1;
    for (const char* p = buffer + 3; *p != isc_info_end && p < buffer + sizeof buffer - 3;) {
        const char type = *p++;
        const short length = short(isc_vax_integer(p, 2));
        p += 2;
        const int value = isc_vax_integer(p, length);
        p += length;
        if (type == kind)
            return value;
    }
    return -1;
}
