#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <cstdint>
#include <functional>

class DbConnection;

// The columns of the customer list, in the order of its select (kCustomerListSelect) and of the
// grid's definition.
enum CustomerListField : int {
    ID_CLIENTE,
    NOME,
    FONE1,
    FONE2,
    FONE3,
    DATA_CRIACAO,
    HORA_CRIACAO,
    PRODUTO,
    VERSAO_PRODUTO,
    CODIGO_PAINEL,
    CODIGO_PC,
    FONE_PAINEL,
    P_ENDERECO,
    P_NUMERO,
    P_COMPLEMENTO,
    P_BAIRRO,
    P_CIDADE,
    P_CEP,
    P_ESTADO,
    CustomerListFieldCount
};

// Field name ("ID_CLIENTE") and grid title ("Nº do Cliente") of a column.
QString CustomerListFieldName(int field);
QString CustomerListTitle(int field);
// The field with that name (letter case ignored, blanks trimmed), or -1.
int CustomerListFieldByName(const QString& name);

// The visible columns named by a "Colunas" setting, in its order: names are split at commas and
// trimmed, a name that matches no column is skipped and a repeated one counts once.
QVector<int> ColumnsFromSetting(const QString& colunas);

// The search keys of the "Localizar por" button, in the order of its popup, and their fields.
struct SearchKey {
    QString caption; // "Nome", "Nº do Cliente", ...
    int field;
};
const QVector<SearchKey>& SearchKeys();
// The field a button caption searches: "Localizar por " and every "&" removed, then looked up
// among the keys; NOME when the caption names none.
int SearchFieldFromCaption(const QString& caption);

// Every customer of one list select, held compactly so that a hundred thousand rows stay small and
// fast: numbers, dates and times as integers, every text as Latin-1 bytes (the database's character
// set) in one pool, one row a fixed record and an offset into the pool. The rows are kept in the
// order the database returned them; Sort() builds a view order over them and Find() walks it.
class CustomerList {
public:
    // Called after every kChunkRows rows while a select streams in, so that the caller can keep its
    // window alive.
    using ChunkHook = std::function<void()>;
    static constexpr int kChunkRows = 4096;

    // Reads the whole select (the customer list statement with its where clause, parameters
    // positional) through a statement of the data module's connection, in its transaction, row by
    // row into the compact store. On failure the list is left as it was and *error tells why.
    bool Load(DbConnection& db, const QString& sql, const QVariantList& params, QString* error = nullptr,
              const ChunkHook& betweenChunks = {});
    void Clear();
    // Reads one customer again with the same select (its key added to the where clause): its row
    // is replaced, added at the end when it is new, or dropped when the select no longer returns
    // it. The view order is kept; the caller sorts again. *present tells whether the customer is
    // on the list now.
    bool Refresh(DbConnection& db, const QString& sql, const QVariantList& params, int id, bool* present,
                 QString* error = nullptr);

    int Count() const { return int(m_order.size()); }
    // Rows are counted in view order (the current sort).
    int Id(int row) const;
    bool IsNull(int row, int field) const;
    // The value as the database gave it: int for ID_CLIENTE and P_ESTADO, QDate, QTime, else text.
    QVariant Value(int row, int field) const;
    // The raw field text (numbers in decimal, dates "dd/mm/yyyy", times "hh:mm:ss").
    QString Text(int row, int field) const;
    // What the grid shows: the model name for PRODUTO (judged with the row's own VERSAO_PRODUTO),
    // the state name for P_ESTADO, else the field text.
    QString DisplayText(int row, int field) const;

    // The view row of a customer key, or -1.
    int RowOfId(int id) const;

    // Sorts the view by one field as the database's "order by" would: numbers and dates by value,
    // texts by their bytes, missing values first when ascending and last when descending. Equal
    // values keep their relative order. Unsort() goes back to the database's order.
    void Sort(int field, bool descending);
    void Unsort();

    // The first view row from `from` on whose field starts with `text`, letter case ignored; -1
    // when none does (or when the text holds a character the database cannot store).
    int Find(int field, const QString& text, int from = 0) const;

    // Bytes held by the rows (for the benchmark).
    qint64 MemoryBytes() const;

private:
    struct Row {
        qint32 id;
        qint32 date;   // Julian day, 0 when missing
        qint32 time;   // milliseconds since midnight, -1 when missing
        qint32 state;  // P_ESTADO
        quint32 nulls; // bit per field
        quint32 text;  // offset of the row's texts in the pool
    };
    const Row& RowAt(int row) const { return m_rows[m_order[row]]; }
    // Runs the select and appends every row it returns to `rows` and `pool`, decoding each field in
    // the statement's row buffer.
    static bool ReadRows(DbConnection& db, const QString& sql, const QVariantList& params, QVector<Row>& rows,
                         QByteArray& pool, QString* error, const ChunkHook& betweenChunks);
    // The bytes of a text field of a stored row.
    QByteArrayView TextBytes(const Row& r, int field) const;
    bool Less(const Row& a, const Row& b, int field) const;

    QVector<Row> m_rows;
    QVector<int> m_order; // view row -> stored row
    QByteArray m_pool;    // per row: one length byte and the Latin-1 bytes of each text field
};
