#include "store/db_buffer_receiver.h"

#include "store/calling_customers.h"
#include "store/event_store.h"

DbBufferReceiver::DbBufferReceiver(DbConnection& db) : m_db(db) {}

DbBufferReceiver::~DbBufferReceiver() = default;

bool DbBufferReceiver::Acha_Cliente(const QString& panelCode, std::optional<CallingCustomer>* found) {
    return CallingCustomers::FindByPanelCode(m_db, panelCode, found, &m_lastError);
}

bool DbBufferReceiver::BeginReception(const CallingCustomer& customer, int productCode) {
    m_events = std::make_unique<EventStore>(m_db, customer.id, productCode, EventCatalogue::Session);
    if (m_events->Begin())
        return true;
    m_lastError = m_events->LastError();
    return false;
}

bool DbBufferReceiver::Atualiza_Buffer_Eventos(int, const QByteArray& record) {
    if (!m_events)
        return false;
    if (m_events->StoreRecord(record, Today()))
        return true;
    m_lastError = m_events->LastError();
    return false;
}

void DbBufferReceiver::EndReception() {
    if (m_events)
        m_events->End();
}

int DbBufferReceiver::Stored() const {
    return m_events ? m_events->Stored() : 0;
}

int DbBufferReceiver::AlreadyStored() const {
    return m_events ? m_events->AlreadyStored() : 0;
}
