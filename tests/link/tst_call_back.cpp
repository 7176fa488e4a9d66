// The wait for the panel's call back against the simulated panel behind its simulated Hayes modem,
// on the scaled clock: the call back asked for by the operator and the one the panel forces, the
// ring that the modem answers on, a different panel calling back, and the operator's cancel.

#include "base/clock.h"
#include "base/settings.h"
#include "link_control/call_back.h"
#include "link_control/link_controller.h"
#include "link_control/link_texts.h"
#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "session/online_worker.h"
#include "support/recording_link_operator.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Slower than the other link tests: the rings are counted one by one, and at a faster scale a
// scheduling hiccup can put two rings into one read.
constexpr double Scale = 20;
constexpr int WaitRealMs = 30000;

struct Rig {
    MemoryLine line;
    PanelSimulator panel;
    RecordingLinkOperator op;
    RecordingCustomerScreen screen;
    LinkController link{line.port(), &op};
    QSignalSpy callbackEnded{&link, &LinkController::CallBackEnded};

    explicit Rig(const sim::PanelSimConfig& config, int rings = 2) : panel(config) {
        panel.attach(&line);
        Settings settings;
        settings.setAtLines(DefaultAdvancedLines());
        settings.NRings = rings;
        link.SetLinkSettings(LinkSettingsFrom(settings));
        link.SetCustomerScreen(&screen);
        link.State().StoredVersion.store(QStringLiteral("1.4"));
    }

    // Connects (with F6's callback request or without) and waits until the callback wait started.
    bool connectForCallback(bool withCallback) {
        QSignalSpy started(&link, &LinkController::CallBackStarted);
        return link.Conectar(withCallback) && started.wait(WaitRealMs);
    }
    bool waitForCallbackEnd() { return !callbackEnded.isEmpty() || callbackEnded.wait(WaitRealMs); }

    int frames(const QString& kind) const {
        int n = 0;
        for (const sim::JournalEntry& e : panel.journal(QStringLiteral("frame")))
            n += e.text == kind;
        return n;
    }
    // The rings the program took before it told the modem to answer ("ATA"); 0 when it never did.
    // A RING that comes together with the "OK" to the wait's keep-alive "AT" is swallowed by the
    // "OK" (the modem results rule), and is not one of them.
    int ringsBeforeAnswer() const {
        constexpr qint64 SameBatchMs = 100; // one read of the program, on the scaled clock
        const QVector<sim::JournalEntry> commands = panel.journal(QStringLiteral("command"));
        qint64 answeredAt = -1;
        for (const sim::JournalEntry& e : commands) {
            if (e.bytes == "ATA\r") {
                answeredAt = e.timeMs;
                break;
            }
        }
        const auto swallowed = [&](qint64 ringAt) {
            for (const sim::JournalEntry& e : commands) {
                if (e.bytes == "AT\r" && qAbs(e.timeMs - ringAt) <= SameBatchMs)
                    return true;
            }
            return false;
        };
        int rings = 0;
        for (const sim::JournalEntry& e : panel.journal(QStringLiteral("event"))) {
            if (answeredAt >= 0 && e.timeMs <= answeredAt && e.text.startsWith(QLatin1String("ring ")) &&
                !swallowed(e.timeMs))
                ++rings;
        }
        return rings;
    }
};

sim::PanelSimConfig panelThatCallsBack(bool forced) {
    sim::PanelSimConfig config;
    config.panel.callbackOnCodes = forced;
    return config;
}

sim::PanelSimConfig forcedCallback() {
    return panelThatCallsBack(true);
}

} // namespace

