// The record screen's link controls against the simulated panel in process (a memory line, the
// scaled clock), with the real connection progress and status windows: connect with F5, the
// session reading the panel's programming into the screen's images, "Enviar para o Painel",
// disconnect with F7, and leaving while a session runs.
#include "base/clock.h"
#include "base/settings.h"
#include "gui/record_screen_fixture.h"
#include "link_control/link_controller.h"
#include "link_control/ui/frm_conecta_alarme.h"
#include "link_control/ui/frm_status.h"
#include "link_control/ui/widget_link_operator.h"
#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "session/online_worker.h"
#include "store/audit_log.h"
#include "workspace/record_texts.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolButton>

namespace {

constexpr int WaitMs = 30000;

// The desktop's link operator with its windows; its messages and questions reach the fixture's
// recording messenger.
class WindowsOperator : public WidgetLinkOperator {
public:
    WindowsOperator() : WidgetLinkOperator(QStringLiteral("Telvora")) {}
    int progressShows = 0;
    void ProgressShow() override {
        ++progressShows;
        WidgetLinkOperator::ProgressShow();
    }
};

// The screen's customer matches the simulated panel: Orvan 10 version 1.4, codes 1234 and 5678.
struct LinkRig {
    Fixture f;
    MemoryLine line;
    PanelSimulator panel;
    WindowsOperator op;
    LinkController link{line.port(), &op};
    int customer = 0;

    bool Open() {
        panel.attach(&line);
        op.Attach(&link);
        Settings settings;
        settings.setAtLines(DefaultAdvancedLines());
        link.SetLinkSettings(LinkSettingsFrom(settings));
        if (!f.Open())
            return false;
        f.context.link = &link;
        f.db.dm.SetConnectedProductSource([this] { return int(link.State().ConnectedProduct.load()); });
        customer = f.AddCustomer(1, "1.4", "Com painel", "1234", "5678");
        return customer > 0;
    }

    std::unique_ptr<TfrmProgMain> OpenScreen() {
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(f.context, customer));
        if (screen) {
            screen->show();
            if (!QTest::qWaitForWindowActive(screen.get()))
                qWarning("the record screen did not become active");
        }
        return screen;
    }
};

} // namespace

