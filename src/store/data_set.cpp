#include "store/data_set.h"

#include "store/db_connection.h"

#include "store/fb_statement.h"
#include "store/store_messages.h"

#include <cstring>

namespace {

QString WithoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    return text.left(end);
}

// Whether a value this set holds for a column is the value the engine reads from the row now.
// Fixed-length text comes back padded with blanks, and a value the program wrote may be held in
// another type than the column's (a number as text), so both are brought to the engine's form.
bool SameStoredValue(const QVariant& held, const QVariant& stored) {
    if (held.isNull() || stored.isNull())
        return held.isNull() && stored.isNull();
    const int type = stored.typeId();
    if (type == QMetaType::QString)
        return WithoutTrailingBlanks(held.toString()) == WithoutTrailingBlanks(stored.toString());
    if (type == QMetaType::Double) {
        const double a = held.toDouble();
        const double b = stored.toDouble();
        return qAbs(a - b) <= 1e-9 * qMax(1.0, qMax(qAbs(a), qAbs(b)));
    }
    QVariant converted = held;
    if (held.metaType() != stored.metaType() && !converted.convert(stored.metaType()))
        return false;
    return converted == stored;
}

} // namespace

DataSetStatements DataSetStatements::ForTable(const QString& table, const QString& keyColumn,
                                              const QString& generator, const QStringList& columns) {
    DataSetStatements s;
    s.table = table;
    s.keyColumn = keyColumn;
    s.generator = generator;
    s.columns = columns;
    const QString list = columns.join(QStringLiteral(", "));
    QStringList marks;
    QStringList assignments;
    for (const QString& column : columns) {
        marks << QStringLiteral("?");
        assignments << column + QStringLiteral(" = ?");
    }
    s.insertSql =
        QStringLiteral("insert into %1 (%2) values (%3)").arg(table, list, marks.join(QStringLiteral(", ")));
    s.updateSql = QStringLiteral("update %1 set %2 where %3 = ?")
                      .arg(table, assignments.join(QStringLiteral(", ")), keyColumn);
    s.deleteSql = QStringLiteral("delete from %1 where %2 = ?").arg(table, keyColumn);
    s.refreshSql = QStringLiteral("select %1 from %2 where %3 = ?").arg(list, table, keyColumn);
    return s;
}

DataSetStatements DataSetStatements::DeleteOnly(const QString& table, const QString& keyColumn) {
    DataSetStatements s;
    s.table = table;
    s.keyColumn = keyColumn;
    s.deleteSql = QStringLiteral("delete from %1 where %2 = ?").arg(table, keyColumn);
    return s;
}

DataSet::DataSet(DbConnection& db, const QString& name, QObject* parent)
    : QObject(parent), m_db(db), m_name(name) {
    setObjectName(name);
    // A cursor does not outlive its transaction or its connection.
    connect(&m_db, &DbConnection::TransactionEnded, this, &DataSet::DropCursor);
    connect(&m_db, &DbConnection::AboutToDisconnect, this, &DataSet::DropCursor);
}

DataSet::~DataSet() = default;

void DataSet::SetSelectSql(const QString& sql, const QVariantList& params) {
    m_selectSql = sql;
    m_selectParams = params;
}

bool DataSet::Fail(const QString& error) {
    m_lastError = error;
    return false;
}

void DataSet::SetState(State state) {
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT StateChanged();
}

void DataSet::SetCurrent(int row) {
    m_current = row;
    Q_EMIT AfterScroll();
}

void DataSet::DropCursor() {
    if (!m_cursor)
        return;
    m_cursor.reset();
    if (!m_cursorDone)
        m_cursorLost = true;
}

bool DataSet::ExecuteSelect() {
    auto statement = std::make_unique<FbStatement>(m_db);
    if (!statement->Prepare(m_selectSql) || !statement->Execute(m_selectParams))
        return Fail(statement->LastError());
    m_cursor = std::move(statement);
    m_cursorDone = false;
    m_cursorLost = false;
    return true;
}

