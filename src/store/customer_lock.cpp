#include "store/customer_lock.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

constexpr int RetryPauseMs = 100;

// Taking the row as an update would: a second lock of it is refused until the first one ends.
const QString kLockRow = QStringLiteral("select ID_CLIENTE from CLIENTES where ID_CLIENTE = ? with lock");

} // namespace

QString MsgCustomerEventsBusy() {
    return QStringLiteral("Os eventos deste cliente estão sendo gravados em outra estação. Tente "
                          "novamente quando ela terminar.");
}

bool CustomerLock::Acquire(const QString& databaseName, int customerId, int waitMs) {
    Release();
    m_lastError.clear();
    if (!m_db.Connect(databaseName)) {
        m_lastError = m_db.LastError();
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        bool ok = false;
        m_db.SetLastError({});
        m_db.SelectValue(kLockRow, {customerId}, &ok);
        if (ok || m_db.LastError().isEmpty()) {
            // Locked, or no such customer (then there is nothing of it to store either).
            m_held = ok;
            return true;
        }
        const bool busy = IsConcurrentUpdateError(m_db.LastErrorCodes());
        m_lastError = busy ? MsgCustomerEventsBusy() : m_db.LastError();
        m_db.RollbackRetaining();
        if (!busy || waited.elapsed() >= waitMs)
            break;
        QThread::msleep(RetryPauseMs);
    }
    m_db.Disconnect();
    return false;
}

void CustomerLock::Release() {
    if (m_db.Connected()) {
        m_db.Rollback();
        m_db.Disconnect();
    }
    m_held = false;
}
