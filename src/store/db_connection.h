#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class FbStatement;

// Whether the engine refused a row because its unique key or value is taken (a login name in use).
bool IsDuplicateKeyError(const QList<long>& codes);

// Whether the engine refused to change or lock a row that another connection has changed and not
// yet committed (transactions never wait for each other's locks).
bool IsConcurrentUpdateError(const QList<long>& codes);

// The one connection to the database and its one transaction, over the Firebird client library.
// The connection talks ISO8859_1, the character set of the columns, so text crosses it without
// conversion. While connected a transaction is always running, with the parameters the program
// expects (read committed, record versions, no waiting on locks): every statement of every data
// set runs in it. CommitRetaining and RollbackRetaining end its work and keep it (and its open
// cursors) going; Commit and Rollback end it, and the next statement starts a new one.
class DbConnection : public QObject {
    Q_OBJECT
public:
    explicit DbConnection(QObject* parent = nullptr);
    ~DbConnection() override;

    // Attaches with SYSDBA and the database password and starts the transaction. The name follows
    // Firebird's rules: a plain path opens the file embedded, "host:path" reaches a server.
    // On failure LastError() tells why in the operator's words (missing file, file in use, or the
    // engine's text).
    bool Connect(const QString& databaseName);
    void Disconnect();
    bool Connected() const { return m_db != 0; }
    QString DatabaseName() const { return m_databaseName; }

    bool InTransaction() const { return m_tr != 0; }
    bool StartTransaction();
    bool Commit();
    bool CommitRetaining();
    bool Rollback();
    bool RollbackRetaining();

    // A statement prepared once and kept for the life of the connection (nullptr on failure).
    FbStatement* Prepared(const QString& sql);

    // Runs one statement with positional parameters ("?"); values never become SQL text.
    bool Exec(const QString& sql, const QVariantList& params = {}, int* rowsAffected = nullptr);
    // The first column of the first row of a select; an invalid variant when it fails or
    // returns no row (*ok tells which).
    QVariant SelectValue(const QString& sql, const QVariantList& params = {}, bool* ok = nullptr);
    // Every row of a select.
    QList<QVariantList> SelectRows(const QString& sql, const QVariantList& params = {}, bool* ok = nullptr);

    QString LastError() const { return m_lastError; }
    // The engine's error codes of the last failure, first the main one.
    QList<long> LastErrorCodes() const { return m_lastErrorCodes; }
    void SetLastError(const QString& error, const QList<long>& codes = {});

Q_SIGNALS:
    // The transaction ended (Commit or Rollback): its cursors are gone.
    void TransactionEnded();
    void AboutToDisconnect();

private:
    friend class FbStatement;

    // Whether the engine refused a row because its unique key or value is taken (a login name in use).
    bool IsDuplicateKeyError(const QList<long>& codes);
    bool EndTransaction(bool commit, bool retaining);

    QString m_databaseName;
    quint32 m_db = 0;
    quint32 m_tr = 0;
    QString m_lastError;
    QList<long> m_lastErrorCodes;
    QHash<QString, std::shared_ptr<FbStatement>> m_prepared;
};
