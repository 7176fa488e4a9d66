#include "panel_simulator.h"
#include "sim/sim_test_util.h"

#include <QSignalSpy>
#include <QTest>

using namespace simtest;

// The simulated Hayes modem as the program sees it on its serial port.
class TestModem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(100); }

    void initLinesAnswerAsARealModem() {
        // The program's own initialisation with the default catalogue: "AT", then the sorted
        // commands four to a line. Echo stays on until E0 has run (and &F0 turns it on again);
        // words until V0, then digits framed by CR LF.
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line);
        const struct {
            const char* sent;
            const char* answer;
        } script[] = {
            {"AT\r", "AT\r\r\nOK\r\n"},
            {"ATE0\r", "ATE0\r\r\nOK\r\n"},
            {"AT&C0&D2&F0&H0\r", "\r\nOK\r\n"},
            {"AT&I0&K0&N1E0\r", "AT&I0&K0&N1E0\r\r\nOK\r\n"},
            {"ATL0M1Q0S0=0\r", "\r\nOK\r\n"},
            {"ATS10=255S12=50S7=120S9=1\r", "\r\nOK\r\n"},
            {"ATV0X3\r", "\r\n0\r\n"},
            {"AT\r", "\r\n0\r\n"},
            {"ATH0\r", "\r\n0\r\n"}, // hang-up with no call: OK
        };
        for (const auto& step : script) {
            program.send(step.sent);
            QCOMPARE(program.waitFor(step.answer), QByteArray(step.answer));
            QVERIFY2(program.idle(200).isEmpty(), step.sent);
        }
        QVERIFY(!sim.modemEcho());
        QVERIFY(!sim.modemVerbose());
    }

    void commandLines_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer");
        // Each row starts from a modem with echo off and word results.
        QTest::newRow("several commands") << QByteArray("AT&C0 &D2 S7=120\r") << QByteArray("\r\nOK\r\n");
        QTest::newRow("lower case") << QByteArray("at&k0q0\r") << QByteArray("\r\nOK\r\n");
        QTest::newRow("noise before AT") << QByteArray("xyzATM1\r") << QByteArray("\r\nOK\r\n");
        QTest::newRow("modulation") << QByteArray("AT+MS=B103,0,300\r") << QByteArray("\r\nOK\r\n");
        QTest::newRow("modulation with ;") << QByteArray("AT+MS=B103,0;S7=120\r") << QByteArray("\r\nOK\r\n");
        QTest::newRow("unknown letter") << QByteArray("ATE0G1\r") << QByteArray("\r\nERROR\r\n");
        QTest::newRow("value out of range") << QByteArray("ATS7=300\r") << QByteArray("\r\nERROR\r\n");
        QTest::newRow("echo out of range") << QByteArray("ATE5\r") << QByteArray("\r\nERROR\r\n");
        QTest::newRow("unknown extended") << QByteArray("AT+XYZ=1\r") << QByteArray("\r\nERROR\r\n");
        QTest::newRow("register query") << QByteArray("ATS8?\r") << QByteArray("\r\n002\r\n\r\nOK\r\n");
        QTest::newRow("backspace") << QByteArray("ATQX\b0\r") << QByteArray("\r\nOK\r\n");
    }

    void commandLines() {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answer);
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line);
        program.send("ATE0\r");
        QVERIFY(!program.waitFor("OK\r\n").isEmpty());
        program.send(sent);
        QCOMPARE(program.waitFor(answer), answer);
        QVERIFY(program.idle(200).isEmpty());
    }

    void rejectedCommandFailsItsWholeLineEveryTime() {
        // A modem that does not know L0 rejects the line again when it is repeated, and runs none
        // of it; the bare "AT" keep-alive still gets OK.
        MemoryLine line;
        sim::PanelSimConfig config;
        config.faults.rejectedCommands = {"L0"};
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line);
        program.send("ATE0V0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        for (int i = 0; i < 2; ++i) {
            program.send("ATL0M1Q0S0=0\r");
            QCOMPARE(program.waitFor("\r\n4\r\n"), QByteArray("\r\n4\r\n"));
        }
        // None of a refused line's commands runs: Q1 before L0 leaves the results on.
        program.send("ATQ1L0\r");
        QCOMPARE(program.waitFor("\r\n4\r\n"), QByteArray("\r\n4\r\n"));
        program.send("AT\r");
        QCOMPARE(program.waitFor("\r\n0\r\n"), QByteArray("\r\n0\r\n"));
    }

    void dialOutcomes_data() {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QByteArray>("digits");
        QTest::addColumn<QByteArray>("words");
        QTest::newRow("connect") << "connect" << QByteArray("\r\n1\r\n") << QByteArray("\r\nCONNECT\r\n");
        QTest::newRow("busy") << "busy" << QByteArray("\r\n7\r\n") << QByteArray("\r\nBUSY\r\n");
        QTest::newRow("no answer") << "no-answer" << QByteArray("\r\n8\r\n")
                                   << QByteArray("\r\nNO ANSWER\r\n");
        QTest::newRow("no dial tone")
            << "no-dial-tone" << QByteArray("\r\n6\r\n") << QByteArray("\r\nNO DIAL TONE\r\n");
        QTest::newRow("no carrier") << "no-carrier" << QByteArray("\r\n3\r\n")
                                    << QByteArray("\r\nNO CARRIER\r\n");
    }

    void dialOutcomes() {
        QFETCH(QString, outcome);
        QFETCH(QByteArray, digits);
        QFETCH(QByteArray, words);
        for (const bool verbose : {false, true}) {
            MemoryLine line;
            sim::PanelSimConfig config;
            QVERIFY(sim::dialOutcomeFromName(outcome, &config.modem.dialOutcome));
            config.modem.connectDelayMs = 4000;
            config.modem.failureDelayMs = 3000;
            PanelSimulator sim(config);
            sim.attach(&line);
            ProgramEnd program(line, 300);
            program.send(verbose ? "ATE0V1\r" : "ATE0V0\r");
            QVERIFY(!program.waitFor(verbose ? "OK\r\n" : "0\r\n").isEmpty());
            const qint64 dialledAt = Clock::instance().nowMs();
            program.send("ATDT5551234;ATA\r");
            const QByteArray expected = verbose ? words : digits;
            QCOMPARE(program.waitFor(expected, 5000), expected);
            if (outcome != "no-dial-tone") // a failure comes after dialling and the configured wait
                QVERIFY(Clock::instance().nowMs() - dialledAt >= 3000);
            QCOMPARE(sim.carrier(), outcome == "connect");
            QCOMPARE(sim.lastDialled(), QString("5551234"));
        }
    }

    void dialStringPausesAndPulses() {
        // The comma waits S8 seconds; pulse digits take longer than tone digits.
        MemoryLine line;
        sim::PanelSimConfig config;
        config.modem.connectDelayMs = 1000;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0S8=5\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        qint64 start = Clock::instance().nowMs();
        program.send("ATDT0,5551234;ATA\r");
        QVERIFY(!program.waitFor("\r\n1\r\n", 5000).isEmpty());
        QVERIFY(Clock::instance().nowMs() - start >= 5000 + 1000);
        QCOMPARE(sim.lastDialled(), QString("05551234"));
        QVERIFY(sim.journal("event").last().text.startsWith("carrier up (the program called)"));

        sim.dropLine();
        QVERIFY(!program.waitFor("\r\n3\r\n").isEmpty());
        start = Clock::instance().nowMs();
        program.send("ATDP5551234\r");
        QVERIFY(!program.waitFor("\r\n1\r\n", 5000).isEmpty());
        QVERIFY(Clock::instance().nowMs() - start >= 7 * 700 + 1000);
        bool pulse = false;
        for (const sim::JournalEntry& e : sim.journal("event"))
            pulse = pulse || e.text == "dial 5551234 (pulse)";
        QVERIFY(pulse);
    }

    void characterWhileDiallingAbortsTheCall() {
        // The answering-machine bypass abandons its first call with "AT": the modem gives up the
        // call and reports NO CARRIER; the call never comes up.
        MemoryLine line;
        sim::PanelSimConfig config;
        config.modem.connectDelayMs = 20000;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        program.send("ATDT5551234\r");
        QVERIFY(program.idle(1000).isEmpty());
        program.send("AT\r");
        QCOMPARE(program.waitFor("\r\n3\r\n"), QByteArray("\r\n3\r\n"));
        QVERIFY(program.idle(25000).isEmpty());
        QVERIFY(!sim.carrier());
        program.send("AT\r");
        QCOMPARE(program.waitFor("\r\n0\r\n"), QByteArray("\r\n0\r\n"));
    }

    void dataModeCarriesCommandsAndPortCloseHangsUp() {
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));

        // In data mode "ATH0" and "AT" are data for the panel, which ignores them: no answer, the
        // call stays up and the panel still answers frames.
        program.send("ATH0\r");
        program.send("AT\rAT\rAT\r");
        QVERIFY(program.idle(1000).isEmpty());
        QVERIFY(sim.carrier());
        QCOMPARE(program.ask(bytes("B3 43 00 00 00 00 00 F0"), 9), bytes("5A 52 56 43 01 14 12 34 70"));
        bool panelSawIt = false;
        for (const sim::JournalEntry& e : sim.journal("noise"))
            panelSawIt = panelSawIt || e.bytes.startsWith("ATH0\r");
        QVERIFY(panelSawIt);

        // Closing the port drops DTR: the modem hangs up (&D2) and writes NO CARRIER to the
        // closed port; after reopening, the modem is in command mode again.
        QSignalSpy finished(&sim, &PanelSimulator::callFinished);
        program.close();
        QTRY_VERIFY(!sim.carrier());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(sim.journal("result").last().text, QString("NO CARRIER"));
        QVERIFY(!sim.sessionOpen());
        program.open();
        program.send("AT\r");
        QCOMPARE(program.waitFor("\r\n0\r\n"), QByteArray("\r\n0\r\n"));
    }

    void dtrIgnoredWithAmpersandD0() {
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("AT&D0\r");
        QVERIFY(!program.waitFor("OK\r\n").isEmpty());
        QVERIFY(openSession(program));
        program.close();
        program.open();
        QVERIFY(sim.carrier());
        QCOMPARE(program.ask(bytes("B8"), 11).left(4), bytes("5A 52 56 18"));
    }

    void escapeSequenceReturnsToCommandMode() {
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        program.idle(1200); // guard time before (S12 = 50: one second)
        program.send("+++");
        QCOMPARE(program.waitFor("\r\n0\r\n"), QByteArray("\r\n0\r\n"));
        QVERIFY(sim.carrier());
        program.send("ATO\r");
        QCOMPARE(program.waitFor("\r\n1\r\n"), QByteArray("\r\n1\r\n"));
        QCOMPARE(program.ask(bytes("B8"), 11).left(4), bytes("5A 52 56 18"));
        program.idle(1200);
        program.send("+++");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        program.send("ATH0\r");
        QCOMPARE(program.waitFor("\r\n0\r\n"), QByteArray("\r\n0\r\n"));
        QVERIFY(!sim.carrier());
    }

    void incomingCallRingsUntilAnswered() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.modem.ringIntervalMs = 4000;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());

        auto ringTimes = [&sim] {
            QVector<qint64> times;
            for (const sim::JournalEntry& e : sim.journal("event")) {
                if (e.text.startsWith("ring "))
                    times.append(e.timeMs);
            }
            return times;
        };
        sim.callIn();
        QCOMPARE(ringTimes().size(), 1); // the first RING at once
        QCOMPARE(program.waitFor("\r\n2\r\n"), QByteArray("\r\n2\r\n"));
        QCOMPARE(program.waitFor("\r\n2\r\n", 2000), QByteArray("\r\n2\r\n"));
        QVERIFY(ringTimes().size() >= 2);
        QVERIFY(ringTimes()[1] - ringTimes()[0] >= 4000); // the next about 4 s later
        QVERIFY(!sim.carrier());
        program.send("ATA\r");
        QCOMPARE(program.waitFor("\r\n1\r\n"), QByteArray("\r\n1\r\n"));
        QVERIFY(sim.carrier());
        QCOMPARE(program.ask(bytes("B3 43 00 00 00 00 00 F0"), 9), bytes("5A 52 56 43 01 14 12 34 70"));
    }

    void autoAnswerAfterS0Rings() {
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0S0=2\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        sim.callIn();
        QCOMPARE(program.waitFor("\r\n1\r\n", 3000), QByteArray("\r\n2\r\n\r\n2\r\n\r\n1\r\n"));
        QVERIFY(sim.carrier());
    }

    void connectReportFollowsSpeed_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QByteArray>("connect");
        QTest::newRow("300 baud") << 300 << QByteArray("ATE0V0X3\r") << QByteArray("\r\n1\r\n");
        QTest::newRow("9600 without B103") << 9600 << QByteArray("ATE0V0X3\r") << QByteArray("\r\n12\r\n");
        QTest::newRow("9600 words") << 9600 << QByteArray("ATE0V1X3\r") << QByteArray("\r\nCONNECT 9600\r\n");
        QTest::newRow("9600 with B103")
            << 9600 << QByteArray("ATE0V0X3+MS=B103,0,300\r") << QByteArray("\r\n1\r\n");
        QTest::newRow("9600 with &N1") << 9600 << QByteArray("ATE0V0X3&N1\r") << QByteArray("\r\n1\r\n");
        QTest::newRow("X0") << 9600 << QByteArray("ATE0V0X0\r") << QByteArray("\r\n1\r\n");
    }

    void connectReportFollowsSpeed() {
        QFETCH(int, baud);
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, connect);
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, baud);
        program.send(setup);
        QVERIFY(!program.waitFor("\r\n").isEmpty() && !program.waitFor("\r\n").isEmpty());
        program.send("ATDT5551234;ATA\r");
        QCOMPARE(program.waitFor(connect), connect);
        QCOMPARE(sim.programBaudrate(), baud);
    }

    void silentModemAnswersNothing() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.faults.modemSilent = true;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line);
        program.send("AT\r");
        program.send("ATDT5551234;ATA\r");
        QVERIFY(program.idle(10000).isEmpty());
        QVERIFY(!sim.carrier());
    }

    void pacedLineSendsAbout33msAByte() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.line300 = true;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        program.rx.clear();
        const qint64 sentAt = Clock::instance().nowMs();
        program.send(simtest::request(0x88, 0x30));
        QCOMPARE(program.take(22, 5000).size(), 22);
        const qint64 took = Clock::instance().nowMs() - sentAt;
        QVERIFY2(took >= 22 * 1000 / 30 - 5, qPrintable(QString::number(took)));
    }
};

QTEST_GUILESS_MAIN(TestModem)
#include "tst_modem.moc"
