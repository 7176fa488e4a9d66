// The database made by "db init": every table, column, generator, index and reference row, read
// back through the engine's own system tables.
#include "store/db_connection.h"
#include "store/schema_tables.h"
#include "store/sql_script.h"
#include "support/temp_database.h"

#include <QTest>

class TestSchema : public QObject {
    Q_OBJECT
private:
    TempDatabase m_temp;
    DbConnection m_db;

    QList<QVariantList> Rows(const QString& sql, const QVariantList& params = {}) {
        return SelectRows(m_db, sql, params);
    }

private Q_SLOTS:
    void initTestCase() {
        // Built straight from the schema, not from a copy.
        QString error;
        QVERIFY2(CreateNewDatabase(m_temp.Path(), &error), qPrintable(error));
        QVERIFY2(m_db.Connect(m_temp.Path()), qPrintable(m_db.LastError()));
    }

    void cleanupTestCase() { m_db.Disconnect(); }

    void fileFormat() {
        const auto rows = Rows("select MON$PAGE_SIZE, MON$SQL_DIALECT from MON$DATABASE");
        QCOMPARE(rows.value(0).value(0).toInt(), 8192);
        QCOMPARE(rows.value(0).value(1).toInt(), 3);
        QCOMPARE(Rows("select trim(RDB$CHARACTER_SET_NAME) from RDB$DATABASE").value(0).value(0).toString(),
                 QStringLiteral("ISO8859_1"));
    }

    void everyTableWithItsColumnsInOrderAndItsKey() {
        QStringList expectedTables;
        for (const TableDefinition& table : SchemaTables()) {
            expectedTables << table.name;
            QStringList columns;
            for (const auto& row : Rows("select trim(RDB$FIELD_NAME) from RDB$RELATION_FIELDS where "
                                        "RDB$RELATION_NAME = ? order by RDB$FIELD_POSITION",
                                        {table.name}))
                columns << row[0].toString();
            QCOMPARE(columns, table.columns);

            const auto key = Rows("select trim(s.RDB$FIELD_NAME) from RDB$RELATION_CONSTRAINTS c join "
                                  "RDB$INDEX_SEGMENTS s on s.RDB$INDEX_NAME = c.RDB$INDEX_NAME where "
                                  "c.RDB$RELATION_NAME = ? and c.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'",
                                  {table.name});
            QCOMPARE(key.size(), 1);
            QCOMPARE(key[0][0].toString(), table.keyColumn);
        }
        QStringList tables;
        for (const auto& row : Rows("select trim(RDB$RELATION_NAME) from RDB$RELATIONS where "
                                    "coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by 1"))
            tables << row[0].toString();
        expectedTables.sort();
        QCOMPARE(tables, expectedTables);
    }