bool DataSet::Open() {
    if (Active())
        return true;
    m_lastError.clear();
    m_rows.clear();
    m_rowsFromCursor = 0;
    if (!ExecuteSelect())
        return false;
    m_columns = m_cursor->Columns();
    m_fieldNames.clear();
    m_upperNames.clear();
    for (const FbColumn& column : m_columns) {
        m_fieldNames << column.name;
        m_upperNames << column.name.toUpper();
    }
    // Rows with blobs are read whole at once; the others are kept as the engine's bytes.
    m_rowSize = m_cursor->HasBlobColumns() ? 0 : m_cursor->RowSize();
    m_store.clear();
    m_storedRows = 0;
    m_state = State::Browse;
    if (!FetchMore(1)) {
        m_state = State::Inactive;
        m_cursor.reset();
        return false;
    }
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    Q_EMIT StateChanged();
    Q_EMIT Opened();
    Q_EMIT AfterScroll();
    return true;
}

void DataSet::Close() {
    if (!Active())
        return;
    m_cursor.reset();
    m_cursorDone = true;
    m_cursorLost = false;
    m_rows.clear();
    m_store.clear();
    m_storedRows = 0;
    m_buffer.clear();
    m_current = -1;
    m_eof = m_bof = true;
    SetState(State::Inactive);
    Q_EMIT Closed();
}

bool DataSet::Reopen() {
    const int keyColumn = FieldIndex(m_statements.keyColumn);
    const QVariant key = (keyColumn >= 0 && m_current >= 0) ? Value(m_current, keyColumn) : QVariant();
    Close();
    if (!Open())
        return false;
    if (!key.isNull())
        Locate(m_statements.keyColumn, key);
    return true;
}

bool DataSet::StoreCurrentRow() {
    Row row;
    if (m_rowSize > 0) {
        if (m_storedRows % kRowsPerChunk == 0) {
            m_store.append(QByteArray());
            m_store.last().reserve(qsizetype(m_rowSize) * kRowsPerChunk);
        }
        m_store.last().append(m_cursor->RowData(), m_rowSize);
        row.stored = m_storedRows++;
    } else {
        row.values.reserve(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i)
            row.values.append(m_cursor->Value(i));
        // A blob that could not be read whole fails the row rather than show part of it.
        if (!m_cursor->LastError().isEmpty())
            return false;
    }
    m_rows.append(std::move(row));
    return true;
}

QVariantList DataSet::RowValues(const Row& row) const {
    if (row.stored < 0)
        return row.values;
    QVariantList values;
    values.reserve(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i)
        values << Value(row, i);
    return values;
}

bool DataSet::FetchMore(int count) {
    if (m_cursorLost) {
        // The transaction that held the cursor ended: run the select again and skip what we hold.
        const int skip = m_rowsFromCursor;
        if (!ExecuteSelect())
            return false;
        for (int i = 0; i < skip; ++i) {
            if (!m_cursor->Fetch()) {
                const QString error = m_cursor->LastError();
                m_cursorDone = true;
                m_cursor.reset();
                return error.isEmpty() || Fail(error);
            }
        }
    }
    if (m_cursorDone || !m_cursor)
        return true;
    for (int i = 0; count < 0 || i < count; ++i) {
        if (!m_cursor->Fetch()) {
            const QString error = m_cursor->LastError();
            m_cursorDone = true;
            m_cursor.reset();
            return error.isEmpty() || Fail(error);
        }
        if (!StoreCurrentRow()) {
            const QString error = m_cursor->LastError();
            m_cursor->CloseCursor();
            m_cursorDone = true;
            m_cursor.reset();
            return Fail(error);
        }
        ++m_rowsFromCursor;
    }
    return true;
}

bool DataSet::FetchAll() {
    if (!Active())
        return Fail(QStringLiteral("%1 não está aberto.").arg(m_name));
    return FetchMore(-1);
}

