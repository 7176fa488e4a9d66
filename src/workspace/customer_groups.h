#pragma once

#include "workspace/customer_actions.h"

#include <QList>
#include <QString>

class TdmBancoDeDados;

// The groups dialog's rules: the customer groups other than the recycle bin (group 1, "LIXEIRA"),
// their names in upper case, letters and digits only.

inline const QString kMsgGrupoErro = QStringLiteral("Erro!");
inline const QString kAskApagarGrupo =
    QStringLiteral("Tem certeza que quer apagar este registro?\rTodos os usuários deste grupo serão "
                   "transferidos para o grupo LIXEIRA");

// The groups the dialog lists (every one but the recycle bin), in key order.
bool ReadEditableGroups(TdmBancoDeDados& dm, QList<CustomerGroup>* groups, QString* error);

// Letters, digits (what can be typed in the list).
bool IsGroupNameChar(QChar c);

// Stores a new group (id 0) or renames one, the name in upper case. Refused (false, with the
// engine's text or the rule broken in *error) for an empty name, a character other than a letter or
// digit, or the recycle bin.
bool SaveGroup(TdmBancoDeDados& dm, int id, const QString& name, QString* error);

// Moves the group's customers into the recycle bin and deletes the group, in one transaction. The
// recycle bin itself cannot be deleted.
bool DeleteGroup(TdmBancoDeDados& dm, int id, QString* error);
