// "Aguarda Buffer" on the main window, offscreen, with the desktop's link windows, over a fresh
// embedded database and the simulated panel on an in-memory line, on the scaled clock: the modem
// set-up and the wait, a call stored, the release; the permission, no customer to be called by, and
// customers that share a panel code.
#include "base/clock.h"
#include "gui/gui_helpers.h"
#include "link_control/link_controller.h"
#include "link_control/link_texts.h"
#include "link_control/ui/frm_conecta_alarme.h"
#include "link_control/ui/frm_dialog_espera_lig.h"
#include "link_control/ui/frm_status.h"
#include "link_control/ui/widget_link_operator.h"
#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "sim_event_log.h"
#include "store/data_module.h"
#include "support/temp_database.h"
#include "workspace/ui/buffer_wait.h"
#include "workspace/ui/call_log.h"
#include "workspace/ui/frm_principal.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

namespace {

constexpr int WaitRealMs = 60000;

QString Customer(int id, const QString& name, const QString& panelCode) {
    return QStringLiteral("insert into CLIENTES (ID_CLIENTE, NOME, PRODUTO, VERSAO_PRODUTO, ID_GRUPO) "
                          "values (%1, '%2', '1', '1.4', 2);"
                          "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC) "
                          "values (%1, %1, '33334444', '%3', '5678');")
        .arg(id)
        .arg(name, panelCode);
}

LoggedOperator Operator(bool mayDownload) {
    QString permissions(LoggedOperator::kPermissionCount, QLatin1Char('1'));
    if (!mayDownload)
        permissions[29] = QLatin1Char('0');
    return LoggedOperator::FromRow(2, QStringLiteral("operador"), permissions);
}

sim::PanelSimConfig Panel() {
    sim::PanelSimConfig c;
    c.product = 1;
    c.image = sim::defaultImage(c.family());
    c.panelCode = QStringLiteral("1234");
    c.pcCode = QStringLiteral("5678");
    c.events = sim::generatedEvents(c.family(), 30, 1);
    return c;
}

// The desktop's arrangement: the link's windows, the controller and the main window over one port.
struct Fixture {
    TempDatabase db;
    TdmBancoDeDados dm;
    MemoryLine line;
    PanelSimulator panel{Panel()};
    WidgetLinkOperator op{QStringLiteral("Telvora")};
    LinkController controller{line.port(), &op};
    MessageLog messages;
    std::unique_ptr<TfrmPrincipal> main;

    bool Start(const QString& customers, bool mayDownload = true) {
        if (!db.Create() || (!customers.isEmpty() && !TempDatabase::RunScript(db.Path(), customers)))
            return false;
        qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
        panel.attach(&line);
        op.Attach(&controller);
        dm.Operator = Operator(mayDownload);
        main = std::make_unique<TfrmPrincipal>(dm, controller.State(), *line.port());
        main->SetLinkController(&controller);
        main->show();
        return QTest::qWaitForWindowActive(main.get());
    }
    void Press() { QTest::mouseClick(main->btnAguardaBuffer, Qt::LeftButton); }
    bool Waiting() {
        return QTest::qWaitFor(
            [&] { return controller.BufferWorker() && controller.BufferWorker()->Suspended.load(); },
            WaitRealMs);
    }
    int Rows() {
        const QList<QVariantList> r =
            SelectRows(dm.IBDB, "select count(*) from BUFFER_EVENTOS where ID_CLIENTE = 11");
        return r.isEmpty() ? -1 : r[0].value(0).toInt();
    }
};

int CallRows(Fixture& f) {
    CallLog* log = f.main->Listening() ? f.main->Listening()->Calls() : nullptr;
    return log ? log->Table()->rowCount() : -1;
}

QString CallCell(Fixture& f, int row, int column) {
    const QTableWidgetItem* item = f.main->Listening()->Calls()->Table()->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

class TestBufferWait : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(20); }

