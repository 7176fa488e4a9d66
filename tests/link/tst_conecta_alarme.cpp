// The connection worker and the link supervisor against the simulated panel behind its simulated
// Hayes modem, on the scaled clock: every ending of a connection attempt, the answering-machine
// bypass, the version check, and the session that follows a connection.

#include "base/clock.h"
#include "base/settings.h"
#include "link_control/conecta_alarme.h"
#include "link_control/link_controller.h"
#include "link_control/link_texts.h"
#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "session/online_worker.h"
#include "support/recording_link_operator.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

constexpr double Scale = 50;
constexpr int WaitRealMs = 30000;

// The program's side: the controller with a recording operator and customer screen, on an
// in-memory line whose far end is the simulated modem and panel.
struct Rig {
    MemoryLine line;
    PanelSimulator panel;
    RecordingLinkOperator op;
    RecordingCustomerScreen screen;
    // Declared before the controller, which serves the line's last writes while it is destroyed.
    QList<QByteArray> sent; // everything the program wrote, write by write
    LinkController link{line.port(), &op};
    int callbackStarts = 0;

    explicit Rig(const sim::PanelSimConfig& config = {}, Settings settings = connectionSettings())
        : panel(config) {
        panel.attach(&line);
        link.SetLinkSettings(LinkSettingsFrom(settings));
        link.SetCustomerScreen(&screen);
        link.State().StoredVersion.store(QStringLiteral("1.4"));
        QObject::connect(&link, &LinkController::CallBackStarted, &link, [this] { ++callbackStarts; });
        QObject::connect(&line, &MemoryLine::receivedFromProgram, &line,
                         [this](const QByteArray& bytes) { sent.append(bytes); });
    }

    static Settings connectionSettings() {
        Settings s;
        s.setAtLines(DefaultAdvancedLines());
        return s;
    }

    // Presses connect and waits until the end message was handled: {connected, callbackPending}.
    QPair<bool, bool> connectPanel(bool withCallback = false) {
        QSignalSpy ended(&link, &LinkController::ConnectionEnded);
        if (!link.Conectar(withCallback))
            return {false, false};
        if (!ended.wait(WaitRealMs))
            return {false, false};
        return {ended.first().at(0).toBool(), ended.first().at(1).toBool()};
    }

    int frames(const QString& kind) const {
        int n = 0;
        for (const sim::JournalEntry& e : panel.journal(QStringLiteral("frame")))
            n += e.text == kind;
        return n;
    }
    bool wrote(const QByteArray& bytes) const { return sent.contains(bytes); }
};

QString aviso(int code) {
    return LinkTexts::Aviso(code);
}

// An operator who reads a message for a long time (logical `readingMs`), noting whether the port
// was still open, and so the call still up, when the message came.
class SlowReader : public RecordingLinkOperator {
public:
    SlowReader(MemoryLine& line, qint64 readingMs) : m_line(line), m_readingMs(readingMs) {}
    QList<bool> portOpenAtMessage;

    OperatorAnswer Show(QObject* context, const OperatorMessage& message) override {
        portOpenAtMessage << m_line.programOpened();
        QTest::qWait(Clock::instance().realInterval(m_readingMs));
        return RecordingLinkOperator::Show(context, message);
    }

private:
    MemoryLine& m_line;
    qint64 m_readingMs;
};

} // namespace

