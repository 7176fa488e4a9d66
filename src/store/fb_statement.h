#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QVariant>

class DbConnection;

// One column of a statement's result: where its value and null flag sit in a row buffer, and how
// to turn the bytes into a value.
struct FbColumn {
    QString name;     // the alias the select gives it (the column name otherwise)
    QString relation; // table it comes from, when any
    short type = 0;   // engine type (SQL_VARYING, SQL_LONG, ...) without the null flag
    short subType = 0;
    short scale = 0;
    short length = 0;
    int offset = 0;     // value in the row buffer
    int nullOffset = 0; // null indicator (a short) in the row buffer
    bool IsBlob() const;
};

// A prepared statement of the connection, over the client library: positional parameters
// ("?") bound from values, never pasted into the text; rows fetched one at a time into one
// buffer whose bytes a data set may keep as they are and decode when a field is read. Text
// travels in ISO8859_1, the connection's character set; text blobs are read and written whole.
class FbStatement {
public:
    explicit FbStatement(DbConnection& db);
    ~FbStatement();
    FbStatement(const FbStatement&) = delete;
    FbStatement& operator=(const FbStatement&) = delete;

    bool Prepare(const QString& sql);
    QString Sql() const { return m_sql; }
    // Runs the statement with its parameters in the connection's transaction. A select opens
    // its cursor (closing one left open); Fetch() then moves through the rows.
    bool Execute(const QVariantList& params = {});
    // The next row into the row buffer; false at the end and on error (LastError() tells).
    bool Fetch();
    void CloseCursor();
    bool ReturnsRows() const { return !m_columns.isEmpty(); }
    bool HasBlobColumns() const { return m_hasBlobs; }

    const QList<FbColumn>& Columns() const { return m_columns; }
    // The current row's buffer and its size (the same for every row of the statement).
    const char* RowData() const { return m_row.constData(); }
    int RowSize() const { return m_row.size(); }
    // A field of the current row (blobs read from the database).
    QVariant Value(int column);
    // A field from a row buffer of this statement's shape; blobs are not readable this way.
    static QVariant Decode(const FbColumn& column, const char* row);

    // Fields of the current row read in place, for readers that stream many rows and keep them in
    // their own compact form: no value object per field. Each answers its empty value for a null
    // field or a column of another kind.
    bool IsNull(int column) const;
    // An integer column (SMALLINT, INTEGER, BIGINT without decimals).
    qint64 IntegerAt(int column) const;
    // A text column's ISO8859_1 bytes, valid until the next Fetch().
    QByteArrayView TextAt(int column) const;
    // A DATE as its Julian day (0 when null); a TIME as milliseconds since midnight (-1 when null).
    qint32 JulianDayAt(int column) const;
    qint32 MsecsOfDayAt(int column) const;

    // Rows inserted, updated or deleted by the last execution; -1 when unknown.
    int RowsAffected();

    QString LastError() const { return m_lastError; }
    // The engine's error codes of the last failure (isc_unique_key_violation and the like).
    QList<long> LastErrorCodes() const { return m_lastErrorCodes; }

private:
    bool BindParameters(const QVariantList& params);
    QVariant ReadBlob(const char* blobId, short subType);
    bool WriteBlob(const QByteArray& bytes, char* blobId);
    void Release();

    DbConnection& m_db;
    QString m_sql;
    quint32 m_handle = 0;
    int m_statementType = 0;
    void* m_out = nullptr; // XSQLDA of the result
    void* m_in = nullptr;  // XSQLDA of the parameters
    QByteArray m_row;
    QByteArray m_shapes;      // the parameters as described at prepare
    QByteArray m_paramBuffer; // the values bound for the current execution
    QList<FbColumn> m_columns;
    bool m_hasBlobs = false;
    bool m_cursorOpen = false;
    bool m_singletonPending = false;
    QString m_lastError;
    QList<long> m_lastErrorCodes;
};
