#pragma once

#include <QList>
#include <QString>

class TdmBancoDeDados;

// The operators of USUARIOS_SOFTWARE, for the command line's operator commands and its check of
// who runs a command.

struct OperatorRow {
    int id = 0;
    QString usuario;
    bool ativo = false;
    QString permissoes;
};

// The operators in key order; false with *error when the table cannot be read.
bool ListOperators(TdmBancoDeDados& dm, QList<OperatorRow>* rows, QString* error);

// Stores an active operator with the given PERMISSOES text ("1"/"0" per permission). The first
// operator of a database is the administrator and gets every permission, as the first-time set-up
// makes it. A name already in use is refused. False with *error when the row was not stored.
bool AddOperator(TdmBancoDeDados& dm, const QString& usuario, const QString& senha, const QString& pergunta,
                 const QString& resposta, const QString& permissoes, QString* error);

// The PERMISSOES text granting exactly the given permission numbers (1..40); false for a number
// outside that range.
bool PermissionText(const QList<int>& permissions, QString* text);
