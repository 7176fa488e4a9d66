#include "store/upkeep.h"

#include "store/data_module.h"
#include "store/db_backup.h"
#include "store/schema_tables.h"
#include "store/sql_script.h"

#include <QDir>

#include <algorithm>

const QString IBScriptClientes = QStringLiteral("ALTER TABLE CLIENTES\nADD VERSAO_PRODUTO VARCHAR(3) "
                                                "CHARACTER SET ISO8859_1 DEFAULT '1.0';\nCOMMIT WORK;\n");
const QString IBScriptTempos =
    QStringLiteral("ALTER TABLE TEMPOS\nADD NAO_MOVIMENTO SMALLINT DEFAULT 0;\nCOMMIT WORK;\n");
const QString IBScriptReport = QStringLiteral("ALTER TABLE REPORT\nADD COD_NAO_MOVIMENTO VARCHAR(2) "
                                              "CHARACTER SET ISO8859_1 COLLATE ISO8859_1;\nCOMMIT WORK;\n");

const QString IBScriptAuditoria =
    QStringLiteral("CREATE TABLE AUDITORIA (\n"
                   "  ID_AUDITORIA INTEGER NOT NULL,\n"
                   "  DATA_HORA TIMESTAMP,\n"
                   "  USUARIO VARCHAR(30),\n"
                   "  ID_CLIENTE INTEGER,\n"
                   "  ACAO VARCHAR(40),\n"
                   "  DETALHES VARCHAR(255),\n"
                   "  CONSTRAINT PK_AUDITORIA PRIMARY KEY (ID_AUDITORIA)\n"
                   ");\n"
                   "CREATE INDEX IDX_AUDITORIA_CLIENTE ON AUDITORIA (ID_CLIENTE);\n"
                   "CREATE GENERATOR GEN_AUDITORIA_ID;\n"
                   "COMMIT WORK;\n");

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

bool UpgradeAuditoria(TdmBancoDeDados& dm, bool* added) {
    bool ok = false;
    const bool missing =
        dm.IBDB
            .SelectValue(QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = ?"),
                         {QStringLiteral("AUDITORIA")}, &ok)
            .toInt() == 0;
    if (!ok)
        return false;
    if (added)
        *added = missing;
    if (!missing)
        return true;
    QString error;
    if (!RunSqlScript(dm.IBDB, IBScriptAuditoria, &error)) {
        dm.IBDB.SetLastError(error);
        return false;
    }
    return true;
}

namespace {

const QString kEventKeyIndex = QStringLiteral("UNQ_BUFFER_EVENTOS_CLI_EVENTO");

// Rows that repeat an earlier row (a lower ID_BUFFER_EVENTOS) of the same customer, number and
// contents.
const QString kDeleteEventCopies = QStringLiteral(
    "delete from BUFFER_EVENTOS b where b.COD_EVENTO is not null and exists (select 1 from "
    "BUFFER_EVENTOS o where o.ID_CLIENTE = b.ID_CLIENTE and o.COD_EVENTO = b.COD_EVENTO and "
    "o.ID_BUFFER_EVENTOS < b.ID_BUFFER_EVENTOS and o.DATA is not distinct from b.DATA and o.HORA is "
    "not distinct from b.HORA and o.PARTICAO is not distinct from b.PARTICAO and o.EVENTO is not "
    "distinct from b.EVENTO and o.USUARIO is not distinct from b.USUARIO and o.ZONA is not distinct "
    "from b.ZONA)");
// Rows whose number an earlier row of the customer has, with other contents.
const QString kSelectSharedNumbers = QStringLiteral(
    "select b.ID_BUFFER_EVENTOS, b.ID_CLIENTE from BUFFER_EVENTOS b where b.COD_EVENTO is not null "
    "and exists (select 1 from BUFFER_EVENTOS o where o.ID_CLIENTE = b.ID_CLIENTE and o.COD_EVENTO = "
    "b.COD_EVENTO and o.ID_BUFFER_EVENTOS < b.ID_BUFFER_EVENTOS) order by b.ID_BUFFER_EVENTOS");
const QString kRenumber = QStringLiteral(
    "update BUFFER_EVENTOS set COD_EVENTO = (select coalesce(max(COD_EVENTO), 0) + 1 from BUFFER_EVENTOS "
    "where ID_CLIENTE = ?) where ID_BUFFER_EVENTOS = ?");

} // namespace