class TestCallBack : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(Scale); }

    // The panel calls back, the modem answers it after NºRings rings (2 when the setting is 0), the
    // panel proves to be the customer's, and the session follows on its call.
    void panelCallsBack_data() {
        QTest::addColumn<bool>("withCallback");
        QTest::addColumn<bool>("forced");
        QTest::addColumn<int>("rings");
        QTest::addColumn<int>("answeredOn");
        QTest::newRow("asked with F6") << true << false << 2 << 3;
        QTest::newRow("forced by the panel") << false << true << 2 << 3;
        QTest::newRow("no rings set: two") << true << false << 0 << 3;
        QTest::newRow("one ring") << false << true << 1 << 2;
    }

    void panelCallsBack() {
        QFETCH(bool, withCallback);
        QFETCH(bool, forced);
        QFETCH(int, rings);
        QFETCH(int, answeredOn);
        Rig rig(panelThatCallsBack(forced), rings);
        QVERIFY(rig.connectForCallback(withCallback));
        QVERIFY(rig.link.CallBackWorker());
        QVERIFY(rig.op.progressVisible);
        QVERIFY(!rig.link.SupervisionActive());

        QVERIFY(rig.waitForCallbackEnd());
        QCOMPARE(rig.callbackEnded.first().at(0).toBool(), true);
        QCOMPARE(rig.ringsBeforeAnswer(), answeredOn);
        QCOMPARE(rig.op.messageTexts(), QStringList());
        QVERIFY(!rig.link.CallBackWorker());
        QVERIFY(!rig.link.State().CallBackWorker.load());
        QVERIFY(!rig.link.State().CallbackPending.load());
        QVERIFY(!rig.op.progressVisible);
        QCOMPARE(rig.op.stepTexts(),
                 (QStringList{LinkTexts::StepAwaitingPanelCallback(), LinkTexts::StepReceivingRing(),
                              LinkTexts::StepConnectingToPanel(), LinkTexts::StepCheckingCodes(),
                              LinkTexts::StepCodesCorrectOnCallback(),
                              LinkTexts::StepCallbackConnectedToPanel(1, "1.4", "1.4")}));
        // Both calls identified the panel and proved the codes; proceed went out on the panel's call.
        QCOMPARE(rig.frames("ident"), 2);
        QCOMPARE(rig.frames("code"), 2);
        QCOMPARE(rig.frames("proceed"), 1);
        QVERIFY(rig.link.OnLineWorker());
        QVERIFY(rig.panel.sessionOpen());
        QVERIFY(rig.screen.connectedImages);
        QCOMPARE(rig.screen.versionLabel, QStringLiteral("V1.4"));
        QCOMPARE(rig.line.programBaudrate(), 300);
        // The session reads the programming on the panel's call.
        QTRY_VERIFY_WITH_TIMEOUT(!rig.screen.transfers.isEmpty(), WaitRealMs);
        QVERIFY(rig.screen.transfers.first().succeeded());
    }

    // A panel with another panel code calls back: refused with the wrong panel code warning, no code
    // frame goes to it, the line is hung up and the connect buttons come back.
    void wrongPanelCallsBack() {
        Rig rig(forcedCallback());
        QVERIFY(rig.connectForCallback(false));
        // The customer's panel code as stored no longer matches the panel that calls.
        rig.screen.codigoPainel = QStringLiteral("4321");
        QVERIFY(rig.waitForCallbackEnd());
        QCOMPARE(rig.callbackEnded.first().at(0).toBool(), false);
        QCOMPARE(rig.op.messageTexts(), QStringList{LinkTexts::Aviso(10)});
        QCOMPARE(rig.frames("code"), 1);
        QCOMPARE(rig.frames("proceed"), 0);
        QVERIFY(!rig.link.OnLineWorker());
        QVERIFY(!rig.line.programOpened());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.carrier(), WaitRealMs);
        QVERIFY(!rig.screen.connectedImages);
        QVERIFY(rig.screen.closeEnabled);
        QVERIFY(!rig.op.progressVisible);
    }

    // The panel does not call back; the wait, which no supervision ends, goes on until the operator
    // cancels it, and the port is closed.
    void cancelDuringTheWait() {
        sim::PanelSimConfig config = forcedCallback();
        config.panel.callbackDelayMs = 3'600'000;
        Rig rig(config);
        QVERIFY(rig.connectForCallback(false));
        // Longer than the supervision's 25 ticks: still waiting.
        QTest::qWait(Clock::instance().realInterval(30000));
        QVERIFY(rig.link.CallBackWorker());
        QVERIFY(rig.callbackEnded.isEmpty());
        QVERIFY(rig.line.programOpened());

        rig.link.CancelaConexao();
        QVERIFY(rig.waitForCallbackEnd());
        QCOMPARE(rig.callbackEnded.first().at(0).toBool(), false);
        QVERIFY(!rig.link.CallBackWorker());
        QVERIFY(!rig.line.programOpened());
        QVERIFY(!rig.op.progressVisible);
        QVERIFY(!rig.screen.connectedImages);
        QVERIFY(rig.screen.closeEnabled);
        QCOMPARE(rig.op.messageTexts(), QStringList());
        QVERIFY(!rig.link.OnLineWorker());
    }
};

QTEST_MAIN(TestCallBack)
#include "tst_call_back.moc"
