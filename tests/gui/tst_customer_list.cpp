// The main window's customer list against a fresh embedded database: adding customers of every
// model through the product chooser, opening, searching, sorting, the recycle bin and the columns.
#include "base/ini_file.h"
#include "base/settings.h"
#include "gui/gui_helpers.h"
#include "link/link_state.h"
#include "programming/ui/frm_tipo_do_produto.h"
#include "serial/memory_line.h"
#include "serial/tcia_com_port.h"
#include "store/audit_log.h"
#include "store/data_module.h"
#include "store/schema_tables.h"
#include "support/temp_database.h"
#include "workspace/customer_actions.h"
#include "workspace/ui/frm_principal.h"
#include "workspace/ui/frm_prog_main.h"

#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

namespace {

struct Customer {
    int id;
    QString nome;
    QString produto;
    QString versao; // empty: null
    QString codigoPainel;
    QString codigoPc;
    QString endereco;
    QString bairro;
    int grupo;
    int estado;
};

// Five customers, keys 11..15, and the generators of the aggregate moved past them.
const QList<Customer> kFixture = {
    {11, "Padaria Sol", "1", "1.4", "1234", "6093", "Rua das Flores", "Centro", 2, 25},
    {12, "Mercado Lua", "2", "1.4", "5678", "4321", "Avenida Brasil", "Jardim", 2, 11},
    {13, "padaria Estrela", "3", "1.2", "1299", "1111", "Rua Amapá", "Vila Nova", 2, 0},
    {14, "Oficina Norte", "4", "1.0", "9000", "2222", "Travessa Sul", "centro velho", 2, 26},
    {15, "Zeca Bar", "3", "1.3", "0042", "3333", "Beco Azul", "Lapa", 2, 1},
};

QString InsertScript(const QList<Customer>& customers) {
    QString script;
    for (const Customer& c : customers) {
        script +=
            QStringLiteral(
                "insert into CLIENTES (ID_CLIENTE, NOME, PRODUTO, VERSAO_PRODUTO, ID_GRUPO, "
                "DATA_CRIACAO, HORA_CRIACAO) values (%1, '%2', '%3', %4, %5, '2024-03-05', '14:05:09');")
                .arg(c.id)
                .arg(QString(c.nome).replace("'", "''"), c.produto,
                     c.versao.isEmpty() ? QStringLiteral("null") : "'" + c.versao + "'")
                .arg(c.grupo);
        script +=
            QStringLiteral(
                "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC, "
                "P_ENDERECO, P_BAIRRO, P_ESTADO) values (%1, %1, '33334444', '%2', '%3', '%4', '%5', %6);")
                .arg(c.id)
                .arg(c.codigoPainel, c.codigoPc, c.endereco, c.bairro,
                     c.estado ? QString::number(c.estado) : QStringLiteral("null"));
    }
    for (const char* g : {"CLIENTES", "PAINEL", "FONES", "OPCOES", "REPORT", "TEMPOS", "USUARIOS", "ZONAS"})
        script += QStringLiteral("set generator GEN_%1_ID to 100;").arg(QLatin1String(g));
    return script;
}

} // namespace

class TestCustomerList : public QObject {
    Q_OBJECT

    // One window over a fresh database in its own application folder.
    struct Fixture {
        TempDatabase db;
        TdmBancoDeDados dm;
        LinkState link;
        MemoryLine line;
        std::unique_ptr<TfrmPrincipal> main;
        QList<int> opened; // keys the record screen was opened with
        LoggedOperator op = LoggedOperator::FromRow(1, "admin", {});

        bool Start(const QList<Customer>& customers, const QString& settings = {},
                   bool realRecordScreen = false) {
            if (!db.Create())
                return false;
            if (!customers.isEmpty() && !TempDatabase::RunScript(db.Path(), InsertScript(customers)))
                return false;
            qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
            if (!settings.isEmpty()) {
                QFile file(db.FilePath("ZRVConfig.ini"));
                if (!file.open(QIODevice::WriteOnly))
                    return false;
                file.write(settings.toLatin1());
            }
            dm.Operator = op;
            main = std::make_unique<TfrmPrincipal>(dm, link, *line.port());
            if (!realRecordScreen) {
                main->SetRecordScreenOpener([this](TfrmPrincipal&, int id) {
                    opened << id;
                    return id;
                });
            }
            main->show();
            return QTest::qWaitForWindowActive(main.get());
        }

