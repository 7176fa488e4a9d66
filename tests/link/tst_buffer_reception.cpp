// Waiting for panels that call in with their log, against the simulated panel behind its simulated
// Hayes modem, stored into an embedded database, on the scaled clock: the modem set-up, the call
// answered and its log stored, a second call with the same log, an unknown panel, answers with a bad
// checksum, a line that drops halfway, and a modem that never answers.

#include "base/clock.h"
#include "base/settings.h"
#include "link_control/buffer_texts.h"
#include "link_control/config_modem.h"
#include "link_control/link_controller.h"
#include "link_control/link_texts.h"
#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "sim_event_log.h"
#include "store/db_buffer_receiver.h"
#include "store/db_connection.h"
#include "support/connected_data_module.h"
#include "support/recording_link_operator.h"

#include <QSignalSpy>
#include <QTest>

using Outcome = BufferCallReport::Outcome;

namespace {

constexpr double Scale = 20;
constexpr int WaitRealMs = 60000;
constexpr int kCustomer = 7;
const QDate kToday(2026, 6, 15);

QByteArray packed(int product, const QList<sim::SimEvent>& events) {
    QByteArray bytes;
    for (const sim::SimEvent& e : events)
        bytes += sim::packEvent(sim::familyOf(product), e);
    return bytes;
}

// n distinct arming events, a minute apart.
QList<sim::SimEvent> armings(int n) {
    QList<sim::SimEvent> events;
    for (int i = 0; i < n; ++i)
        events.append({1 + i / 60, 5, 8, i % 60, 1, 6, true});
    return events;
}

sim::PanelSimConfig callingPanel(int product, const QByteArray& events, const QString& panelCode = "1234") {
    sim::PanelSimConfig c;
    c.product = product;
    c.image = sim::defaultImage(c.family());
    c.panelCode = panelCode;
    c.pcCode = QStringLiteral("5678");
    c.events = events;
    return c;
}

struct Rig {
    ConnectedDataModule db;
    MemoryLine line;
    PanelSimulator panel;
    RecordingLinkOperator op;
    LinkController link{line.port(), &op};
    DbBufferReceiver receiver{db.dm.IBDB};
    QList<BufferCallReport> calls;

    explicit Rig(const sim::PanelSimConfig& config) : panel(config) {
        panel.attach(&line);
        Settings settings;
        settings.setAtLines(DefaultAdvancedLines());
        settings.NRings = 2;
        link.SetLinkSettings(LinkSettingsFrom(settings));
        link.SetBufferReceiver(&receiver);
        receiver.Today = [] { return kToday; };
        QObject::connect(&link, &LinkController::BufferCallEnded, &link,
                         [this](const BufferCallReport& r) { calls.append(r); });
    }

    // The customer the panel belongs to (panel code 1234, PC code 5678), outside the recycle bin.
    bool addCustomer(int product, const QString& panelCode = "1234") {
        DbConnection& c = db.dm.IBDB;
        return c.Exec("insert into CLIENTES (ID_CLIENTE, NOME, PRODUTO, ID_GRUPO, VERSAO_PRODUTO) "
                      "values (?, ?, ?, 2, '1.4')",
                      {kCustomer, QStringLiteral("Loja Centro"), QString::number(product)}) &&
               c.Exec("insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC) "
                      "values (?, ?, '5551234', ?, '5678')",
                      {kCustomer, kCustomer, panelCode}) &&
               c.CommitRetaining();
    }

    // Listening on: the modem set up and a reception worker waiting.
    bool listen() {
        QSignalSpy waiting(&link, &LinkController::BufferWaiting);
        return link.IniciaEsperaBuffer() && waiting.wait(WaitRealMs);
    }
    // The panel calls; true once the call's end message was handled.
    bool call() {
        const qsizetype before = calls.size();
        panel.callIn();
        return QTest::qWaitFor([&] { return calls.size() > before; }, WaitRealMs);
    }
    // And the next reception worker waits again.
    bool waitingAgain() {
        return QTest::qWaitFor([&] { return link.BufferWorker() && link.BufferWorker()->Suspended.load(); },
                               WaitRealMs);
    }

