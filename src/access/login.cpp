#include "access/login.h"

#include "store/data_module.h"

const QStringList& SecretQuestions() {
    static const QStringList questions = {
        QStringLiteral("Time favorito?"),  QStringLiteral("Nome do animal de estimação?"),
        QStringLiteral("Filme favorito?"), QStringLiteral("Nome do(a) professor(a) favorito(a)?"),
        QStringLiteral("Herói favorito?"), QStringLiteral("Comida predileta?"),
    };
    return questions;
}

LoginAttempt TryLogin(TdmBancoDeDados& dm, const QString& name, const QString& password) {
    LoginAttempt attempt;
    DataSet& q = dm.qrySenhas;
    q.Close();
    q.SetSelectSql(QStringLiteral("Select ID_USER_SOFT, Usuario, Senha, Permissoes, Ativo from "
                                  "USUARIOS_SOFTWARE where Usuario = ?"),
                   {name.trimmed()});
    if (!q.Open()) {
        attempt.error = q.LastError();
        return attempt;
    }
    if (q.IsEmpty()) {
        attempt.result = LoginAttempt::Result::UnknownUser;
    } else if (q.Value(QStringLiteral("SENHA")).isNull() ||
               q.Value(QStringLiteral("SENHA")).toString() != password) {
        attempt.result = LoginAttempt::Result::WrongPassword;
    } else if (q.Value(QStringLiteral("ATIVO")).toString() != QLatin1String("T")) {
        attempt.result = LoginAttempt::Result::Inactive;
    } else {
        attempt.result = LoginAttempt::Result::Ok;
        attempt.op = LoggedOperator::FromRow(q.Value(QStringLiteral("ID_USER_SOFT")).toInt(),
                                             q.Value(QStringLiteral("USUARIO")).toString(),
                                             q.Value(QStringLiteral("PERMISSOES")).toString());
    }
    q.Close();
    return attempt;
}

StoredSecret FindSecret(TdmBancoDeDados& dm, const QString& name) {
    StoredSecret secret;
    DataSet& q = dm.qrySenhas;
    q.Close();
    q.SetSelectSql(
        QStringLiteral("Select Usuario, Senha, Pergunta, Resposta from USUARIOS_SOFTWARE where Usuario = ?"),
        {name.trimmed()});
    if (!q.Open()) {
        secret.error = q.LastError();
        return secret;
    }
    if (!q.IsEmpty()) {
        secret.found = true;
        secret.usuario = q.Value(QStringLiteral("USUARIO")).toString();
        secret.senha = q.Value(QStringLiteral("SENHA")).toString();
        secret.pergunta = q.Value(QStringLiteral("PERGUNTA")).toString();
        secret.resposta = q.Value(QStringLiteral("RESPOSTA")).toString();
    }
    q.Close();
    return secret;
}

NewOperatorProblem CheckNewOperator(const NewOperator& op) {
    if (op.usuario.isEmpty())
        return NewOperatorProblem::EmptyUsuario;
    if (op.senha.isEmpty())
        return NewOperatorProblem::EmptySenha;
    if (op.confirmacao.isEmpty())
        return NewOperatorProblem::EmptyConfirmacao;
    if (!SecretQuestions().contains(op.pergunta))
        return NewOperatorProblem::NoPergunta;
    if (op.resposta.isEmpty())
        return NewOperatorProblem::EmptyResposta;
    if (op.senha != op.confirmacao)
        return NewOperatorProblem::Mismatch;
    return NewOperatorProblem::None;
}

bool CreateFirstOperator(TdmBancoDeDados& dm, const NewOperator& op, QString* error) {
    DataSet& set = dm.DSetUsuariosSoft;
    auto fail = [&](const QString& why) {
        if (set.Editing())
            set.Cancel();
        dm.RollbackRetaining();
        if (error)
            *error = why;
        return false;
    };
    if (!set.Active() && !set.Open())
        return fail(set.LastError());
    if (!set.Editing() && !set.Insert())
        return fail(set.LastError());
    set.SetValue(QStringLiteral("USUARIO"), op.usuario);
    set.SetValue(QStringLiteral("SENHA"), op.senha);
    set.SetValue(QStringLiteral("CONFIRMA_SENHA"), op.confirmacao);
    set.SetValue(QStringLiteral("PERGUNTA"), op.pergunta);
    set.SetValue(QStringLiteral("RESPOSTA"), op.resposta);
    set.SetValue(QStringLiteral("PERMISSOES"), QString(255, QLatin1Char('1')));
    set.SetValue(QStringLiteral("ATIVO"), QStringLiteral("T"));
    if (!set.Post())
        return fail(set.LastError());
    if (!dm.CommitRetaining())
        return fail(dm.IBDB.LastError());
    LoggedOperator logged;
    logged.name = op.usuario;
    // The first operator normally takes key 1; the flag follows the key, as the next login will.
    logged.administrator = set.Value(QStringLiteral("ID_USER_SOFT")).toInt() == 1;
    logged.permissions.fill(true);
    dm.Operator = logged;
    dm.FirstRun = true;
    return true;
}

bool IsOperatorFieldChar(QChar c) {
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}
