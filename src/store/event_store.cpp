#include "store/event_store.h"

#include "store/db_connection.h"
#include "store/fb_statement.h"

#include <algorithm>

namespace {

// In the order the rows were stored: COD_EVENTO numbers them so (rows of a database that did not
// number them come first), ID_BUFFER_EVENTOS is drawn from a generator in the same order.
const QString kSelectRows = QStringLiteral(
    "select DATA, HORA, PARTICAO, EVENTO, USUARIO, ZONA from BUFFER_EVENTOS where ID_CLIENTE = ? "
    "order by COD_EVENTO, ID_BUFFER_EVENTOS");
const QString kSelectLastNumber =
    QStringLiteral("select coalesce(max(COD_EVENTO), 0) from BUFFER_EVENTOS where ID_CLIENTE = ?");
const QString kInsert = QStringLiteral(
    "insert into BUFFER_EVENTOS (ID_BUFFER_EVENTOS, ID_CLIENTE, COD_EVENTO, DATA, HORA, PARTICAO, "
    "EVENTO, USUARIO, ZONA) values (GEN_ID(GEN_BUFFER_EVENTOS_ID, 1), ?, ?, ?, ?, ?, ?, ?, ?)");

QVariant textOrNull(const QString& text) {
    return text.isNull() ? QVariant() : QVariant(text);
}

} // namespace

EventStore::EventStore(DbConnection& db, int customerId, int productCode, EventCatalogue catalogue)
    : m_db(db), m_customerId(customerId), m_productCode(productCode), m_catalogue(catalogue) {}

// A null column and an empty one are kept apart: "\x01" cannot be part of a stored text.
QString EventStore::keyOf(const EventRow& row) {
    const QChar sep(0x1F);
    const auto part = [](const QString& text) { return text.isNull() ? QStringLiteral("\x01") : text; };
    return row.data.toString(Qt::ISODate) + sep + row.hora.toString(QStringLiteral("HH:mm")) + sep +
           part(row.particao) + sep + part(row.evento) + sep + part(row.usuario) + sep + part(row.zona);
}

ProductFamily EventStore::family() const {
    return FamilyOf(m_productCode) == ProductFamily::FiveZone ? ProductFamily::FiveZone
                                                              : ProductFamily::TenZone;
}

bool EventStore::Begin(int lockWaitMs) {
    if (!m_lock.Held() && !m_lock.Acquire(m_db.DatabaseName(), m_customerId, lockWaitMs)) {
        m_lastError = m_lock.LastError();
        return false;
    }
    m_tail.clear();
    m_starts.clear();
    m_pending.clear();
    m_overlap = 0;
    m_received = 0;
    m_stored = m_alreadyStored = 0;
    bool ok = false;
    const QList<QVariantList> rows = m_db.SelectRows(kSelectRows, {m_customerId}, &ok);
    if (!ok) {
        m_lastError = m_db.LastError();
        return false;
    }
    // A log holds at most this many events: the download cannot repeat rows stored before them.
    const qsizetype logEvents = qsizetype(PanelEvents::AreaRecords(family())) * PanelEvents::EventsPerRecord;
    for (qsizetype i = std::max<qsizetype>(0, rows.size() - logEvents); i < rows.size(); ++i) {
        const QVariantList& r = rows.at(i);
        EventRow row;
        row.data = r.value(0).toDate();
        row.hora = r.value(1).toTime();
        const auto text = [&](int c) { return r.value(c).isNull() ? QString() : r.value(c).toString(); };
        row.particao = text(2);
        row.evento = text(3);
        row.usuario = text(4);
        row.zona = text(5);
        m_tail.append(keyOf(row));
    }
    for (qsizetype p = 0; p < m_tail.size(); ++p)
        m_starts.append(p);
    m_lined = m_tail.isEmpty();
    const QVariant last = m_db.SelectValue(kSelectLastNumber, {m_customerId}, &ok);
    if (!ok) {
        m_lastError = m_db.LastError();
        return false;
    }
    m_lastNumber = last.toLongLong();
    m_begun = true;
    return true;
}

int EventStore::AlreadyStored() const {
    // Events still waiting when the download ended all repeat stored rows.
    return m_alreadyStored + (m_lined ? 0 : int(m_pending.size()));
}

bool EventStore::lineUp(const QString& key) {
    const qsizetype i = m_received++;
    QList<qsizetype> still;
    for (const qsizetype p : std::as_const(m_starts)) {
        if (p + i == m_tail.size())
            m_overlap = std::max(m_overlap, i); // the first i events repeat the last i rows
        else if (m_tail.at(p + i) == key)
            still.append(p);
    }
    m_starts = still;
    if (!m_starts.isEmpty())
        return false;
    m_lined = true;
    m_alreadyStored += int(m_overlap);
    m_pending.remove(0, m_overlap);
    return true;
}

bool EventStore::storePending() {
    while (!m_pending.isEmpty()) {
        const Pending& next = m_pending.first();
        if (!insert(next.row)) {
            m_lastError = PanelEvents::DescribeNumbers(next.numbers) + QLatin1Char('\n') + m_lastError;
            return false;
        }
        ++m_stored;
        m_pending.removeFirst();
    }
    return true;
}

bool EventStore::insert(const EventRow& row) {
    const QVariantList params{m_customerId,
                              m_lastNumber + 1,
                              row.data,
                              row.hora,
                              textOrNull(row.particao),
                              textOrNull(row.evento),
                              textOrNull(row.usuario),
                              textOrNull(row.zona)};
    FbStatement* statement = m_db.Prepared(kInsert);
    if (!statement || !statement->Execute(params)) {
        m_lastError = statement ? statement->LastError() : m_db.LastError();
        m_db.RollbackRetaining();
        return false;
    }
    if (!m_db.CommitRetaining()) {
        m_lastError = m_db.LastError();
        m_db.RollbackRetaining();
        return false;
    }
    ++m_lastNumber;
    return true;
}

bool EventStore::StoreRecord(QByteArrayView record, const QDate& today) {
    if (!m_begun && !Begin())
        return false;
    for (int e = 0; e < PanelEvents::EventsPerRecord; ++e) {
        const QByteArrayView bytes = record.sliced(e * PanelEvents::EventSize, PanelEvents::EventSize);
        if (PanelEvents::IsEnd(bytes))
            break;
        const EventRow row = PanelEvents::Decode(m_productCode, m_catalogue, bytes, today);
        m_pending.append({row, PanelEvents::Unpack(family(), bytes)});
        if (!m_lined && !lineUp(keyOf(row)))
            continue;
        if (!storePending())
            return false;
    }
    return true;
}