        QList<int> Ids() const {
            QList<int> ids;
            for (int r = 0; r < main->Model->rowCount(); ++r)
                ids << main->Model->IdAt(r);
            return ids;
        }

        void ClickTitle(int field) {
            QHeaderView* header = main->DBGrid1->horizontalHeader();
            const QPoint at(header->sectionViewportPosition(field) + header->sectionSize(field) / 2,
                            header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        }

        void ChooseGroup(const QString& name) {
            main->cmbGrupo->setCurrentText(name);
            main->ApplyGroupFilter();
        }
    };

private Q_SLOTS:
    void addCustomerOfEachModel_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("produto");
        QTest::addColumn<QString>("versao");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Orvan 10") << "rbtOrvan10"
                                  << "1"
                                  << "1.4"
                                  << "Orvan 10";
        QTest::newRow("Orvan 5 preselected") << ""
                                             << "2"
                                             << "1.4"
                                             << "Orvan 5";
        QTest::newRow("Orvan 10 Eco") << "rbtOrvanEco"
                                      << "3"
                                      << "1.2"
                                      << "Orvan 10 Eco";
        QTest::newRow("Orvan 10 Max") << "rbtOrvanMax"
                                      << "3"
                                      << "1.3"
                                      << "Orvan 10 Max";
        QTest::newRow("Orvan 9") << "rbtOrvan9"
                                 << "4"
                                 << "1.0"
                                 << "Orvan 9 Max";
    }
    void addCustomerOfEachModel() {
        QFETCH(QString, button);
        QFETCH(QString, produto);
        QFETCH(QString, versao);
        QFETCH(QString, shown);
        Fixture f;
        // The defaults of a new customer come from the settings.
        QVERIFY(f.Start(
            {}, "[Config]\r\nCidade_Default=Campinas\r\nEstado_Default=25\r\nCEP_Default=13000-000\r\n",
            true));
        MessageLog messages; // answers Yes to "Salvar Conta?"
        WhenModal<TfrmTipoDoProduto>([button](TfrmTipoDoProduto* chooser) {
            if (!button.isEmpty())
                ClickIndicator(chooser->findChild<QRadioButton*>(button));
            QTest::mouseClick(chooser->btnOK, Qt::LeftButton);
        });
        // The record screen as the operator uses it: a name, the panel's telephone, save, return.
        WhenModal<TfrmProgMain>([shown](TfrmProgMain* screen) {
            QTest::keyClicks(screen->findChild<QLineEdit*>("dbedtNome"), "Cliente D'Avila " + shown);
            QTest::keyClicks(screen->findChild<QLineEdit*>("dbedtFonePainel"), "1932320000");
            Press(screen, "btnSalvar");
            Press(screen, "jvLookRetornar");
        });
        f.main->actIncluirCliente->trigger();
        QCOMPARE(messages.Texts(), QStringList{"Salvar Conta?"});

        QCOMPARE(f.main->Model->rowCount(), 1);
        const int row = f.main->CurrentRow();
        QCOMPARE(row, 0);
        QCOMPARE(f.main->Model->index(0, PRODUTO).data().toString(), shown);
        QCOMPARE(f.main->Model->index(0, NOME).data().toString(), "Cliente D'Avila " + shown);
        QCOMPARE(f.main->lblNumClientes->text(), QStringLiteral("Nº de clientes: 1"));
        const auto rows =
            SelectRows(f.dm.IBDB, "select C.PRODUTO, C.VERSAO_PRODUTO, C.ID_GRUPO, C.DATA_CRIACAO, C.CIDADE, "
                                  "C.ESTADO, P.CODIGO_PAINEL, P.CODIGO_PC, P.P_CEP, P.P_ESTADO, "
                                  "(select count(*) from TEMPOS T where T.ID_PAINEL = P.ID_PAINEL) "
                                  "from CLIENTES C join PAINEL P on P.ID_CLIENTE = C.ID_CLIENTE");
        QCOMPARE(rows.size(), 1);
        const QVariantList r = rows[0];
        QCOMPARE(r[0].toString(), produto);
        QCOMPARE(r[1].toString(), versao);
        QCOMPARE(r[2].toInt(), 2); // the group named "Default"
        QCOMPARE(r[3].toDate(), QDate::currentDate());
        QCOMPARE(r[4].toString(), QStringLiteral("Campinas"));
        QCOMPARE(r[5].toInt(), 25);
        QCOMPARE(r[6].toString(), QStringLiteral("6093"));
        QCOMPARE(r[7].toString(), QStringLiteral("6093"));
        QCOMPARE(r[8].toString(), QStringLiteral("13000-000"));
        QCOMPARE(r[9].toInt(), 25);
        QCOMPARE(r[10].toInt(), 1);
        QCOMPARE(f.link.Orvan9Max.load(), produto == "4");
    }