bool UpgradeEventKey(TdmBancoDeDados& dm, bool* added, int* removed, int* renumbered) {
    if (added)
        *added = false;
    DbConnection& db = dm.IBDB;
    bool ok = false;
    const QVariant indexes = db.SelectValue(
        QStringLiteral("select count(*) from RDB$INDICES where RDB$INDEX_NAME = ?"), {kEventKeyIndex}, &ok);
    if (!ok)
        return false;
    if (indexes.toInt() > 0)
        return true;
    int copies = 0;
    if (!db.Exec(kDeleteEventCopies, {}, &copies))
        return false;
    const QList<QVariantList> shared = db.SelectRows(kSelectSharedNumbers, {}, &ok);
    if (!ok)
        return false;
    for (const QVariantList& row : shared) {
        if (!db.Exec(kRenumber, {row.value(1), row.value(0)}))
            return false;
    }
    // As db/schema.sql makes it: a null key for a row without a number.
    const QString script =
        QStringLiteral("CREATE UNIQUE INDEX %1 ON BUFFER_EVENTOS COMPUTED BY "
                       "(IIF(COD_EVENTO IS NULL, NULL, ID_CLIENTE || '.' || COD_EVENTO));\n"
                       "COMMIT WORK;\n")
            .arg(kEventKeyIndex);
    QString error;
    if (!RunSqlScript(db, script, &error)) {
        db.SetLastError(error);
        return false;
    }
    if (added)
        *added = true;
    if (removed)
        *removed = copies;
    if (renumbered)
        *renumbered = int(shared.size());
    return true;
}

