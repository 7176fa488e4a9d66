#pragma once

#include "report/programming_report.h"

#include <QString>

class DbConnection;

// Reading a customer's programming report from the database, for the preview and the command line.
struct ProgrammingReportJob {
    enum class Outcome {
        Ready,         // `report` holds the six pages
        NoCustomer,    // no CLIENTES row with that key
        NoModel,       // PRODUTO names no model: nothing to print
        DatabaseError, // a select failed (`error`)
    };
    Outcome outcome = Outcome::DatabaseError;
    ProgrammingReport report;
    QString error;

    static ProgrammingReportJob Read(DbConnection& db, int idCliente, const ReportPermissions& permissions);
};

// "Cliente 12 não encontrado."
QString CustomerNotFoundMessage(int idCliente);
// The message for a customer whose panel model is not known.
QString NoModelMessage(int idCliente);
