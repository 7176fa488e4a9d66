#include "store/db_connection.h"

#include "store/fb_statement.h"
#include "store/fb_status.h"
#include "store/firebird_client.h"
#include "store/store_messages.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

// read_committed + rec_version: each statement sees what is committed, without waiting for
// versions in progress; nowait: a lock conflict is reported at once instead of freezing the screen.
const char kTransactionParameters[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                                       isc_tpb_rec_version, isc_tpb_nowait};

} // namespace

bool IsDuplicateKeyError(const QList<long>& codes) {
    return codes.contains(long(isc_unique_key_violation)) || codes.contains(long(isc_no_dup));
}

bool IsConcurrentUpdateError(const QList<long>& codes) {
    return codes.contains(long(isc_lock_conflict)) || codes.contains(long(isc_update_conflict)) ||
           codes.contains(long(isc_deadlock)) || codes.contains(long(isc_concurrent_transaction));
}

DbConnection::DbConnection(QObject* parent) : QObject(parent) {}

DbConnection::~DbConnection() {
    Disconnect();
}

void DbConnection::SetLastError(const QString& error, const QList<long>& codes) {
    m_lastError = error;
    m_lastErrorCodes = codes;
}

bool DbConnection::Connect(const QString& databaseName) {
    Disconnect();
    PrepareFirebirdEnvironment();
    m_databaseName = NormalizeDatabaseName(databaseName);
    SetLastError({});
    if (!IsRemoteDatabaseName(m_databaseName) && !QFileInfo::exists(m_databaseName)) {
        m_lastError = MsgFileNotFound(m_databaseName);
        return false;
    }
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    const QByteArray path = QFile::encodeName(m_databaseName);
    const QByteArray dpb = FbAttachParameters();
    isc_attach_database(status, 0, path.constData(), &db, short(dpb.size()), dpb.constData());
    if (FbFailed(status)) {
        if (FbStatusHas(status, isc_already_opened) || FbStatusHas(status, isc_lock_conflict))
            SetLastError(MsgDatabaseInUse(m_databaseName), FbStatusCodes(status));
        else if (FbStatusHas(status, 0, ENOENT))
            SetLastError(MsgFileNotFound(m_databaseName), FbStatusCodes(status));
        else
            SetLastError(FbStatusText(status), FbStatusCodes(status));
        return false;
    }
    m_db = db;
    if (!StartTransaction()) {
        const QString error = m_lastError;
        Disconnect();
        m_lastError = error;
        return false;
    }
    return true;
}

void DbConnection::Disconnect() {
    if (!m_db)
        return;
    Q_EMIT AboutToDisconnect();
    m_prepared.clear();
    if (m_tr)
        EndTransaction(false, false);
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = m_db;
    isc_detach_database(status, &db);
    m_db = 0;
}

bool DbConnection::StartTransaction() {
    if (m_tr)
        return true;
    if (!m_db) {
        m_lastError = MsgNotConnected();
        return false;
    }
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = m_db;
    isc_tr_handle tr = 0;
    isc_start_transaction(status, &tr, 1, &db, static_cast<unsigned short>(sizeof kTransactionParameters),
                          kTransactionParameters);
    if (FbFailed(status)) {
        SetLastError(FbStatusText(status), FbStatusCodes(status));
        return false;
    }
    m_tr = tr;
    return true;
}

bool DbConnection::EndTransaction(bool commit, bool retaining) {
    if (!m_tr)
        return retaining ? StartTransaction() : true;
    ISC_STATUS_ARRAY status = {};
    isc_tr_handle tr = m_tr;
    if (commit)
        retaining ? isc_commit_retaining(status, &tr) : isc_commit_transaction(status, &tr);
    else
        retaining ? isc_rollback_retaining(status, &tr) : isc_rollback_transaction(status, &tr);
    if (FbFailed(status)) {
        SetLastError(FbStatusText(status), FbStatusCodes(status));
        // A commit the engine refused leaves the transaction and its work in place.
        if (commit || retaining)
            return false;
        tr = 0;
    }
    if (!retaining) {
        m_tr = 0;
        Q_EMIT TransactionEnded();
    }
    return true;
}

bool DbConnection::Commit() {
    return EndTransaction(true, false);
}

bool DbConnection::CommitRetaining() {
    return EndTransaction(true, true);
}

bool DbConnection::Rollback() {
    return EndTransaction(false, false);
}

bool DbConnection::RollbackRetaining() {
    return EndTransaction(false, true);
}

FbStatement* DbConnection::Prepared(const QString& sql) {
    if (const auto cached = m_prepared.value(sql))
        return cached.get();
    auto statement = std::make_shared<FbStatement>(*this);
    if (!statement->Prepare(sql)) {
        SetLastError(statement->LastError(), statement->LastErrorCodes());
        return nullptr;
    }
    m_prepared.insert(sql, statement);
    return statement.get();
}

bool DbConnection::Exec(const QString& sql, const QVariantList& params, int* rowsAffected) {
    FbStatement statement(*this);
    if (!statement.Prepare(sql) || !statement.Execute(params)) {
        SetLastError(statement.LastError(), statement.LastErrorCodes());
        return false;
    }
    if (rowsAffected)
        *rowsAffected = statement.RowsAffected();
    return true;
}

QList<QVariantList> DbConnection::SelectRows(const QString& sql, const QVariantList& params, bool* ok) {
    QList<QVariantList> rows;
    if (ok)
        *ok = false;
    FbStatement statement(*this);
    if (!statement.Prepare(sql) || !statement.Execute(params)) {
        SetLastError(statement.LastError(), statement.LastErrorCodes());
        return rows;
    }
    while (statement.Fetch()) {
        QVariantList row;
        for (int i = 0; i < statement.Columns().size(); ++i)
            row << statement.Value(i);
        rows << row;
    }
    if (!statement.LastError().isEmpty()) {
        SetLastError(statement.LastError(), statement.LastErrorCodes());
        return rows;
    }
    if (ok)
        *ok = true;
    return rows;
}

QVariant DbConnection::SelectValue(const QString& sql, const QVariantList& params, bool* ok) {
    if (ok)
        *ok = false;
    FbStatement statement(*this);
    if (!statement.Prepare(sql) || !statement.Execute(params)) {
        SetLastError(statement.LastError(), statement.LastErrorCodes());
        return {};
    }
    if (!statement.Fetch()) {
        if (!statement.LastError().isEmpty())
            SetLastError(statement.LastError(), statement.LastErrorCodes());
        return {};
    }
    if (ok)
        *ok = true;
    return statement.Value(0);
}