    void cancellingTheChooserAddsNothing() {
        Fixture f;
        QVERIFY(f.Start(kFixture));
        WhenModal<TfrmTipoDoProduto>([](TfrmTipoDoProduto* chooser) {
            ClickIndicator(chooser->rbtOrvan10);
            QTest::mouseClick(chooser->btnCancelar, Qt::LeftButton);
        });
        f.main->actIncluirCliente->trigger();
        QVERIFY(f.opened.isEmpty());
        QCOMPARE(f.main->Model->rowCount(), kFixture.size());
        // The port closed for the question is open again.
        QVERIFY(f.line.port()->Opened());
    }

    void openingACustomer() {
        Fixture f;
        QList<Customer> customers = kFixture;
        customers[1].produto = "0";  // model lost: asked again
        customers[1].versao.clear(); // no version: stored as 1.0 until the chooser gives one
        QVERIFY(f.Start(customers));
        MessageLog messages;
        f.main->SelectRow(f.main->Model->RowOfId(12));
        f.main->DBGrid1->setFocus();
        WhenModal<TfrmTipoDoProduto>([](TfrmTipoDoProduto* chooser) {
            ClickIndicator(chooser->rbtOrvanMax);
            QTest::mouseClick(chooser->btnOK, Qt::LeftButton);
        });
        // The record screen renames the customer; the list shows it in its sorted place.
        f.ClickTitle(NOME); // descending by name
        f.main->SelectRow(f.main->Model->RowOfId(12));
        f.main->SetRecordScreenOpener([&](TfrmPrincipal&, int id) {
            f.opened << id;
            f.dm.IBDB.Exec("update CLIENTES set NOME = 'Zz Mercado' where ID_CLIENTE = ?", {id});
            f.dm.CommitRetaining();
            return id;
        });
        QTest::keyClick(f.main->DBGrid1, Qt::Key_Return);
        QCOMPARE(messages.Texts(), QStringList{kMsgProdutoNaoIdentificado});
        QCOMPARE(f.opened, QList<int>{12});
        QCOMPARE(f.Ids(), (QList<int>{13, 12, 15, 11, 14}));
        QCOMPARE(f.main->Model->index(1, NOME).data().toString(), QStringLiteral("Zz Mercado"));
        const auto rows =
            SelectRows(f.dm.IBDB, "select PRODUTO, VERSAO_PRODUTO from CLIENTES where ID_CLIENTE = 12");
        // The model and the version chosen are the customer's: an Orvan 10 Max, not an Eco.
        QCOMPARE(rows[0][0].toString(), QStringLiteral("3"));
        QCOMPARE(rows[0][1].toString(), QStringLiteral("1.3"));
        QCOMPARE(f.main->Model->index(1, PRODUTO).data().toString(), QStringLiteral("Orvan 10 Max"));
        QCOMPARE(f.main->CurrentId(), 12);

        // An operator without permission 2 gets the refusal and nothing opens.
        f.dm.Operator = LoggedOperator::FromRow(7, "maria", "1");
        f.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.main.get()));
        f.main->DBGrid1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), f.main->DBGrid1);
        f.main->actVerCliente->trigger();
        QCOMPARE(messages.Last(), kMsgSemPermissao);
        QCOMPARE(f.opened.size(), 1);
    }

    void searchByEachKey_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("found"); // the row typed, then each press of the button
        QTest::newRow("name ignores case") << "Nome"
                                           << "PADARIA" << QList<int>{11, 13, 11};
        QTest::newRow("customer number") << "Nº do Cliente"
                                         << "1" << QList<int>{11, 12, 13};
        QTest::newRow("address with accent") << "Endereço"
                                             << "RUA AMAPÁ" << QList<int>{13, 13};
        QTest::newRow("panel code") << "Código do Painel"
                                    << "12" << QList<int>{11, 13, 11};
        QTest::newRow("PC code") << "Código do PC"
                                 << "43" << QList<int>{12, 12};
        QTest::newRow("neighbourhood") << "Bairro"
                                       << "CENTRO" << QList<int>{11, 14};
        QTest::newRow("quote") << "Nome"
                               << "d'av" << QList<int>{16};
    }
    void searchByEachKey() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QList<int>, found);
        Fixture f;
        QList<Customer> customers = kFixture;
        customers << Customer{16, "D'Avila Rações", "1", "1.4", "7777", "7777", "Rua X", "Y", 2, 0};
        QVERIFY(f.Start(customers));
        MessageLog messages;
        // The popup's entry sets the caption, and the caption decides the field.
        QAction* entry = nullptr;
        for (QAction* a : f.main->JvArrowButton1->menu()->actions())
            entry = a->text() == key ? a : entry;
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(f.main->JvArrowButton1->text(), "Localizar por " + key);

        f.main->SelectRow(f.main->Model->rowCount() - 1);
        QTest::keyClicks(f.main->edtLocalizar, text);
        QCOMPARE(f.main->CurrentId(), found[0]);
        for (int i = 1; i < found.size(); ++i) {
            f.main->SearchNext();
            QCOMPARE(f.main->CurrentId(), found[i]);
        }
        QVERIFY(messages.requests.isEmpty());
    }

    void searchWithoutMatch() {
        Fixture f;
        QVERIFY(f.Start(kFixture));
        MessageLog messages;
        f.main->SelectRow(2);
        QTest::keyClicks(f.main->edtLocalizar, "Xyz");
        QCOMPARE(f.main->CurrentRow(), 2); // typing moves nowhere
        QVERIFY(messages.requests.isEmpty());
        QTest::mouseClick(f.main->JvArrowButton1, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(messages.Texts(), QStringList{kMsgNenhumRegistro});
    }

    void sortingTwoColumnsInTurn() {
        Fixture f;
        QList<Customer> customers = kFixture;
        customers[3].estado = 0;
        QVERIFY(f.Start(customers));
        // The first show sorted by the first column, ascending.
        QCOMPARE(f.Ids(), (QList<int>{11, 12, 13, 14, 15}));
        f.ClickTitle(NOME);                                  // was ascending: now descending
        QCOMPARE(f.Ids(), (QList<int>{13, 15, 11, 14, 12})); // byte order: lower case after upper case
        QHeaderView* header = f.main->DBGrid1->horizontalHeader();
        QCOMPARE(header->sortIndicatorSection(), int(NOME));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        f.ClickTitle(P_ESTADO); // then ascending, missing states first
        QCOMPARE(f.main->SortDescending, false);
        QCOMPARE(f.Ids(), (QList<int>{13, 14, 15, 12, 11}));
        QCOMPARE(header->sortIndicatorSection(), int(P_ESTADO));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        f.ClickTitle(P_ESTADO);
        QCOMPARE(f.Ids(), (QList<int>{11, 12, 15, 13, 14}));
        // A double click just after a title click opens nothing.
        QVERIFY(f.main->TitleJustClicked);
        f.main->DBGrid1->setFocus();
        emit f.main->DBGrid1->doubleClicked(f.main->Model->index(0, 0));
        QVERIFY(f.opened.isEmpty());
        QTest::mouseClick(f.main->DBGrid1->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        QVERIFY(!f.main->TitleJustClicked);
        emit f.main->DBGrid1->doubleClicked(f.main->Model->index(0, 0));
        QCOMPARE(f.opened, QList<int>{11});
    }

    void recycleBin() {
        Fixture f;
        QVERIFY(f.Start(kFixture));
        MessageLog messages;
        f.main->SelectRow(f.main->Model->RowOfId(13));
        // No: nothing moves.
        messages.answers << OperatorAnswer::No;
        f.main->actExcluirCliente->trigger();
        QVERIFY(messages.requests.last().defaultNo);
        QCOMPARE(messages.Last(),
                 QStringLiteral("Tem certeza que deseja enviar este registro para o grupo LIXEIRA?"));
        QCOMPARE(f.main->Model->rowCount(), 5);
        f.main->actExcluirCliente->trigger();
        QCOMPARE(f.Ids(), (QList<int>{11, 12, 14, 15}));
        QCOMPARE(f.main->lblNumClientes->text(), QStringLiteral("Nº de clientes: 4"));

        f.ChooseGroup(kRecycleBinGroupName);
        QVERIFY(f.main->ViewingRecycleBin);
        QCOMPARE(f.Ids(), QList<int>{13});
        QVERIFY(!f.main->actVerCliente->isEnabled());
        QVERIFY(f.main->actExcluirCliente->isEnabled());
        f.main->actExcluirCliente->trigger();
        QCOMPARE(messages.Last(), QStringLiteral("Tem certeza que deseja apagar este registro?"));
        QCOMPARE(f.main->Model->rowCount(), 0);
        QVERIFY(!f.main->actExcluirCliente->isEnabled());
        QCOMPARE(SelectRows(f.dm.IBDB, "select count(*) from PAINEL where ID_CLIENTE = 13")[0][0].toInt(), 0);
        // Both steps are in the audit record, by the operator, for the customer.
        QList<AuditRow> audit;
        QString error;
        QVERIFY2(ReadAudit(f.dm, {13, {}}, &audit, &error), qPrintable(error));
        QCOMPARE(audit.size(), 2);
        for (const AuditRow& row : audit)
            QVERIFY(row.usuario == "admin" && row.action == AuditActionText(AuditAction::DeleteCustomer));
        // The rows name the customer, also once it is gone from the table.
        QCOMPARE(audit[0].details, QStringLiteral("enviado para o grupo LIXEIRA: padaria Estrela"));
        QCOMPARE(audit[1].details, QStringLiteral("apagado: padaria Estrela"));

        // Back to every group: the sort is gone with the change of group.
        f.ChooseGroup(kGroupAll);
        QVERIFY(!f.main->ViewingRecycleBin);
        QCOMPARE(f.main->SortedColumn, -1);
        QCOMPARE(f.main->Model->rowCount(), 4);
        QVERIFY(f.main->actVerCliente->isEnabled());
    }

    void groupFilterWithQuote() {
        Fixture f;
        QList<Customer> customers = kFixture;
        customers[4].grupo = 3;
        QVERIFY(f.db.Create());
        QVERIFY(TempDatabase::RunScript(f.db.Path(), "insert into GRUPOS values (3, 'O''NEIL');" +
                                                         InsertScript(customers)));
        qputenv("TELVORA_HOME", f.db.Folder().toLocal8Bit());
        f.dm.Operator = LoggedOperator::FromRow(1, "admin", {});
        f.main = std::make_unique<TfrmPrincipal>(f.dm, f.link, *f.line.port());
        QCOMPARE(f.main->cmbGrupo->count(), 4); // TODOS, LIXEIRA, Default, O'NEIL
        f.ChooseGroup("O'NEIL");
        QCOMPARE(f.Ids(), QList<int>{15});
    }

    void rowsAsDrawn() {
        Fixture f;
        QVERIFY(f.Start(kFixture));
        CustomerListModel* m = f.main->Model;
        auto shown = [m](int id, int field) { return m->index(m->RowOfId(id), field).data().toString(); };
        QCOMPARE(shown(14, PRODUTO), QStringLiteral("Orvan 9 Max"));
        QCOMPARE(shown(13, PRODUTO), QStringLiteral("Orvan 10 Eco"));
        QCOMPARE(shown(15, PRODUTO), QStringLiteral("Orvan 10 Max"));
        QCOMPARE(shown(11, P_ESTADO), QStringLiteral("São Paulo"));
        QCOMPARE(shown(13, P_ESTADO), QString());
        QCOMPARE(shown(11, DATA_CRIACAO), QStringLiteral("05/03/2024"));
        QCOMPARE(shown(11, HORA_CRIACAO), QStringLiteral("14:05:09"));

        // The first row is current (light blue), then white and light grey rows alternate.
        f.main->SelectRow(0);
        const QImage image = f.main->DBGrid1->viewport()->grab().toImage();
        const int height = f.main->DBGrid1->rowHeight(0);
        const int x = f.main->DBGrid1->horizontalHeader()->sectionViewportPosition(NOME) + 1;
        QCOMPARE(QColor(image.pixel(x, height / 2 + 0 * height)), QColor(166, 202, 240));
        QCOMPARE(QColor(image.pixel(x, height / 2 + 1 * height)), QColor(255, 255, 255));
        QCOMPARE(QColor(image.pixel(x, height / 2 + 2 * height)), QColor(249, 249, 249));
    }

    // An operator without permission 20 or 21 reads "****" in the code columns (an empty code stays
    // empty) and may not look customers up by a code hidden from him.
    void codesMaskedByPermission_data() {
        QTest::addColumn<QString>("permissoes");
        QTest::addColumn<QString>("panelCode");
        QTest::addColumn<QString>("pcCode");
        const QString none(40, '0');
        QString panelOnly = none;
        panelOnly[19] = '1';
        QString pcOnly = none;
        pcOnly[20] = '1';
        QTest::newRow("neither") << none << "****"
                                 << "****";
        QTest::newRow("panel code only") << panelOnly << "5678"
                                         << "****";
        QTest::newRow("PC code only") << pcOnly << "****"
                                      << "4321";
    }
    void codesMaskedByPermission() {
        QFETCH(QString, permissoes);
        QFETCH(QString, panelCode);
        QFETCH(QString, pcCode);
        Fixture f;
        f.op = LoggedOperator::FromRow(5, "estagiario", permissoes);
        QList<Customer> customers = kFixture;
        customers << Customer{16, "Sem Código", "1", "1.4", "", "", "Rua X", "Y", 2, 0};
        QVERIFY(f.Start(customers));
        CustomerListModel* m = f.main->Model;
        auto shown = [m](int id, int field) { return m->index(m->RowOfId(id), field).data().toString(); };
        QCOMPARE(shown(12, CODIGO_PAINEL), panelCode);
        QCOMPARE(shown(12, CODIGO_PC), pcCode);
        QCOMPARE(shown(16, CODIGO_PAINEL), QString());
        QCOMPARE(shown(12, NOME), QStringLiteral("Mercado Lua"));
        // The value the list sorts and searches with is masked too.
        QCOMPARE(m->index(m->RowOfId(12), CODIGO_PAINEL).data(CustomerListModel::ValueRole).toString(),
                 panelCode);
        MessageLog messages;
        for (QAction* a : f.main->JvArrowButton1->menu()->actions()) {
            if (a->text() == "Código do Painel" || a->text() == "Código do PC")
                a->trigger();
        }
        QCOMPARE(messages.Texts().size(), int(panelCode == "****") + int(pcCode == "****"));
        if (panelCode == "****" && pcCode == "****")
            QCOMPARE(f.main->JvArrowButton1->text(), QStringLiteral("Localizar por Nome"));
        // The administrator logging in through "Trocar de usuário" sees them in clear.
        f.main->SetLoginHandler([](TfrmPrincipal& main) {
            main.DataModule().Operator = LoggedOperator::FromRow(1, "admin", {});
            return true;
        });
        f.main->actTrocarUsuario->trigger();
        QCOMPARE(shown(12, CODIGO_PAINEL), QStringLiteral("5678"));
        QCOMPARE(shown(12, CODIGO_PC), QStringLiteral("4321"));
    }

    void mouseWheelMovesTheList() {
        Fixture f;
        QVERIFY(f.Start(kFixture));
        f.main->SelectRow(1);
        QWidget* viewport = f.main->DBGrid1->viewport();
        auto wheel = [viewport](int delta) {
            QWheelEvent event(QPointF(20, 20), viewport->mapToGlobal(QPointF(20, 20)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &event);
        };
        // Towards the user one row down, away from the user one row up.
        wheel(-120);
        QCOMPARE(f.main->CurrentRow(), 2);
        wheel(-120);
        wheel(120);
        QCOMPARE(f.main->CurrentRow(), 2);
        // With Shift held (seen by the list's key handler) the list moves one column sideways.
        f.main->DBGrid1->setFocus();
        QTest::keyPress(f.main->DBGrid1, Qt::Key_Shift, Qt::ShiftModifier);
        QVERIFY(f.main->ShiftHeld);
        QScrollBar* bar = f.main->DBGrid1->horizontalScrollBar();
        const int before = bar->value();
        wheel(-120);
        QCOMPARE(bar->value(), before + 1);
        QCOMPARE(f.main->CurrentRow(), 2);
        QTest::keyRelease(f.main->DBGrid1, Qt::Key_Shift, Qt::NoModifier);
        QVERIFY(!f.main->ShiftHeld);
    }

    void changingTheOperator() {
        Fixture f;
        QVERIFY(f.Start(kFixture));
        f.dm.FirstRun = true;
        QStringList shown;
        f.main->SetLoginHandler([&](TfrmPrincipal& main) {
            shown << (main.isVisible() ? "visible" : "hidden");
            main.DataModule().Operator = LoggedOperator::FromRow(3, "maria", "0");
            return true;
        });
        f.main->actTrocarUsuario->trigger();
        QCOMPARE(shown, QStringList{"hidden"});
        QVERIFY(f.main->isVisible());
        QVERIFY(!f.dm.FirstRun);
        QCOMPARE(f.main->lblUsuario->text(), QStringLiteral("Usuário: maria"));
        // The new operator's permissions apply at once.
        MessageLog messages;
        f.main->actExcluirCliente->trigger();
        QCOMPARE(messages.Texts(), QStringList{kMsgSemPermissao});
        QCOMPARE(f.main->Model->rowCount(), kFixture.size());
        // "Cancelar" in the login ends the program: the window closes.
        f.main->SetLoginHandler([](TfrmPrincipal&) { return false; });
        f.main->actTrocarUsuario->trigger();
        QVERIFY(!f.main->isVisible());
    }

    void columnsFromSettings() {
        Fixture f;
        QVERIFY(f.Start(kFixture, "[Config]\r\nColunas=NOME, BOGUS, id_cliente , P_ESTADO\r\n"));
        QHeaderView* header = f.main->DBGrid1->horizontalHeader();
        QList<int> visible;
        for (int v = 0; v < header->count(); ++v) {
            if (!header->isSectionHidden(header->logicalIndex(v)))
                visible << header->logicalIndex(v);
        }
        QCOMPARE(visible, (QList<int>{NOME, ID_CLIENTE, P_ESTADO}));
        // The first show sorted by the first visible column.
        QCOMPARE(f.main->SortedColumn, int(NOME));
        QCOMPARE(f.Ids().first(), 12);
    }

    void serialPortThatCannotOpen() {
        TempDatabase db;
        QVERIFY(db.Create());
        qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
        QFile file(db.FilePath("ZRVConfig.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Config]\r\nComPort=7\r\n[Portas]\r\nCOM7=/nonexistent/tty\r\n");
        file.close();
        TdmBancoDeDados dm;
        dm.Operator = LoggedOperator::FromRow(1, "admin", {});
        LinkState link;
        TCiaComPort port;
        MessageLog messages;
        TfrmPrincipal main(dm, link, port);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(messages.Texts(), QStringList{SerialPortMessage(7)});
        QCOMPARE(messages.requests[0].icon, MessageIcon::Critical);
        QVERIFY(!port.Opened());
        QCOMPARE(SerialPortMessage(7),
                 QStringLiteral("A porta serial COM 7 não pôde ser aberta.\rVerifique se outro "
                                "programa já está utilizando esta porta ou se o modem está "
                                "configurado na porta correta."));
    }

    void failedListLoadIsReported_data() {
        QTest::addColumn<bool>("closeConnection");
        QTest::newRow("connection closed before the load") << true;
        QTest::newRow("engine fails in the middle of the rows") << false;
    }

    void failedListLoadIsReported() {
        QFETCH(bool, closeConnection);
        Fixture f;
        QVERIFY(f.db.Create());
        QVERIFY(TempDatabase::RunScript(f.db.Path(), InsertScript(kFixture)));
        // A state the engine computes and fails on (a division by zero) for panel 99 only.
        QVERIFY(TempDatabase::RunScript(f.db.Path(), "alter table PAINEL drop P_ESTADO;"));
        QVERIFY(TempDatabase::RunScript(
            f.db.Path(), "alter table PAINEL add P_ESTADO computed by (100 / (ID_PAINEL - 99));"));
        qputenv("TELVORA_HOME", f.db.Folder().toLocal8Bit());
        f.dm.Operator = LoggedOperator::FromRow(1, "admin", {});
        f.main = std::make_unique<TfrmPrincipal>(f.dm, f.link, *f.line.port());
        f.main->show();
        QVERIFY(QTest::qWaitForWindowActive(f.main.get()));
        QCOMPARE(f.main->Model->rowCount(), 5);

        if (closeConnection) {
            f.dm.IBDB.Disconnect();
        } else {
            QVERIFY(f.dm.IBDB.Exec("insert into CLIENTES (ID_CLIENTE, NOME, ID_GRUPO) values (99, 'X', 2)"));
            QVERIFY(f.dm.IBDB.Exec("insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, "
                                   "CODIGO_PC) values (99, 99, '1', '1', '2')"));
            QVERIFY(f.dm.IBDB.CommitRetaining());
        }
        MessageLog messages;
        f.ChooseGroup("TODOS");
        QCOMPARE(messages.Texts(), QStringList{"Erro ao tentar abrir uma tabela.\rErro: DSetTelaInicial"});
        QCOMPARE(messages.requests[0].icon, MessageIcon::Critical);
        QCOMPARE(f.main->Model->rowCount(), 0);
        QVERIFY(!f.main->actVerCliente->isEnabled());
    }

    void unreachableDatabaseLeavesAnEmptyWindow() {
        TempDatabase db;
        QVERIFY(db.Create());
        qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
        QFile damaged(db.Path());
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(QByteArray(4096, 'x'));
        damaged.close();
        TdmBancoDeDados dm;
        LinkState link;
        MemoryLine line;
        MessageLog messages;
        TfrmPrincipal main(dm, link, *line.port());
        QVERIFY(main.DatabaseFailed());
        QCOMPARE(messages.Texts(),
                 QStringList{"Erro ao tentar abrir o banco de dados.\rVerifique se o Firebird está rodando"});
        QCOMPARE(main.Model->rowCount(), 0);
    }
};

QTEST_MAIN(TestCustomerList)
#include "tst_customer_list.moc"
