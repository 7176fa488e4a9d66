#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

class DbConnection;

// One customer's stored rows as printed: the CLIENTES row, its PAINEL row and the programming
// rows of that panel, each as column name (upper case) to value. A row that is not stored is an
// empty map, so every value read from it is null.
struct CustomerRows {
    QVariantMap clientes;
    QVariantMap painel;
    QVariantMap zonas;
    QVariantMap usuarios;
    QVariantMap tempos;
    QVariantMap fones;
    QVariantMap opcoes;
    QVariantMap report;
    // The names of the customer's and the panel's states (ESTADOS), empty when not found.
    QString estadoCliente;
    QString estadoPainel;

    bool Found() const { return !clientes.isEmpty(); }
};

// Reads the stored rows of customer `idCliente`: CLIENTES and PAINEL by the customer's key, the
// programming rows by the panel's ID_PAINEL, each with a parameterised select. A customer that
// does not exist answers true with empty rows (Found() false); false with *error when a select
// fails.
bool ReadCustomerRows(DbConnection& db, int idCliente, CustomerRows* rows, QString* error = nullptr);