int DataSet::RecordCount() {
    FetchAll();
    return m_rows.size();
}

bool DataSet::IsEmpty() {
    if (m_rows.isEmpty())
        FetchMore(1);
    return m_rows.isEmpty();
}

bool DataSet::First() {
    if (!Active())
        return false;
    if (m_rows.isEmpty())
        FetchMore(1);
    m_bof = true;
    m_eof = m_rows.isEmpty();
    SetCurrent(m_rows.isEmpty() ? -1 : 0);
    return !m_rows.isEmpty();
}

bool DataSet::Last() {
    if (!Active() || !FetchAll())
        return false;
    m_eof = true;
    m_bof = m_rows.isEmpty();
    SetCurrent(m_rows.size() - 1);
    return !m_rows.isEmpty();
}

bool DataSet::Next() {
    if (!Active() || Editing())
        return false;
    if (m_current + 1 >= m_rows.size())
        FetchMore(1);
    if (m_current + 1 >= m_rows.size()) {
        m_eof = true;
        return false;
    }
    m_bof = false;
    m_eof = false;
    SetCurrent(m_current + 1);
    return true;
}

bool DataSet::Prior() {
    if (!Active() || Editing() || m_current <= 0) {
        m_bof = true;
        return false;
    }
    m_eof = false;
    m_bof = false;
    SetCurrent(m_current - 1);
    return true;
}

bool DataSet::MoveTo(int row) {
    if (!Active() || Editing() || row < 0)
        return false;
    if (row >= m_rows.size())
        FetchMore(row + 1 - m_rows.size());
    if (row >= m_rows.size())
        return false;
    m_bof = row == 0;
    m_eof = false;
    SetCurrent(row);
    return true;
}

bool DataSet::Locate(const QString& field, const QVariant& value, int options) {
    const int column = FieldIndex(field);
    if (!Active() || Editing() || column < 0)
        return false;
    const Qt::CaseSensitivity cs = (options & CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool textual =
        (options & (CaseInsensitive | PartialKey)) || value.metaType().id() == QMetaType::QString;
    const QString wanted = value.toString();
    for (int row = 0;; ++row) {
        if (row >= m_rows.size()) {
            if (!FetchMore(256) || row >= m_rows.size())
                return false;
        }
        const QVariant candidate = Value(row, column);
        if (candidate.isNull())
            continue;
        bool match;
        if (textual) {
            const QString text = candidate.toString();
            match = (options & PartialKey) ? text.startsWith(wanted, cs) : text.compare(wanted, cs) == 0;
        } else {
            match = QVariant::compare(candidate, value) == QPartialOrdering::Equivalent ||
                    candidate.toString() == wanted;
        }
        if (match) {
            m_bof = row == 0;
            m_eof = false;
            SetCurrent(row);
            return true;
        }
    }
}

int DataSet::FieldIndex(const QString& field) const {
    return m_upperNames.indexOf(field.toUpper());
}

QVariant DataSet::Value(const QString& field) const {
    const int column = FieldIndex(field);
    if (column < 0)
        return {};
    if (Editing())
        return m_buffer.value(column);
    if (m_current < 0)
        return {};
    return Value(m_current, column);
}

QVariant DataSet::Value(int row, int column) const {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_fieldNames.size())
        return {};
    return Value(m_rows[row], column);
}

QVariant DataSet::Value(const Row& row, int column) const {
    if (row.stored < 0)
        return row.values.value(column);
    const QByteArray& chunk = m_store[row.stored / kRowsPerChunk];
    return FbStatement::Decode(m_columns[column],
                               chunk.constData() + qsizetype(row.stored % kRowsPerChunk) * m_rowSize);
}

