// Start-up upkeep on real files: the older shape brought to the current one (and left alone the
// second time), old event users padded, and the generator repair with its safety backup.
#include "store/data_module.h"
#include "store/schema_tables.h"
#include "store/upkeep.h"
#include "support/temp_database.h"

#include <QDir>
#include <QTest>

namespace {

// Customers 1..count with all eight rows, keys as the generators would have given them.
// Records what the upkeep tells the operator.
struct NoticeHost : DataModuleHost {
    QStringList notices;
    QStringList messages;
    void ShowMessage(const QString& text) override { messages << text; }
    void ShowNotice(const QString& text) override { notices << text; }
    bool RunFirstTimeSetup(TdmBancoDeDados&) override { return false; }
    bool RunLogin(TdmBancoDeDados&) override { return false; }
    void TerminateApplication() override {}
};

QString CustomersScript(int count) {
    QString script;
    for (int k = 1; k <= count; ++k) {
        script += QStringLiteral(
                      "insert into CLIENTES (ID_CLIENTE, NOME, ID_GRUPO) values (%1, 'C%1', 2);\n"
                      "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC) "
                      "values (%1, %1, '1', '6093', '6093');\n")
                      .arg(k);
        for (const char* table : {"FONES", "OPCOES", "REPORT", "TEMPOS", "USUARIOS", "ZONAS"})
            script +=
                QStringLiteral("insert into %1 (ID_%1, ID_PAINEL) values (%2, %2);\n").arg(table).arg(k);
    }
    return script;
}

QString SetGeneratorsScript(const QList<int>& values) {
    QString script;
    for (int i = 0; i < CustomerAggregateTables().size(); ++i)
        script += QStringLiteral("SET GENERATOR %1 TO %2;\n")
                      .arg(FindSchemaTable(CustomerAggregateTables()[i])->generator)
                      .arg(values[i]);
    return script;
}

// Everything that tells one shape or state of the file from another: columns with their types
// and defaults, each table's format number, generator values and row counts.
QStringList Snapshot(TdmBancoDeDados& dm) {
    QStringList lines;
    for (const auto& row : SelectRows(
             dm.IBDB, "select trim(r.RDB$RELATION_NAME), trim(r.RDB$FIELD_NAME), r.RDB$FIELD_POSITION, "
                      "f.RDB$FIELD_TYPE, f.RDB$CHARACTER_LENGTH, r.RDB$DEFAULT_SOURCE, rel.RDB$FORMAT from "
                      "RDB$RELATION_FIELDS r join RDB$FIELDS f on f.RDB$FIELD_NAME = r.RDB$FIELD_SOURCE join "
                      "RDB$RELATIONS rel on rel.RDB$RELATION_NAME = r.RDB$RELATION_NAME where "
                      "coalesce(rel.RDB$SYSTEM_FLAG, 0) = 0 order by 1, 3")) {
        QStringList cells;
        for (const QVariant& cell : row)
            cells << (cell.metaType().id() == QMetaType::QByteArray ? QString::fromLatin1(cell.toByteArray())
                                                                    : cell.toString());
        lines << cells.join('|');
    }
    for (const TableDefinition& table : SchemaTables()) {
        lines
            << table.name + QStringLiteral(" rows ") +
                   dm.IBDB.SelectValue(QStringLiteral("select count(*) from %1").arg(table.name)).toString();
        if (!table.generator.isEmpty())
            lines << table.generator + ' ' +
                         dm.IBDB
                             .SelectValue(QStringLiteral("select gen_id(%1, 0) from rdb$database")
                                              .arg(table.generator))
                             .toString();
    }
    return lines;
}

} // namespace