class TestConectaAlarme : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(Scale); }

    // Every way an attempt ends, with what the operator sees and what is left behind.
    // A wrong panel code: the line is hung up before the message waits for the operator, and a
    // reading longer than the supervision's 25 s brings no second message.
    void wrongPanelCodeHangsUpBeforeTheMessage() {
        MemoryLine line;
        PanelSimulator panel;
        panel.attach(&line);
        SlowReader op(line, 40000);
        RecordingCustomerScreen screen;
        screen.codigoPainel = QStringLiteral("4321");
        LinkController link(line.port(), &op);
        link.SetLinkSettings(LinkSettingsFrom(Rig::connectionSettings()));
        link.SetCustomerScreen(&screen);
        QSignalSpy ended(&link, &LinkController::ConnectionEnded);
        QVERIFY(link.Conectar(false));
        QVERIFY(ended.wait(WaitRealMs));
        QCOMPARE(ended.first().at(0).toBool(), false);
        QCOMPARE(op.messageTexts(), QStringList{aviso(10)});
        QCOMPARE(op.portOpenAtMessage, QList<bool>{false});
        QVERIFY(!panel.carrier());
        QVERIFY(!link.SupervisionActive());
    }

    // A modem without a command answers ERROR to the whole line that holds it and runs none of
    // it: the line's commands go out again one at a time, only the refused one is left out and
    // listed in the step list, and the connection goes on. "L0" sits in the middle of the list
    // (auto-answer off follows it on its line), "X3" on the last line, with V0.
    void refusedSetUpCommandIsLeftOut_data() {
        QTest::addColumn<QString>("refused");
        QTest::newRow("L0") << "L0";
        QTest::newRow("X3 on the last line") << "X3";
    }
    void refusedSetUpCommandIsLeftOut() {
        QFETCH(QString, refused);
        sim::PanelSimConfig config;
        config.faults.rejectedCommands = QStringList{refused};
        Rig rig(config);
        // Each command of the line that holds the refused one goes out alone.
        QList<QByteArray> alone;
        for (const ModemInitStep& step :
             ModemInitSteps(BuildModemInitList(Rig::connectionSettings(), ModemInitWorker::Connection))) {
            if (step.commands.contains(refused)) {
                for (const QString& command : step.commands)
                    alone << "AT" + command.toLatin1() + '\r';
            }
        }
        QVERIFY(alone.size() >= 2);
        const QPair<bool, bool> outcome = rig.connectPanel();
        QVERIFY(outcome.first);
        QCOMPARE(rig.op.messageTexts(), QStringList());
        for (const QByteArray& line : alone)
            QVERIFY2(rig.wrote(line), line.constData());
        const QString text = LinkTexts::ModemRefusedCommand(refused);
        QCOMPARE(rig.op.stepTexts().count(text), 1);
        // Listed once, after the modem set-up line, before the dial.
        const int at = int(rig.op.stepTexts().indexOf(text));
        QVERIFY(rig.op.stepTexts().at(at - 1).startsWith(QStringLiteral("Configurando o Modem")));
        QVERIFY(rig.op.stepTexts().at(at + 1).startsWith(QString::fromUtf8("Discando")));
        // The commands the modem took are in force: numeric results (V0) on every line.
        QVERIFY(!rig.panel.modemVerbose());
    }

    void endings_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("callbackPending");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("codeFrames"); // code frames the panel received

        QTest::newRow("connected") << "" << true << false << QStringList() << 1;
        QTest::newRow("busy") << "busy" << false << false << QStringList{aviso(7)} << 0;
        QTest::newRow("no answer") << "no answer" << false << false << QStringList{aviso(8)} << 0;
        QTest::newRow("no dial tone") << "no dial tone" << false << false << QStringList{aviso(6)} << 0;
        // The link starts with IgnoreNoCarrier set; a NO CARRIER the attempt did not announce is
        // still a failure and must not be thrown away.
        QTest::newRow("no carrier") << "no carrier" << false << false << QStringList{aviso(3)} << 0;
        QTest::newRow("modem silent") << "modem silent" << false << false
                                      << QStringList{QString::fromUtf8(LinkTexts::ModemNoResponse)} << 0;
        QTest::newRow("panel silent after the carrier")
            << "panel silent" << false << false << QStringList{QString::fromUtf8(LinkTexts::PanelNoResponse)}
            << 0;
        QTest::newRow("wrong product") << "wrong product" << false << false << QStringList{aviso(9)} << 0;
        QTest::newRow("wrong panel code")
            << "wrong panel code" << false << false << QStringList{aviso(10)} << 0;
        QTest::newRow("PC code refused six times")
            << "wrong pc code" << false << false << QStringList{aviso(11)} << 6;
        QTest::newRow("accepted after three refusals")
            << "three refusals" << true << false << QStringList() << 4;
        QTest::newRow("callback agreed") << "callback" << false << true << QStringList() << 1;
        QTest::newRow("PRODUTO unreadable")
            << "bad produto" << false << false << QStringList{LinkTexts::ConnectionErrorText()} << 0;
    }

    void endings() {
        QFETCH(QString, setup);
        QFETCH(bool, connected);
        QFETCH(bool, callbackPending);
        QFETCH(QStringList, messages);
        QFETCH(int, codeFrames);

        sim::PanelSimConfig config;
        if (setup == "busy")
            config.modem.dialOutcome = sim::DialOutcome::Busy;
        else if (setup == "no answer")
            config.modem.dialOutcome = sim::DialOutcome::NoAnswer;
        else if (setup == "no dial tone")
            config.modem.dialOutcome = sim::DialOutcome::NoDialTone;
        else if (setup == "no carrier")
            config.modem.dialOutcome = sim::DialOutcome::NoCarrier;
        else if (setup == "modem silent")
            config.faults.modemSilent = true;
        else if (setup == "panel silent")
            config.faults.rules.append({1u << int(sim::FrameKind::Ident), sim::Fault::Silence, 1000});
        else if (setup == "three refusals")
            config.faults.rules.append({1u << int(sim::FrameKind::Code), sim::Fault::Nak, 3});
        else if (setup == "callback")
            config.panel.callbackOnCodes = true;
        Rig rig(config);
        if (setup == "wrong product")
            rig.screen.produto = QStringLiteral("2");
        else if (setup == "wrong panel code")
            rig.screen.codigoPainel = QStringLiteral("4321");
        else if (setup == "wrong pc code")
            rig.screen.codigoPC = QStringLiteral("8765");
        else if (setup == "bad produto")
            rig.screen.produto = QStringLiteral("x");

        const QPair<bool, bool> outcome = rig.connectPanel();
        QCOMPARE(outcome.first, connected);
        QCOMPARE(outcome.second, callbackPending);
        QCOMPARE(rig.op.messageTexts(), messages);
        QCOMPARE(rig.frames("code"), codeFrames);
        QVERIFY(!rig.link.ConectaAlarmeWorker());
        QVERIFY(!rig.link.State().ConectaAlarmeWorker.load());
        QVERIFY(!rig.link.SupervisionActive());
        QVERIFY(!rig.op.busyCursor);

        if (connected) {
            // The session worker took over; the connect images gave way to the disconnect image.
            QVERIFY(rig.link.OnLineWorker());
            QVERIFY(rig.screen.connectedImages);
            QVERIFY(!rig.op.progressVisible);
            QVERIFY(rig.line.programOpened());
            QCOMPARE(rig.screen.versionLabel, QStringLiteral("V1.4"));
            QCOMPARE(rig.op.stepTexts().last(),
                     QStringLiteral("Software conectado ao painel de alarme Orvan 10 versão 1.4"));
            QCOMPARE(rig.op.currentStep(), rig.op.steps.size() - 1);
            // The panel answers each request at once, so its answer is used, not dropped and asked
            // for again round after round (one repeat is allowed for a scheduler hiccup of the
            // scaled clock).
            QVERIFY(rig.frames("ident") <= 2);
            QVERIFY(rig.frames("proceed") <= 2);
            QVERIFY(!rig.screen.closeEnabled);
        } else if (callbackPending) {
            // The progress window stays up for the callback wait, which is started.
            QVERIFY(rig.op.progressVisible);
            QCOMPARE(rig.op.progressText, LinkTexts::AwaitingPanelCall());
            QCOMPARE(rig.callbackStarts, 1);
            QVERIFY(rig.link.CallBackWorker());
            QVERIFY(rig.screen.connectedImages);
            QVERIFY(rig.link.State().IgnoreNoCarrier.load());
            QVERIFY(!rig.link.State().FrameMode.load());
            QVERIFY(!rig.link.OnLineWorker());
        } else {
            QVERIFY(!rig.link.OnLineWorker());
            QVERIFY(!rig.screen.connectedImages);
            QVERIFY(!rig.op.progressVisible);
            QVERIFY(!rig.line.programOpened());
            QVERIFY(rig.screen.closeEnabled);
        }
        if (setup == "modem silent" || setup == "rejected X3")
            QVERIFY(rig.panel.lastDialled().isEmpty());
        if (setup == "wrong product" || setup == "wrong panel code")
            QCOMPARE(rig.frames("ident"), 1);
    }

    // What goes out to the modem: the initialisation lines one per "OK", 300 baud before the dial,
    // the dial line with the outside-line digit, then the connection frames.
    void modemDialogue() {
        Settings settings = Rig::connectionSettings();
        settings.HabilitaPausa = true;
        settings.Digito = QStringLiteral("9");
        settings.Intervalo = 2;
        Rig rig({}, settings);
        QVERIFY(rig.connectPanel().first);

        QList<QByteArray> expected =
            ModemInitOutput(BuildModemInitList(settings, ModemInitWorker::Connection));
        // Keep-alives may come in between the lines; take them out before comparing.
        QList<QByteArray> init;
        for (const QByteArray& w : rig.sent) {
            if (w.startsWith("ATD"))
                break;
            if (w != "AT\r" || init.isEmpty())
                init.append(w);
        }
        QCOMPARE(init, expected);
        QVERIFY(init.join().contains("S08=2"));
        QVERIFY(rig.wrote("ATDT9,5551234;ATA\r"));
        QVERIFY(rig.wrote(QByteArray::fromHex("B3430000000000F0")));
        QVERIFY(rig.wrote(QByteArray::fromHex("B328123456780093")));
        QVERIFY(rig.wrote(QByteArray::fromHex("B3500000000000E3")));
        QCOMPARE(rig.panel.programBaudrate(), 300);
        QCOMPARE(
            rig.op.stepTexts(),
            (QStringList{LinkTexts::StepPortConnected(1), LinkTexts::StepConfiguringModem(settings.Modem),
                         LinkTexts::StepDialling("5551234"), LinkTexts::StepConnectingToPanel(),
                         LinkTexts::StepCheckingCodes(), LinkTexts::StepCodesCorrect(false),
                         LinkTexts::StepConnectedToPanel(1, "1.4", "1.4")}));
    }

    // A USB-type modem: one command per line, the modulation command, no re-open at 300 baud.
    void usbModem() {
        Settings settings = Rig::connectionSettings();
        settings.Modem = QStringLiteral("U.S. Robotics USB");
        settings.setAtLines(
            QStringLiteral("&F0 &C0 &D2 &H0 &I0 &K0 &N1 E0 Q0 S0=0 S10=255 S12=50 S7=120 S9=1 X3 "
                           "V0 +MS=B103,0,300")
                .split(QLatin1Char(' ')));
        Rig rig({}, settings);
        const QPair<bool, bool> outcome = rig.connectPanel();
        QVERIFY(outcome.first);
        QVERIFY(rig.wrote("AT+MS=B103,0,300\r"));
        QVERIFY(rig.wrote("AT&F0\r"));
        QCOMPARE(rig.line.programBaudrate(), 9600);
    }

    // The operator asks for a callback: the callback request goes out instead of proceed, and the
    // step list says the program waits for the panel's call.
    void callbackRequested() {
        Rig rig;
        const QPair<bool, bool> outcome = rig.connectPanel(true);
        QCOMPARE(outcome, qMakePair(false, true));
        QCOMPARE(rig.frames("callback"), 1);
        QCOMPARE(rig.frames("proceed"), 0);
        QCOMPARE(rig.op.stepTexts().last(), LinkTexts::StepAwaitingCallback());
        QVERIFY(!rig.op.stepTexts().contains(LinkTexts::StepCodesCorrect(false)));
        // "AT\r" follows the agreement.
        const qsizetype request = rig.sent.indexOf(QByteArray::fromHex("B3560000000000E5"));
        QVERIFY(request >= 0);
        QVERIFY(rig.sent.mid(request).contains("AT\r"));
        QCOMPARE(rig.callbackStarts, 1);
        QVERIFY(!rig.link.State().CallbackRequested.load() || rig.link.State().CallbackPending.load());
    }

    // Answering-machine bypass with no stored time: the operator presses the button at the second
    // ring, 14.5 s after the first dial; the whole seconds, 14, are learned and stored, the first
    // call is abandoned, and the real call connects. (A slower clock here: the press is a timer,
    // and a late timer must not push the time past the next second.)
    void bypassLearnsTheTime() {
        Clock::instance().setScale(20);
        const auto restoreScale = qScopeGuard([] { Clock::instance().setScale(Scale); });
        sim::PanelSimConfig config;
        config.panel.answeringMachineBypass = true;
        Rig rig(config);
        rig.screen.enganaSecretaria = true;
        rig.screen.tempoEnganaSecretaria = 0;
        qint64 firstDialAt = -1;
        QObject::connect(&rig.line, &MemoryLine::receivedFromProgram, &rig.line,
                         [&](const QByteArray& bytes) {
                             if (bytes == "ATDT5551234\r")
                                 firstDialAt = Clock::instance().nowMs();
                         });
        rig.op.onSteps = [&](const QList<ProgressStep>& steps) {
            const int current = rig.op.currentStep();
            if (current >= 0 && steps.at(current).text == LinkTexts::StepPressAtSecondRing() &&
                firstDialAt >= 0) {
                const qint64 due = firstDialAt + 14500 - Clock::instance().nowMs();
                QTimer::singleShot(Clock::instance().realInterval(due), Qt::PreciseTimer, &rig.link,
                                   [&] { rig.link.SegundoRingPressionado(); });
            }
        };
        QVERIFY(rig.connectPanel().first);
        QCOMPARE(rig.screen.storedBypassTimes, QList<int>{14});
        QVERIFY(!rig.op.secondRingButton);
        // First call unexpanded, abandoned with "AT\r", then the real dial.
        const qsizetype first = rig.sent.indexOf("ATDT5551234\r");
        const qsizetype real = rig.sent.indexOf("ATDT5551234;ATA\r");
        QVERIFY(first >= 0 && real > first);
        QVERIFY(rig.sent.mid(first, real - first).contains("AT\r"));
        QVERIFY(rig.op.stepTexts().contains(LinkTexts::StepTimeBetweenRings(14)));
        const QStringList steps = rig.op.stepTexts();
        QCOMPARE(steps.indexOf(LinkTexts::StepTimeBetweenRings(14)),
                 steps.indexOf(LinkTexts::StepPressAtSecondRing()) + 1);
    }

    // With a stored time the first call is left to ring that long and abandoned without asking.
    void bypassWithStoredTime() {
        sim::PanelSimConfig config;
        config.panel.answeringMachineBypass = true;
        Rig rig(config);
        rig.screen.enganaSecretaria = true;
        rig.screen.tempoEnganaSecretaria = 8;
        qint64 firstDialAt = -1, abandonedAt = -1;
        QObject::connect(&rig.line, &MemoryLine::receivedFromProgram, &rig.line,
                         [&](const QByteArray& bytes) {
                             const qint64 now = Clock::instance().nowMs();
                             if (bytes == "ATDT5551234\r")
                                 firstDialAt = now;
                             else if (bytes == "AT\r" && firstDialAt >= 0 && abandonedAt < 0)
                                 abandonedAt = now;
                         });
        QVERIFY(rig.connectPanel().first);
        QVERIFY(rig.screen.storedBypassTimes.isEmpty());
        QVERIFY(abandonedAt - firstDialAt >= 8000);
        QVERIFY(abandonedAt - firstDialAt < 20000);
        QVERIFY(!rig.op.stepTexts().contains(LinkTexts::StepPressAtSecondRing()));
    }

    // "Cancelar" during the modem set-up ends the attempt quietly and drops the line.
    void cancelDuringSetUp() {
        Rig rig;
        QSignalSpy ended(&rig.link, &LinkController::ConnectionEnded);
        QVERIFY(rig.link.Conectar(false));
        QTRY_VERIFY_WITH_TIMEOUT(rig.sent.size() >= 2, WaitRealMs);
        // Returns once the worker has ended; its end message may have been handled meanwhile.
        rig.link.CancelaConexao();
        QVERIFY(rig.link.ConectaAlarmeWorker() == nullptr || ended.wait(WaitRealMs));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.first().at(0).toBool(), false);
        QVERIFY(rig.op.messages.isEmpty());
        QVERIFY(!rig.line.programOpened());
        QVERIFY(!rig.screen.connectedImages);
        QVERIFY(rig.panel.lastDialled().isEmpty());
    }

    // Version check after a connection: the question, and what Yes and No leave behind; an
    // Orvan 9 Max panel is updated without a question.
    void versionCheck_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("storedAfter"); // StoredVersion after the check
        QTest::addColumn<QStringList>("versaoProduto");
        QTest::addColumn<QString>("caption");
        QTest::newRow("same version") << 1 << "1.4" << true << false << "1.4" << QStringList() << "";
        QTest::newRow("differs, Yes") << 1 << "1.2" << true << true << "1.4" << QStringList{"1.4"}
                                      << "Informações sobre o cliente\re o painel Orvan 10 V1.4";
        QTest::newRow("differs, No") << 1 << "1.2" << false << true << "1.2" << QStringList() << "";
        QTest::newRow("Orvan 10 Max, Yes") << 3 << "1.0" << true << true << "1.3" << QStringList{"1.3"}
                                           << "Informações sobre o cliente\re o painel Orvan 10 Max V1.3";
        QTest::newRow("Orvan 9 Max, silent") << 4 << "1.3" << false << false << "1.3" << QStringList{"1.0"}
                                             << "Informações sobre o cliente\re o painel Orvan 9 V1.0";
    }

    void versionCheck() {
        QFETCH(int, product);
        QFETCH(QString, stored);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(QString, storedAfter);
        QFETCH(QStringList, versaoProduto);
        QFETCH(QString, caption);

        sim::PanelSimConfig config;
        config.product = product;
        Rig rig(config);
        rig.screen.produto = QString::number(product);
        rig.link.State().StoredVersion.store(stored);
        rig.op.answer = answer;
        QVERIFY(rig.connectPanel().first);
        QCOMPARE(rig.op.questions.contains(LinkTexts::VersionQuestion()), asked);
        QCOMPARE(rig.link.State().StoredVersion.load(), storedAfter);
        QCOMPARE(rig.screen.storedVersions, versaoProduto);
        QCOMPARE(rig.screen.captionLabel, caption);
        QCOMPARE(rig.link.State().Orvan9Max.load(), product == 4);
    }

    // After the connection the session reads the whole programming into ImagemAlarme; the
    // disconnect request hangs up and WM_ONLINE_FIM restores the connect images.
    void sessionFollowsAndEnds() {
        Rig rig;
        QVERIFY(rig.connectPanel().first);
        OnLine* session = rig.link.OnLineWorker();
        QVERIFY(session);
        QCOMPARE(session->Blocks.load(), 0x7FFFFu);
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitRealMs);
        // Both memory pages were read (the zone attributes are normalised after the read, so
        // the codes block and the last block are compared).
        QCOMPARE(rig.screen.tenZone.ImagemAlarme.block(7), rig.panel.block(7));
        QCOMPARE(rig.screen.tenZone.ImagemAlarme.block(18), rig.panel.block(18));
        QVERIFY(rig.screen.onLine);

        QSignalSpy ended(&rig.link, &LinkController::SessionEnded);
        session->DisconnectRequest = true;
        QVERIFY(ended.wait(WaitRealMs));
        QVERIFY(!rig.link.OnLineWorker());
        QVERIFY(!rig.link.State().OnLineWorker.load());
        QVERIFY(!rig.screen.connectedImages);
        QVERIFY(!rig.screen.onLine);
        QVERIFY(rig.screen.closeEnabled);
        QVERIFY(!rig.line.programOpened());
        QVERIFY(!rig.link.ResponseTimerActive());
        QVERIFY(rig.screen.monitoringRefreshes >= 1);
        QVERIFY(rig.wrote("ATH0\r"));
        QCOMPARE(rig.screen.tenZone.ImagemAlarme.bytes(), QByteArray(304, '\0'));
    }

    // A modem that goes quiet once it has dialled (no CONNECT, no failure) does not hold the
    // attempt forever: after the dial limit it ends with "O Modem não responde".
    void modemSilentAfterDial() {
        MemoryLine line;
        RecordingLinkOperator op;
        RecordingCustomerScreen screen;
        LinkController link(line.port(), &op);
        link.SetLinkSettings(LinkSettingsFrom(Rig::connectionSettings()));
        link.SetCustomerScreen(&screen);
        link.DialResultLimitMs = 20000;
        // Answers "OK" to every command line, and nothing to the dial.
        QObject::connect(&line, &MemoryLine::receivedFromProgram, &line, [&](const QByteArray& bytes) {
            if (bytes.startsWith("AT") && !bytes.startsWith("ATD"))
                line.sendToProgram("\r\n0\r\n");
        });
        QSignalSpy ended(&link, &LinkController::ConnectionEnded);
        const qint64 start = Clock::instance().nowMs();
        QVERIFY(link.Conectar(false));
        QVERIFY(ended.wait(WaitRealMs));
        QCOMPARE(ended.first().at(0).toBool(), false);
        QCOMPARE(op.messageTexts(), QStringList{QString::fromUtf8(LinkTexts::ModemNoResponse)});
        QVERIFY(Clock::instance().nowMs() - start >= 20000);
        QVERIFY(!line.programOpened());
    }

    // A dial the modem answers with anything but CONNECT or one of its failures ends the attempt
    // at once with a message: an "OK" (the modem went back to its commands without a call, as a
    // phone number with ";" in it makes it), or a number the program does not know.
    void dialAnsweredWithoutConnect_data() {
        QTest::addColumn<QByteArray>("answer"); // to the dial; empty: the simulated modem
        QTest::addColumn<QString>("fone");
        QTest::addColumn<QString>("message");
        const QString ended = QString::fromUtf8(LinkTexts::DialEndedWithoutCarrier);
        QTest::newRow("OK") << QByteArray("\r\n0\r\n") << QStringLiteral("5551234") << ended;
        QTest::newRow("ERROR") << QByteArray("\r\n4\r\n") << QStringLiteral("5551234") << aviso(4);
        QTest::newRow("a number outside the table")
            << QByteArray("\r\n20\r\n") << QStringLiteral("5551234") << ended;
        QTest::newRow("phone number with \";\"") << QByteArray() << QStringLiteral("555;ATH1;ATZ") << ended;
    }
    void dialAnsweredWithoutConnect() {
        QFETCH(QByteArray, answer);
        QFETCH(QString, fone);
        QFETCH(QString, message);
        MemoryLine line;
        PanelSimulator panel;
        if (answer.isEmpty()) {
            panel.attach(&line);
        } else {
            // "OK" to every command line, and `answer` to the dial.
            QObject::connect(&line, &MemoryLine::receivedFromProgram, &line, [&](const QByteArray& bytes) {
                line.sendToProgram(bytes.startsWith("ATD") ? answer : QByteArray("\r\n0\r\n"));
            });
        }
        RecordingLinkOperator op;
        RecordingCustomerScreen screen;
        screen.fone = fone;
        LinkController link(line.port(), &op);
        link.SetLinkSettings(LinkSettingsFrom(Rig::connectionSettings()));
        link.SetCustomerScreen(&screen);
        link.DialResultLimitMs = 120000;
        QSignalSpy ended(&link, &LinkController::ConnectionEnded);
        QVERIFY(link.Conectar(false));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(ended.wait(WaitRealMs));
        QCOMPARE(ended.first().at(0).toBool(), false);
        QCOMPARE(op.messageTexts(), QStringList{message});
        // Well before the dial limit: the modem's answer ended it.
        QVERIFY(Clock::instance().toLogical(timer.elapsed()) < link.DialResultLimitMs / 2);
        QVERIFY(!line.programOpened());
    }

    // The session's waits run on the controller's response timer: a panel that misses two block
    // reads is asked again and the read completes; the status window shows the read and closes.
    void sessionRecoversFromSilence() {
        sim::PanelSimConfig config;
        config.faults.rules.append({1u << int(sim::FrameKind::Read), sim::Fault::Silence, 2});
        Rig rig(config);
        QVERIFY(rig.connectPanel().first);
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitRealMs);
        QCOMPARE(rig.frames("read"), 19 + 2);
        QVERIFY(rig.op.statusTexts.contains(QStringLiteral("Aguarde! Recebendo a programação do painel.")));
        // The report comes once the status window has closed.
        QTRY_COMPARE_WITH_TIMEOUT(rig.screen.transfers.size(), 1, WaitRealMs);
        QVERIFY(!rig.op.statusVisible);
        QVERIFY(rig.screen.transfers.first().succeeded());
    }

    // A panel that drops the line during the session: the modem's NO CARRIER ends the session at
    // once ("Sem portadora"), without waiting for the time-outs and the question whether to go on.
    void sessionLineDropped_data() {
        QTest::addColumn<int>("dropAfter");
        QTest::addColumn<int>("withinMs"); // logical, from the drop to the end of the session
        // Identification, codes, proceed: the connection's own pauses (3 s and 1.5 s) come first.
        QTest::newRow("right after the connection") << 3 << 9000;
        // One response time-out (3 s) would already be longer.
        QTest::newRow("in the middle of the read") << 3 + 8 << 3000;
    }
    void sessionLineDropped() {
        QFETCH(int, dropAfter);
        QFETCH(int, withinMs);
        sim::PanelSimConfig config;
        config.faults.dropAfterFrames = dropAfter;
        Rig rig(config);
        rig.op.answer = false;
        // From the moment the panel's side of the line went down.
        QElapsedTimer timer;
        QObject::connect(&rig.panel, &PanelSimulator::callFinished, &rig.panel, [&timer] { timer.start(); });
        QSignalSpy ended(&rig.link, &LinkController::SessionEnded);
        QVERIFY(rig.connectPanel().first);
        QVERIFY(ended.wait(WaitRealMs));
        QVERIFY(timer.isValid());
        // Ten response time-outs and the question took more than 30 s.
        QVERIFY2(Clock::instance().toLogical(timer.elapsed()) < withinMs,
                 qPrintable(QString::number(Clock::instance().toLogical(timer.elapsed()))));
        QVERIFY(rig.op.questions.isEmpty());
        QCOMPARE(rig.op.messageTexts(), QStringList{aviso(3)});
        QVERIFY(!rig.link.State().ProgrammingReceived.load());
        QVERIFY(!rig.line.programOpened());
        QVERIFY(!rig.screen.connectedImages);
    }

    // The port cannot be opened: the operator is told in the system's words and nothing starts.
    void portCannotBeOpened_data() {
        QTest::addColumn<bool>("takenAfterCheck");
        QTest::addColumn<QString>("message");
        QTest::newRow("nobody can open it") << false << LinkTexts::PortCannotBeOpened();
        QTest::newRow("another program takes it after the check")
            << true << QStringLiteral("Outro Programa já está usando a porta de comunicação.");
    }
    void portCannotBeOpened() {
        QFETCH(bool, takenAfterCheck);
        QFETCH(QString, message);
        Rig rig;
        if (takenAfterCheck)
            rig.line.setTakenAfter(1); // the check's opening succeeds
        else
            rig.line.setOpenFails(true);
        QVERIFY(!rig.link.Conectar(false));
        QCOMPARE(rig.op.messageTexts(), QStringList{message});
        QVERIFY(!rig.line.programOpened());
        QCOMPARE(rig.op.messages.first().icon, MessageIcon::Critical);
        QVERIFY(!rig.link.ConectaAlarmeWorker());
        QCOMPARE(rig.op.progressShows, 0);
        QVERIFY(!rig.op.busyCursor);
    }

    // The supervision timer counts only while a connection worker can be cancelled by it, or when
    // no customer screen is open (the reception of a panel's call).
    void supervisionCounts_data() {
        QTest::addColumn<bool>("screenOpen");
        QTest::addColumn<bool>("callbackWorker");
        QTest::addColumn<bool>("counts");
        QTest::newRow("screen open, only the callback wait") << true << true << false;
        QTest::newRow("screen open, no worker") << true << false << false;
        QTest::newRow("no screen") << false << false << true;
    }

    void supervisionCounts() {
        QFETCH(bool, screenOpen);
        QFETCH(bool, callbackWorker);
        QFETCH(bool, counts);
        Rig rig;
        ModemWorkerLink callback;
        if (!screenOpen)
            rig.link.SetCustomerScreen(nullptr);
        if (callbackWorker)
            rig.link.State().CallBackWorker = &callback;
        // Three ticks of the supervision timer, however long the machine takes to deliver them.
        auto* timer = rig.link.findChild<QTimer*>(QStringLiteral("tmrConectaAlarme"));
        QVERIFY(timer);
        QSignalSpy ticks(timer, &QTimer::timeout);
        rig.link.SetSupervision(1000);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 3, WaitRealMs);
        rig.link.SetSupervision(0);
        QCOMPARE(rig.link.State().TimeoutTicks.load() > 0, counts);
        rig.link.State().CallBackWorker = nullptr;
    }

    // A second attempt from the same screen starts from a clean link state: it waits for the
    // modem's own "OK"s and its own dial result, not for those of the first attempt.
    void secondAttemptAfterBusy() {
        sim::PanelSimConfig config;
        config.modem.dialOutcome = sim::DialOutcome::Busy;
        Rig rig(config);
        QCOMPARE(rig.connectPanel(), qMakePair(false, false));
        rig.panel.modemSettings().dialOutcome = sim::DialOutcome::Connect;
        rig.op.messages.clear();
        QVERIFY(rig.connectPanel().first);
        QVERIFY(rig.op.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConectaAlarme)
#include "tst_conecta_alarme.moc"
