// The customer list's compact rows streamed through the data module's connection: the same values
// as the connection's own select gives, accents, missing values, dates and times included, across
// chunk boundaries; a failed load leaves the list as it was; sorting and searching.
#include "store/data_module.h"
#include "store/store_messages.h"
#include "support/temp_database.h"
#include "workspace/customer_list.h"
#include "workspace/customer_list_model.h"

#include <QDate>
#include <QTime>
#include <QtTest>

class TestCustomerList : public QObject {
    Q_OBJECT

    TempDatabase m_db;
    TdmBancoDeDados m_dm;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_db.Create(), qPrintable(m_db.Error()));
        QVERIFY(TempDatabase::RunScript(
            m_db.Path(),
            "insert into CLIENTES (ID_CLIENTE, NOME, FONE1, DATA_CRIACAO, HORA_CRIACAO, PRODUTO, "
            "VERSAO_PRODUTO, "
            "ID_GRUPO) values (7, 'Ângela Conceição', '1932', '2023-12-31', '23:59:58', '3', '1.3', 2);"
            "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC, P_ENDERECO, "
            "P_ESTADO) values (7, 7, '55', '0042', '6093', 'Praça São Benedito', 25);"
            "insert into CLIENTES (ID_CLIENTE, NOME, ID_GRUPO) values (8, 'ângela', 2);"
            "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC) "
            "values (8, 8, '1', '1', '2');"
            "insert into CLIENTES (ID_CLIENTE, NOME, ID_GRUPO) values (9, 'Bruno', 1);"
            "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC) "
            "values (9, 9, '1', '1', '2');"));
        QVERIFY(m_dm.Connect(m_db.Path()));
    }

    void streamedRowsMatchTheConnectionsSelect() {
        CustomerList list;
        QVERIFY(list.Load(m_dm.IBDB, kCustomerListSelect + " where C.id_Grupo <> ?", {1}));
        const auto expected = SelectRows(m_dm.IBDB, kCustomerListSelect + " where C.id_Grupo <> ?", {1});
        QCOMPARE(list.Count(), expected.size());
        for (int r = 0; r < list.Count(); ++r) {
            for (int f = 0; f < CustomerListFieldCount; ++f) {
                const QVariant want = expected[r][f];
                const QVariant got = list.Value(r, f);
                QVERIFY2(want.isNull() == got.isNull(), qPrintable(CustomerListFieldName(f)));
                if (!want.isNull())
                    QCOMPARE(got.toString(), want.toString());
            }
        }
        const int row = list.RowOfId(7);
        QCOMPARE(list.Text(row, NOME), QStringLiteral("Ângela Conceição"));
        QCOMPARE(list.Value(row, DATA_CRIACAO).toDate(), QDate(2023, 12, 31));
        QCOMPARE(list.Value(row, HORA_CRIACAO).toTime(), QTime(23, 59, 58));
        QCOMPARE(list.DisplayText(row, DATA_CRIACAO), QStringLiteral("31/12/2023"));
        QCOMPARE(list.DisplayText(row, PRODUTO), QStringLiteral("Orvan 10 Max"));
        QCOMPARE(list.DisplayText(row, P_ESTADO), QStringLiteral("São Paulo"));
        QVERIFY(list.IsNull(list.RowOfId(8), P_ESTADO));
        QCOMPARE(list.DisplayText(list.RowOfId(8), PRODUTO), QString());
    }

    void rowsStreamInChunks() {
        // Enough customers for three chunks; they are rolled back at the end.
        const int extra = 2 * CustomerList::kChunkRows + 5;
        QVERIFY(m_dm.IBDB.Exec(QStringLiteral("execute block as declare i integer = 1000; begin "
                                              "while (i < 1000 + %1) do begin "
                                              "insert into CLIENTES (ID_CLIENTE, NOME, ID_GRUPO) values "
                                              "(:i, 'Cliente ' || :i, 2); "
                                              "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, "
                                              "CODIGO_PAINEL, CODIGO_PC, P_ESTADO) values "
                                              "(:i, :i, '1', '1', '2', mod(:i, 27) + 1); "
                                              "i = i + 1; end end")
                                   .arg(extra)));
        CustomerList list;
        int chunks = 0;
        const QString sql = kCustomerListSelect + " where C.id_Grupo <> ?";
        QVERIFY(list.Load(m_dm.IBDB, sql, {1}, nullptr, [&] { ++chunks; }));
        QCOMPARE(chunks, 2);
        QCOMPARE(list.Count(), extra + 2);
        const int last = list.RowOfId(1000 + extra - 1);
        QVERIFY(last >= 0);
        QCOMPARE(list.Text(last, NOME), QStringLiteral("Cliente %1").arg(1000 + extra - 1));
        QCOMPARE(list.Value(last, P_ESTADO).toInt(), (1000 + extra - 1) % 27 + 1);
        m_dm.RollbackRetaining();
    }

    void failedLoadKeepsNothingElse() {
        CustomerList list;
        QVERIFY(list.Load(m_dm.IBDB, kCustomerListSelect, {}));
        QCOMPARE(list.Count(), 3);
        QString error;
        // A statement the engine refuses: the list stays as it was.
        QVERIFY(!list.Load(m_dm.IBDB, kCustomerListSelect + " where C.NO_SUCH_COLUMN = ?", {1}, &error));
        QVERIFY(error.contains("NO_SUCH_COLUMN"));
        QCOMPARE(list.Count(), 3);

        // The model shows an empty list when its connection is gone, and nothing read another way.
        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(m_db.Path()));
        CustomerListModel model;
        QVERIFY(model.Reload(dm.IBDB, &error));
        QCOMPARE(model.rowCount(), 2);
        dm.IBDB.Disconnect();
        QVERIFY(!model.Reload(dm.IBDB, &error));
        QCOMPARE(error, MsgNotConnected());
        QCOMPARE(model.rowCount(), 0);
    }

    void searchFoldsAccentedLetters() {
        CustomerList list;
        QVERIFY(list.Load(m_dm.IBDB, kCustomerListSelect, {}));
        list.Sort(ID_CLIENTE, false);
        QCOMPARE(list.Id(list.Find(NOME, QStringLiteral("ÂNGELA"))), 7);
        QCOMPARE(list.Id(list.Find(NOME, QStringLiteral("âNGELA"), 1)), 8);
        QCOMPARE(list.Find(NOME, QStringLiteral("angela")), -1); // letter case, not accents
        QCOMPARE(list.Find(NOME, QStringLiteral("Ω")), -1);      // not storable: no match
        QCOMPARE(list.Id(list.Find(P_ENDERECO, QStringLiteral("praça são"))), 7);
        QCOMPARE(list.Id(list.Find(CODIGO_PAINEL, QStringLiteral("004"))), 7);
    }

    void refreshKeepsTheListInStep() {
        CustomerList list;
        const QString sql = kCustomerListSelect + " where C.id_Grupo <> ?";
        QVERIFY(list.Load(m_dm.IBDB, sql, {1}));
        QCOMPARE(list.Count(), 2);
        // Customer 9 leaves the recycle bin, 7 goes into it, 8 is renamed.
        QVERIFY(m_dm.IBDB.Exec("update CLIENTES set ID_GRUPO = 2 where ID_CLIENTE = 9"));
        QVERIFY(m_dm.IBDB.Exec("update CLIENTES set ID_GRUPO = 1 where ID_CLIENTE = 7"));
        QVERIFY(m_dm.IBDB.Exec("update CLIENTES set NOME = 'Zeca' where ID_CLIENTE = 8"));
        bool present = false;
        for (int id : {9, 7, 8})
            QVERIFY(list.Refresh(m_dm.IBDB, sql, {1}, id, &present));
        QVERIFY(present);
        QCOMPARE(list.Count(), 2);
        QCOMPARE(list.RowOfId(7), -1);
        QCOMPARE(list.Text(list.RowOfId(8), NOME), QStringLiteral("Zeca"));
        list.Sort(NOME, false);
        QCOMPARE(list.Id(0), 9);
        QCOMPARE(list.Id(1), 8);
        m_dm.RollbackRetaining();
    }
};

QTEST_GUILESS_MAIN(TestCustomerList)
#include "tst_customer_list.moc"
