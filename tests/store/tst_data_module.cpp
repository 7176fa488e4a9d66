// The data module against a real embedded database: parameterised text with quotes and accents,
// the customer aggregate written whole or not at all, opening the sets, the login path, the
// product predicates and the sets' cursors across commits.
#include "store/data_module.h"
#include "store/fb_statement.h"
#include "store/schema_tables.h"
#include "store/store_messages.h"
#include "support/temp_database.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

class FakeHost : public DataModuleHost {
public:
    QStringList messages;
    int setups = 0;
    int logins = 0;
    int terminations = 0;
    bool answer = true;

    void ShowMessage(const QString& text) override { messages << text; }
    bool RunFirstTimeSetup(TdmBancoDeDados&) override { return ++setups, answer; }
    bool RunLogin(TdmBancoDeDados&) override { return ++logins, answer; }
    void TerminateApplication() override { ++terminations; }
};

int Count(TdmBancoDeDados& dm, const QString& table, const QString& where = {}) {
    return dm.IBDB.SelectValue(QStringLiteral("select count(*) from %1 %2").arg(table, where)).toInt();
}

QList<qint64> AggregateGenerators(TdmBancoDeDados& dm) {
    QList<qint64> values;
    for (const QString& table : CustomerAggregateTables())
        values << dm.IBDB
                      .SelectValue(QStringLiteral("select gen_id(%1, 0) from rdb$database")
                                       .arg(FindSchemaTable(table)->generator))
                      .toLongLong();
    return values;
}

// Starts a new customer in the eight sets, with what the database requires.
void StartCustomer(TdmBancoDeDados& dm, const QString& name) {
    for (DataSet* set : dm.CustomerSets())
        QVERIFY2(set->Insert(), qPrintable(set->LastError()));
    dm.DSetClientes.SetValue("NOME", name);
    dm.DSetClientes.SetValue("PRODUTO", "1");
    dm.DSetClientes.SetValue("ID_GRUPO", 2);
    dm.DSetPainel.SetValue("FONE_PAINEL", "1133334444");
    dm.DSetPainel.SetValue("CODIGO_PAINEL", "6093");
    dm.DSetPainel.SetValue("CODIGO_PC", "6093");
}

} // namespace

class TestDataModule : public QObject {
    Q_OBJECT
private:
    TempDatabase* m_temp = nullptr;
    TdmBancoDeDados* m_dm = nullptr;
    FakeHost m_host;

private Q_SLOTS:
    void init() {
        m_temp = new TempDatabase;
        QVERIFY2(m_temp->Create(), qPrintable(m_temp->Error()));
        m_dm = new TdmBancoDeDados;
        m_host = FakeHost();
        m_dm->SetHost(&m_host);
        QVERIFY2(m_dm->Connect(m_temp->Path()), qPrintable(m_dm->LastError()));
    }

    void cleanup() {
        delete m_dm;
        delete m_temp;
    }

    void textWithQuotesAndAccentsIsSavedAndFound() {
        const QString name = QString::fromUtf8("D'Ávila \"Ção\"; --x");
        const QString notes = QString::fromUtf8("Observação com 'aspas'\r\nsegunda linha");
        QVERIFY(m_dm->DSetClientes.Open());
        QVERIFY(m_dm->DSetClientes.Insert());
        m_dm->DSetClientes.SetValue("NOME", name);
        m_dm->DSetClientes.SetValue("OBS", notes);
        QVERIFY2(m_dm->DSetClientes.Post(), qPrintable(m_dm->DSetClientes.LastError()));
        QVERIFY(m_dm->CommitRetaining());

        DataSet& found = m_dm->IBQuery1;
        found.SetSelectSql("select C.* from clientes C where C.NOME = ?", {name});
        QVERIFY2(found.Open(), qPrintable(found.LastError()));
        QCOMPARE(found.RecordCount(), 1);
        QCOMPARE(found.Value("NOME").toString(), name);
        QCOMPARE(found.Value("OBS").toString(), notes);
        found.Close();

        // Stored in ISO8859_1: one byte per character, text and memo alike.
        const auto lengths =
            SelectRows(m_dm->IBDB, "select octet_length(NOME), octet_length(OBS) from CLIENTES");
        QCOMPARE(lengths.value(0).value(0).toInt(), name.size());
        QCOMPARE(lengths.value(0).value(1).toInt(), notes.size());

        // A search typed by the operator, with the same quote, through the customer list's select.
        m_dm->DSetTelaInicial.SetSelectSql(kCustomerListSelect + " where C.NOME starting with ?", {"D'Á"});
        QVERIFY2(m_dm->DSetTelaInicial.Open(), qPrintable(m_dm->DSetTelaInicial.LastError()));
        QCOMPARE(m_dm->DSetTelaInicial.RecordCount(), 0); // the list joins PAINEL, which this row lacks
    }