bool DataSet::SetValue(const QString& field, const QVariant& value) {
    const int column = FieldIndex(field);
    if (column < 0)
        return Fail(QStringLiteral("%1: campo %2 não encontrado.").arg(m_name, field));
    if (!Editing() && !Edit())
        return false;
    m_buffer[column] = value;
    return true;
}

bool DataSet::Edit() {
    if (Editing())
        return true;
    if (!Active() || !m_statements.CanUpdate())
        return Fail(QStringLiteral("%1 não pode ser alterado.").arg(m_name));
    if (m_current < 0)
        return Fail(QStringLiteral("%1 está vazio.").arg(m_name));
    m_buffer = RowValues(m_rows[m_current]);
    m_oldKey = Value(m_statements.keyColumn);
    SetState(State::Edit);
    return true;
}

bool DataSet::Insert() {
    if (Editing())
        Cancel();
    if (!Active() || !m_statements.CanInsert())
        return Fail(QStringLiteral("%1 não aceita novos registros.").arg(m_name));
    m_buffer = QVariantList(m_fieldNames.size());
    m_oldKey = QVariant();
    SetState(State::Insert);
    return true;
}

bool DataSet::Post() {
    m_lastErrorCodes.clear();
    m_rowConflict = false;
    if (!Editing())
        return Fail(QStringLiteral("%1 não está em edição.").arg(m_name));
    const bool inserting = m_state == State::Insert;
    const int keyColumn = FieldIndex(m_statements.keyColumn);
    QVariantList buffer = m_buffer;

    if (inserting && keyColumn >= 0 && buffer[keyColumn].isNull() && !m_statements.generator.isEmpty()) {
        bool ok = false;
        const QVariant key = m_db.SelectValue(
            QStringLiteral("select gen_id(%1, 1) from rdb$database").arg(m_statements.generator), {}, &ok);
        if (!ok)
            return Fail(m_db.LastError());
        buffer[keyColumn] = key.toInt();
    }

    QVariantList params;
    for (const QString& column : m_statements.columns) {
        const int index = FieldIndex(column);
        if (index < 0)
            return Fail(QStringLiteral("%1: campo %2 não encontrado.").arg(m_name, column));
        params << buffer[index];
    }
    if (!inserting) {
        params << m_oldKey;
        if (!EnsureRowUnchanged())
            return false;
    }

    FbStatement* statement = m_db.Prepared(inserting ? m_statements.insertSql : m_statements.updateSql);
    if (!statement)
        return Fail(m_db.LastError());
    if (!statement->Execute(params)) {
        m_lastErrorCodes = statement->LastErrorCodes();
        return Fail(statement->LastError());
    }

    const QVariant key = keyColumn >= 0 ? buffer[keyColumn] : QVariant();
    if (inserting) {
        m_rows.append(Row{-1, buffer, ReadBackRow(key)});
        m_current = m_rows.size() - 1;
    } else {
        m_rows[m_current] = Row{-1, buffer, ReadBackRow(key)};
    }
    m_buffer.clear();
    m_eof = false;
    SetState(State::Browse);
    Q_EMIT AfterPost();
    Q_EMIT AfterScroll();
    return true;
}

void DataSet::Cancel() {
    if (!Editing())
        return;
    m_buffer.clear();
    SetState(State::Browse);
}

bool DataSet::Delete() {
    if (!Active() || Editing() || m_current < 0 || !m_statements.CanDelete())
        return Fail(QStringLiteral("%1: não há registro para apagar.").arg(m_name));
    const QVariant key = Value(m_statements.keyColumn);
    if (key.isNull())
        return Fail(QStringLiteral("%1: campo %2 não encontrado.").arg(m_name, m_statements.keyColumn));
    if (!m_db.Exec(m_statements.deleteSql, {key}))
        return Fail(m_db.LastError());
    m_rows.removeAt(m_current);
    if (m_rowsFromCursor > 0)
        --m_rowsFromCursor;
    if (m_current >= m_rows.size())
        m_current = m_rows.size() - 1;
    m_eof = m_rows.isEmpty();
    Q_EMIT AfterDelete();
    Q_EMIT AfterScroll();
    return true;
}

