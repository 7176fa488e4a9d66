#include "store/upkeep.h"

#include "store/data_module.h"
#include "store/db_backup.h"
#include "store/schema_tables.h"
#include "store/sql_script.h"

#include <algorithm>

const QString IBScriptClientes = QStringLiteral("ALTER TABLE CLIENTES\nADD VERSAO_PRODUTO VARCHAR(3) "
                                                "CHARACTER SET ISO8859_1 DEFAULT '1.0';\nCOMMIT WORK;\n");
const QString IBScriptTempos =
    QStringLiteral("ALTER TABLE TEMPOS\nADD NAO_MOVIMENTO SMALLINT DEFAULT 0;\nCOMMIT WORK;\n");
const QString IBScriptReport = QStringLiteral("ALTER TABLE REPORT\nADD COD_NAO_MOVIMENTO VARCHAR(2) "
                                              "CHARACTER SET ISO8859_1 COLLATE ISO8859_1;\nCOMMIT WORK;\n");

namespace {

bool Upgrade(TdmBancoDeDados& dm, const QString& table, const QString& script, bool* added) {
    const TableDefinition* definition = FindSchemaTable(table);
    const bool missing = !dm.HasColumn(table, definition->upgradeColumn);
    if (added)
        *added = missing;
    if (missing) {
        QString error;
        if (!RunSqlScript(dm.IBDB, script, &error)) {
            dm.IBDB.SetLastError(error);
            return false;
        }
    }
    dm.UseUpgradeColumns(table, true);
    return true;
}

} // namespace

bool NormalizeEventUsers(TdmBancoDeDados& dm, int* changed) {
    // One statement does what walking every row would; the index on CHAR_LENGTH(USUARIO) keeps it
    // cheap at every start however many events there are.
    if (!dm.IBDB.Exec(QStringLiteral("update BUFFER_EVENTOS set USUARIO = '0' || USUARIO where "
                                     "CHAR_LENGTH(USUARIO) = 1"),
                      {}, changed))
        return false;
    return dm.IBDB.CommitRetaining();
}

bool UpgradeClientes(TdmBancoDeDados& dm, bool* added) {
    return Upgrade(dm, QStringLiteral("CLIENTES"), IBScriptClientes, added);
}

bool UpgradeTempos(TdmBancoDeDados& dm, bool* added) {
    return Upgrade(dm, QStringLiteral("TEMPOS"), IBScriptTempos, added);
}

bool UpgradeReport(TdmBancoDeDados& dm, bool* added) {
    return Upgrade(dm, QStringLiteral("REPORT"), IBScriptReport, added);
}

bool RepairGenerators(TdmBancoDeDados& dm, GeneratorRepair* result, QString* error) {
    GeneratorRepair local;
    GeneratorRepair& r = result ? *result : local;
    r = GeneratorRepair();
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        dm.IBDB.SetLastError(reason);
        return false;
    };

    QList<const TableDefinition*> tables;
    QStringList reads;
    for (const QString& name : CustomerAggregateTables()) {
        tables << FindSchemaTable(name);
        reads << QStringLiteral("gen_id(%1, 0)").arg(tables.last()->generator);
    }
    DataSet& query = dm.qryCorrecaoErros;
    query.Close();
    query.SetSelectSql(QStringLiteral("select %1 from rdb$database").arg(reads.join(QStringLiteral(", "))));
    if (!query.Open() || query.IsEmpty())
        return fail(query.LastError());
    for (int i = 0; i < tables.size(); ++i)
        r.before << query.Value(0, i).toLongLong();
    query.Close();
    r.minimum = *std::min_element(r.before.cbegin(), r.before.cend());
    if (std::all_of(r.before.cbegin(), r.before.cend(), [&](qint64 v) { return v == r.minimum; }))
        return true;

    // The rows of customers whose creation stopped half-way: keys above the smallest generator.
    QList<int> above;
    for (const TableDefinition* table : tables) {
        bool ok = false;
        above << dm.IBDB
                     .SelectValue(QStringLiteral("select count(*) from %1 where %2 > ?")
                                      .arg(table->name, table->keyColumn),
                                  {r.minimum}, &ok)
                     .toInt();
        if (!ok)
            return fail(dm.IBDB.LastError());
        r.deletedRows += above.last();
    }

    if (r.deletedRows > 0) {
        // Rows are about to be deleted: keep a copy of the database as it is first.
        DatabaseBackup backup(dm.IBDB.DatabaseName());
        if (!backup.DoBackup())
            return fail(QStringLiteral("Backup de segurança antes da correção do banco de dados falhou: ") +
                        backup.LastError());
        r.safetyBackup = backup.LastBackupFile();
    }

    for (int i = 0; i < tables.size(); ++i) {
        if (above[i] == 0)
            continue;
        const TableDefinition* table = tables[i];
        if (!dm.IBDB.Exec(QStringLiteral("delete from %1 where %2 > ?").arg(table->name, table->keyColumn),
                          {r.minimum})) {
            const QString reason = dm.IBDB.LastError();
            dm.IBDB.RollbackRetaining();
            return fail(reason);
        }
        if (!dm.IBDB.CommitRetaining())
            return fail(dm.IBDB.LastError());
    }
    // Generators are set by stepping them back to the minimum (statements with parameters).
    for (int i = 0; i < tables.size(); ++i) {
        bool ok = false;
        dm.IBDB.SelectValue(QStringLiteral("select gen_id(%1, cast(? as bigint)) from rdb$database")
                                .arg(tables[i]->generator),
                            {r.minimum - r.before[i]}, &ok);
        if (!ok)
            return fail(dm.IBDB.LastError());
    }
    r.repaired = true;
    return dm.IBDB.CommitRetaining() || fail(dm.IBDB.LastError());
}

bool RunStartupUpkeep(TdmBancoDeDados& dm, StartupUpkeepReport* report, QString* error) {
    StartupUpkeepReport local;
    StartupUpkeepReport& r = report ? *report : local;
    r = StartupUpkeepReport();
    dm.DSetTelaInicial.Close();
    dm.FechaTodosBD();
    bool added = false;
    bool ok = NormalizeEventUsers(dm, &r.eventUsersChanged);
    if (ok && (ok = UpgradeClientes(dm, &added)) && added)
        r.columnsAdded << QStringLiteral("CLIENTES.VERSAO_PRODUTO");
    if (ok && (ok = UpgradeTempos(dm, &added)) && added)
        r.columnsAdded << QStringLiteral("TEMPOS.NAO_MOVIMENTO");
    if (ok && (ok = UpgradeReport(dm, &added)) && added)
        r.columnsAdded << QStringLiteral("REPORT.COD_NAO_MOVIMENTO");
    if (!ok) {
        if (error)
            *error = dm.IBDB.LastError();
        return false;
    }
    return RepairGenerators(dm, &r.generators, error);
}