    void columnTypes_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>(
            "type"); // RDB$FIELD_TYPE: 37 varchar, 7 smallint, 8 integer, 12 date, 13 time, 261 blob
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("notNull");
        QTest::addColumn<QString>("defaultValue");
        QTest::newRow("customer name") << "CLIENTES"
                                       << "NOME" << 37 << 30 << false << "";
        QTest::newRow("customer phone") << "CLIENTES"
                                        << "FONE3" << 37 << 17 << false << "";
        QTest::newRow("creation time") << "CLIENTES"
                                       << "HORA_CRIACAO" << 13 << 0 << false << "";
        QTest::newRow("notes memo") << "CLIENTES"
                                    << "OBS" << 261 << 0 << false << "";
        QTest::newRow("product") << "CLIENTES"
                                 << "PRODUTO" << 37 << 2 << false << "";
        QTest::newRow("product version") << "CLIENTES"
                                         << "VERSAO_PRODUTO" << 37 << 3 << false << "'1.0'";
        QTest::newRow("panel phone") << "PAINEL"
                                     << "FONE_PAINEL" << 37 << 17 << true << "";
        QTest::newRow("panel code") << "PAINEL"
                                    << "CODIGO_PAINEL" << 37 << 4 << true << "";
        QTest::newRow("panel cep") << "PAINEL"
                                   << "P_CEP" << 37 << 9 << false << "";
        QTest::newRow("no movement") << "TEMPOS"
                                     << "NAO_MOVIMENTO" << 7 << 0 << false << "0";
        QTest::newRow("times key") << "TEMPOS"
                                   << "ID_PAINEL" << 8 << 0 << true << "";
        QTest::newRow("no movement code") << "REPORT"
                                          << "COD_NAO_MOVIMENTO" << 37 << 2 << false << "";
        QTest::newRow("report digit") << "REPORT"
                                      << "DIG_COACAO" << 37 << 1 << false << "";
        QTest::newRow("last user code") << "USUARIOS"
                                        << "SENHA_USUARIO48" << 37 << 6 << false << "";
        QTest::newRow("event date") << "BUFFER_EVENTOS"
                                    << "DATA" << 12 << 0 << false << "";
        QTest::newRow("login") << "USUARIOS_SOFTWARE"
                               << "USUARIO" << 37 << 30 << false << "";
        QTest::newRow("password") << "USUARIOS_SOFTWARE"
                                  << "SENHA" << 37 << 8 << false << "";
        QTest::newRow("permissions") << "USUARIOS_SOFTWARE"
                                     << "PERMISSOES" << 37 << 255 << false << "";
        QTest::newRow("group name") << "GRUPOS"
                                    << "NOME_GRUPO" << 37 << 30 << true << "";
    }

    void columnTypes() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(int, type);
        QFETCH(int, length);
        QFETCH(bool, notNull);
        QFETCH(QString, defaultValue);
        const auto rows = Rows(
            "select f.RDB$FIELD_TYPE, coalesce(f.RDB$CHARACTER_LENGTH, 0), coalesce(r.RDB$NULL_FLAG, 0), "
            "r.RDB$DEFAULT_SOURCE, trim(cs.RDB$CHARACTER_SET_NAME) from RDB$RELATION_FIELDS r join "
            "RDB$FIELDS "
            "f on f.RDB$FIELD_NAME = r.RDB$FIELD_SOURCE left join RDB$CHARACTER_SETS cs on "
            "cs.RDB$CHARACTER_SET_ID = f.RDB$CHARACTER_SET_ID where r.RDB$RELATION_NAME = ? and "
            "r.RDB$FIELD_NAME = ?",
            {table, column});
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toInt(), type);
        QCOMPARE(rows[0][1].toInt(), length);
        QCOMPARE(rows[0][2].toInt() == 1, notNull);
        const QString source = QString::fromLatin1(rows[0][3].toByteArray()).trimmed();
        QCOMPARE(source.section(QLatin1Char(' '), 1).trimmed(), defaultValue);
        if (type == 37)
            QCOMPARE(rows[0][4].toString(), QStringLiteral("ISO8859_1"));
    }

    void generatorsStartAtTheirValues() {
        QStringList generators;
        for (const auto& row : Rows("select trim(RDB$GENERATOR_NAME) from RDB$GENERATORS where "
                                    "coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by 1"))
            generators << row[0].toString();
        QStringList expected;
        for (const TableDefinition& table : SchemaTables()) {
            if (!table.generator.isEmpty())
                expected << table.generator;
        }
        expected.sort();
        QCOMPARE(generators, expected);
        for (const QString& generator : generators) {
            const qint64 value =
                m_db.SelectValue(QStringLiteral("select gen_id(%1, 0) from rdb$database").arg(generator))
                    .toLongLong();
            QCOMPARE(value, generator == QLatin1String("GEN_GRUPOS_ID") ? 2 : 0);
        }
    }

    void referenceRows() {
        const auto states =
            Rows("select ID_ESTADO, ESTADO, octet_length(ESTADO) from ESTADOS order by ID_ESTADO");
        QCOMPARE(states.size(), 27);
        for (int i = 0; i < 27; ++i) {
            QCOMPARE(states[i][0].toInt(), i + 1);
            QCOMPARE(states[i][1].toString(), StateNames().at(i));
        }
        QCOMPARE(states[2][1].toString(), QString::fromUtf8("Amapá"));
        QCOMPARE(states[24][1].toString(), QString::fromUtf8("São Paulo"));
        QCOMPARE(states[26][1].toString(), QStringLiteral("Tocantins"));
        // ISO8859_1 on disk: one byte per accented letter.
        QCOMPARE(states[24][2].toInt(), 9);

        const auto groups = Rows("select ID_GRUPO, NOME_GRUPO from GRUPOS order by ID_GRUPO");
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups[0], (QVariantList{1, QStringLiteral("LIXEIRA")}));
        QCOMPARE(groups[1][1].toString().toUpper(), QStringLiteral("DEFAULT"));

        for (const char* table : {"CLIENTES", "PAINEL", "BUFFER_EVENTOS", "USUARIOS_SOFTWARE"})
            QCOMPARE(m_db.SelectValue(QStringLiteral("select count(*) from %1").arg(table)).toInt(), 0);
    }

    void indexesOfTheQueries_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<bool>("unique");
        QTest::newRow("events by customer and number") << "BUFFER_EVENTOS"
                                                       << "ID_CLIENTE,COD_EVENTO" << false;
        QTest::newRow("panel code") << "PAINEL"
                                    << "CODIGO_PAINEL" << false;
        QTest::newRow("panel by customer") << "PAINEL"
                                           << "ID_CLIENTE" << false;
        QTest::newRow("customer group") << "CLIENTES"
                                        << "ID_GRUPO" << false;
        QTest::newRow("login name") << "USUARIOS_SOFTWARE"
                                    << "USUARIO" << true;
        QTest::newRow("times by panel") << "TEMPOS"
                                        << "ID_PAINEL" << false;
    }

    void indexesOfTheQueries() {
        QFETCH(QString, table);
        QFETCH(QString, columns);
        QFETCH(bool, unique);
        const auto rows =
            Rows("select trim(i.RDB$INDEX_NAME), coalesce(i.RDB$UNIQUE_FLAG, 0), "
                 "list(trim(s.RDB$FIELD_NAME), ',') from RDB$INDICES i join RDB$INDEX_SEGMENTS s on "
                 "s.RDB$INDEX_NAME = i.RDB$INDEX_NAME where i.RDB$RELATION_NAME = ? group by 1, 2",
                 {table});
        bool found = false;
        for (const auto& row : rows) {
            // LIST() keeps no order guarantee; compare the sets of columns.
            QStringList have = row[2].toString().split(',');
            QStringList want = columns.split(',');
            have.sort();
            want.sort();
            if (have == want && (!unique || row[1].toInt() == 1))
                found = true;
        }
        QVERIFY2(found, qPrintable(table + " (" + columns + ")"));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