    // Pressed: the status window says the modem is being set up, then the program waits with the
    // entries that would use the modem or the database disabled; a call is stored and told in the
    // status bar; released: everything is back and the port open again for the ring indication.
    void pressConfiguresWaitsAndReleases() {
        Fixture f;
        QVERIFY(f.Start(Customer(11, "Loja Centro", "1234")));
        f.Press();
        QVERIFY(f.main->btnAguardaBuffer->isChecked());
        QVERIFY(QTest::qWaitFor([&] { return f.op.StatusWindow()->isVisible(); }, WaitRealMs));
        QCOMPARE(f.op.StatusWindow()->JvLabel1->text(), QStringLiteral("Configurando o modem."));
        QVERIFY(!f.main->isEnabled());

        QVERIFY(f.Waiting());
        QVERIFY(QTest::qWaitFor([&] { return f.main->isEnabled(); }, WaitRealMs));
        QVERIFY(!f.op.StatusWindow()->isVisible());
        QVERIFY(f.main->btnAguardaBuffer->isChecked());
        for (QAction* a : {f.main->actIncluirCliente, f.main->actVerCliente, f.main->actComunicacao,
                           f.main->actTrocarUsuario})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(!f.main->mnuBancoDados->isEnabled());

        f.panel.callIn();
        QVERIFY(QTest::qWaitFor(
            [&] { return f.main->statusBar()->currentMessage().contains("buffer de eventos recebido"); },
            WaitRealMs));
        QVERIFY(f.main->statusBar()->currentMessage().startsWith("Cliente 11 (Loja Centro)"));
        QCOMPARE(f.Rows(), 30);
        QVERIFY(f.Waiting());

        f.Press();
        QVERIFY(!f.main->btnAguardaBuffer->isChecked());
        QVERIFY(!f.controller.AguardandoBuffer());
        QVERIFY(!f.controller.BufferWorker());
        for (QAction* a : {f.main->actIncluirCliente, f.main->actVerCliente, f.main->actComunicacao})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(f.line.programOpened());
        QCOMPARE(f.messages.Texts(), QStringList());
        f.main->close();
    }

    // A panel whose code no customer has is hung up on without a message box (a box would hold the
    // next call until someone closed it): the warning goes to the status bar and the call log,
    // and the next call is answered too.
    void warningsGoToTheCallLog() {
        Fixture f;
        QVERIFY(f.Start(Customer(11, "Loja Centro", "4321")));
        f.Press();
        QVERIFY(f.Waiting());
        const QString warning = LinkTexts::Aviso(9).replace(QLatin1Char('\r'), QLatin1Char(' '));
        for (int call = 1; call <= 2; ++call) {
            f.panel.callIn();
            QVERIFY(QTest::qWaitFor([&] { return CallRows(f) == call; }, WaitRealMs));
            QCOMPARE(f.messages.Texts(), QStringList());
            QVERIFY(f.main->statusBar()->currentMessage().startsWith("Painel 1234"));
            QCOMPARE(CallCell(f, call - 1, 1), QStringLiteral("Painel 1234"));
            QCOMPARE(CallCell(f, call - 1, 2), warning);
            QCOMPARE(CallCell(f, call - 1, 3), QStringLiteral("0"));
            QVERIFY(f.Waiting());
        }
        QCOMPARE(f.Rows(), 0);
        f.main->close();
    }

