#include "app/cli/cli_operator.h"

#include "access/login.h"
#include "access/operators.h"
#include "store/data_module.h"
#include "workspace/record_texts.h"

#include <QThread>

#include <cstdio>
#include <iostream>
#include <string>

#ifdef Q_OS_UNIX
#include <termios.h>
#include <unistd.h>
#endif

namespace {

constexpr unsigned long RefusalPauseMs = 2000;

// The password from the environment, or typed on the terminal without echo; empty when neither.
QString ReadPassword(CliContext& context, const QString& name) {
    if (qEnvironmentVariableIsSet("TELVORA_PASSWORD"))
        return qEnvironmentVariable("TELVORA_PASSWORD");
    return ReadHiddenLine(context, QStringLiteral("Senha de %1: ").arg(name));
}

} // namespace

QString ReadHiddenLine(CliContext& context, const QString& prompt) {
#ifdef Q_OS_UNIX
    if (!isatty(STDIN_FILENO))
        return {};
    context.err << prompt << Qt::flush;
    termios saved{};
    tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::string line;
    std::getline(std::cin, line);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    context.err << Qt::endl;
    return QString::fromLocal8Bit(line.c_str());
#else
    Q_UNUSED(context);
    Q_UNUSED(prompt);
    return {};
#endif
}

bool AuthorizeCliOperator(CliContext& context, const CliAccess& access) {
    if (access.open)
        return true;
    TdmBancoDeDados dm;
    // A database that cannot be opened is the command's own failure to report.
    if (!dm.Connect(context.databaseName))
        return true;
    QList<OperatorRow> operators;
    QString error;
    if (!ListOperators(dm, &operators, &error)) {
        // Nobody can be checked against a table that cannot be read: the command is refused (an
        // empty table, a new database's, still runs everything until the first operator exists).
        context.Complain(QStringLiteral("Os usuários do banco não puderam ser lidos: %1").arg(error));
        return false;
    }
    if (operators.isEmpty())
        return true;

    const QString name = context.options.value(QStringLiteral("operator"));
    if (name.isEmpty()) {
        context.Complain(
            QStringLiteral("Este banco de dados tem usuários: informe --operator NOME (a senha em "
                           "TELVORA_PASSWORD ou digitada)."));
        return false;
    }
    const LoginAttempt login = TryLogin(dm, name, ReadPassword(context, name));
    if (login.result != LoginAttempt::Result::Ok) {
        // The same pause for every refusal, so trying names and passwords stays slow.
        QThread::msleep(RefusalPauseMs);
        switch (login.result) {
        case LoginAttempt::Result::UnknownUser:
            context.Complain(kMsgUsuarioIncorreto);
            break;
        case LoginAttempt::Result::WrongPassword:
            context.Complain(kMsgSenhaIncorreta);
            break;
        case LoginAttempt::Result::Inactive:
            context.Complain(kMsgUsuarioInativo);
            break;
        default:
            context.Complain(login.error);
            break;
        }
        return false;
    }
    bool allowed = !access.administrator || login.op.administrator;
    for (Permission p : access.permissions)
        allowed = allowed && login.op.HasPermission(p);
    if (!allowed) {
        context.Complain(kMsgSemPermissao);
        return false;
    }
    context.operatorName = login.op.name;
    return true;
}
