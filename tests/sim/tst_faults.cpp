#include "panel_simulator.h"
#include "sim/sim_test_util.h"
#include "sim_bytes.h"

#include <QSignalSpy>
#include <QTest>

using namespace simtest;

namespace {
quint8 xorFromType(const QByteArray& answer) {
    quint8 x = 0;
    for (int i = 3; i < answer.size(); ++i)
        x ^= quint8(answer[i]);
    return x;
}

struct RunResult {
    QStringList answers; // fault name (or "ok") and bytes of every answer, in order
    QByteArray line;     // everything the program received after the session opened
};

// 40 block reads against a panel that misbehaves at random on reads only.
RunResult seededRun(quint32 seed) {
    MemoryLine line;
    sim::PanelSimConfig config;
    config.seed = seed;
    const quint32 reads = 1u << int(sim::FrameKind::Read);
    config.faults.rules = {{reads, sim::Fault::Nak, 0, 0.2},
                           {reads, sim::Fault::Corrupt, 0, 0.2},
                           {reads, sim::Fault::Silence, 0, 0.2}};
    PanelSimulator sim(config);
    sim.attach(&line);
    ProgramEnd program(line, 300);
    RunResult result;
    if (!openSession(program))
        return result;
    program.rx.clear();
    const int before = int(sim.journal("answer").size());
    for (int i = 0; i < 40; ++i) {
        program.send(request(0x88, quint8((i % 16) * 16)));
        QElapsedTimer t;
        t.start();
        while (sim.journal("answer").size() < before + i + 1 && t.elapsed() < 2000)
            QTest::qWait(1);
    }
    result.line = program.idle(500);
    for (const sim::JournalEntry& e : sim.journal("answer").mid(before))
        result.answers << (e.fault.isEmpty() ? QStringLiteral("ok") : e.fault) + " " + sim::hex(e.bytes);
    return result;
}
} // namespace

