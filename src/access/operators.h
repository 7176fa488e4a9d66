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

// The operator list and the operator editor of the windows.

inline const QString kMsgUsuarioNaoPodeSerExcluido = QStringLiteral("Este usuário não pode ser excluído");
inline const QString kAskApagarUsuario = QStringLiteral("Tem Certeza que quer apagar este usuário?");
inline const QString kMsgUsuarioJaExiste = QStringLiteral("Já existe um usuário com este nome");
inline const QString kMsgUltimoAdministrador =
    QStringLiteral("Este é o único usuário ativo que pode alterar usuários, senhas e permissões: ele não "
                   "pode ser excluído, desativado nem perder estas permissões.");
inline const QString kMsgSemPermissaoOperacao =
    QStringLiteral("Este usuário não tem permissão para esta operação");
inline const QString kTituloNovoUsuario = QStringLiteral("Novo Usuário");
inline const QString kTituloModificandoUsuario = QStringLiteral("Modificando Cadastro do Usuário");

// The names the operator list shows, in key order: every operator for the administrator, every
// one but the administrator for anybody else.
bool OperatorNames(TdmBancoDeDados& dm, bool administratorLoggedIn, QStringList* names, QString* error);

// One operator as the editor shows and stores it; id 0 for a new one.
struct OperatorRecord {
    int id = 0;
    QString usuario;
    QString senha;
    QString confirmacao;
    QString pergunta; // one of SecretQuestions(), or empty when the stored one is none of them
    QString resposta;
    bool ativo = true;
    QString permissoes; // null: none given yet
    bool IsAdministrator() const { return id == 1; }
};

// Reads the operator of that exact name (any character of a name is data). The administrator's
// PERMISSOES shorter than forty characters is padded with "1" to forty and stored so (a longer one
// stays). False with *error empty when there is no such operator.
bool LoadOperator(TdmBancoDeDados& dm, const QString& usuario, OperatorRecord* record, QString* error);

enum class OperatorChange { Done, DuplicateName, LastAdministrator, NotAllowed, Failed };

// Stores a new (id 0) or edited operator: PERMISSOES still null becomes forty "0", ATIVO "T" or
// "F". The administrator stays active with every permission, whatever the record says. A change
// that would leave no active operator able to reach the permission editor (the administrator, or
// one holding permissions 14 and 16) is refused with LastAdministrator. A name already in use
// gives DuplicateName; *error tells the engine's text on Failed. The logged-in operator's own
// new name and permissions hold at once.
OperatorChange SaveOperator(TdmBancoDeDados& dm, OperatorRecord* record, QString* error);

// Deletes the operator of that exact name: NotAllowed for the administrator, LastAdministrator
// for the last one able to reach the permission editor.
OperatorChange DeleteOperator(TdmBancoDeDados& dm, const QString& usuario, QString* error);

// The message of a refused change (empty for Done and Failed).
QString OperatorChangeMessage(OperatorChange change);
