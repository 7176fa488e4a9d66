// The customer commands: customer add, customer list.
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "programming/product_codes.h"
#include "store/customer_index.h"
#include "store/data_module.h"
#include "store/latin1_text.h"
#include "store/schema_tables.h"
#include "workspace/customer_record.h"

namespace {

bool IsCode(const QString& text) {
    if (text.size() != 4)
        return false;
    for (QChar c : text) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

// Adds a customer of a model with its factory programming, as the record screen saves a new one:
// the "Default" group, today's date, the codes (also in the programming image) and the panel's
// telephone.
int RunCustomerAdd(CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    const QStringList allowed{QStringLiteral("nome"),          QStringLiteral("produto"),
                              QStringLiteral("versao"),        QStringLiteral("fone-painel"),
                              QStringLiteral("codigo-painel"), QStringLiteral("codigo-pc")};
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
    const QString panelCode = options.value(QStringLiteral("codigo-painel"), QStringLiteral("6093"));
    const QString pcCode = options.value(QStringLiteral("codigo-pc"), QStringLiteral("6093"));
    if (nome.isEmpty() || !numeric || product < 1 || product > 4 || !IsCode(panelCode) || !IsCode(pcCode))
        return context.WrongUse();
    const QString version =
        options.value(QStringLiteral("versao"), NewCustomerVersion(ModelOf(product, QStringLiteral("1.4"))));

    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
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

const bool registered = RegisterCliCommand(
    {{QStringLiteral("customer"), QStringLiteral("add")},
     QStringLiteral("--nome NOME --produto 1..4 [--versao M.m] [--fone-painel FONE] [--codigo-painel NNNN] "
                    "[--codigo-pc NNNN]"),
     QStringLiteral("inclui um cliente com a programação de fábrica do modelo"),
     &RunCustomerAdd,
     [](const QStringList&) { return CliAccess::Needs({Permission::AdicionarCliente}); }});

} // namespace
