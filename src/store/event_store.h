#pragma once

#include "programming/panel_events.h"
#include "store/customer_lock.h"

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>

class DbConnection;

// Stores the events of one download of a customer's panel log into BUFFER_EVENTOS, each event
// once, whatever way the log came in (a session download or a panel calling in).
//
// The panel's log is a sequence, oldest first, from which the oldest events roll out as new ones
// are logged. The customer's rows, in the order they were stored, end with what earlier downloads
// took from that sequence; the new log starts with some part of it (none once everything rolled
// out) and goes on with what was logged since. So the download is lined up against the stored
// rows: its first events are already stored when they repeat, position by position, the last rows
// stored. Only the events after that overlap are new. An event that looks like an older one
// (the same DATA, HORA, PARTICAO, EVENTO, USUARIO and ZONA) is thus stored whenever it stands
// where the panel logged something new: an arm that follows a disarm in the same minute after the
// log's older arm rolled out, or two identical events within one download.
//
// While the download still repeats stored rows (several ways of lining it up remain possible) its
// events wait; once only one overlap is left, the new events of it are stored, and every later
// one as soon as it arrives. A download that ends while every event it brought repeats stored
// rows (the log downloaded again, a panel calling in again with a log it already delivered, a
// download stopped early) stores nothing.
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
    int AlreadyStored() const;
    QString LastError() const { return m_lastError; }

private:
    struct Pending {
        EventRow row;
        PanelEvent numbers;
    };
    static QString keyOf(const EventRow& row);
    ProductFamily family() const;
    bool insert(const EventRow& row);
    // Lines the next event of the download up against the stored rows; true once the events that
    // waited are known to be new (they are then in m_pending, from the first new one on).
    bool lineUp(const QString& key);
    bool storePending();

    DbConnection& m_db;
    CustomerLock m_lock;
    int m_customerId;
    int m_productCode;
    EventCatalogue m_catalogue;
    bool m_begun = false;
    // The keys of the customer's last rows, in the order they were stored (as many as a log holds).
    QList<QString> m_tail;
    // Where the download may start within m_tail (it repeats the rows from there on so far); the
    // longest overlap that reached the last stored row; the events of the download so far.
    QList<qsizetype> m_starts;
    qsizetype m_overlap = 0;
    qsizetype m_received = 0;
    bool m_lined = false;
    QList<Pending> m_pending;
    qint64 m_lastNumber = 0;
    int m_stored = 0;
    int m_alreadyStored = 0;
    QString m_lastError;
};