class TestUpkeep : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void upgradeBringsTheOlderShapeToTheCurrentOneOnce() {
        TempDatabase temp;
        QVERIFY2(temp.Create(TempDatabase::Shape::Older), qPrintable(temp.Error()));
        QVERIFY(TempDatabase::RunScript(temp.Path(), CustomersScript(1)));
        TempDatabase current;
        QVERIFY(current.Create());

        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(temp.Path()));
        QVERIFY(!dm.HasColumn("CLIENTES", "VERSAO_PRODUTO"));
        QVERIFY(!dm.DSetClientes.Statements().columns.contains("VERSAO_PRODUTO"));
        StartupUpkeepReport report;
        QString error;
        QVERIFY2(RunStartupUpkeep(dm, &report, &error), qPrintable(error));
        QCOMPARE(report.columnsAdded, (QStringList{"CLIENTES.VERSAO_PRODUTO", "TEMPOS.NAO_MOVIMENTO",
                                                   "REPORT.COD_NAO_MOVIMENTO"}));
        QCOMPARE(report.tablesAdded, QStringList{"AUDITORIA"});
        QVERIFY(!report.generators.repaired);

        // The same columns, types and defaults as a file made new.
        TdmBancoDeDados fresh;
        QVERIFY(fresh.Connect(current.Path()));
        auto columnsOnly = [](QStringList lines) {
            QStringList kept;
            for (const QString& line : lines) {
                if (line.count('|') == 6)
                    kept << line.section('|', 0, 5); // without the format number
            }
            return kept;
        };
        QCOMPARE(columnsOnly(Snapshot(dm)), columnsOnly(Snapshot(fresh)));

        // The data sets now write the new columns.
        for (DataSet* set : {&dm.DSetClientes, &dm.DSetTempos, &dm.DSetReport})
            QVERIFY(
                set->Statements().columns.contains(FindSchemaTable(set->Statements().table)->upgradeColumn));
        dm.DSetClientes.SetSelectSql("select * from CLIENTES where ID_CLIENTE = ?", {1});
        QVERIFY(dm.DSetClientes.Open());
        QVERIFY(dm.DSetClientes.SetValue("VERSAO_PRODUTO", "1.3"));
        QVERIFY2(dm.DSetClientes.Post(), qPrintable(dm.DSetClientes.LastError()));
        QVERIFY(dm.CommitRetaining());
        QCOMPARE(dm.IBDB.SelectValue("select VERSAO_PRODUTO from CLIENTES where ID_CLIENTE = 1").toString(),
                 QStringLiteral("1.3"));

        // A second start finds nothing to do and changes nothing.
        const QStringList before = Snapshot(dm);
        QVERIFY2(RunStartupUpkeep(dm, &report, &error), qPrintable(error));
        QVERIFY(report.columnsAdded.isEmpty());
        QVERIFY(report.tablesAdded.isEmpty());
        QCOMPARE(report.eventUsersChanged, 0);
        QCOMPARE(Snapshot(dm), before);
    }

    // An older file whose event numbers repeat (two workstations stored one log at once) gets the
    // unique key: exact copies go, one of each kept, an event that only shares a number is
    // renumbered after the customer's last; rows without a number and other customers' rows stay.
    void eventKeyMadeUniqueWithoutLosingAnEvent() {
        TempDatabase temp;
        QVERIFY2(temp.Create(TempDatabase::Shape::Older), qPrintable(temp.Error()));
        QString script = CustomersScript(2);
        int id = 0;
        const auto event = [&](int customer, const QString& number, const QString& text) {
            script += QStringLiteral("insert into BUFFER_EVENTOS (ID_BUFFER_EVENTOS, ID_CLIENTE, COD_EVENTO, "
                                     "DATA, HORA, PARTICAO, EVENTO, USUARIO, ZONA) values (%1, %2, %3, "
                                     "'2026-03-04', '09:45', 'A', '%4', null, '01');\n")
                          .arg(++id)
                          .arg(customer)
                          .arg(number, text);
        };
        for (int copy = 0; copy < 2; ++copy)
            for (int n = 1; n <= 3; ++n)
                event(1, QString::number(n), QStringLiteral("EVENTO %1").arg(n));
        event(1, "2", "OUTRO EVENTO");
        event(1, "null", "SEM NUMERO");
        event(1, "null", "SEM NUMERO");
        event(2, "1", "EVENTO 1");
        QVERIFY(TempDatabase::RunScript(temp.Path(), script));

        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(temp.Path()));
        StartupUpkeepReport report;
        QString error;
        QVERIFY2(RunStartupUpkeep(dm, &report, &error), qPrintable(error));
        QVERIFY(report.eventKeyAdded);
        QCOMPARE(report.eventCopiesRemoved, 3);
        QCOMPARE(report.eventsRenumbered, 1);
        QStringList rows;
        for (const QVariantList& row : SelectRows(
                 dm.IBDB, "select ID_CLIENTE, COD_EVENTO, EVENTO from BUFFER_EVENTOS order by 1, 2, 3"))
            rows << QStringLiteral("%1 %2 %3")
                        .arg(row[0].toString(), row[1].isNull() ? QString() : row[1].toString(),
                             row[2].toString());
        QCOMPARE(rows, (QStringList{"1  SEM NUMERO", "1  SEM NUMERO", "1 1 EVENTO 1", "1 2 EVENTO 2",
                                    "1 3 EVENTO 3", "1 4 OUTRO EVENTO", "2 1 EVENTO 1"}));
        QVERIFY(!dm.IBDB.Exec("insert into BUFFER_EVENTOS (ID_BUFFER_EVENTOS, ID_CLIENTE, COD_EVENTO) "
                              "values (100, 1, 3)"));
        QVERIFY(IsDuplicateKeyError(dm.IBDB.LastErrorCodes()));
        dm.IBDB.RollbackRetaining();

        QVERIFY2(RunStartupUpkeep(dm, &report, &error), qPrintable(error));
        QVERIFY(!report.eventKeyAdded);
    }

    void eventUsersGetTwoDigits_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("one digit") << QVariant("7") << QVariant("07");
        QTest::newRow("zero") << QVariant("0") << QVariant("00");
        QTest::newRow("master") << QVariant("Mestre") << QVariant("Mestre");
        QTest::newRow("two digits") << QVariant("12") << QVariant("12");
        QTest::newRow("empty") << QVariant("") << QVariant("");
        QTest::newRow("null") << QVariant() << QVariant();
    }

    void eventUsersGetTwoDigits() {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, expected);
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(TempDatabase::RunScript(temp.Path(), CustomersScript(1)));
        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(temp.Path()));
        QVERIFY(dm.IBDB.Exec(
            "insert into BUFFER_EVENTOS (ID_BUFFER_EVENTOS, ID_CLIENTE, USUARIO) values (1, 1, ?)",
            {stored}));
        QVERIFY(dm.IBDB.Exec(
            "insert into BUFFER_EVENTOS (ID_BUFFER_EVENTOS, ID_CLIENTE, USUARIO) values (2, 1, '5')"));
        QVERIFY(dm.CommitRetaining());
        int changed = -1;
        QVERIFY2(NormalizeEventUsers(dm, &changed), qPrintable(dm.IBDB.LastError()));
        QCOMPARE(changed, 1 + (stored != expected ? 1 : 0));
        const QVariant now =
            dm.IBDB.SelectValue("select USUARIO from BUFFER_EVENTOS where ID_BUFFER_EVENTOS = 1");
        QCOMPARE(now.isNull(), expected.isNull());
        QCOMPARE(now.toString(), expected.toString());
        QCOMPARE(
            dm.IBDB.SelectValue("select USUARIO from BUFFER_EVENTOS where ID_BUFFER_EVENTOS = 2").toString(),
            QStringLiteral("05"));
        QVERIFY(NormalizeEventUsers(dm, &changed));
        QCOMPARE(changed, 0);
    }

    void generatorRepairDropsTheHalfMadeCustomer() {
        // Generators 10, 10, 9, 10, 10, 10, 10, 10: customer 10 never got its FONES row.
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(TempDatabase::RunScript(temp.Path(),
                                        CustomersScript(10) + "delete from FONES where ID_FONES = 10;\n" +
                                            SetGeneratorsScript({10, 10, 9, 10, 10, 10, 10, 10})));
        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(temp.Path()));
        GeneratorRepair repair;
        QString error;
        QVERIFY2(RepairGenerators(dm, &repair, &error), qPrintable(error));
        QCOMPARE(repair.before, (QList<qint64>{10, 10, 9, 10, 10, 10, 10, 10}));
        QCOMPARE(repair.minimum, 9);
        QVERIFY(repair.repaired);
        QCOMPARE(repair.deletedRows, 7);
        for (const QString& table : CustomerAggregateTables()) {
            const TableDefinition* definition = FindSchemaTable(table);
            const auto keys = SelectRows(dm.IBDB, QStringLiteral("select min(%1), max(%1), count(*) from %2")
                                                      .arg(definition->keyColumn, table));
            QCOMPARE(keys.value(0), (QVariantList{1, 9, 9}));
            QCOMPARE(
                dm.IBDB
                    .SelectValue(
                        QStringLiteral("select gen_id(%1, 0) from rdb$database").arg(definition->generator))
                    .toLongLong(),
                9);
        }
        // The copy taken before deleting holds the database as it was.
        QVERIFY(QFileInfo(repair.safetyBackup).isFile());
        QCOMPARE(QFileInfo(repair.safetyBackup).absolutePath(), QDir(temp.Folder()).filePath("BKP"));
        QVERIFY(QFileInfo(repair.safetyBackup).size() > 0);

        // Repaired, the next run leaves it alone.
        QVERIFY(RepairGenerators(dm, &repair, &error));
        QVERIFY(!repair.repaired);
    }

    // Customer 4 lost its PAINEL row (and with it the programming rows) and was saved again,
    // each row taking its own generator's next key, 5. The repair must keep that whole customer
    // and only bring the generators together, telling the operator.
    void wholeCustomerAboveTheSmallestGeneratorStays() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        QString script = CustomersScript(3) +
                         "insert into CLIENTES (ID_CLIENTE, NOME, ID_GRUPO) values (4, 'C4', 2);\n"
                         "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC) "
                         "values (5, 4, '1', '6093', '6093');\n";
        for (const char* table : {"FONES", "OPCOES", "REPORT", "TEMPOS", "USUARIOS", "ZONAS"})
            script += QStringLiteral("insert into %1 (ID_%1, ID_PAINEL) values (5, 5);\n").arg(table);
        QVERIFY(TempDatabase::RunScript(temp.Path(), script + SetGeneratorsScript({4, 5, 5, 5, 5, 5, 5, 5})));
        TdmBancoDeDados dm;
        NoticeHost host;
        dm.SetHost(&host);
        QVERIFY(dm.Connect(temp.Path()));
        StartupUpkeepReport report;
        QString error;
        QVERIFY2(RunStartupUpkeep(dm, &report, &error), qPrintable(error));

        QVERIFY(report.generators.repaired);
        QCOMPARE(report.generators.deletedRows, 0);
        QCOMPARE(report.generators.target, qint64(5));
        QCOMPARE(SelectRows(dm.IBDB, "select ID_PAINEL from PAINEL where ID_CLIENTE = 4"),
                 (QList<QVariantList>{{5}}));
        for (const QString& table : CustomerAggregateTables()) {
            const TableDefinition* definition = FindSchemaTable(table);
            QCOMPARE(dm.IBDB.SelectValue(QStringLiteral("select count(*) from %1").arg(table)).toInt(), 4);
            QCOMPARE(
                dm.IBDB
                    .SelectValue(
                        QStringLiteral("select gen_id(%1, 0) from rdb$database").arg(definition->generator))
                    .toLongLong(),
                5);
        }
        QCOMPARE(host.notices.size(), 1);
        QVERIFY2(host.notices.first().contains("5"), qPrintable(host.notices.first()));
        QVERIFY(host.messages.isEmpty());
        QVERIFY(!QDir(temp.Folder()).exists("BKP")); // nothing deleted, no backup needed
    }

    // No safety backup (BKP cannot be created): nothing is deleted, start-up goes on, the
    // generators move past every key in use and the operator learns why.
    void repairWithoutSafetyBackupDeletesNothing() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(TempDatabase::RunScript(temp.Path(),
                                        CustomersScript(10) + "delete from FONES where ID_FONES = 10;\n" +
                                            SetGeneratorsScript({10, 10, 9, 10, 10, 10, 10, 10})));
        QFile blocker(temp.FilePath("BKP"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TdmBancoDeDados dm;
        NoticeHost host;
        dm.SetHost(&host);
        QVERIFY(dm.Connect(temp.Path()));
        StartupUpkeepReport report;
        QString error;
        QVERIFY2(RunStartupUpkeep(dm, &report, &error), qPrintable(error));
        QVERIFY(report.generators.repaired);
        QCOMPARE(report.generators.deletedRows, 0);
        QVERIFY(!report.generators.safetyBackupError.isEmpty());
        QCOMPARE(dm.IBDB.SelectValue("select count(*) from CLIENTES").toInt(), 10);
        QCOMPARE(dm.IBDB.SelectValue("select count(*) from FONES").toInt(), 9);
        for (const QString& table : CustomerAggregateTables())
            QCOMPARE(dm.IBDB
                         .SelectValue(QStringLiteral("select gen_id(%1, 0) from rdb$database")
                                          .arg(FindSchemaTable(table)->generator))
                         .toLongLong(),
                     10);
        QCOMPARE(host.notices.size(), 1);
        QVERIFY2(host.notices.first().contains(report.generators.safetyBackupError),
                 qPrintable(host.notices.first()));
    }

    void agreeingGeneratorsAreLeftAlone_data() {
        QTest::addColumn<int>("customers");
        QTest::newRow("new database, all 0") << 0;
        QTest::newRow("three customers, all 3") << 3;
    }

    void agreeingGeneratorsAreLeftAlone() {
        QFETCH(int, customers);
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(TempDatabase::RunScript(temp.Path(), CustomersScript(customers) +
                                                         SetGeneratorsScript(QList<int>(8, customers))));
        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(temp.Path()));
        const QStringList before = Snapshot(dm);
        GeneratorRepair repair;
        QVERIFY(RepairGenerators(dm, &repair));
        QVERIFY(!repair.repaired);
        QCOMPARE(repair.minimum, customers);
        QCOMPARE(Snapshot(dm), before);
        QVERIFY(!QDir(temp.Folder()).exists("BKP")); // no backup either
    }
};

QTEST_GUILESS_MAIN(TestUpkeep)
#include "tst_upkeep.moc"
