#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

class TdmBancoDeDados;

// The record of who did what to which panel (table AUDITORIA): connections, programming writes,
// remote commands, deletions and restores, new customers, and the changes to the operators
// themselves. Rows are only added; nothing in the program changes or deletes them.

enum class AuditAction {
    Connect,
    WriteProgramming,
    Command,
    DeleteCustomer,
    DeleteEvents,
    Restore,
    CustomerCreated,
    OperatorCreated,
    OperatorChanged,
    OperatorDeactivated,
    OperatorDeleted,
    PermissionsChanged,
};

// The text stored in ACAO for an action.
QString AuditActionText(AuditAction action);

struct AuditRow {
    QDateTime when;
    QString usuario;
    int customerId = 0;   // 0: no customer (a restore)
    QString customerName; // NOME of that customer, empty when there is none (or it was deleted)
    QString action;
    QString details;
};

// Adds one row for the operator (customerId 0 for none) with the time of now and commits it. Texts
// longer than their columns are cut, characters outside ISO8859_1 become "?": the record of an
// action that already happened is never lost over its wording. False with the engine's text in
// the connection's LastError when the row could not be written.
bool RecordAudit(TdmBancoDeDados& dm, const QString& usuario, int customerId, AuditAction action,
                 const QString& details = {});

// What the audit views say when no row passes.
inline const QString kMsgAuditoriaVazia = QStringLiteral("Nenhuma operação foi registrada.");
inline const QString kMsgAuditoriaVaziaFiltro =
    QStringLiteral("Nenhuma operação foi registrada para o cliente ou a data informados.");

struct AuditFilter {
    int customerId = 0; // 0: every customer
    QDate from;         // invalid: from the beginning
};

// The rows that pass the filter, oldest first, each with the name of its customer.
bool ReadAudit(TdmBancoDeDados& dm, const AuditFilter& filter, QList<AuditRow>* rows, QString* error);
