// The operator commands: operator add, operator list.
#include "access/login.h"
#include "access/operators.h"
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "app/cli/cli_operator.h"
#include "store/data_module.h"
#include "store/latin1_text.h"

#include <QTextStream>

namespace {

// The new operator's password: TELVORA_NEW_PASSWORD, or typed twice.
bool NewPassword(CliContext& context, QString* password) {
    if (qEnvironmentVariableIsSet("TELVORA_NEW_PASSWORD")) {
        *password = qEnvironmentVariable("TELVORA_NEW_PASSWORD");
    } else {
        *password = ReadHiddenLine(context, QStringLiteral("Senha do novo usuário: "));
        if (password->isEmpty()) {
            context.Complain(
                QStringLiteral("Informe a senha em TELVORA_NEW_PASSWORD ou digite-a no terminal."));
            return false;
        }
        if (ReadHiddenLine(context, QStringLiteral("Confirme a senha: ")) != *password) {
            context.Complain(kMsgConfirmacaoIncorreta);
            return false;
        }
    }
    // The same characters the first-operator form takes.
    for (QChar c : std::as_const(*password)) {
        if (!IsOperatorFieldChar(c)) {
            context.Complain(QStringLiteral("A senha só pode ter letras (sem acento) e números."));
            return false;
        }
    }
    if (password->isEmpty()) {
        context.Complain(kMsgPreenchimentoObrigatorio);
        return false;
    }
    return true;
}

int RunOperatorAdd(CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    if (!SplitArguments(args,
                        {QStringLiteral("admin"), QStringLiteral("permissions"), QStringLiteral("question"),
                         QStringLiteral("answer")},
                        &options, &words, &error))
        return context.WrongUse(error);
    if (words.size() != 1)
        return context.WrongUse(words.isEmpty() ? QStringLiteral("Informe o nome do usuário.")
                                                : UnexpectedArgumentText(words.at(1)));
    const QString name = words.first().trimmed();
    for (QChar c : name) {
        if (!IsOperatorFieldChar(c)) {
            context.Complain(QStringLiteral("O nome do usuário só pode ter letras (sem acento) e números."));
            return 1;
        }
    }
    QString permissoes;
    if (options.contains(QStringLiteral("admin"))) {
        permissoes = QString(LoggedOperator::kPermissionCount, QLatin1Char('1'));
    } else {
        QList<int> numbers;
        for (const QString& part :
             options.value(QStringLiteral("permissions")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            numbers << part.trimmed().toInt(&ok);
            if (!ok)
                numbers.last() = 0;
        }
        if (!PermissionText(numbers, &permissoes))
            return context.WrongUse(QStringLiteral("Permissões de 1 a 40, separadas por vírgula."));
    }
    const QString pergunta = options.value(QStringLiteral("question"), SecretQuestions().constFirst());
    const QString resposta = options.value(QStringLiteral("answer"));
    if (!SecretQuestions().contains(pergunta))
        return context.WrongUse(
            QStringLiteral("Pergunta: uma de %1").arg(SecretQuestions().join(QStringLiteral(", "))));
    if (!IsLatin1Text(resposta)) {
        context.Complain(MsgTextNotLatin1(resposta));
        return 1;
    }
    QString password;
    if (!NewPassword(context, &password))
        return 1;

    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
    dm.Operator.name = context.operatorName; // who the audit record names
    if (!AddOperator(dm, name, password, pergunta, resposta, permissoes, &error)) {
        context.Complain(error);
        return 1;
    }
    context.Report(QStringLiteral("Usuário %1 incluído.").arg(name),
                   CliJson::Record(QStringLiteral("operator_added"), {{QStringLiteral("name"), name}}));
    return 0;
}

int RunOperatorList(CliContext& context, const QStringList& args) {
    if (!args.isEmpty())
        return context.WrongUse(UnexpectedArgumentText(args.first()));
    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
    QList<OperatorRow> rows;
    QString error;
    if (!ListOperators(dm, &rows, &error)) {
        context.Complain(error);
        return 1;
    }
    for (const OperatorRow& row : rows) {
        const LoggedOperator op = LoggedOperator::FromRow(row.id, row.usuario, row.permissoes);
        QStringList granted;
        QJsonArray permissions;
        for (int p = 1; p <= LoggedOperator::kPermissionCount; ++p) {
            if (op.HasPermission(p)) {
                granted << QString::number(p);
                permissions.append(p);
            }
        }
        if (context.json) {
            CliJson::WriteLine(context.out,
                               CliJson::Record(QStringLiteral("operator"),
                                               {{QStringLiteral("id"), row.id},
                                                {QStringLiteral("name"), row.usuario},
                                                {QStringLiteral("active"), row.ativo},
                                                {QStringLiteral("administrator"), op.administrator},
                                                {QStringLiteral("permissions"), permissions}}));
            continue;
        }
        context.out << row.id << '\t' << row.usuario << '\t' << (row.ativo ? "ativo" : "inativo") << '\t'
                    << (op.administrator ? QStringLiteral("administrador") : granted.join(QLatin1Char(',')))
                    << '\n';
    }
    return 0;
}

const bool registered =
    RegisterCliFlag(QStringLiteral("admin")) &&
    RegisterCliCommand(
        {{QStringLiteral("operator"), QStringLiteral("add")},
         QStringLiteral("NOME [--admin] [--permissions N,N,...] [--question PERGUNTA] "
                        "[--answer RESPOSTA]"),
         QStringLiteral("inclui um usuário do software (senha em TELVORA_NEW_PASSWORD ou digitada)"),
         &RunOperatorAdd,
         [](const QStringList&) {
             return CliAccess::Needs({Permission::AlterarUsuarios, Permission::AdicionarUsuario});
         }}) &&
    RegisterCliCommand({{QStringLiteral("operator"), QStringLiteral("list")},
                        {},
                        QStringLiteral("lista os usuários do software e suas permissões"),
                        &RunOperatorList,
                        [](const QStringList&) { return CliAccess::Needs({Permission::AlterarUsuarios}); }});

} // namespace
