// The audit record command:
//   audit [--customer ID] [--from dd/mm/yyyy]
// Lists who did what to which panel, oldest first: date and time, operator, customer number and
// name (empty for a database action), action and details, separated by tabs. Only the
// administrator may read it.
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "base/locale_format.h"
#include "store/audit_log.h"
#include "store/data_module.h"

namespace {

int RunAudit(CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    if (!SplitArguments(args, {QStringLiteral("customer"), QStringLiteral("from")}, &options, &words, &error))
        return context.WrongUse(error);
    if (!words.isEmpty())
        return context.WrongUse(UnexpectedArgumentText(words.first()));
    AuditFilter filter;
    if (options.contains(QStringLiteral("customer"))) {
        bool ok = false;
        filter.customerId = options.value(QStringLiteral("customer")).toInt(&ok);
        if (!ok || filter.customerId <= 0)
            return context.WrongUse(
                QStringLiteral("Cliente inválido: %1").arg(options.value(QStringLiteral("customer"))));
    }
    if (options.contains(QStringLiteral("from"))) {
        filter.from = ParseDate(options.value(QStringLiteral("from")));
        if (!filter.from.isValid())
            return context.WrongUse(
                QStringLiteral("Data inválida (dd/mm/aaaa): %1").arg(options.value(QStringLiteral("from"))));
    }
    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
    QList<AuditRow> rows;
    if (!ReadAudit(dm, filter, &rows, &error)) {
        context.Complain(error);
        return 1;
    }
    if (rows.isEmpty() && !context.json) {
        context.Say(filter.customerId > 0 || filter.from.isValid() ? kMsgAuditoriaVaziaFiltro
                                                                   : kMsgAuditoriaVazia);
        return 0;
    }
    for (const AuditRow& row : rows) {
        if (context.json) {
            CliJson::WriteLine(
                context.out, CliJson::Record(QStringLiteral("audit"),
                                             {{QStringLiteral("when"), CliJson::Moment(row.when)},
                                              {QStringLiteral("operator"), row.usuario},
                                              {QStringLiteral("customer"), CliJson::Customer(row.customerId)},
                                              {QStringLiteral("customer_name"), row.customerName},
                                              {QStringLiteral("action"), row.action},
                                              {QStringLiteral("details"), row.details}}));
            continue;
        }
        const QString customer = row.customerId > 0 ? QString::number(row.customerId) : QString();
        context.out << FormatDateTime(row.when) << '\t' << row.usuario << '\t' << customer << '\t'
                    << row.customerName << '\t' << row.action << '\t' << row.details << '\n';
    }
    return 0;
}

const bool registered = RegisterCliCommand(
    {{QStringLiteral("audit")},
     QStringLiteral("[--customer ID] [--from dd/mm/aaaa]"),
     QStringLiteral("lista o registro de operações: quem conectou, programou, comandou, apagou ou restaurou"),
     &RunAudit,
     [](const QStringList&) { return CliAccess::Administrator(); }});

} // namespace
