#pragma once

class QMenu;
class QWidget;
class TdmBancoDeDados;

// The main window's entries for operators: "&Usuários, senhas e permissões ..." (the operator
// list, for an operator holding "Alterar usuários, senhas e permissões") and "Registro de
// &operações ..." (the audit record, for the administrator). A refused entry shows the system's
// message and opens nothing.
void AddOperatorMenuEntries(QMenu* menu, TdmBancoDeDados& dm, QWidget* window);