    int rows() { return db.Count("BUFFER_EVENTOS", "where ID_CLIENTE = ?", {kCustomer}); }
    QString firstRow() {
        const QList<QVariantList> r = SelectRows(
            db.dm.IBDB,
            "select DATA, HORA, PARTICAO, EVENTO, USUARIO, ZONA from BUFFER_EVENTOS where ID_CLIENTE = ? "
            "order by COD_EVENTO rows 1",
            {kCustomer});
        if (r.isEmpty())
            return QString();
        const auto text = [&](int i) {
            return r[0].value(i).isNull() ? QStringLiteral("-") : r[0].value(i).toString();
        };
        return QStringLiteral("%1 %2 %3 %4|%5|%6")
            .arg(r[0].value(0).toDate().toString(QStringLiteral("dd/MM/yyyy")),
                 r[0].value(1).toTime().toString(QStringLiteral("HH:mm")), text(2), text(3), text(4),
                 text(5));
    }
    QByteArray frameBytes(const QString& kind) const {
        for (const sim::JournalEntry& e : panel.journal(QStringLiteral("frame"))) {
            if (e.text == kind)
                return e.bytes;
        }
        return QByteArray();
    }
    int frames(const QString& kind) const {
        int n = 0;
        for (const sim::JournalEntry& e : panel.journal(QStringLiteral("frame")))
            n += e.text == kind;
        return n;
    }
};

} // namespace