// Misbehaviour on demand, the same every time for the same seed.
class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(100); }

    void seededFaultsReplayExactly() {
        const RunResult a = seededRun(7);
        const RunResult b = seededRun(7);
        const RunResult c = seededRun(8);
        QCOMPARE(a.answers.size(), 40);
        QCOMPARE(a.answers, b.answers);
        QCOMPARE(a.line, b.line);
        QVERIFY(a.answers != c.answers);

        QByteArray expectedLine;
        for (const char* kind : {"ok", "nak", "corrupt", "silence"}) {
            int seen = 0;
            for (const QString& answer : a.answers)
                seen += answer.startsWith(QString(kind) + " ") ? 1 : 0;
            QVERIFY2(seen > 0, kind); // each fault really happens
        }
        for (const QString& answer : a.answers) {
            const QByteArray bytes = sim::fromHex(answer.section(' ', 1));
            if (answer.startsWith("ok"))
                QVERIFY(bytes.size() == 22 && xorFromType(bytes) == 0);
            else if (answer.startsWith("corrupt"))
                QVERIFY(bytes.size() == 22 && xorFromType(bytes) != 0);
            else if (answer.startsWith("nak"))
                QCOMPARE(bytes, answer_bytes());
            else
                QVERIFY(bytes.isEmpty());
            expectedLine += bytes;
        }
        // The program received exactly what the journal says was sent.
        QCOMPARE(a.line, expectedLine);
    }

    void countedFaults_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("faulty"); // the answer while the rule fires; empty = silence
        QTest::addColumn<int>("goodLength");
        QTest::newRow("code refused three times")
            << "code"
            << "nak" << bytes("B3 28 12 34 56 78 00 93") << bytes("5A 52 56 D5 D5") << 5;
        QTest::newRow("identification unanswered")
            << "ident"
            << "silence" << bytes("B3 43 00 00 00 00 00 F0") << QByteArray() << 9;
        QTest::newRow("status corrupted")
            << "status"
            << "corrupt" << bytes("B8") << bytes("5A 52 56 18 00 00 00 DC 00 00 91") << 11;
        QTest::newRow("read refused")
            << "read"
            << "refuse" << bytes("B3 88 30 00 00 00 00 0B") << bytes("5A 52 56 A9 A9") << 22;
        QTest::newRow("command refused")
            << "command"
            << "nak" << bytes("B3 36 54 01 00 00 00 D0") << bytes("5A 52 56 D5 D5") << 11;
    }

    void countedFaults() {
        QFETCH(QString, kind);
        QFETCH(QString, fault);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, faulty);
        QFETCH(int, goodLength);
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        // Knobs apply while the call runs.
        sim::FaultRule rule;
        sim::FrameKind k;
        QVERIFY(sim::frameKindFromName(kind, &k));
        rule.kinds = 1u << int(k);
        rule.fault = fault == "nak"       ? sim::Fault::Nak
                     : fault == "silence" ? sim::Fault::Silence
                     : fault == "corrupt" ? sim::Fault::Corrupt
                                          : sim::Fault::Refuse;
        rule.times = 3;
        sim.faults().rules.append(rule);
        const sim::PanelStatus statusBefore = sim.status();
        for (int i = 0; i < 3; ++i) {
            program.rx.clear();
            program.send(frame);
            if (faulty.isEmpty())
                QVERIFY(program.idle(1000).isEmpty());
            else
                QCOMPARE(program.take(faulty.size()), faulty);
        }
        // A refused command changed nothing.
        QCOMPARE(sim.status().bytes(), statusBefore.bytes());
        const QByteArray good = program.ask(frame, goodLength);
        QCOMPARE(good.size(), goodLength);
        QCOMPARE(xorFromType(good), quint8(0));
        QVERIFY(good != faulty);
    }

    void refusedBytesAreAcknowledgedButNeverStored() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.faults.refusedBytes = {25};
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        const QByteArray before = sim.block(1);
        for (int attempt = 0; attempt < 2; ++attempt) {
            QCOMPARE(program.ask(bytes("B3 C4 18 01 02 03 04 6B"), 5), answer(0xC7));
            const QByteArray readBack = program.ask(bytes("B3 88 10 00 00 00 00 2B"), 22).mid(5, 16);
            QCOMPARE(readBack.mid(8, 4), bytes("01") + before.mid(9, 1) + bytes("03 04"));
        }
        QCOMPARE(sim.chunkWrites().size(), 2);
        QVERIFY(!sim.chunkWrites()[0].stored && !sim.chunkWrites()[1].stored);
    }

    void refusalEndsTheWriteWithoutStoring() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.faults.rules = {{1u << int(sim::FrameKind::Write), sim::Fault::Refuse, 1, 0}};
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        const QByteArray before = sim.image();
        QCOMPARE(program.ask(bytes("B3 C4 18 01 02 03 04 6B"), 5), bytes("5A 52 56 A9 A9"));
        QCOMPARE(sim.image(), before);
        QCOMPARE(program.ask(bytes("B3 C4 18 01 02 03 04 6B"), 5), answer(0xC7));
        QCOMPARE(sim.image().mid(24, 4), bytes("01 02 03 04"));
        QCOMPARE(sim.chunkWrites().size(), 2);
        QCOMPARE(sim.chunkWrites()[0].answer, quint8(0xA9));
        QVERIFY(!sim.chunkWrites()[0].stored);
        QVERIFY(sim.chunkWrites()[1].stored);
    }

    void lineDropsAfterNFrames() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.faults.dropAfterFrames = 4;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QSignalSpy finished(&sim, &PanelSimulator::callFinished);
        QVERIFY(openSession(program)); // three frames
        QCOMPARE(program.ask(bytes("B3 88 30 00 00 00 00 0B"), 22).left(4), bytes("5A 52 56 88"));
        QCOMPARE(program.waitFor("\r\n3\r\n"), QByteArray("\r\n3\r\n"));
        QVERIFY(!sim.carrier());
        QCOMPARE(finished.count(), 1);
        // Once only: the next call runs on.
        program.send("ATDT5551234;ATA\r");
        QVERIFY(!program.waitFor("\r\n1\r\n").isEmpty());
        for (int i = 0; i < 6; ++i)
            QCOMPARE(program.ask(bytes("B3 43 00 00 00 00 00 F0"), 9).size(), 9);
        QVERIFY(sim.carrier());
    }

private:
    static QByteArray answer_bytes() { return bytes("5A 52 56 D5 D5"); }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