namespace {

const QStringList& ProgrammingTables() {
    static const QStringList tables = {QStringLiteral("FONES"),    QStringLiteral("OPCOES"),
                                       QStringLiteral("REPORT"),   QStringLiteral("TEMPOS"),
                                       QStringLiteral("USUARIOS"), QStringLiteral("ZONAS")};
    return tables;
}

// The condition that a PAINEL row P belongs to a whole customer: its CLIENTES row and its six
// programming rows exist.
QString CompletePanel() {
    QStringList parts{
        QStringLiteral("exists (select 1 from CLIENTES CC where CC.ID_CLIENTE = P.ID_CLIENTE)")};
    for (const QString& table : ProgrammingTables())
        parts << QStringLiteral("exists (select 1 from %1 T where T.ID_PAINEL = P.ID_PAINEL)").arg(table);
    return parts.join(QStringLiteral(" and "));
}

// The rows of one table above the smallest generator that belong to no whole customer: the
// remains of a creation that stopped half-way. The rows of a whole customer are never among them,
// whatever their keys.
QString LeftoverRows(const TableDefinition& table) {
    const QString link =
        table.name == QLatin1String("CLIENTES") ? QStringLiteral("ID_CLIENTE") : QStringLiteral("ID_PAINEL");
    const QString belongs = QStringLiteral("exists (select 1 from PAINEL P where P.%1 = X.%1 and %2)")
                                .arg(link, QStringLiteral("%1"));
    return QStringLiteral("from %1 X where X.%2 > ? and not %3")
        .arg(table.name, table.keyColumn, belongs.arg(CompletePanel()));
}

} // namespace

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

    // The rows of customers whose creation stopped half-way, and the highest key of each table.
    QList<int> leftover;
    qint64 highestKey = 0;
    for (const TableDefinition* table : tables) {
        bool ok = false;
        leftover << dm.IBDB
                        .SelectValue(QStringLiteral("select count(*) ") + LeftoverRows(*table), {r.minimum},
                                     &ok)
                        .toInt();
        if (!ok)
            return fail(dm.IBDB.LastError());
        const QVariant highest = dm.IBDB.SelectValue(
            QStringLiteral("select max(%1) from %2").arg(table->keyColumn, table->name), {}, &ok);
        if (!ok)
            return fail(dm.IBDB.LastError());
        highestKey = std::max(highestKey, highest.toLongLong());
        r.deletedRows += leftover.last();
    }

    if (r.deletedRows > 0) {
        // Rows are about to be deleted: keep a copy of the database as it is first. Without the
        // copy nothing is deleted; the generators then move past every key in use.
        DatabaseBackup backup(dm.IBDB.DatabaseName());
        if (backup.DoBackup()) {
            r.safetyBackup = backup.LastBackupFile();
        } else {
            r.safetyBackupError = backup.LastError();
            r.deletedRows = 0;
            leftover = QList<int>(tables.size(), 0);
        }
    }

    for (int i = 0; i < tables.size(); ++i) {
        if (leftover[i] == 0)
            continue;
        if (!dm.IBDB.Exec(QStringLiteral("delete ") + LeftoverRows(*tables[i]), {r.minimum})) {
            const QString reason = dm.IBDB.LastError();
            dm.IBDB.RollbackRetaining();
            return fail(reason);
        }
        if (!dm.IBDB.CommitRetaining())
            return fail(dm.IBDB.LastError());
    }

    // The value every generator takes: the smallest one, unless rows that stay (a whole customer
    // saved under a key above it, or rows that could not be deleted) hold higher keys.
    r.target = r.minimum;
    if (!r.safetyBackupError.isEmpty()) {
        r.target = std::max(highestKey, *std::max_element(r.before.cbegin(), r.before.cend()));
    } else {
        for (const TableDefinition* table : tables) {
            bool ok = false;
            const QVariant highest = dm.IBDB.SelectValue(
                QStringLiteral("select max(%1) from %2").arg(table->keyColumn, table->name), {}, &ok);
            if (!ok)
                return fail(dm.IBDB.LastError());
            r.target = std::max(r.target, highest.toLongLong());
        }
    }
    for (int i = 0; i < tables.size(); ++i) {
        bool ok = false;
        dm.IBDB.SelectValue(QStringLiteral("select gen_id(%1, cast(? as bigint)) from rdb$database")
                                .arg(tables[i]->generator),
                            {r.target - r.before[i]}, &ok);
        if (!ok)
            return fail(dm.IBDB.LastError());
    }
    r.repaired = true;
    return dm.IBDB.CommitRetaining() || fail(dm.IBDB.LastError());
}

QString DescribeGeneratorRepair(const GeneratorRepair& repair) {
    if (!repair.repaired)
        return {};
    QString text = QStringLiteral("O banco de dados foi corrigido na abertura do programa.\r"
                                  "Numeração dos cadastros ajustada para %1.")
                       .arg(repair.target);
    if (!repair.safetyBackupError.isEmpty()) {
        text += QStringLiteral("\rNão foi possível fazer o backup de segurança: %1\r"
                               "Nenhum registro foi apagado.")
                    .arg(repair.safetyBackupError);
    } else if (repair.deletedRows > 0) {
        text += QStringLiteral("\rRegistros apagados de um cadastro de cliente incompleto: %1.\r"
                               "Backup de segurança do banco de dados anterior: %2")
                    .arg(repair.deletedRows)
                    .arg(QDir::toNativeSeparators(repair.safetyBackup));
    }
    return text;
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
    if (ok && (ok = UpgradeAuditoria(dm, &added)) && added)
        r.tablesAdded << QStringLiteral("AUDITORIA");
    if (ok)
        ok = UpgradeEventKey(dm, &r.eventKeyAdded, &r.eventCopiesRemoved, &r.eventsRenumbered);
    if (!ok) {
        if (error)
            *error = dm.IBDB.LastError();
        return false;
    }
    if (!RepairGenerators(dm, &r.generators, error))
        return false;
    const QString repaired = DescribeGeneratorRepair(r.generators);
    if (!repaired.isEmpty() && dm.Host())
        dm.Host()->ShowNotice(repaired);
    return true;
}
