#pragma once

// Events for the viewer's tests: customers saved the way the record screen saves them, and rows of
// BUFFER_EVENTOS written directly with their numbers, dates and texts.
#include "base/locale_format.h"
#include "store/data_module.h"
#include "workspace/customer_record.h"

#include <QList>
#include <QString>
#include <QTime>

struct FixtureEvent {
    int number;
    QString date; // dd/mm/yyyy
    QString time; // hh:mm
    QString particao;
    QString evento;
    QString usuario; // empty: null
    QString zona;    // empty: null
};

// A customer of `productCode` saved with the eight rows of its aggregate; its key (0 on failure).
inline int AddEventCustomer(TdmBancoDeDados& dm, int productCode, const QString& name) {
    CustomerRecord record(dm);
    if (!record.BeginNew(productCode, QStringLiteral("1.4"), NewCustomerDefaults()))
        return 0;
    dm.DSetClientes.SetValue(QStringLiteral("NOME"), name);
    dm.DSetPainel.SetValue(QStringLiteral("FONE_PAINEL"), QStringLiteral("5551234"));
    const int id = record.Save() ? record.CustomerId() : 0;
    record.Close();
    return id;
}

inline bool InsertEvents(DbConnection& db, int customerId, const QList<FixtureEvent>& events) {
    const auto orNull = [](const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); };
    for (const FixtureEvent& e : events) {
        if (!db.Exec(QStringLiteral("insert into BUFFER_EVENTOS (ID_BUFFER_EVENTOS, ID_CLIENTE, COD_EVENTO, "
                                    "DATA, HORA, PARTICAO, EVENTO, USUARIO, ZONA) values "
                                    "(GEN_ID(GEN_BUFFER_EVENTOS_ID, 1), ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {customerId, e.number, ParseDate(e.date),
                      QTime::fromString(e.time, QStringLiteral("HH:mm")), orNull(e.particao), e.evento,
                      orNull(e.usuario), orNull(e.zona)}))
            return false;
    }
    return db.CommitRetaining();
}

// Six events of a 10-zone customer over four days, day and night, both partitions, users and
// zones (zone 10 to check that zones order as numbers), and an event text with a quote.
inline QList<FixtureEvent> SmallEventFixture() {
    return {
        {1, "01/03/2026", "08:00", "A", "ARME DO USUÁRIO ", "05", ""},
        {2, "01/03/2026", "22:30", "A", "DESARME DO USUÁRIO ", "Mestre", ""},
        {3, "02/03/2026", "23:15", "B", "DISPARO DA ZONA ", "", "3"},
        {4, "03/03/2026", "02:10", "B", "DESARME DO USUÁRIO ", "12", ""},
        {5, "03/03/2026", "14:00", "A", "RESTAURAÇÃO DA ZONA ", "", "10"},
        {6, "04/03/2026", "09:45", "B", "ARME D'ACESSO", "05", ""},
    };
}
