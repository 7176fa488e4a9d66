#pragma once

#include "programming/event_reception.h"

#include <QList>
#include <QString>

#include <optional>

class DbConnection;

// One panel of a customer outside the recycle bin whose panel code another such panel shares.
struct SharedPanelCode {
    QString codigoPainel;
    QString nome;
};

// Looks up the customers of calling panels: only customers outside the recycle bin (group 1) can
// be called on, and a panel is known by its panel code.
namespace CallingCustomers {

// How many customers outside the recycle bin there are with a panel. False when the database fails.
bool CountListening(DbConnection& db, int* count, QString* error);

// The panels whose code is shared by more than one customer outside the recycle bin, ordered by
// code and name. False when the database fails.
bool SharedPanelCodes(DbConnection& db, QList<SharedPanelCode>* shared, QString* error);

// The customer whose panel has this code (compared with surrounding blanks dropped). When the
// operator chose to listen although customers share a code, the one with the lowest key is taken.
// Nothing when no customer outside the recycle bin has it; false when the database fails.
bool FindByPanelCode(DbConnection& db, const QString& panelCode, std::optional<CallingCustomer>* found,
                     QString* error);

} // namespace CallingCustomers
