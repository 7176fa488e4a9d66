// The customer commands: customer add, customer list.
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "base/settings.h"
#include "programming/product_codes.h"
#include "store/customer_index.h"
#include "store/data_module.h"
#include "store/latin1_text.h"
#include "store/schema_tables.h"
#include "workspace/customer_record.h"
#include "workspace/field_checks.h"
#include "workspace/field_texts.h"
#include "workspace/record_texts.h"
#include "workspace/save_checks.h"

namespace {

// The options that fill a column, with the field they fill.
const struct {
    const char* option;
    const char* table;
    const char* column;
} kFieldOptions[] = {
    {"nome", "CLIENTES", "NOME"},
    {"fone-painel", "PAINEL", "FONE_PAINEL"},
    {"codigo-painel", "PAINEL", "CODIGO_PAINEL"},
    {"codigo-pc", "PAINEL", "CODIGO_PC"},
};

// Adds a customer of a model with its factory programming, as the record screen saves a new one:
// the "Default" group, today's date, the codes (also in the programming image) and the panel's
// telephone. Each value is checked against its column first, and the panel code against the
// repeat rule of the general options (a rule that would ask refuses here unless --aceitar-repetido
// answered beforehand).
int RunCustomerAdd(CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    const QStringList allowed{QStringLiteral("nome"),
                              QStringLiteral("produto"),
                              QStringLiteral("versao"),
                              QStringLiteral("fone-painel"),
                              QStringLiteral("codigo-painel"),
                              QStringLiteral("codigo-pc"),
                              QStringLiteral("aceitar-repetido")};
    if (!SplitArguments(args, allowed, &options, &words, &error))
        return context.WrongUse(error);
    if (!words.isEmpty())
        return context.WrongUse(UnexpectedArgumentText(words.first()));
    // The database keeps ISO8859_1: text outside it is refused here, never stored altered.
    for (const QString& value : std::as_const(options)) {
        if (!IsLatin1Text(value)) {
            context.Complain(MsgTextNotLatin1(value));
            return 1;
        }
    }
    const QString nome = options.value(QStringLiteral("nome")).trimmed();
    bool numeric = false;
    const int product = options.value(QStringLiteral("produto")).toInt(&numeric);
    if (nome.isEmpty() || !numeric || product < 1 || product > 4)
        return context.WrongUse();
    for (const auto& option : kFieldOptions) {
        const QString name = QString::fromLatin1(option.option);
        if (!options.contains(name))
            continue;
        const CustomerField* field =
            FindCustomerField(QString::fromLatin1(option.table), QString::fromLatin1(option.column));
        const QString value = name == QLatin1String("nome") ? nome : options.value(name);
        QString refusal = CheckFieldValue(*field, value);
        if (refusal.isEmpty() && value.isEmpty() && name != QLatin1String("nome"))
            refusal = MsgFieldRequired(field->caption);
        if (!refusal.isEmpty()) {
            context.Complain(refusal);
            return 1;
        }
    }
    const QString panelCode = options.value(QStringLiteral("codigo-painel"), QStringLiteral("6093"));
    const QString pcCode = options.value(QStringLiteral("codigo-pc"), QStringLiteral("6093"));
    const QString version =
        options.value(QStringLiteral("versao"), NewCustomerVersion(ModelOf(product, QStringLiteral("1.4"))));
    if (const QString refusal = CheckProductVersion(product, version); !refusal.isEmpty()) {
        context.Complain(refusal);
        return 1;
    }

    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
    dm.Operator.name = context.operatorName; // who the audit record names
    CustomerRecord record(dm);
    NewCustomerDefaults defaults;
    if (!record.BeginNew(product, version, defaults)) {
        context.Complain(record.LastError());
        return 1;
    }
    dm.DSetClientes.SetValue(QStringLiteral("NOME"), nome);
    dm.DSetPainel.SetValue(QStringLiteral("FONE_PAINEL"),
                           options.value(QStringLiteral("fone-painel"), QStringLiteral("0")));
    dm.DSetPainel.SetValue(QStringLiteral("CODIGO_PAINEL"), panelCode);
    dm.DSetPainel.SetValue(QStringLiteral("CODIGO_PC"), pcCode);
    record.CopyPanelCodeToImage(panelCode);
    record.CopyPcCodeToImage(pcCode);
    record.ProgramacaoAlterada = true;
    const SaveCheck check = CheckBeforeSave(record, RepeatRuleOf(ReadSettingsOrDefaults().OpcoesGerais));
    switch (check.outcome) {
    case SaveCheck::Outcome::Passed:
        break;
    case SaveCheck::Outcome::RepeatRefused:
        context.Complain(kMsgCodigoRepetidoProibido);
        return 1;
    case SaveCheck::Outcome::RepeatAskToGoOn:
        // The rule asks; --aceitar-repetido is the answer given beforehand.
        if (options.contains(QStringLiteral("aceitar-repetido")))
            break;
        context.Complain(kMsgCodigoRepetidoSemConfirmacao +
                         QStringLiteral("\rPara gravar assim mesmo: --aceitar-repetido"));
        return 1;
    case SaveCheck::Outcome::Missing:
        context.Complain(kMsgCampoObrigatorio);
        return 1;
    case SaveCheck::Outcome::Invalid:
    case SaveCheck::Outcome::Failed:
        context.Complain(check.error);
        return 1;
    }
    if (!record.Save(&error)) {
        context.Complain(error);
        return 1;
    }
    context.Report(
        QStringLiteral("Cliente gravado: %1").arg(record.CustomerId()),
        CliJson::Record(QStringLiteral("customer_added"), {{QStringLiteral("customer"), record.CustomerId()},
                                                           {QStringLiteral("name"), nome},
                                                           {QStringLiteral("product"), product},
                                                           {QStringLiteral("version"), version}}));
    return 0;
}

// Every customer: number, name and model, tab-separated ("LIXEIRA" after those in the recycle bin).
int RunCustomerList(CliContext& context, const QStringList& args) {
    if (!args.isEmpty())
        return context.WrongUse(UnexpectedArgumentText(args.first()));
    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
    QList<CustomerIndexRow> rows;
    QString error;
    if (!ReadCustomerIndex(dm.IBDB, &rows, &error)) {
        context.Complain(error);
        return 1;
    }
    for (const CustomerIndexRow& row : rows) {
        const QString model = ModelName(ModelOf(row.produto, row.versaoProduto));
        QString text = QStringLiteral("%1\t%2\t%3").arg(row.id).arg(row.nome, model);
        if (row.inRecycleBin)
            text += QStringLiteral("\t") + kRecycleBinGroupName;
        context.Report(text, CliJson::Record(QStringLiteral("customer"),
                                             {{QStringLiteral("customer"), row.id},
                                              {QStringLiteral("name"), row.nome},
                                              {QStringLiteral("product"), ProductCodeOf(row.produto)},
                                              {QStringLiteral("model"), model},
                                              {QStringLiteral("recycle_bin"), row.inRecycleBin}}));
    }
    return 0;
}

const bool listRegistered = RegisterCliCommand(
    {{QStringLiteral("customer"), QStringLiteral("list")},
     {},
     QStringLiteral("lista os clientes: número, nome e modelo"),
     &RunCustomerList,
     [](const QStringList&) { return CliAccess::Needs({Permission::VisualizarCliente}); }});

const bool registered =
    RegisterCliFlag(QStringLiteral("aceitar-repetido")) &&
    RegisterCliCommand(
        {{QStringLiteral("customer"), QStringLiteral("add")},
         QStringLiteral(
             "--nome NOME --produto 1..4 [--versao M.m] [--fone-painel FONE] [--codigo-painel NNNN] "
             "[--codigo-pc NNNN] [--aceitar-repetido]"),
         QStringLiteral("inclui um cliente com a programação de fábrica do modelo"),
         &RunCustomerAdd,
         [](const QStringList&) { return CliAccess::Needs({Permission::AdicionarCliente}); }});

} // namespace
