#pragma once

#include "programming/panel_events.h"
#include "store/customer_lock.h"

#include <QByteArrayView>
#include <QDate>
#include <QHash>
#include <QString>

class DbConnection;

// Stores the events of one download of a customer's panel log into BUFFER_EVENTOS, each event
// once, whatever way the log came in (a session download or a panel calling in).
//
// An event already stored for the customer is recognised by its row: the same DATA, HORA,
// PARTICAO, EVENTO, USUARIO and ZONA. A panel log holds the same row more than once when the same
// thing happened twice within a minute, so rows are counted rather than merely looked up: the n-th
// event of a download with a given row is stored only when the customer had fewer than n such rows
// before the download began. A log downloaded again, a download resumed after a dropped line and a
// panel calling in again with a log it already delivered thus store only what is new, and two
// identical events within one download are both kept.
//
// One download of a customer at a time: Begin locks the customer's row (CustomerLock), waiting a
// while for another workstation's download of the same customer to end, so the second one reads
// what the first stored; End lets it go. (ID_CLIENTE, COD_EVENTO) is a unique key besides.
//
// Every row is committed as soon as it is written (the transaction kept open), so a download that
// ends halfway keeps what it stored. COD_EVENTO numbers the customer's rows in the order they are
// stored, after the highest number the customer already has.
class EventStore {
public:
    EventStore(DbConnection& db, int customerId, int productCode, EventCatalogue catalogue);

    // Locks the customer for the download and reads what it already holds. False (LastError
    // tells) when the database fails or another workstation's download of the customer did not
    // end within `lockWaitMs`.
    bool Begin(int lockWaitMs = DefaultLockWaitMs);
    // The download ended: another one of the customer may begin.
    void End() { m_lock.Release(); }

    static constexpr int DefaultLockWaitMs = 15000;

    // Decodes one 16-byte record (stopping at its first all-0xFF event) and stores its new events.
    // False when a row could not be written: LastError() names the event's decoded numbers and the
    // engine's text, and the download should end. `today` dates the events (the panel sends no
    // year).
    bool StoreRecord(QByteArrayView record, const QDate& today);

    int CustomerId() const { return m_customerId; }
    // Events written by this download, and events of it found already stored.
    int Stored() const { return m_stored; }
    int AlreadyStored() const { return m_alreadyStored; }
    QString LastError() const { return m_lastError; }

private:
    static QString keyOf(const EventRow& row);
    bool insert(const EventRow& row);

    DbConnection& m_db;
    CustomerLock m_lock;
    int m_customerId;
    int m_productCode;
    EventCatalogue m_catalogue;
    bool m_begun = false;
    // Rows per key the customer held before the download, and rows per key seen in it so far.
    QHash<QString, int> m_before;
    QHash<QString, int> m_seen;
    qint64 m_lastNumber = 0;
    int m_stored = 0;
    int m_alreadyStored = 0;
    QString m_lastError;
};
