#pragma once

#include "programming/event_reception.h"

#include <QDate>

#include <functional>
#include <memory>

class DbConnection;
class EventStore;

// The receiver over the program's database: the customer by panel code (customers outside the
// recycle bin only) and the events through EventStore, each event once per customer whatever
// number of times the panel delivers it. Events are named with the catalogue of the customer's own
// model, as a session download names them.
class DbBufferReceiver : public BufferReceiver {
public:
    explicit DbBufferReceiver(DbConnection& db);
    ~DbBufferReceiver() override;

    bool Acha_Cliente(const QString& panelCode, std::optional<CallingCustomer>* found) override;
    bool BeginReception(const CallingCustomer& customer, int productCode) override;
    bool Atualiza_Buffer_Eventos(int index, const QByteArray& record) override;
    void EndReception() override;
    int Stored() const override;
    int AlreadyStored() const override;
    QString LastError() const override { return m_lastError; }

    // The day the events are dated by (the panel sends no year); today unless a test sets it.
    std::function<QDate()> Today = [] { return QDate::currentDate(); };

private:
    DbConnection& m_db;
    std::unique_ptr<EventStore> m_events;
    QString m_lastError;
};
