#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class DbConnection;
class FbStatement;
struct FbColumn;

// The statements an editable data set keeps for its table: insert (every column, key included),
// update (every column, key included, where the key equals the old key), delete (by the old key)
// and refresh (every column by the key). All take their values as positional parameters.
struct DataSetStatements {
    QString table;
    QString keyColumn;
    QString generator; // empty: the program gives the key itself (ESTADOS)
    QStringList columns;
    QString insertSql;
    QString updateSql;
    QString deleteSql;
    QString refreshSql;

    static DataSetStatements ForTable(const QString& table, const QString& keyColumn,
                                      const QString& generator, const QStringList& columns);
    // A set that may only delete rows of its table by key (the event viewer).
    static DataSetStatements DeleteOnly(const QString& table, const QString& keyColumn);
    bool CanInsert() const { return !insertSql.isEmpty(); }
    bool CanUpdate() const { return !updateSql.isEmpty(); }
    bool CanDelete() const { return !deleteSql.isEmpty(); }
};

// A named set of rows from one select, as the screens use it: open and close, move through the
// rows, read fields by name, edit or insert one row in a buffer and post it, delete a row.
// Rows are fetched from the engine as the set moves through them (FetchAll() takes the rest) and
// kept as the bytes the engine delivered, decoded when a field is read, so a list of a hundred
// thousand customers costs little more than its data. Committing retaining keeps the cursor; when
// the transaction ends for good the set runs its select again, skipping the rows it already
// holds, should it need more. Text blobs are read and written as text.
class DataSet : public QObject {
    Q_OBJECT
    // A row is either the engine's bytes (in the store, by index) or, once written by the
    // program or when its select has blobs, its values.
    struct Row {
        qint32 stored = -1;
        QVariantList values;
        // For a row the program wrote: the values as the engine read them back right after, which
        // a later save compares with the row in the database (see EnsureRowUnchanged).
        QVariantList written;
    };

public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum LocateOption { CaseInsensitive = 0x1, PartialKey = 0x2 };

    DataSet(DbConnection& db, const QString& name, QObject* parent = nullptr);
    ~DataSet() override;

    QString Name() const { return m_name; }
    DbConnection& Connection() const { return m_db; }

    // The select of the set with its positional parameters; takes effect at the next Open().
    void SetSelectSql(const QString& sql, const QVariantList& params = {});
    QString SelectSql() const { return m_selectSql; }
    QVariantList SelectParams() const { return m_selectParams; }

    // The write statements; without them the set is read only.
    void SetStatements(const DataSetStatements& statements) { m_statements = statements; }
    const DataSetStatements& Statements() const { return m_statements; }
    bool ReadOnly() const { return !m_statements.CanInsert() && !m_statements.CanUpdate(); }

    bool Open();
    void Close();
    // Closes and opens again, going back to the row with the same key when it is still there.
    bool Reopen();
    bool Active() const { return m_state != State::Inactive; }
    State CurrentState() const { return m_state; }
    bool Editing() const { return m_state == State::Edit || m_state == State::Insert; }

    // Fetches every remaining row of the select.
    bool FetchAll();
    // Number of rows of the select (fetches them all).
    int RecordCount();
    bool IsEmpty();

    // Current row, counted from 0; -1 when the set is empty or closed.
    int CurrentRow() const { return m_current; }
    bool First();
    bool Last();
    bool Next();
    bool Prior();
    bool MoveTo(int row);
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    // Moves to the first row (from the first of the set) whose field matches; stays put and
    // answers false when none does.
    bool Locate(const QString& field, const QVariant& value, int options = 0);

    QStringList FieldNames() const { return m_fieldNames; }
    bool HasField(const QString& field) const { return FieldIndex(field) >= 0; }
    int FieldIndex(const QString& field) const;
    // The field of the current row (of the edit buffer while editing or inserting).
    QVariant Value(const QString& field) const;
    QVariant Value(int row, int column) const;
    // Sets a field of the buffer; a set browsing a row goes into Edit first.
    bool SetValue(const QString& field, const QVariant& value);

    bool Edit();
    // Starts a new row at the end of the set.
    bool Insert();
    // Writes the buffer with the insert or update statement (in the transaction, not committed).
    // A new row without key takes it from the generator. On failure the set stays in its state
    // with the buffer as it was. An update first locks the row and checks that it still holds what
    // this set read: a row that another connection changed meanwhile, or is changing, is not
    // overwritten (LastError() says so, IsRowConflict() answers true).
    bool Post();
    void Cancel();
    bool Delete();
    // Reads the current row again with the refresh statement.
    bool RefreshRecord();

    // Runs a statement of the caller in the set's connection and transaction.
    bool Execute(const QString& sql, const QVariantList& params = {});

    QString LastError() const { return m_lastError; }
    // The last Post() failed because another connection changed or is changing the row.
    bool IsRowConflict() const { return m_rowConflict; }
    // The engine's error codes of the last failure (see IsDuplicateKeyError).
    QList<long> LastErrorCodes() const { return m_lastErrorCodes; }

    // The rows, position, state and buffer of the set, to put back after a failed group of posts.
    struct Snapshot {
        State state = State::Inactive;
        QList<Row> rows;
        int current = -1;
        bool eof = true;
        bool bof = true;
        int rowsFromCursor = 0;
        QVariantList buffer;
        QVariant oldKey;
    };
    Snapshot TakeSnapshot() const;
    void RestoreSnapshot(const Snapshot& snapshot);

Q_SIGNALS:
    void Opened();
    void Closed();
    void AfterPost();
    void AfterDelete();
    void AfterScroll();
    void StateChanged();

private:
    static constexpr int kRowsPerChunk = 2048;

    bool FetchMore(int count);
    bool ExecuteSelect();
    bool StoreCurrentRow();
    bool EnsureRowUnchanged();
    QVariantList ReadBackRow(const QVariant& key);
    QVariantList RowValues(const Row& row) const;
    QVariant Value(const Row& row, int column) const;
    void DropCursor();
    void SetState(State state);
    void SetCurrent(int row);
    bool Fail(const QString& error);

    DbConnection& m_db;
    QString m_name;
    QString m_selectSql;
    QVariantList m_selectParams;
    DataSetStatements m_statements;

    State m_state = State::Inactive;
    QStringList m_fieldNames;
    QStringList m_upperNames;
    QList<FbColumn> m_columns;
    QList<Row> m_rows;
    QList<QByteArray> m_store; // chunks of kRowsPerChunk row buffers
    int m_storedRows = 0;
    int m_rowSize = 0;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;

    std::unique_ptr<FbStatement> m_cursor;
    bool m_cursorDone = true;
    bool m_cursorLost = false;
    int m_rowsFromCursor = 0;

    QVariantList m_buffer;
    QVariant m_oldKey;

    QString m_lastError;
    QList<long> m_lastErrorCodes;
    bool m_rowConflict = false;
};
