#pragma once

#include "store/logged_operator.h"

#include <QString>
#include <QStringList>

class TdmBancoDeDados;

// The login and first-operator rules, without windows: the windows show what these answer.

// The secret questions, the only choices, in their order.
const QStringList& SecretQuestions();

inline const QString kMsgUsuarioIncorreto = QStringLiteral("Usuário incorreto");
inline const QString kMsgSenhaIncorreta = QStringLiteral("Senha incorreta");
inline const QString kMsgUsuarioInativo =
    QStringLiteral("Este usuário não tem permissão para utilizar o software Telvora");
inline const QString kMsgUsuarioInexistente =
    QStringLiteral("Usuário inexistente.\rDigite um nome de usuário válido.");
inline const QString kMsgEscolhaPergunta = QStringLiteral("Escolha a pergunta apropriada");
inline const QString kMsgEscrevaResposta = QStringLiteral("Escreva a resposta correta");
inline const QString kMsgRespostaIncorreta = QStringLiteral("Resposta incorreta");
inline const QString kMsgPreenchimentoObrigatorio = QStringLiteral("Preenchimento obrigatório");
inline const QString kMsgConfirmacaoIncorreta = QStringLiteral("A confirmação da senha não está correta.");

struct LoginAttempt {
    enum class Result { Ok, UnknownUser, WrongPassword, Inactive, DatabaseError };
    Result result = Result::DatabaseError;
    LoggedOperator op; // set when Ok
    QString error;     // the engine's text on DatabaseError
};

// Looks the operator up by the trimmed name (compared exactly, passed as a parameter, so any
// character of a name is safe) and checks the password exactly; a missing password never
// matches. Does not touch dm.Operator.
LoginAttempt TryLogin(TdmBancoDeDados& dm, const QString& name, const QString& password);

struct StoredSecret {
    bool found = false;
    QString usuario;
    QString senha;
    QString pergunta;
    QString resposta;
    QString error;
};
// The stored question, answer and password of an operator (trimmed name), for the forgotten
// password page.
StoredSecret FindSecret(TdmBancoDeDados& dm, const QString& name);

struct NewOperator {
    QString usuario;
    QString senha;
    QString confirmacao;
    QString pergunta;
    QString resposta;
};
// Which field of the first-operator form is wrong, in the order the form checks them.
enum class NewOperatorProblem {
    None,
    EmptyUsuario,
    EmptySenha,
    EmptyConfirmacao,
    NoPergunta,
    EmptyResposta,
    Mismatch
};
NewOperatorProblem CheckNewOperator(const NewOperator& op);

// Stores the first operator (every permission, active) and logs it in: dm.Operator becomes the
// administrator with every permission and dm.FirstRun is set. False with *error when the database
// refused the row.
bool CreateFirstOperator(TdmBancoDeDados& dm, const NewOperator& op, QString* error = nullptr);

// Typing filter of the name, password and confirmation: letters A-Z, a-z and digits.
bool IsOperatorFieldChar(QChar c);
