#pragma once

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// The one connection to the database and its one transaction. While connected a transaction is
// always running: every statement of every data set runs in it, and committing or rolling back
// "retaining" ends it and starts the next one at once, so the program never works outside it.
//
// Qt's driver starts transactions with the engine's default parameters (snapshot isolation,
// waiting on locks) and offers no way to pass others; with one connection and a transaction
// committed after every operation this behaves as the read-committed one the program expects.
// The driver always talks UTF-8 to the engine, which converts to and from the ISO8859_1 columns.
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
    bool Connected() const;
    QString DatabaseName() const { return m_databaseName; }

    bool InTransaction() const { return m_inTransaction; }
    bool StartTransaction();
    bool Commit();
    bool CommitRetaining();
    bool Rollback();
    bool RollbackRetaining();

    // A new query on this connection (it runs in the transaction).
    QSqlQuery NewQuery() const;
    // A prepared statement kept for reuse until the transaction ends (the driver ties a prepared
    // statement to the transaction it was prepared in).
    QSqlQuery* Prepared(const QString& sql);

    // Runs one statement with positional parameters ("?"); values never become SQL text.
    bool Exec(const QString& sql, const QVariantList& params = {});
    // The first column of the first row of a select; an invalid variant on failure (*ok false).
    QVariant SelectValue(const QString& sql, const QVariantList& params = {}, bool* ok = nullptr);

    QString LastError() const { return m_lastError; }
    void SetLastError(const QString& error) { m_lastError = error; }

    // The driver's error as one text: the engine's message, else Qt's.
    static QString ErrorText(const QSqlError& error);

Q_SIGNALS:
    // The transaction ended (commit or rollback); open cursors are gone.
    void TransactionEnded();
    void AboutToDisconnect();

private:
    bool EndTransaction(bool commit, bool retaining);

    QString m_connectionName;
    QString m_databaseName;
    bool m_inTransaction = false;
    QString m_lastError;
    QHash<QString, QSqlQuery*> m_prepared;
};
