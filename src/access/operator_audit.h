#pragma once

#include <QString>

class TdmBancoDeDados;

// The audit record of changes to the operators: who (the logged-in operator of the data module)
// created, changed, deactivated or deleted which operator, and which permissions an operator
// gained or lost. A row that cannot be written does not undo the change it records.

struct OperatorState {
    QString usuario;
    bool ativo = true;
    QString permissoes; // "1"/"0" per permission
};

// A new operator.
void AuditOperatorCreated(TdmBancoDeDados& dm, const OperatorState& created);
// An edited operator, from its stored state before to the one after: its name or other data
// ("Alteração de usuário"), its deactivation, and its permissions each get their row.
void AuditOperatorChanged(TdmBancoDeDados& dm, const OperatorState& before, const OperatorState& after,
                          bool otherDataChanged);
void AuditOperatorDeleted(TdmBancoDeDados& dm, const QString& usuario);

// "+3,5 -14": the permission numbers granted and taken away between two PERMISSOES texts; empty
// when they grant the same.
QString PermissionDifference(const QString& before, const QString& after);