class TestRecordLink : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(50); }

    void connectReadDisconnect() {
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen = rig.OpenScreen();
        QVERIFY(screen);
        QCOMPARE(rig.link.CustomerScreen(), screen.get());
        auto* conectar = Find<QToolButton>(screen.get(), "imgConectar");
        auto* desconectar = Find<QToolButton>(screen.get(), "imgDesconectar");
        QVERIFY(conectar->isVisible() && !desconectar->isVisible());

        QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.OnLineWorker() && desconectar->isVisible(), WaitMs);
        QVERIFY2(rig.f.prompts.told.isEmpty(), qPrintable(rig.f.prompts.told.join('|')));
        QVERIFY(!conectar->isVisible());
        QCOMPARE(Find<QLabel>(screen.get(), "lblVersao")->text(), "V1.4");
        QVERIFY(!screen->CloseEnabled());

        // The session reads the whole programming into the screen's ImagemAlarme.
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);
        // (as the session keeps it: zone attributes normalised after every read)
        ProgrammingImage expected(ProductFamily::TenZone);
        expected.setBytes(rig.panel.image());
        NormalizaAtributosZonas(expected);
        QCOMPARE(screen->Record().Images().ImagemAlarme.bytes(), expected.bytes());
        QCOMPARE(Find<QLabel>(screen.get(), "lblOnOffLine")->text(), "On Line");

        // Equal codes: nothing to send.
        rig.f.prompts.told.clear();
        Press(screen.get(), "btnEnviarCodigos");
        QCOMPARE(rig.f.prompts.told, QStringList{PanelCodesEqualMessage()});

        QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key_F7);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker() && conectar->isVisible(), WaitMs);
        QVERIFY(!desconectar->isVisible());
        QVERIFY(screen->CloseEnabled());
        QVERIFY(!rig.panel.carrier());
        QCOMPARE(Find<QLabel>(screen.get(), "lblOnOffLine")->text(), "Off Line");
        QVERIFY(screen->isVisible());
        QVERIFY(screen->Record().Images().ImagemAlarme.bytes() == QByteArray(304, '\0'));
    }

    // F6: the panel is asked to call back; the progress window stays up through the wait, and the
    // session follows on the panel's call.
    void connectWithCallback() {
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen = rig.OpenScreen();
        QVERIFY(screen);
        auto* callBack = Find<QToolButton>(screen.get(), "imgCallBack");
        auto* desconectar = Find<QToolButton>(screen.get(), "imgDesconectar");
        QVERIFY(callBack->isVisible());
        QSignalSpy started(&rig.link, &LinkController::CallBackStarted);

        QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key_F6);
        QTRY_VERIFY_WITH_TIMEOUT(started.count() == 1, WaitMs);
        QVERIFY(rig.op.ProgressWindow()->isVisible());
        QVERIFY(!callBack->isVisible());

        QTRY_VERIFY_WITH_TIMEOUT(rig.link.OnLineWorker() && rig.panel.sessionOpen(), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.op.ProgressWindow()->isVisible(), WaitMs);
        QVERIFY2(rig.f.prompts.told.isEmpty(), qPrintable(rig.f.prompts.told.join('|')));
        QVERIFY(desconectar->isVisible());
        int callbackRequests = 0;
        for (const sim::JournalEntry& e : rig.panel.journal(QStringLiteral("frame")))
            callbackRequests += e.text == QLatin1String("callback");
        QCOMPARE(callbackRequests, 1);
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitMs);

        QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);
        QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key_F7);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker() && callBack->isVisible(), WaitMs);
        QVERIFY(!rig.panel.carrier());
    }

    // The "Monitorar" page while connected: it shows what the panel reports (zone 1 open, PGM 2 on)
    // and its buttons command the panel; without the permission the page does not open.
    void monitoringPage() {
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        sim::PanelStatus status = rig.panel.status();
        status.setZoneOpen(1, true);
        status.setPgmOn(2, true);
        rig.panel.setStatus(status);
        std::unique_ptr<TfrmProgMain> screen = rig.OpenScreen();
        QVERIFY(screen);
        QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);

        // The status window is modal while an operation runs: a press waits for it to close.
        const auto idle = [&rig] { return !rig.op.StatusWindow()->isVisible(); };
        Press(screen.get(), "jvLookMonitorar");
        QTRY_COMPARE_WITH_TIMEOUT(Find<QLabel>(screen.get(), "lblStatusZona1")->text(),
                                  QStringLiteral("ABERTA"), WaitMs);
        QCOMPARE(Find<QLabel>(screen.get(), "lblStatusZona2")->text(), QStringLiteral("FECHADA"));
        QVERIFY(Find<QToolButton>(screen.get(), "sbPgmOn2")->isChecked());
        QCOMPARE(Find<QToolButton>(screen.get(), "sbArmePartA")->text(), QStringLiteral("Armar\nForçado"));

        // Bypass zone 1 and switch PGM 2 off: each ends when the status shows it.
        QTRY_VERIFY_WITH_TIMEOUT(idle(), WaitMs);
        Press(screen.get(), "sbInibeZona1");
        QTRY_COMPARE_WITH_TIMEOUT(Find<QLabel>(screen.get(), "lblStatusZona1")->text(),
                                  QStringLiteral("INIBIDA"), WaitMs);
        QVERIFY(rig.panel.status().bypassed(1));
        QTRY_VERIFY_WITH_TIMEOUT(Find<QToolButton>(screen.get(), "sbPgmOff2")->isEnabled() && idle(), WaitMs);
        Press(screen.get(), "sbPgmOff2");
        QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.status().pgmOn(2), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!Find<QToolButton>(screen.get(), "sbPgmOn2")->isChecked(), WaitMs);
        // A button already down sends nothing.
        QTRY_VERIFY_WITH_TIMEOUT(Find<QToolButton>(screen.get(), "sbPgmOff2")->isEnabled() && idle(), WaitMs);
        Press(screen.get(), "sbPgmOff2");
        QVERIFY(!rig.link.OnLineWorker()->CommandRequest);
        QVERIFY(Find<QToolButton>(screen.get(), "sbPgmOff2")->isEnabled()); // the area does not wait

        // The panel's clock read on request.
        QTRY_VERIFY_WITH_TIMEOUT(Find<QPushButton>(screen.get(), "btnReceberDataHora")->isEnabled() && idle(),
                                 WaitMs);
        Press(screen.get(), "btnReceberDataHora");
        QTRY_VERIFY_WITH_TIMEOUT(Find<QLabel>(screen.get(), "Label5")->text().startsWith("Painel:  "),
                                 WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(idle(), WaitMs);

        // An operator without "Monitorar (Modo online)" stays on the customer page.
        Press(screen.get(), "jvLookMostraCliente");
        rig.f.db.dm.Operator.permissions[int(Permission::Monitorar)] = false;
        rig.f.prompts.told.clear();
        Press(screen.get(), "jvLookMonitorar");
        QCOMPARE(rig.f.prompts.told, QStringList{kMsgSemPermissao});
        QCOMPARE(Find<QStackedWidget>(screen.get(), "pgcPrincipal")->currentIndex(), 0);
        QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key_F7);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker(), WaitMs);
    }

    // The "Monitorar" page when the session ends. During a command that never shows its effect:
    // the area and the program's cursor are released, and the page says that its status is the
    // last one read, and when. During the hang-up: partition A's buttons are disabled, whatever
    // the page redraws.
    void monitoringPageWhenTheSessionEnds() {
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen = rig.OpenScreen();
        QVERIFY(screen);
        auto* estado = Find<QLabel>(screen.get(), "lblEstadoLido");
        auto* arm = Find<QToolButton>(screen.get(), "sbArmePartA");
        auto* disarm = Find<QToolButton>(screen.get(), "sbDesarmePartA");
        const auto connectAndMonitor = [&] {
            QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key_F5);
            QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);
            Press(screen.get(), "jvLookMonitorar");
            const qsizetype before = rig.panel.journal(QStringLiteral("frame")).size();
            QTRY_VERIFY_WITH_TIMEOUT(rig.panel.journal(QStringLiteral("frame")).size() > before + 2, WaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(disarm->isEnabled(), WaitMs);
        };
        connectAndMonitor();
        QVERIFY(!estado->isVisible());

        rig.panel.faults().rules.append({1u << int(sim::FrameKind::Command), sim::Fault::Silence, 100000});
        Press(screen.get(), "sbInibeZona1");
        QVERIFY(QApplication::overrideCursor());
        QVERIFY(!disarm->isEnabled());
        rig.link.OnLineWorker()->DisconnectRequest = true;
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker(), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::overrideCursor(), WaitMs);
        QVERIFY(Find<QLabel>(screen.get(), "lblStatusZona1")->isEnabled()); // the area waits no more
        QVERIFY(estado->isVisible());
        QVERIFY2(estado->text().startsWith(
                     QString::fromUtf8("Sem conexão: último estado lido do painel em ") +
                     QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")) + QString::fromUtf8(" às ")),
                 qPrintable(estado->text()));
        QVERIFY(!arm->isEnabled() && !disarm->isEnabled());

        // A hang-up asked for: the page refreshed before the session has ended keeps partition A's
        // buttons disabled.
        rig.panel.faults().rules.clear();
        connectAndMonitor();
        QVERIFY(!estado->isVisible());
        rig.link.OnLineWorker()->DisconnectRequest = true;
        Press(screen.get(), "jvLookMonitorar");
        QVERIFY(rig.link.OnLineWorker());
        QVERIFY(!arm->isEnabled());
        QVERIFY(!disarm->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker(), WaitMs);
        QVERIFY(!arm->isEnabled() && !disarm->isEnabled());
    }

    // The record screen runs modally, as the customer list opens it. "Cancelar" on the status window,
    // pressed with the mouse during the read of the programming, stops the read and nothing else:
    // the session goes on, the operator is told what was received, and a read asked for afterwards
    // gets the whole programming.
    void cancelTheReadAtTheStatusWindow() {
        Clock::instance().setScale(10); // a read long enough to press in
        const auto restoreScale = qScopeGuard([] { Clock::instance().setScale(50); });
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(rig.f.context, rig.customer));
        QVERIFY(screen);
        screen->setWindowModality(Qt::ApplicationModal);
        screen->show();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        auto* conectar = Find<QToolButton>(screen.get(), "imgConectar");

        QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key_F5);
        TfrmStatus* status = rig.op.StatusWindow();
        QTRY_VERIFY_WITH_TIMEOUT(status->isVisible() && status->JvLabel1->text() ==
                                                            "Aguarde! Recebendo a programação do painel.",
                                 WaitMs);
        QVERIFY(QTest::qWaitForWindowExposed(status));
        QCOMPARE(QApplication::activeModalWidget(), status);
        // Through the window system, where a window blocked by a modal one gets no input.
        QTest::mouseClick(status->windowHandle(), Qt::LeftButton, {},
                          status->btnCancelar->mapTo(status, status->btnCancelar->rect().center()));

        QTRY_VERIFY_WITH_TIMEOUT(!status->isVisible() && rig.f.prompts.told.size() == 1, WaitMs);
        QVERIFY2(rig.f.prompts.told.first().startsWith("A leitura da programação foi cancelada: "),
                 qPrintable(rig.f.prompts.told.first()));
        QVERIFY(rig.f.prompts.told.first().endsWith(" de 19 blocos recebidos."));
        QVERIFY(!rig.link.State().ProgrammingReceived.load());
        QTest::qWait(200);
        OnLine* session = rig.link.OnLineWorker();
        QVERIFY(session);
        QVERIFY(rig.panel.carrier());
        QVERIFY(rig.line.programOpened());
        QVERIFY(!conectar->isVisible());

        session->Blocks = 0x7FFFF;
        session->ReadProgrammingRequest = true;
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitMs);
        QCOMPARE(screen->Record().Images().ImagemAlarme.bytes().mid(112, 4), rig.panel.image().mid(112, 4));
        QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key_F7);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker() && conectar->isVisible(), WaitMs);
        QVERIFY(!rig.panel.carrier());
    }

    // "Enviar para o Painel" writes a changed PC code to the panel (block 7, chunk 0).
    void sendCodesToThePanel() {
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen = rig.OpenScreen();
        Press(screen.get(), "imgConectar");
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);

        Find<QCheckBox>(screen.get(), "chkAlterarCodigos")->setChecked(true);
        TypeInto(screen.get(), "dbedtCodigoPC", "4040");
        Press(screen.get(), "btnEnviarCodigos");
        QTRY_COMPARE_WITH_TIMEOUT(rig.panel.image().mid(114, 2), QByteArray::fromHex("4A4A"), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);
        QCOMPARE(screen->Record().Images().ImagemAlarme.bytes().mid(112, 4), QByteArray::fromHex("12344A4A"));
        QVERIFY2(rig.f.prompts.told.isEmpty(), qPrintable(rig.f.prompts.told.join('|')));

        Press(screen.get(), "imgDesconectar");
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker(), WaitMs);
        // The connection and the write are in the audit record, by the operator, for the customer.
        QList<AuditRow> audit;
        QString error;
        QVERIFY2(ReadAudit(rig.f.db.dm, {rig.customer, {}}, &audit, &error), qPrintable(error));
        QCOMPARE(audit.size(), 3);
        QCOMPARE(audit[0].action, AuditActionText(AuditAction::CustomerCreated));
        QCOMPARE(audit[0].customerName, QStringLiteral("Com painel"));
        QCOMPARE(audit[1].action, AuditActionText(AuditAction::Connect));
        QCOMPARE(audit[2].action, AuditActionText(AuditAction::WriteProgramming));
        QCOMPARE(audit[2].usuario, rig.f.db.dm.Operator.name);
    }

    // "Download" during a session stores the panel's log for the customer; pressed again it stores
    // nothing new.
    void downloadTheEventLog() {
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        rig.panel.setEvents(sim::generatedEvents(sim::Family::TenZone, 10, 4));
        std::unique_ptr<TfrmProgMain> screen = rig.OpenScreen();
        Press(screen.get(), "imgConectar");
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);

        for (int round = 0; round < 2; ++round) {
            const qsizetype before = rig.panel.journal().size();
            Press(screen.get(), "JvLookOutButton5");
            QTRY_VERIFY_WITH_TIMEOUT(rig.op.StatusWindow()->isVisible(), WaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);
            QVERIFY(rig.panel.journal().size() > before);
            QCOMPARE(rig.f.db.Count("BUFFER_EVENTOS", "where ID_CLIENTE = ?", {rig.customer}), 10);
        }
        QVERIFY2(rig.f.prompts.told.isEmpty(), qPrintable(rig.f.prompts.told.join('|')));
        Press(screen.get(), "imgDesconectar");
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker(), WaitMs);
    }

    void downloadRefused_data() {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("permission");
        QTest::addColumn<QString>("message");
        QTest::newRow("not saved yet") << false << true << kMsgSalvarAntesDeBaixar;
        QTest::newRow("no permission 30") << true << false << kMsgSemPermissao;
    }
    void downloadRefused() {
        QFETCH(bool, saved);
        QFETCH(bool, permission);
        QFETCH(QString, message);
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        rig.f.db.SetPermission(30, permission);
        std::unique_ptr<TfrmProgMain> screen(saved ? TfrmProgMain::OpenCustomer(rig.f.context, rig.customer)
                                                   : TfrmProgMain::NewCustomer(rig.f.context, 1, "1.4"));
        screen->show();
        rig.f.prompts.told.clear();
        Press(screen.get(), "JvLookOutButton5");
        QCOMPARE(rig.f.prompts.told, QStringList{message});
    }

    void connectRefused_data() {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<int>("permission"); // the permission the operator lacks, 0: none
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("message");
        QTest::newRow("not saved yet") << false << 0 << int(Qt::Key_F5) << kMsgSalvarAntesDeConectar;
        QTest::newRow("no permission 18") << true << 18 << int(Qt::Key_F5) << kMsgSemPermissao;
        QTest::newRow("F6 without permission 19") << true << 19 << int(Qt::Key_F6) << kMsgSemPermissao;
    }
    void connectRefused() {
        QFETCH(bool, saved);
        QFETCH(int, permission);
        QFETCH(int, key);
        QFETCH(QString, message);
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        if (permission != 0)
            rig.f.db.SetPermission(permission, false);
        std::unique_ptr<TfrmProgMain> screen(saved ? TfrmProgMain::OpenCustomer(rig.f.context, rig.customer)
                                                   : TfrmProgMain::NewCustomer(rig.f.context, 1, "1.4"));
        screen->show();
        rig.f.prompts.told.clear();
        QTest::keyClick(Find<QLineEdit>(screen.get(), "dbedtNome"), Qt::Key(key));
        QCOMPARE(rig.f.prompts.told, QStringList{message});
        QVERIFY(!rig.line.port()->Opened());
        QCOMPARE(rig.op.progressShows, 0);
        // Nothing was attempted: the record holds only the customer's creation.
        QCOMPARE(
            rig.f.db.Count("AUDITORIA", "where ACAO <> ?", {AuditActionText(AuditAction::CustomerCreated)}),
            0);
    }

    // "Retornar" during a session asks first; Yes hangs up and the session closes the screen.
    void leavingDuringASession() {
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen = rig.OpenScreen();
        Press(screen.get(), "imgConectar");
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);

        rig.f.prompts.asked.clear();
        rig.f.prompts.askedWithNoPreselected.clear();
        rig.f.prompts.answers = {OperatorAnswer::No};
        Press(screen.get(), "jvLookRetornar");
        QCOMPARE(rig.f.prompts.asked, QStringList{kMsgDesconectarESair});
        QCOMPARE(rig.f.prompts.askedWithNoPreselected, QList<bool>{true});
        QVERIFY(screen->isVisible() && rig.link.OnLineWorker());

        // The frame's close asks as "Retornar" does; No keeps the screen and the session.
        rig.f.prompts.answers = {OperatorAnswer::No};
        screen->close();
        QVERIFY(screen->isVisible() && rig.link.OnLineWorker());
        QCOMPARE(rig.f.prompts.asked, (QStringList{kMsgDesconectarESair, kMsgDesconectarESair}));

        rig.f.prompts.answers = {OperatorAnswer::Yes};
        Press(screen.get(), "jvLookRetornar");
        QTRY_VERIFY_WITH_TIMEOUT(!screen->isVisible(), WaitMs);
        // The list frees the screen at once; the session is still hanging up.
        QVERIFY(!rig.f.db.dm.DSetClientes.Active());
        screen.reset();
        QCOMPARE(rig.link.CustomerScreen(), nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker(), WaitMs);
        QVERIFY(!rig.panel.carrier());
        QVERIFY(!rig.line.port()->Opened());
        QCOMPARE(int(rig.link.State().ConnectedProduct.load()), 255);
    }
};

QTEST_MAIN(TestRecordLink)
#include "tst_record_link.moc"