    void transactionSeesCommittedRowsAndNeverWaits() {
        const auto mode =
            SelectRows(m_dm->IBDB, "select MON$ISOLATION_MODE, MON$LOCK_TIMEOUT from MON$TRANSACTIONS "
                                   "where MON$TRANSACTION_ID = current_transaction");
        QCOMPARE(mode.value(0), (QVariantList{2, 0})); // read committed with record versions, no wait

        // A second connection, as another program would hold one on a server.
        DbConnection other;
        QVERIFY(other.Connect(m_temp->Path()));
        QVERIFY(other.Exec("insert into GRUPOS (ID_GRUPO, NOME_GRUPO) values (10, 'NORTE')"));
        QVERIFY(other.CommitRetaining());
        // Read committed: the running transaction sees it without starting again.
        QCOMPARE(m_dm->IBDB.SelectValue("select NOME_GRUPO from GRUPOS where ID_GRUPO = 10").toString(),
                 QStringLiteral("NORTE"));

        QVERIFY(other.Exec("update GRUPOS set NOME_GRUPO = 'SUL' where ID_GRUPO = 10"));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!m_dm->IBDB.Exec("update GRUPOS set NOME_GRUPO = 'LESTE' where ID_GRUPO = 10"));
        QVERIFY(timer.elapsed() < 2000); // refused at once, not after the other commits
        QVERIFY(!m_dm->IBDB.LastError().isEmpty());
        QVERIFY(other.RollbackRetaining());
        QVERIFY(m_dm->IBDB.Exec("update GRUPOS set NOME_GRUPO = 'LESTE' where ID_GRUPO = 10"));
    }

    void eventViewerCaptionsAreFieldNames() {
        QVERIFY(TempDatabase::RunScript(
            m_temp->Path(), "insert into CLIENTES (ID_CLIENTE) values (1);\n"
                            "insert into BUFFER_EVENTOS (ID_BUFFER_EVENTOS, ID_CLIENTE, COD_EVENTO, "
                            "PARTICAO, USUARIO) values (1, 1, 7, 'A', 'Mestre');"));
        DataSet& viewer = m_dm->DSetMostraBuffer;
        viewer.SetSelectSql(QString::fromUtf8("select B.ID_BUFFER_EVENTOS, B.COD_EVENTO \"No. do Evento\", "
                                              "b.particao \"Partição\", b.usuario \"Usuário\" from "
                                              "buffer_eventos B where b.id_Cliente = ?"),
                            {1});
        QVERIFY2(viewer.Open(), qPrintable(viewer.LastError()));
        QCOMPARE(viewer.FieldNames(),
                 (QStringList{"ID_BUFFER_EVENTOS", "No. do Evento", QString::fromUtf8("Partição"),
                              QString::fromUtf8("Usuário")}));
        QCOMPARE(viewer.Value(QString::fromUtf8("usuário")).toString(), QStringLiteral("Mestre"));
        QCOMPARE(viewer.Value("No. do Evento").toInt(), 7);
        QVERIFY(viewer.Delete());
        QCOMPARE(Count(*m_dm, "BUFFER_EVENTOS"), 0);
    }

    void customerAggregateTakesOneKeyForItsEightRows() {
        QVERIFY2(m_dm->AbreTodosBD(), qPrintable(m_host.messages.join('|')));
        for (int customer = 1; customer <= 2; ++customer) {
            StartCustomer(*m_dm, QStringLiteral("Cliente %1").arg(customer));
            QString error;
            QVERIFY2(m_dm->PostCustomer(&error), qPrintable(error));
            QVERIFY(!m_dm->ModoEditOuInsert());
            QCOMPARE(AggregateGenerators(*m_dm), QList<qint64>(8, customer));
            QCOMPARE(m_dm->DSetPainel.Value("ID_CLIENTE").toInt(), customer);
            for (const QString& table : CustomerAggregateTables()) {
                const TableDefinition* definition = FindSchemaTable(table);
                QCOMPARE(Count(*m_dm, table,
                               QStringLiteral("where %1 = %2").arg(definition->keyColumn).arg(customer)),
                         1);
                if (definition->columns.contains("ID_PAINEL") && table != "PAINEL")
                    QCOMPARE(Count(*m_dm, table, QStringLiteral("where ID_PAINEL = %1").arg(customer)), 1);
            }
        }
        // The customer list shows both, newest last.
        m_dm->DSetTelaInicial.SetSelectSql(kCustomerListSelect +
                                           " where C.id_Grupo <> 1 order by C.ID_CLIENTE");
        QVERIFY(m_dm->DSetTelaInicial.Open());
        QCOMPARE(m_dm->DSetTelaInicial.RecordCount(), 2);
        QVERIFY(m_dm->DSetTelaInicial.Last());
        QCOMPARE(m_dm->DSetTelaInicial.Value("NOME").toString(), QStringLiteral("Cliente 2"));
    }

    void failureInTheSixthInsertLeavesNoRowOfTheCustomer() {
        QVERIFY(m_dm->AbreTodosBD());
        StartCustomer(*m_dm, "Primeiro");
        QVERIFY(m_dm->PostCustomer());

        StartCustomer(*m_dm, "Segundo");
        // USUARIOS is the sixth row posted (CLIENTES, PAINEL, FONES, REPORT, TEMPOS, USUARIOS):
        // a user name longer than its column makes the engine refuse it.
        m_dm->DSetUsuarios.SetValue("USUARIO1", QString(50, 'x'));
        QString error;
        QVERIFY(!m_dm->PostCustomer(&error));
        // The system's sentence comes first, then the data set and the engine's own text.
        QVERIFY2(error.startsWith("Erro ao gravar os dados do cliente no banco de dados.") &&
                     error.contains("DSetUsuarios"),
                 qPrintable(error));

        for (const QString& table : CustomerAggregateTables())
            QCOMPARE(Count(*m_dm, table), 1);
        // The generators moved together and still agree, so the start-up repair has nothing to do.
        const QList<qint64> generators = AggregateGenerators(*m_dm);
        QCOMPARE(generators, QList<qint64>(8, generators.first()));
        // The screen keeps what the operator typed and may correct it and save again.
        for (DataSet* set : m_dm->CustomerSets())
            QCOMPARE(set->CurrentState(), DataSet::State::Insert);
        QCOMPARE(m_dm->DSetClientes.Value("NOME").toString(), QStringLiteral("Segundo"));
        QVERIFY(m_dm->DSetClientes.Value("ID_CLIENTE").isNull());

        m_dm->DSetUsuarios.SetValue("USUARIO1", "Maria");
        QVERIFY2(m_dm->PostCustomer(&error), qPrintable(error));
        const qint64 key = m_dm->DSetClientes.Value("ID_CLIENTE").toLongLong();
        QCOMPARE(AggregateGenerators(*m_dm), QList<qint64>(8, key));
        for (const QString& table : CustomerAggregateTables())
            QCOMPARE(Count(*m_dm, table), 2);
    }

    // A stored customer whose PAINEL row is missing gets it back under its own key when saved;
    // a key from PAINEL's generator alone would make the generators disagree, and the next
    // start's repair would delete the row.
    void missingRowOfAStoredCustomerTakesTheCustomersKey() {
        QVERIFY(m_dm->AbreTodosBD());
        for (const char* name : {"Primeiro", "Segundo"}) {
            StartCustomer(*m_dm, name);
            QVERIFY(m_dm->PostCustomer());
        }
        QVERIFY(m_dm->IBDB.Exec("delete from PAINEL where ID_CLIENTE = 1"));
        QVERIFY(m_dm->CommitRetaining());

        DataSet& c = m_dm->DSetClientes;
        c.Close();
        c.SetSelectSql("select * from CLIENTES where ID_CLIENTE = ?", {1});
        QVERIFY(c.Open() && c.Edit());
        c.SetValue("NOME", "Primeiro, corrigido");
        DataSet& p = m_dm->DSetPainel;
        p.Close();
        p.SetSelectSql("select P.* from PAINEL P where P.ID_CLIENTE = ?", {1});
        QVERIFY(p.Open() && p.IsEmpty() && p.Insert());
        p.SetValue("FONE_PAINEL", "1133334444");
        p.SetValue("CODIGO_PAINEL", "6093");
        p.SetValue("CODIGO_PC", "6093");
        QString error;
        QVERIFY2(m_dm->PostCustomer(&error), qPrintable(error));

        QCOMPARE(SelectRows(m_dm->IBDB, "select ID_PAINEL, ID_CLIENTE from PAINEL order by ID_PAINEL"),
                 (QList<QVariantList>{{1, 1}, {2, 2}}));
        QCOMPARE(AggregateGenerators(*m_dm), QList<qint64>(8, 2));
    }

    // Text the database's character set cannot hold is refused, never stored with "?" in place
    // of the characters.
    void textOutsideLatin1IsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("dash, curly quotes, euro") << QString::fromUtf8("Loja – “Sol” €");
        QTest::newRow("euro alone") << QString::fromUtf8("Preço 10€");
    }

    void textOutsideLatin1IsRefused() {
        QFETCH(QString, name);
        QVERIFY(m_dm->DSetClientes.Open());
        QVERIFY(m_dm->DSetClientes.Insert());
        m_dm->DSetClientes.SetValue("NOME", name);
        QVERIFY(!m_dm->DSetClientes.Post());
        QVERIFY2(m_dm->DSetClientes.LastError().contains(QString::fromUtf8("não aceita")),
                 qPrintable(m_dm->DSetClientes.LastError()));
        m_dm->DSetClientes.Cancel();
        QVERIFY(m_dm->CommitRetaining());
        QCOMPARE(Count(*m_dm, "CLIENTES"), 0);
        bool ok = false;
        m_dm->IBDB.SelectValue("select count(*) from CLIENTES where NOME = ?", {name}, &ok);
        QVERIFY(!ok);
    }

    // A fetch the engine refuses midway closes the cursor, so the statement runs again.
    void failedFetchClosesTheCursor() {
        FbStatement* statement =
            m_dm->IBDB.Prepared("select 10 / (cast(? as integer) - 1) from rdb$database");
        QVERIFY(statement);
        QVERIFY(statement->Execute({1}));
        QVERIFY(!statement->Fetch());
        QVERIFY(!statement->LastError().isEmpty());
        QVERIFY2(statement->Execute({3}), qPrintable(statement->LastError()));
        QVERIFY2(statement->Fetch(), qPrintable(statement->LastError()));
        QCOMPARE(statement->Value(0).toInt(), 5);
    }

    void openingTheSetsNamesTheOneThatFails() {
        m_dm->Disconnect();
        QString error;
        QVERIFY2(TempDatabase::RunScript(m_temp->Path(), "DROP TABLE ZONAS;", &error), qPrintable(error));
        QVERIFY(m_dm->Connect(m_temp->Path()));

        QVERIFY(!m_dm->AbreTodosBD());
        QCOMPARE(m_host.messages, QStringList{kMsgErroAbrirTabela + "DSetZonas"});
        QVERIFY(m_dm->DSetUsuarios.Active());
        QVERIFY(!m_dm->DSetZonas.Active());
        QVERIFY(!m_dm->DSetOpcoes.Active());
        QVERIFY(m_dm->FechaTodosBD());
        QVERIFY(!m_dm->DSetClientes.Active());
    }

    void takenLoginNameIsRefusedAsDuplicate() {
        DataSet& operators = m_dm->DSetUsuariosSoft;
        QVERIFY(operators.Open());
        for (int attempt = 0; attempt < 2; ++attempt) {
            QVERIFY(operators.Insert());
            operators.SetValue("USUARIO", "maria");
            operators.SetValue("ATIVO", "T");
            const bool posted = operators.Post();
            QCOMPARE(posted, attempt == 0);
            QCOMPARE(IsDuplicateKeyError(operators.LastErrorCodes()), attempt == 1);
        }
        operators.Cancel();
        QVERIFY(m_dm->CommitRetaining());
        QCOMPARE(Count(*m_dm, "USUARIOS_SOFTWARE"), 1);
    }

    void openAndLoginChoosesFirstTimeSetupOrLogin() {
        m_dm->Disconnect();
        QVERIFY(m_dm->OpenAndLogin(m_temp->Path()));
        QCOMPARE(m_host.setups, 1);
        QCOMPARE(m_host.logins, 0);
        QVERIFY(!m_dm->Connected());

        QVERIFY(TempDatabase::RunScript(m_temp->Path(),
                                        "insert into USUARIOS_SOFTWARE (ID_USER_SOFT, USUARIO, "
                                        "SENHA, ATIVO) values (1, 'adm', '1', 'T');"));
        m_host.answer = false;
        QVERIFY(!m_dm->OpenAndLogin(m_temp->Path()));
        QCOMPARE(m_host.setups, 1);
        QCOMPARE(m_host.logins, 1);
        QVERIFY(!m_dm->Connected());
        QCOMPARE(m_host.terminations, 0);

        QVERIFY(!m_dm->OpenAndLogin(m_temp->FilePath("nada.fdb")));
        QCOMPARE(m_host.messages, QStringList{kMsgErroAcessarBanco});
        QCOMPARE(m_host.terminations, 1);
        QCOMPARE(m_host.logins, 1);
    }

    void productPredicates_data() {
        QTest::addColumn<QString>("produto");
        QTest::addColumn<int>("connected");
        QTest::addColumn<QString>("expected"); // IsOrvan10, IsOrvan5, IsProduct3, IsOrvan9Max, IsProduct3Or4
        QTest::newRow("stored 1, none connected") << "1" << 255 << "10000";
        QTest::newRow("stored 2") << "2" << 255 << "01000";
        QTest::newRow("stored 3") << "3" << 255 << "00101";
        QTest::newRow("stored 4") << "4" << 255 << "00011";
        QTest::newRow("stored 0 asks again") << "0" << 255 << "00000";
        QTest::newRow("stored 7 names no model") << "7" << 255 << "00000";
        QTest::newRow("identified panel counts as well") << "1" << 4 << "10011";
        QTest::newRow("no main window: PRODUTO alone") << "3" << -1 << "00101";
        QTest::newRow("null PRODUTO, identified") << "" << 2 << "01000";
    }

    void productPredicates() {
        QFETCH(QString, produto);
        QFETCH(int, connected);
        QFETCH(QString, expected);
        if (connected >= 0)
            m_dm->SetConnectedProductSource([connected] { return connected; });
        QVERIFY(m_dm->DSetClientes.Open());
        QVERIFY(m_dm->DSetClientes.Insert());
        m_dm->DSetClientes.SetValue("PRODUTO", produto.isEmpty() ? QVariant() : QVariant(produto));
        QVERIFY(m_dm->DSetClientes.Post());
        const QString got = QString::number(m_dm->IsOrvan10()) + QString::number(m_dm->IsOrvan5()) +
                            QString::number(m_dm->IsProduct3()) + QString::number(m_dm->IsOrvan9Max()) +
                            QString::number(m_dm->IsProduct3Or4());
        QCOMPARE(got, expected);
    }

    void loggedOperatorFromItsRow_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("permissoes");
        QTest::addColumn<QString>("granted"); // permissions 1..40 as "1"/"0"
        QTest::newRow("administrator with empty permissions holds all") << 1 << "" << QString(40, '1');
        QTest::newRow("administrator keeps a refusal it has") << 1 << "0"
                                                              << "0" + QString(39, '1');
        QTest::newRow("short text refuses the rest") << 2 << "101"
                                                     << "101" + QString(37, '0');
        QTest::newRow("first operator's 255 ones") << 1 << QString(255, '1') << QString(40, '1');
    }

    void loggedOperatorFromItsRow() {
        QFETCH(int, id);
        QFETCH(QString, permissoes);
        QFETCH(QString, granted);
        const LoggedOperator op = LoggedOperator::FromRow(id, "ana", permissoes);
        QCOMPARE(op.administrator, id == 1);
        QString got;
        for (int i = 1; i <= 40; ++i)
            got += op.HasPermission(i) ? '1' : '0';
        QCOMPARE(got, granted);
        QVERIFY(!op.HasPermission(0) && !op.HasPermission(41));
    }

    void cursorSurvivesTheEndOfItsTransaction() {
        QString script;
        for (int i = 3; i <= 700; ++i)
            script +=
                QStringLiteral("insert into GRUPOS (ID_GRUPO, NOME_GRUPO) values (%1, 'G%1');\n").arg(i);
        m_dm->Disconnect();
        QVERIFY(TempDatabase::RunScript(m_temp->Path(), script));
        QVERIFY(m_dm->Connect(m_temp->Path()));

        DataSet& groups = m_dm->DSetGrupos;
        groups.SetSelectSql("select * from GRUPOS order by ID_GRUPO");
        QVERIFY(groups.Open());
        for (int i = 0; i < 10; ++i)
            QVERIFY(groups.Next());
        QCOMPARE(groups.Value("ID_GRUPO").toInt(), 11);
        QVERIFY(m_dm->CommitRetaining());
        QVERIFY(groups.Next());
        QCOMPARE(groups.Value("ID_GRUPO").toInt(), 12);
        QVERIFY(m_dm->RollbackRetaining());
        QCOMPARE(groups.RecordCount(), 700);
        for (int row = 0; row < 700; ++row)
            QCOMPARE(groups.Value(row, 0).toInt(), row + 1);
    }

    void refreshKeepsThePositionWhileTheRowExists() {
        DataSet& groups = m_dm->DSetGrupos;
        QVERIFY(groups.Open());
        QVERIFY(groups.Insert());
        groups.SetValue("NOME_GRUPO", "CENTRO");
        QVERIFY(groups.Post());
        QCOMPARE(groups.Value("ID_GRUPO").toInt(), 3); // from GEN_GRUPOS_ID, which starts at 2
        QVERIFY(m_dm->CommitRetaining());
        QVERIFY(groups.Locate("NOME_GRUPO", "default", DataSet::CaseInsensitive));
        QVERIFY(m_dm->RefreshKeepingPosition(groups));
        QCOMPARE(groups.Value("ID_GRUPO").toInt(), 2);

        QVERIFY(groups.Locate("ID_GRUPO", 3));
        QVERIFY(m_dm->IBDB.Exec("delete from GRUPOS where ID_GRUPO = ?", {3}));
        QVERIFY(m_dm->RefreshKeepingPosition(groups));
        QCOMPARE(groups.RecordCount(), 2);
        QCOMPARE(groups.CurrentRow(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_data_module.moc"
