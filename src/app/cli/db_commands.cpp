// The database commands: db init, db upgrade, db backup, db restore.
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "base/termination_request.h"
#include "store/audit_log.h"
#include "store/data_module.h"
#include "store/db_backup.h"
#include "store/firebird_client.h"
#include "store/sql_script.h"
#include "store/store_messages.h"
#include "store/upkeep.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

bool LocalFileMissing(const CliContext& context) {
    const QString name = NormalizeDatabaseName(context.databaseName);
    if (IsRemoteDatabaseName(name) || QFileInfo::exists(name))
        return false;
    context.Complain(MsgFileNotFound(name));
    return true;
}

void ShowProgress(const CliContext& context, DatabaseBackup& backup) {
    if (context.verbose)
        backup.SetProgress([&context](const QString& line) { context.err << line << Qt::endl; });
    // Ctrl-C or a termination request ends the backup or restore, with nothing half-made left,
    // and the command exits as every other interrupted one. The engine takes the signals over when
    // it starts: they are put back first.
    TerminationRequest::instance().Install();
    backup.SetStopRequest([] {
        QCoreApplication::processEvents();
        return TerminationRequest::instance().Requested();
    });
}

// A command that takes no arguments: false, after the wrong use was reported, when some were given.
bool NoArguments(const CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    if (!SplitArguments(args, {}, &options, &words, &error)) {
        context.WrongUse(error);
        return false;
    }
    if (!words.isEmpty()) {
        context.WrongUse(UnexpectedArgumentText(words.first()));
        return false;
    }
    return true;
}

int RunDbInit(CliContext& context, const QStringList& args) {
    if (!NoArguments(context, args))
        return 2;
    QString error;
    const QString name = NormalizeDatabaseName(context.databaseName);
    if (!CreateNewDatabase(name, &error)) {
        context.Complain(QStringLiteral("Não foi possível criar o banco de dados %1.\r%2")
                             .arg(QDir::toNativeSeparators(name), error));
        return 1;
    }
    context.Report(QStringLiteral("Banco de dados criado: %1").arg(QDir::toNativeSeparators(name)),
                   CliJson::Record(QStringLiteral("database_created"), {{QStringLiteral("database"), name}}));
    return 0;
}

int RunDbUpgrade(CliContext& context, const QStringList& args) {
    if (!NoArguments(context, args))
        return 2;
    if (LocalFileMissing(context))
        return 1;
    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
    StartupUpkeepReport report;
    QString error;
    if (!RunStartupUpkeep(dm, &report, &error)) {
        context.Complain(kMsgErroAbrirBancoInicio + QStringLiteral("\r") + error);
        return 1;
    }
    const GeneratorRepair& generators = report.generators;
    if (context.json) {
        CliJson::WriteLine(
            context.out,
            CliJson::Record(
                QStringLiteral("database_upgraded"),
                {{QStringLiteral("event_users_changed"), report.eventUsersChanged},
                 {QStringLiteral("columns_added"), QJsonArray::fromStringList(report.columnsAdded)},
                 {QStringLiteral("tables_added"), QJsonArray::fromStringList(report.tablesAdded)},
                 {QStringLiteral("event_key_added"), report.eventKeyAdded},
                 {QStringLiteral("event_copies_removed"), report.eventCopiesRemoved},
                 {QStringLiteral("events_renumbered"), report.eventsRenumbered},
                 {QStringLiteral("generators_repaired"), generators.repaired},
                 {QStringLiteral("generators_minimum"), generators.minimum}}));
        return 0;
    }
    context.Say(QStringLiteral("Eventos com usuário corrigido: %1").arg(report.eventUsersChanged));
    for (const QString& column : report.columnsAdded)
        context.Say(QStringLiteral("Coluna adicionada: %1").arg(column));
    for (const QString& table : report.tablesAdded)
        context.Say(QStringLiteral("Tabela adicionada: %1").arg(table));
    if (report.eventKeyAdded)
        context.Say(QStringLiteral("Chave única de eventos criada (cópias removidas: %1, renumerados: %2).")
                        .arg(report.eventCopiesRemoved)
                        .arg(report.eventsRenumbered));
    if (generators.repaired)
        context.Say(DescribeGeneratorRepair(generators));
    else
        context.Say(QStringLiteral("Geradores em ordem (%1).").arg(generators.minimum));
    return 0;
}