class TestBufferReception : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(Scale); }

    void panelCallsInWithItsLog_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QList<sim::SimEvent>>("events");
        QTest::addColumn<bool>("logAfterProceed");
        QTest::addColumn<QString>("firstRow");
        // SimEvent: day, month, hour, minute, code, value (raw field), partition A.
        QTest::newRow("Orvan 10, 50 events")
            << 1 << (QList<sim::SimEvent>{{1, 4, 10, 32, 1, 6, true}} + armings(49)) << false
            << QString::fromUtf8("01/04/2026 10:32 A ARME DO USUÁRIO |03|-");
        QTest::newRow("Orvan 5, log sent after proceed")
            << 2 << (QList<sim::SimEvent>{{1, 4, 5, 19, 2, 0, false}} + armings(10)) << true
            << QString::fromUtf8("01/04/2026 05:19 B DESARME DO USUÁRIO |Mestre|-");
        // The model's own catalogue names the event, as a session download would: the one list
        // for every family would store the same event under another name (telephone line restored
        // as "RESTAURAÇÃO DE COMUNICAÇÃO") or as another event (an arming by no movement of the
        // Max and Eco models as "PROBLEMA DA SAÍDA AUXILIAR").
        QTest::newRow("Orvan 10 Max, its own catalogue")
            << 3 << QList<sim::SimEvent>{{2, 4, 3, 5, 15, 8 << 3, false}} << false
            << QString::fromUtf8("02/04/2026 03:05 B RESTAURAÇÃO DE LINHA TELEFÔNICA|-|-");
        QTest::newRow("Orvan 10 Eco, arming by no movement")
            << 3 << QList<sim::SimEvent>{{3, 4, 22, 40, 14, 14 << 3, true}} << false
            << QString::fromUtf8("03/04/2026 22:40 A ARME POR NÃO MOVIMENTO|-|-");
    }
    // The call is answered on the third ring, the panel proves to be the customer's, every event of
    // its log is stored once, and the program waits for the next call. The same log delivered
    // again stores nothing.
    void panelCallsInWithItsLog() {
        QFETCH(int, product);
        QFETCH(QList<sim::SimEvent>, events);
        QFETCH(bool, logAfterProceed);
        QFETCH(QString, firstRow);
        sim::PanelSimConfig config = callingPanel(product, packed(product, events));
        config.panel.logAfterProceed = logAfterProceed;
        Rig rig(config);
        QVERIFY2(rig.db.Open(), qPrintable(rig.db.Error()));
        QVERIFY(rig.addCustomer(product));
        QVERIFY(rig.listen());
        QCOMPARE(rig.op.statusTexts, QStringList{ThreadConfigModem::StatusText()});
        QVERIFY(!rig.op.statusVisible);

        QVERIFY(rig.call());
        const BufferCallReport& report = rig.calls.first();
        QCOMPARE(int(report.outcome), int(Outcome::Received));
        QCOMPARE(report.customerId, kCustomer);
        QCOMPARE(report.stored, int(events.size()));
        QCOMPARE(report.records, int(events.size() + 3) / 4);
        QCOMPARE(rig.rows(), int(events.size()));
        QCOMPARE(rig.firstRow(), firstRow);
        // The code frame carried the PC code twice.
        QCOMPARE(rig.frameBytes(QStringLiteral("code")), QByteArray::fromHex("b32856785678009b"));
        QVERIFY(rig.op.stepTexts().contains(BufferTexts::ReceivingBufferOf(QStringLiteral("Loja Centro"))));
        QVERIFY(!rig.op.progressVisible);
        QVERIFY(!rig.panel.carrier());
        QCOMPARE(rig.op.messageTexts(), QStringList());

        QVERIFY(rig.waitingAgain());
        QVERIFY(rig.call());
        QCOMPARE(int(rig.calls.last().outcome), int(Outcome::Received));
        QCOMPARE(rig.calls.last().stored, 0);
        QCOMPARE(rig.calls.last().alreadyStored, int(events.size()));
        QCOMPARE(rig.rows(), int(events.size()));

        rig.link.EncerraEsperaBuffer();
        QVERIFY(!rig.link.AguardandoBuffer());
        QVERIFY(!rig.link.BufferWorker());
        QVERIFY(!rig.line.port()->Opened());
    }

    // A modem without volume 0 answers ERROR to the whole set-up line holding "L0": its other
    // commands go out one at a time, "L0" alone is told as refused, listening starts, and a call
    // is received.
    void modemRefusingACommandStillListens() {
        sim::PanelSimConfig config = callingPanel(1, packed(1, armings(8)));
        config.faults.rejectedCommands = QStringList{QStringLiteral("L0")};
        Rig rig(config);
        QVERIFY(rig.db.Open());
        QVERIFY(rig.addCustomer(1));
        QSignalSpy notices(&rig.link, &LinkController::ListeningNoted);
        QVERIFY(rig.listen());
        QCOMPARE(notices.size(), 1);
        QCOMPARE(notices.first().at(0).toString(), LinkTexts::ModemRefusedCommand(QStringLiteral("L0")));
        QStringList commands;
        for (const sim::JournalEntry& e : rig.panel.journal(QStringLiteral("command")))
            commands << e.text;
        // The line went out once, not again and again, then each of its commands alone.
        const QStringList line{"L0", "M1", "Q0", "S00=000"};
        QCOMPARE(commands.count(QStringLiteral("AT") + line.join(QString())), 1);
        for (const QString& command : line)
            QVERIFY2(commands.contains(QStringLiteral("AT") + command), qPrintable(command));
        QCOMPARE(rig.op.messageTexts(), QStringList());

        QVERIFY(rig.call());
        QCOMPARE(int(rig.calls.first().outcome), int(Outcome::Received));
        QCOMPARE(rig.rows(), 8);
    }

    // A panel whose code no customer has, or whose model is not the customer's, is hung up on
    // before anything is asked of its log, without a message box; the program goes on waiting.
    void panelNotTheCustomersIsHungUp_data() {
        QTest::addColumn<QString>("panelCode");
        QTest::addColumn<int>("customerProduct");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("warning");
        QTest::newRow("unknown panel code") << "4321" << 1 << int(Outcome::UnknownPanel) << 9;
        QTest::newRow("another model") << "1234" << 2 << int(Outcome::WrongProduct) << 10;
    }
    void panelNotTheCustomersIsHungUp() {
        QFETCH(QString, panelCode);
        QFETCH(int, customerProduct);
        QFETCH(int, outcome);
        QFETCH(int, warning);
        Rig rig(callingPanel(1, packed(1, armings(8)), panelCode));
        QVERIFY(rig.db.Open());
        QVERIFY(rig.addCustomer(customerProduct));
        QVERIFY(rig.listen());
        QVERIFY(rig.call());
        QCOMPARE(int(rig.calls.first().outcome), outcome);
        QCOMPARE(rig.calls.first().panelCode, panelCode);
        // Told with the report, never in a box that would hold the next call.
        QCOMPARE(rig.calls.first().warning, LinkTexts::Aviso(warning));
        QCOMPARE(rig.op.messageTexts(), QStringList());
        QCOMPARE(rig.frames(QStringLiteral("code")), 0);
        QCOMPARE(rig.frames(QStringLiteral("event")), 0);
        QVERIFY(!rig.panel.carrier());
        QCOMPARE(rig.rows(), 0);
        QVERIFY(rig.waitingAgain());
    }

    // A record whose checksum is wrong is asked for again and stored once; a line that drops
    // halfway keeps the records that came before and says so.
    void faultsDuringTheLog_data() {
        QTest::addColumn<int>("corruptRecords");
        QTest::addColumn<int>("dropAfterFrames");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("rows");
        QTest::newRow("three bad checksums") << 3 << 0 << int(Outcome::Received) << 40;
        // Identification, codes and proceed, then five records.
        QTest::newRow("line dropped after five records") << 0 << 8 << int(Outcome::LineDropped) << 20;
    }
    void faultsDuringTheLog() {
        QFETCH(int, corruptRecords);
        QFETCH(int, dropAfterFrames);
        QFETCH(int, outcome);
        QFETCH(int, rows);
        sim::PanelSimConfig config = callingPanel(1, packed(1, armings(40)));
        if (corruptRecords > 0) {
            sim::FaultRule rule;
            rule.kinds = 1u << int(sim::FrameKind::Event);
            rule.fault = sim::Fault::Corrupt;
            rule.times = corruptRecords;
            config.faults.rules.append(rule);
        }
        config.faults.dropAfterFrames = dropAfterFrames;
        Rig rig(config);
        QVERIFY(rig.db.Open());
        QVERIFY(rig.addCustomer(1));
        QVERIFY(rig.listen());
        QVERIFY(rig.call());
        const BufferCallReport& report = rig.calls.first();
        QCOMPARE(int(report.outcome), outcome);
        QCOMPARE(report.stored, rows);
        QCOMPARE(rig.rows(), rows);
        QCOMPARE(rig.frames(QStringLiteral("event")), 11 + corruptRecords - (dropAfterFrames ? 6 : 0));
        if (dropAfterFrames)
            QVERIFY(BufferTexts::CallSummary(report).contains(
                QString::fromUtf8("os eventos recebidos foram gravados")));
        QVERIFY(rig.waitingAgain());
    }

    // Listening switched off while a log comes in: the call is hung up, the records that came stay
    // stored, and the report says so.
    void switchedOffDuringTheLog() {
        // A long log (50 records), so that it is still coming when listening is switched off.
        Rig rig(callingPanel(1, packed(1, armings(200))));
        QVERIFY(rig.db.Open());
        QVERIFY(rig.addCustomer(1));
        QVERIFY(rig.listen());
        rig.panel.callIn();
        QVERIFY(QTest::qWaitFor([&] { return rig.rows() >= 8; }, WaitRealMs));
        rig.link.EncerraEsperaBuffer();
        QCOMPARE(rig.calls.size(), 1);
        const BufferCallReport& report = rig.calls.first();
        QCOMPARE(int(report.outcome), int(Outcome::Stopped));
        QVERIFY(report.stored < 200);
        QCOMPARE(rig.rows(), report.stored);
        QCOMPARE(report.stored, report.records * 4);
        QVERIFY(!rig.link.AguardandoBuffer());
        QVERIFY(!rig.link.BufferWorker());
        QVERIFY(!rig.line.port()->Opened());
    }

    // A panel that answers the call but never identifies itself is given up after 25 supervision
    // ticks; nothing is stored and the program waits for the next call.
    void silentPanelIsAbandoned() {
        sim::PanelSimConfig config = callingPanel(1, packed(1, armings(8)));
        sim::FaultRule rule;
        rule.kinds = 1u << int(sim::FrameKind::Ident);
        rule.fault = sim::Fault::Silence;
        rule.probability = 1;
        config.faults.rules.append(rule);
        Rig rig(config);
        QVERIFY(rig.db.Open());
        QVERIFY(rig.addCustomer(1));
        QVERIFY(rig.listen());
        const qint64 start = Clock::instance().nowMs();
        QVERIFY(rig.call());
        QCOMPARE(int(rig.calls.first().outcome), int(Outcome::Abandoned));
        // Three rings four seconds apart, then 25 one-second ticks.
        QVERIFY(Clock::instance().nowMs() - start >= 25000);
        QVERIFY(rig.frames(QStringLiteral("ident")) >= 20);
        QCOMPARE(rig.frames(QStringLiteral("code")), 0);
        QCOMPARE(rig.rows(), 0);
        QVERIFY(!rig.panel.carrier());
        QVERIFY(rig.waitingAgain());
    }

    // "Cancelar" on the status window while the modem is set up switches listening off, without a
    // message.
    void cancelledSetUpEndsListening() {
        Rig rig(callingPanel(1, QByteArray()));
        QVERIFY(rig.db.Open());
        QSignalSpy ended(&rig.link, &LinkController::BufferWaitEnded);
        QVERIFY(rig.link.IniciaEsperaBuffer());
        rig.link.StatusCancelado();
        QVERIFY(ended.wait(WaitRealMs));
        QCOMPARE(rig.op.messageTexts(), QStringList());
        QVERIFY(!rig.link.AguardandoBuffer());
        QVERIFY(!rig.link.BufferWorker());
        QVERIFY(!rig.line.port()->Opened());
    }

    // A modem that never answers the set-up is given up after six supervision ticks, and listening
    // is off again.
    void silentModemEndsListening() {
        sim::PanelSimConfig config = callingPanel(1, QByteArray());
        config.faults.modemSilent = true;
        Rig rig(config);
        QVERIFY(rig.db.Open());
        QSignalSpy ended(&rig.link, &LinkController::BufferWaitEnded);
        QSignalSpy configured(&rig.link, &LinkController::ModemConfigured);
        QVERIFY(rig.link.IniciaEsperaBuffer());
        QVERIFY(ended.wait(WaitRealMs));
        QCOMPARE(configured.size(), 1);
        QCOMPARE(configured.first().at(0).toBool(), false);
        QCOMPARE(rig.op.messageTexts(), QStringList{QString::fromUtf8(LinkTexts::ModemNoResponse)});
        QVERIFY(!rig.link.AguardandoBuffer());
        QVERIFY(!rig.link.ConfigModemWorker());
        QVERIFY(!rig.line.port()->Opened());
    }
};

QTEST_GUILESS_MAIN(TestBufferReception)
#include "tst_buffer_reception.moc"
