#include "store/db_connection.h"

#include "store/database_credentials.h"
#include "store/firebird_client.h"
#include "store/store_messages.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>

namespace {
QAtomicInt g_connectionCounter;
}

DbConnection::DbConnection(QObject* parent)
    : QObject(parent),
      m_connectionName(QStringLiteral("telvora-db-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1))) {}

DbConnection::~DbConnection() {
    Disconnect();
}

QString DbConnection::ErrorText(const QSqlError& error) {
    const QString engine = error.databaseText().trimmed();
    return engine.isEmpty() ? error.text().trimmed() : engine;
}

bool DbConnection::Connect(const QString& databaseName) {
    Disconnect();
    PrepareFirebirdEnvironment();
    m_databaseName = NormalizeDatabaseName(databaseName);
    m_lastError.clear();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), m_connectionName);
        db.setDatabaseName(m_databaseName);
        db.setUserName(kDatabaseUser);
        db.setPassword(kDatabasePassword);
        db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=") + kDatabaseCharacterSet);
        if (!IsRemoteDatabaseName(m_databaseName) && !QFileInfo::exists(m_databaseName)) {
            m_lastError = MsgFileNotFound(m_databaseName);
        } else if (!db.open()) {
            QString detail;
            switch (ProbeDatabase(m_databaseName, &detail)) {
            case AttachProblem::FileMissing:
                m_lastError = MsgFileNotFound(m_databaseName);
                break;
            case AttachProblem::FileLocked:
                m_lastError = MsgDatabaseInUse(m_databaseName);
                break;
            default:
                m_lastError = ErrorText(db.lastError());
                break;
            }
        }
        if (m_lastError.isEmpty() && !db.transaction())
            m_lastError = ErrorText(db.lastError());
        if (m_lastError.isEmpty()) {
            m_inTransaction = true;
            return true;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    return false;
}

void DbConnection::Disconnect() {
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    Q_EMIT AboutToDisconnect();
    if (m_inTransaction)
        EndTransaction(false, false);
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool DbConnection::Connected() const {
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

bool DbConnection::StartTransaction() {
    if (m_inTransaction)
        return true;
    if (!Connected()) {
        m_lastError = MsgNotConnected();
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.transaction()) {
        m_lastError = ErrorText(db.lastError());
        return false;
    }
    m_inTransaction = true;
    return true;
}

bool DbConnection::EndTransaction(bool commit, bool retaining) {
    if (!m_inTransaction)
        return retaining ? StartTransaction() : true;
    qDeleteAll(m_prepared);
    m_prepared.clear();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const bool ok = commit ? db.commit() : db.rollback();
    if (!ok) {
        m_lastError = ErrorText(db.lastError());
        // A commit the engine refused leaves the transaction running; nothing is lost.
        if (commit)
            return false;
    }
    m_inTransaction = false;
    Q_EMIT TransactionEnded();
    if (retaining && !StartTransaction())
        return false;
    return ok;
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

QSqlQuery DbConnection::NewQuery() const {
    return QSqlQuery(QSqlDatabase::database(m_connectionName, false));
}

QSqlQuery* DbConnection::Prepared(const QString& sql) {
    if (QSqlQuery* cached = m_prepared.value(sql))
        return cached;
    if (!StartTransaction())
        return nullptr;
    auto* query = new QSqlQuery(QSqlDatabase::database(m_connectionName, false));
    if (!query->prepare(sql)) {
        m_lastError = ErrorText(query->lastError());
        delete query;
        return nullptr;
    }
    m_prepared.insert(sql, query);
    return query;
}

bool DbConnection::Exec(const QString& sql, const QVariantList& params) {
    if (!StartTransaction())
        return false;
    QSqlQuery query = NewQuery();
    if (!query.prepare(sql)) {
        m_lastError = ErrorText(query.lastError());
        return false;
    }
    for (const QVariant& value : params)
        query.addBindValue(value);
    if (!query.exec()) {
        m_lastError = ErrorText(query.lastError());
        return false;
    }
    return true;
}

QVariant DbConnection::SelectValue(const QString& sql, const QVariantList& params, bool* ok) {
    if (ok)
        *ok = false;
    if (!StartTransaction())
        return {};
    QSqlQuery query = NewQuery();
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        m_lastError = ErrorText(query.lastError());
        return {};
    }
    for (const QVariant& value : params)
        query.addBindValue(value);
    if (!query.exec()) {
        m_lastError = ErrorText(query.lastError());
        return {};
    }
    if (!query.next()) {
        m_lastError = ErrorText(query.lastError());
        return {};
    }
    if (ok)
        *ok = true;
    return query.value(0);
}