int RunDbBackup(CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    if (!SplitArguments(args, {QStringLiteral("to")}, &options, &words, &error))
        return context.WrongUse(error);
    if (!words.isEmpty())
        return context.WrongUse(UnexpectedArgumentText(words.first()));
    if (LocalFileMissing(context))
        return 1;
    DatabaseBackup backup(context.databaseName);
    ShowProgress(context, backup);
    if (!backup.DoBackup(options.value(QStringLiteral("to")))) {
        context.Complain(kMsgBackupErro + QStringLiteral("\r") + backup.LastError());
        return 1;
    }
    context.Report(
        kMsgBackupSucesso + QStringLiteral("\r") + QDir::toNativeSeparators(backup.LastBackupFile()),
        CliJson::Record(QStringLiteral("backup"), {{QStringLiteral("file"), backup.LastBackupFile()}}));
    return 0;
}

int RunDbRestore(CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    if (!SplitArguments(args, {}, &options, &words, &error))
        return context.WrongUse(error);
    if (words.size() > 1)
        return context.WrongUse(UnexpectedArgumentText(words.at(1)));
    if (words.isEmpty())
        return context.WrongUse();
    DatabaseBackup backup(context.databaseName);
    ShowProgress(context, backup);
    if (!backup.DoRestauracao(words.first())) {
        context.Complain(kMsgRestauracaoErro + backup.LastError());
        return 1;
    }
    if (!backup.LastBackupFile().isEmpty())
        context.Say(
            QStringLiteral("Backup de segurança: %1").arg(QDir::toNativeSeparators(backup.LastBackupFile())));
    if (!backup.KeptAsideFile().isEmpty())
        context.Say(
            QStringLiteral("O banco de dados anterior não pôde ser copiado por backup (%1); o arquivo "
                           "foi guardado como %2")
                .arg(backup.SafetyBackupError(), QDir::toNativeSeparators(backup.KeptAsideFile())));
    // The restored file may be older: bring it to the current shape as the restore window does.
    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName) || !UpgradeClientes(dm) || !UpgradeTempos(dm) ||
        !UpgradeReport(dm) || !UpgradeAuditoria(dm)) {
        context.Complain(kMsgRestauracaoErro + dm.IBDB.LastError());
        return 1;
    }
    if (!RecordAudit(dm, context.operatorName, 0, AuditAction::Restore, QFileInfo(words.first()).fileName()))
        context.Complain(
            QStringLiteral("O registro de operações não foi gravado: %1").arg(dm.IBDB.LastError()));
    const auto fileOrNull = [](const QString& path) {
        return path.isEmpty() ? QJsonValue() : QJsonValue(path);
    };
    context.Report(kMsgRestauracaoSucesso,
                   CliJson::Record(QStringLiteral("restore"),
                                   {{QStringLiteral("file"), QFileInfo(words.first()).absoluteFilePath()},
                                    {QStringLiteral("safety_backup"), fileOrNull(backup.LastBackupFile())},
                                    {QStringLiteral("kept_aside"), fileOrNull(backup.KeptAsideFile())}}));
    return 0;
}

const bool registered =
    RegisterCliCommand({{QStringLiteral("db"), QStringLiteral("init")},
                        {},
                        QStringLiteral("cria um banco de dados novo (não substitui um arquivo existente)"),
                        &RunDbInit,
                        [](const QStringList&) { return CliAccess::Open(); }}) &&
    RegisterCliCommand({{QStringLiteral("db"), QStringLiteral("upgrade")},
                        {},
                        QStringLiteral("atualiza a estrutura, corrige eventos antigos e os geradores"),
                        &RunDbUpgrade,
                        [](const QStringList&) { return CliAccess::Administrator(); }}) &&
    RegisterCliCommand({{QStringLiteral("db"), QStringLiteral("backup")},
                        QStringLiteral("[--to PASTA]"),
                        QStringLiteral("faz o backup do banco (padrão: pasta BKP ao lado do banco)"),
                        &RunDbBackup}) &&
    RegisterCliCommand({{QStringLiteral("db"), QStringLiteral("restore")},
                        QStringLiteral("ARQUIVO"),
                        QStringLiteral("restaura um backup no banco, depois de um backup de segurança"),
                        &RunDbRestore,
                        [](const QStringList&) { return CliAccess::Administrator(); }});

} // namespace
