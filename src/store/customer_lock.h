#pragma once

#include "store/db_connection.h"

#include <QString>

// Keeps one customer's CLIENTES row locked, through a connection of its own, for as long as a
// piece of work on the customer's rows must not run twice at once (storing a downloaded event
// log: two workstations storing the same log at once would each store every event). The lock is
// the engine's row lock, so it holds across workstations on a server and ends with the
// connection, whatever way the program ends. While held, another workstation's save of the
// customer row is refused as "being changed".
class CustomerLock {
public:
    CustomerLock() = default;
    ~CustomerLock() { Release(); }
    CustomerLock(const CustomerLock&) = delete;
    CustomerLock& operator=(const CustomerLock&) = delete;

    // Locks the row, trying again while another connection holds it, for at most `waitMs`. False
    // with LastError() when it is still held elsewhere then (MsgCustomerBusy) or the database fails.
    bool Acquire(const QString& databaseName, int customerId, int waitMs);
    // Ends the lock (nothing changed is kept: the lock's transaction is rolled back).
    void Release();
    bool Held() const { return m_held; }
    QString LastError() const { return m_lastError; }

private:
    DbConnection m_db;
    bool m_held = false;
    QString m_lastError;
};

// Another workstation is storing this customer's events.
QString MsgCustomerEventsBusy();
