#include "store/event_store.h"

#include "store/db_connection.h"
#include "store/fb_statement.h"

namespace {

const QString kSelectRows = QStringLiteral(
    "select DATA, HORA, PARTICAO, EVENTO, USUARIO, ZONA from BUFFER_EVENTOS where ID_CLIENTE = ?");
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

bool EventStore::Begin(int lockWaitMs) {
    if (!m_lock.Held() && !m_lock.Acquire(m_db.DatabaseName(), m_customerId, lockWaitMs)) {
        m_lastError = m_lock.LastError();
        return false;
    }
    m_before.clear();
    m_seen.clear();
    m_stored = m_alreadyStored = 0;
    bool ok = false;
    const QList<QVariantList> rows = m_db.SelectRows(kSelectRows, {m_customerId}, &ok);
    if (!ok) {
        m_lastError = m_db.LastError();
        return false;
    }
    for (const QVariantList& r : rows) {
        EventRow row;
        row.data = r.value(0).toDate();
        row.hora = r.value(1).toTime();
        const auto text = [&](int i) { return r.value(i).isNull() ? QString() : r.value(i).toString(); };
        row.particao = text(2);
        row.evento = text(3);
        row.usuario = text(4);
        row.zona = text(5);
        ++m_before[keyOf(row)];
    }
    const QVariant last = m_db.SelectValue(kSelectLastNumber, {m_customerId}, &ok);
    if (!ok) {
        m_lastError = m_db.LastError();
        return false;
    }
    m_lastNumber = last.toLongLong();
    m_begun = true;
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
    const ProductFamily family =
        FamilyOf(m_productCode) == ProductFamily::FiveZone ? ProductFamily::FiveZone : ProductFamily::TenZone;
    for (int e = 0; e < PanelEvents::EventsPerRecord; ++e) {
        const QByteArrayView bytes = record.sliced(e * PanelEvents::EventSize, PanelEvents::EventSize);
        if (PanelEvents::IsEnd(bytes))
            break;
        const EventRow row = PanelEvents::Decode(m_productCode, m_catalogue, bytes, today);
        const QString key = keyOf(row);
        const int occurrence = ++m_seen[key];
        if (occurrence <= m_before.value(key)) {
            ++m_alreadyStored;
            continue;
        }
        if (!insert(row)) {
            --m_seen[key];
            m_lastError = PanelEvents::DescribeNumbers(PanelEvents::Unpack(family, bytes)) +
                          QLatin1Char('\n') + m_lastError;
            return false;
        }
        ++m_stored;
    }
    return true;
}