bool DataSet::EnsureRowUnchanged() {
    if (m_statements.refreshSql.isEmpty() || m_current < 0)
        return true;
    // Locked in this transaction until it ends: no other connection can change the row between
    // this check and the update. Without waiting: a save of another workstation still in progress
    // is refused at once instead of freezing the screen.
    FbStatement statement(m_db);
    const bool read = statement.Prepare(m_statements.refreshSql + QStringLiteral(" with lock")) &&
                      statement.Execute({m_oldKey}) && statement.Fetch();
    if (!read) {
        m_lastErrorCodes = statement.LastErrorCodes();
        if (IsConcurrentUpdateError(m_lastErrorCodes)) {
            m_rowConflict = true;
            return Fail(MsgRecordBeingChanged());
        }
        if (statement.LastError().isEmpty()) {
            m_rowConflict = true;
            return Fail(MsgRecordDeletedElsewhere());
        }
        return Fail(statement.LastError());
    }
    const Row& row = m_rows[m_current];
    const QVariantList held = row.written.isEmpty() ? RowValues(row) : row.written;
    for (int i = 0; i < statement.Columns().size(); ++i) {
        const int column = FieldIndex(statement.Columns()[i].name);
        if (column >= 0 && column < held.size() && !SameStoredValue(held[column], statement.Value(i))) {
            m_rowConflict = true;
            return Fail(MsgRecordChangedElsewhere());
        }
    }
    return true;
}

QVariantList DataSet::ReadBackRow(const QVariant& key) {
    if (m_statements.refreshSql.isEmpty() || key.isNull())
        return {};
    FbStatement statement(m_db);
    if (!statement.Prepare(m_statements.refreshSql) || !statement.Execute({key}) || !statement.Fetch())
        return {};
    QVariantList values(m_fieldNames.size());
    for (int i = 0; i < statement.Columns().size(); ++i) {
        const int column = FieldIndex(statement.Columns()[i].name);
        if (column >= 0)
            values[column] = statement.Value(i);
    }
    return values;
}

bool DataSet::RefreshRecord() {
    if (!Active() || Editing() || m_current < 0 || m_statements.refreshSql.isEmpty())
        return false;
    FbStatement statement(m_db);
    if (!statement.Prepare(m_statements.refreshSql) || !statement.Execute({Value(m_statements.keyColumn)}))
        return Fail(statement.LastError());
    if (!statement.Fetch())
        return Fail(statement.LastError().isEmpty()
                        ? QStringLiteral("%1: o registro não existe mais.").arg(m_name)
                        : statement.LastError());
    QVariantList values = RowValues(m_rows[m_current]);
    for (int i = 0; i < statement.Columns().size(); ++i) {
        const int column = FieldIndex(statement.Columns()[i].name);
        if (column >= 0)
            values[column] = statement.Value(i);
    }
    m_rows[m_current] = Row{-1, values, {}};
    return true;
}

bool DataSet::Execute(const QString& sql, const QVariantList& params) {
    if (!m_db.Exec(sql, params))
        return Fail(m_db.LastError());
    return true;
}

DataSet::Snapshot DataSet::TakeSnapshot() const {
    return Snapshot{m_state, m_rows, m_current, m_eof, m_bof, m_rowsFromCursor, m_buffer, m_oldKey};
}

void DataSet::RestoreSnapshot(const Snapshot& snapshot) {
    if (!Active())
        return;
    m_rows = snapshot.rows;
    m_current = snapshot.current;
    m_eof = snapshot.eof;
    m_bof = snapshot.bof;
    m_rowsFromCursor = snapshot.rowsFromCursor;
    m_buffer = snapshot.buffer;
    m_oldKey = snapshot.oldKey;
    SetState(snapshot.state);
    Q_EMIT AfterScroll();
}