    // A panel calling in is stopped from the progress window, by each of its ways out: the call
    // is hung up, the records that came stay stored, and the next call is waited for.
    void callStoppedFromTheProgressWindow_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancelar") << "Cancelar";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("close box") << "close box";
    }
    void callStoppedFromTheProgressWindow() {
        QFETCH(QString, how);
        Fixture f;
        f.panel.setEvents(sim::generatedEvents(sim::Family::TenZone, 400, 1));
        QVERIFY(f.Start(Customer(11, "Loja Centro", "1234")));
        f.Press();
        QVERIFY(f.Waiting());
        f.panel.callIn();
        TfrmConectaAlarme* progress = f.op.ProgressWindow();
        QVERIFY(QTest::qWaitFor([&] { return f.Rows() >= 8; }, WaitRealMs));
        QVERIFY(progress->isVisible());
        QVERIFY(progress->btnCancelar->isEnabled());
        if (how == "Cancelar")
            QTest::mouseClick(progress->btnCancelar, Qt::LeftButton);
        else if (how == "Escape")
            QTest::keyClick(progress, Qt::Key_Escape);
        else
            progress->close();
        QVERIFY(QTest::qWaitFor([&] { return CallRows(f) == 1; }, WaitRealMs));
        QVERIFY(!progress->isVisible());
        QVERIFY(!f.panel.carrier());
        QCOMPARE(CallCell(f, 0, 2), QString::fromUtf8("Recepção cancelada pelo operador"));
        const int rows = f.Rows();
        QVERIFY(rows >= 8 && rows < 400);
        QCOMPARE(CallCell(f, 0, 3), QString::number(rows));
        QCOMPARE(f.messages.Texts(), QStringList());
        QVERIFY(f.Waiting());
        QVERIFY(f.main->btnAguardaBuffer->isChecked());
        f.main->close();
    }

    // Closing the program during a call stops the reception before the port and the database
    // close: the call ends as stopped, with no error, and no worker is left.
    void closingWhileACallComesIn() {
        Fixture f;
        f.panel.setEvents(sim::generatedEvents(sim::Family::TenZone, 400, 1));
        QVERIFY(f.Start(Customer(11, "Loja Centro", "1234")));
        f.Press();
        QVERIFY(f.Waiting());
        f.panel.callIn();
        QVERIFY(QTest::qWaitFor([&] { return f.Rows() >= 8; }, WaitRealMs));
        f.main->close();
        QVERIFY(!f.controller.BufferWorker());
        QVERIFY(!f.controller.AguardandoBuffer());
        QVERIFY(!f.panel.carrier());
        QCOMPARE(CallRows(f), 1);
        QCOMPARE(CallCell(f, 0, 2),
                 QString::fromUtf8("A espera de chamadas foi encerrada durante o buffer de eventos"));
        QCOMPARE(f.messages.Texts(), QStringList());
        QVERIFY(!f.dm.Connected());
    }

    // Without "Baixar (download)", or with no customer to be called by, the button comes back up
    // and the modem is not touched.
    void refused_data() {
        QTest::addColumn<bool>("mayDownload");
        QTest::addColumn<QString>("customers");
        QTest::addColumn<QString>("message");
        QTest::newRow("no permission")
            << false << Customer(11, "Loja Centro", "1234")
            << QString::fromUtf8("Este usuário não tem permissão para esta operação");
        // A customer in the recycle bin is never called by.
        QTest::newRow("no customer") << true << Customer(11, "Loja Centro", "1234").replace(", 2);", ", 1);")
                                     << QString::fromUtf8("Não há usuários cadastrados");
    }
    void refused() {
        QFETCH(bool, mayDownload);
        QFETCH(QString, customers);
        QFETCH(QString, message);
        Fixture f;
        QVERIFY(f.Start(customers, mayDownload));
        f.Press();
        QCOMPARE(f.messages.Texts(), QStringList{message});
        QVERIFY(!f.main->btnAguardaBuffer->isChecked());
        QVERIFY(!f.controller.AguardandoBuffer());
        QVERIFY(!f.controller.ConfigModemWorker());
        QVERIFY(f.main->actIncluirCliente->isEnabled());
        f.main->close();
    }

    // Two customers share a panel code: both are listed, and listening starts only on "Sim".
    void sharedPanelCode_data() {
        QTest::addColumn<bool>("goOn");
        QTest::newRow("Sim") << true;
        QTest::newRow("Não") << false;
    }
    void sharedPanelCode() {
        QFETCH(bool, goOn);
        Fixture f;
        QVERIFY(f.Start(Customer(11, "Loja Centro", "1234") + Customer(12, "Loja Norte", "1234") +
                        Customer(13, "Padaria", "4321")));
        QStringList listed;
        WhenModal<TfrmDialogEsperaLig>([&](TfrmDialogEsperaLig* dialog) {
            for (int r = 0; r < dialog->StringGrid1->rowCount(); ++r)
                listed << dialog->StringGrid1->item(r, 0)->text() + " " +
                              dialog->StringGrid1->item(r, 1)->text();
            QTest::mouseClick(goOn ? dialog->btnSim : dialog->btnNao, Qt::LeftButton);
        });
        f.Press();
        QCOMPARE(listed, (QStringList{"1234 Loja Centro", "1234 Loja Norte"}));
        QCOMPARE(f.main->btnAguardaBuffer->isChecked(), goOn);
        QCOMPARE(f.controller.AguardandoBuffer(), goOn);
        if (goOn)
            QVERIFY(f.Waiting());
        f.main->close();
    }
};

QTEST_MAIN(TestBufferWait)
#include "tst_buffer_wait.moc"
