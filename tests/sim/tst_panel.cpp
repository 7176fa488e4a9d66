#include "panel_simulator.h"
#include "sim/sim_test_util.h"
#include "sim_bytes.h"

#include <QSignalSpy>
#include <QTest>

using namespace simtest;

namespace {
// 10-zone events of the system's own example (day 1, April, 10:32, arm by user 3, partition A).
const QByteArray kArmEvent = bytes("0A 40 A1 0D");
} // namespace

// The simulated panel's answers to the program's frames.
class TestPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(100); }

    void identification_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("panelCode");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("Orvan 10") << 1 << "1.4"
                                  << "1234" << bytes("5A 52 56 43 01 14 12 34 70");
        QTest::newRow("5-zone, code with 0") << 2 << "1.5"
                                             << "1034" << answer(0x43, bytes("02 15 1A 34"));
        QTest::newRow("all zeros") << 3 << "1.3"
                                   << "0000" << answer(0x43, bytes("03 13 AA AA"));
        QTest::newRow("minor above 9") << 4 << "1.10"
                                       << "9876" << answer(0x43, bytes("04 1A 98 76"));
    }

    void identification() {
        QFETCH(int, product);
        QFETCH(QString, version);
        QFETCH(QString, panelCode);
        QFETCH(QByteArray, expected);
        MemoryLine line;
        sim::PanelSimConfig config;
        config.product = product;
        config.versionByte = sim::versionByte(version);
        config.panelCode = panelCode;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        program.send("ATDT5551234;ATA\r");
        QVERIFY(!program.waitFor("\r\n1\r\n").isEmpty());
        // Identification is answered before any code is proved, as often as it is asked.
        QCOMPARE(program.ask(bytes("B3 43 00 00 00 00 00 F0"), 9), expected);
        QCOMPARE(program.ask(bytes("B3 43 00 00 00 00 00 F0"), 9), expected);
    }

    void codeCheckAndProceed_data() {
        QTest::addColumn<QByteArray>("codeFrame");
        QTest::addColumn<QByteArray>("codeAnswer");
        QTest::addColumn<QByteArray>("proceedAnswer");
        const QByteArray ack = bytes("5A 52 56 C7 C7");
        const QByteArray nak = bytes("5A 52 56 D5 D5");
        QTest::newRow("right codes") << bytes("B3 28 12 34 56 78 00 93") << ack << ack;
        QTest::newRow("reception: PC code twice") << bytes("B3 28 56 78 56 78 00 9B") << ack << ack;
        QTest::newRow("wrong PC code") << bytes("B3 28 12 34 56 79 00 92") << nak << nak;
        QTest::newRow("bad checksum") << bytes("B3 28 12 34 56 78 00 94") << nak << nak;
    }

    void codeCheckAndProceed() {
        QFETCH(QByteArray, codeFrame);
        QFETCH(QByteArray, codeAnswer);
        QFETCH(QByteArray, proceedAnswer);
        MemoryLine line;
        PanelSimulator sim; // panel code 1234, PC code 5678
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        program.send("ATDT5551234;ATA\r");
        QVERIFY(!program.waitFor("\r\n1\r\n").isEmpty());
        const QByteArray proceed = bytes("B3 50 00 00 00 00 00 E3");
        QCOMPARE(program.ask(proceed, 5), bytes("5A 52 56 D5 D5")); // no proceed before the codes
        QCOMPARE(program.ask(codeFrame, 5), codeAnswer);
        QSignalSpy started(&sim, &PanelSimulator::sessionStarted);
        QCOMPARE(program.ask(proceed, 5), proceedAnswer);
        QCOMPARE(started.count(), proceedAnswer == bytes("5A 52 56 C7 C7") ? 1 : 0);
        QCOMPARE(sim.sessionOpen(), started.count() == 1);
    }

    void sessionFramesNeedProceed() {
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        program.send("ATDT5551234;ATA\r");
        QVERIFY(!program.waitFor("\r\n1\r\n").isEmpty());
        for (const QByteArray& f :
             {bytes("B3 88 30 00 00 00 00 0B"), bytes("B3 C4 18 01 02 03 04 6B"),
              bytes("B3 E2 05 00 00 00 00 54"), bytes("B8"), bytes("B3 F1 00 00 00 00 00 42")})
            QCOMPARE(program.ask(f, 5), bytes("5A 52 56 D5 D5"));
        QVERIFY(sim.chunkWrites().size() == 1 && !sim.chunkWrites()[0].stored);
    }

    void blockReadsOnBothPages() {
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        const struct {
            const char* frame;
            int block;
        } reads[] = {
            {"B3 88 30 00 00 00 00 0B", 3},
            {"B3 88 F0 00 00 00 00 CB", 15},
            {"B3 70 20 00 00 00 00 E3", 16},
            {"B3 70 60 00 00 00 00 A3", 18},
        };
        for (const auto& r : reads) {
            const QByteArray frame = bytes(r.frame);
            const QByteArray expected = answer(quint8(frame[1]), frame.mid(2, 1) + sim.block(r.block));
            QCOMPARE(program.ask(frame, 22), expected);
        }
        // The whole image, page 0 then page 1, the way the program reads it.
        QByteArray image;
        for (int b = 0; b < 19; ++b) {
            const QByteArray frame =
                b < 16 ? request(0x88, quint8(b * 16)) : request(0x70, quint8(0x20 * (b - 15)));
            const QByteArray a = program.ask(frame, 22);
            QCOMPARE(a.left(5), QByteArray("ZRV") + frame.mid(1, 2));
            image += a.mid(5, 16);
        }
        QCOMPARE(image, sim.image());
        QCOMPARE(image.size(), 304);
        QCOMPARE(image.mid(112, 4), bytes("12 34 56 78"));
    }

    void fiveZonePanelHasNoSecondPage() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.product = 2;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        QCOMPARE(program.ask(bytes("B3 70 20 00 00 00 00 E3"), 5), bytes("5A 52 56 A9 A9"));
        QCOMPARE(program.ask(bytes("B3 A5 44 00 00 00 00 52"), 5), bytes("5A 52 56 A9 A9"));
        QCOMPARE(program.ask(bytes("B3 88 F0 00 00 00 00 CB"), 22),
                 answer(0x88, bytes("F0") + sim.block(15)));
        QCOMPARE(sim.image().size(), 256);
    }

    void chunkWritesStoreTheirBytes() {
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        const QByteArray before = sim.image();
        const QByteArray ack = bytes("5A 52 56 C7 C7");
        QCOMPARE(program.ask(bytes("B3 C4 18 01 02 03 04 6B"), 5), ack);            // block 1, chunk 2
        QCOMPARE(program.ask(bytes("B3 A5 44 00 00 00 00 52"), 5), ack);            // block 17, chunk 1
        QCOMPARE(program.ask(request(0xA5, 0x6C, 0xDE, 0xAD, 0xBE, 0xEF), 5), ack); // block 18, chunk 3

        QByteArray expected = before;
        expected.replace(24, 4, bytes("01 02 03 04"));
        expected.replace(276, 4, bytes("00 00 00 00"));
        expected.replace(300, 4, bytes("DE AD BE EF"));
        QCOMPARE(sim.image(), expected);
        // Read back as the verify read does.
        QCOMPARE(program.ask(bytes("B3 88 10 00 00 00 00 2B"), 22),
                 answer(0x88, bytes("10") + expected.mid(16, 16)));

        const QVector<sim::ChunkWrite>& w = sim.chunkWrites();
        QCOMPARE(w.size(), 3);
        const int blocks[] = {1, 17, 18}, chunks[] = {2, 1, 3}, pages[] = {0, 1, 1},
                  addresses[] = {0x18, 0x44, 0x6C};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(w[i].block, blocks[i]);
            QCOMPARE(w[i].chunk, chunks[i]);
            QCOMPARE(w[i].page, pages[i]);
            QCOMPARE(w[i].address, addresses[i]);
            QCOMPARE(w[i].answer, quint8(0xC7));
            QVERIFY(w[i].stored);
        }
        QCOMPARE(w[0].data, bytes("01 02 03 04"));
    }

    void panelKeepsBytesOfItsOwn() {
        // The 10-zone panel keeps image bytes 41..47 to itself (the program never compares them);
        // the 5-zone panel reports bits 5..7 of the zone byte (image byte 48) always set.
        MemoryLine line;
        PanelSimulator ten;
        ten.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        const QByteArray before = ten.block(2);
        QCOMPARE(program.ask(request(0xC4, 40, 0x11, 0x22, 0x33, 0x44), 5), answer(0xC7));
        QCOMPARE(ten.block(2).mid(8, 4), QByteArray(1, char(0x11)) + before.mid(9, 3));
        QVERIFY(!ten.chunkWrites().last().stored);

        MemoryLine line5;
        sim::PanelSimConfig config;
        config.product = 2;
        PanelSimulator five(config);
        five.attach(&line5);
        ProgramEnd program5(line5, 300);
        QVERIFY(openSession(program5));
        QCOMPARE(program5.ask(request(0xC4, 48, 0x1F, 0x00, 0x00, 0x00), 5), answer(0xC7));
        QCOMPARE(program5.ask(request(0x88, 48), 22).mid(5, 1), bytes("FF"));
    }

    void eventRecordsEndWithAnAllFFRecord() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.events = kArmEvent.repeated(5);
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        const QByteArray ff16(16, char(0xFF));
        QCOMPARE(program.ask(bytes("B3 E2 00 00 00 00 00 51"), 22),
                 answer(0xE2, bytes("00") + kArmEvent.repeated(4)));
        QCOMPARE(program.ask(request(0xE2, 1), 22),
                 answer(0xE2, bytes("01") + kArmEvent + QByteArray(12, char(0xFF))));
        QCOMPARE(program.ask(request(0xE2, 2), 22), answer(0xE2, bytes("02") + ff16));
        QCOMPARE(program.ask(bytes("B3 E2 05 00 00 00 00 54"), 22), answer(0xE2, bytes("05") + ff16));
        // Reading does not empty the log.
        QCOMPARE(sim.eventRecord(0), kArmEvent.repeated(4));

        sim.setEvents({});
        QCOMPARE(program.ask(bytes("B3 E2 00 00 00 00 00 51"), 22), answer(0xE2, bytes("00") + ff16));
    }

    void generatedLogFillsWholeRecords() {
        // 9 events: two full records, one with a single event, then the end record.
        const QByteArray log = sim::generatedEvents(sim::Family::TenZone, 9, 3);
        QCOMPARE(log.size(), 36);
        QCOMPARE(sim::generatedEvents(sim::Family::TenZone, 9, 3), log);
        QCOMPARE(sim::logRecord(log, 2), log.mid(32, 4) + QByteArray(12, char(0xFF)));
        QCOMPARE(sim::logRecord(log, 3), QByteArray(16, char(0xFF)));
        for (int i = 0; i < 9; ++i) {
            const sim::SimEvent e = sim::unpackEvent(sim::Family::TenZone, log.mid(4 * i, 4));
            QVERIFY(e.day >= 1 && e.day <= 28 && e.month >= 1 && e.month <= 12 && e.hour < 24 &&
                    e.minute < 60);
            QVERIFY(log.mid(4 * i, 4) != bytes("FF FF FF FF"));
        }
        // The log never outgrows what the panel keeps.
        QCOMPARE(sim::generatedEvents(sim::Family::FiveZone, 1000, 1).size(), 32 * 16);
    }

    void eventPacking_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QByteArray>("packed");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("partitionA");
        QTest::newRow("10-zone arm, user 3")
            << 1 << bytes("0A 40 A1 0D") << 1 << 4 << 10 << 32 << 1 << 6 << true;
        QTest::newRow("5-zone disarm, master")
            << 2 << bytes("61 2A 20 40") << 1 << 4 << 5 << 19 << 2 << 0 << false;
        QTest::newRow("10-zone trouble, 23:59 Dec 31")
            << 1 << bytes("FE 77 7F 08") << 31 << 12 << 23 << 59 << 15 << 4 << false;
    }

    void eventPacking() {
        QFETCH(int, product);
        QFETCH(QByteArray, packed);
        sim::SimEvent e;
        QFETCH(int, day);
        QFETCH(int, month);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, code);
        QFETCH(int, value);
        QFETCH(bool, partitionA);
        e.day = day;
        e.month = month;
        e.hour = hour;
        e.minute = minute;
        e.code = code;
        e.value = value;
        e.partitionA = partitionA;
        const sim::Family family = sim::familyOf(product);
        QCOMPARE(sim::packEvent(family, e), packed);
        const sim::SimEvent back = sim::unpackEvent(family, packed);
        QCOMPARE(back.day, day);
        QCOMPARE(back.month, month);
        QCOMPARE(back.hour, hour);
        QCOMPARE(back.minute, minute);
        QCOMPARE(back.code, code);
        QCOMPARE(back.value, value);
        QCOMPARE(back.partitionA, partitionA);
    }

    void statusAndCommands_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("status"); // s0..s5 after the command; empty = refused (D5)
        // Starting state: zones 1 and 3 open, zone 9 open, partition B armed, PGM 1 on, mains
        // trouble, battery 215, zone 3 bypassed.
        QTest::newRow("arm A") << 1 << bytes("B3 36 54 01 00 00 00 D0") << bytes("05 43 01 D7 01 04");
        QTest::newRow("disarm B") << 1 << request(0x36, 0x4A, 2) << bytes("05 40 01 D7 01 04");
        QTest::newRow("PGM 3 on") << 1 << bytes("B3 36 A7 03 00 00 00 21") << bytes("05 42 01 D7 05 04");
        QTest::newRow("PGM 1 off") << 1 << request(0x36, 0x22, 1) << bytes("05 42 01 D7 00 04");
        QTest::newRow("bypass 2 and 4") << 1 << request(0x36, 0x04, 0x0A) << bytes("05 42 01 D7 01 0A");
        QTest::newRow("bypass nothing") << 1 << request(0x36, 0x04, 0x00) << bytes("05 42 01 D7 01 00");
        QTest::newRow("5-zone bypass beyond zone 5")
            << 2 << request(0x36, 0x04, 0xF1) << bytes("05 42 01 D7 01 11");
        QTest::newRow("5-zone has no partition B") << 2 << request(0x36, 0x54, 2) << QByteArray();
        QTest::newRow("PGM 5") << 1 << request(0x36, 0xA7, 5) << QByteArray();
        QTest::newRow("unknown command") << 1 << request(0x36, 0x99, 1) << QByteArray();
    }

    void statusAndCommands() {
        QFETCH(int, product);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, status);
        MemoryLine line;
        sim::PanelSimConfig config;
        config.product = product;
        config.status.setZoneOpen(1, true);
        config.status.setZoneOpen(3, true);
        config.status.setZoneOpen(9, true);
        config.status.setArmed(2, true);
        config.status.setPgmOn(1, true);
        config.status.setTrouble(sim::Trouble::Mains, true);
        config.status.setBattery(215);
        config.status.setBypassed(3, true);
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        QCOMPARE(program.ask(bytes("B8"), 11), answer(0x18, bytes("05 42 01 D7 01 04")));
        if (status.isEmpty()) {
            QCOMPARE(program.ask(command, 5), bytes("5A 52 56 D5 D5"));
            QCOMPARE(sim.status().bytes(), bytes("05 42 01 D7 01 04"));
        } else {
            QCOMPARE(program.ask(command, 11), answer(0x18, status));
            QCOMPARE(program.ask(bytes("B8"), 11), answer(0x18, status));
        }
    }

    void dateAndTime_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QByteArray>("clockAnswer");
        QTest::addColumn<QByteArray>("writeDate");
        QTest::addColumn<QByteArray>("writeTime");
        // 10-zone: BCD, the system's own examples; 5-zone: binary.
        QTest::newRow("10-zone") << 1 << bytes("30 15 09 25 12 07") << bytes("B3 17 25 12 07 00 00 94")
                                 << bytes("B3 48 30 15 09 00 00 D7");
        QTest::newRow("5-zone") << 2 << bytes("1E 0F 09 19 0C 07") << request(0x17, 25, 12, 7)
                                << request(0x48, 30, 15, 9);
    }

    void dateAndTime() {
        QFETCH(int, product);
        QFETCH(QByteArray, clockAnswer);
        QFETCH(QByteArray, writeDate);
        QFETCH(QByteArray, writeTime);
        const QDateTime christmas(QDate(2007, 12, 25), QTime(9, 15, 30));
        MemoryLine line;
        sim::PanelSimConfig config;
        config.product = product;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));

        sim.setPanelClock(christmas);
        QCOMPARE(program.ask(bytes("B3 F1 00 00 00 00 00 42"), 11), answer(0xF1, clockAnswer));

        sim.setPanelClock(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
        QCOMPARE(program.ask(writeDate, 5), answer(0xC7));
        QCOMPARE(sim.panelClock().date(), christmas.date());
        const qint64 sentAt = Clock::instance().nowMs();
        QCOMPARE(program.ask(writeTime, 5), answer(0xC7));
        const qint64 since = sim.panelClock().toMSecsSinceEpoch() - christmas.toMSecsSinceEpoch();
        QVERIFY2(since >= 0 && since <= Clock::instance().nowMs() - sentAt,
                 qPrintable(QString::number(since)));
        // The clock runs on.
        program.idle(5000);
        QVERIFY(sim.panelClock().secsTo(christmas) <= -4);

        // Impossible dates and times are refused and change nothing.
        const QDate kept = sim.panelClock().date();
        const bool bcd = product != 2;
        QCOMPARE(program.ask(request(0x17, bcd ? 0x30 : 30, bcd ? 0x02 : 2, bcd ? 0x08 : 8), 5),
                 answer(0xD5));
        QCOMPARE(program.ask(request(0x48, 0, 0, bcd ? 0x24 : 24), 5), answer(0xD5));
        if (bcd)
            QCOMPARE(program.ask(request(0x17, 0x1A, 0x01, 0x08), 5), answer(0xD5)); // not BCD
        QCOMPARE(sim.panelClock().date(), kept);
    }

    void callbackHangsUpAndCallsBack() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.panel.callbackDelayMs = 5000;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        program.send("ATDT5551234;ATA\r");
        QVERIFY(!program.waitFor("\r\n1\r\n").isEmpty());
        QCOMPARE(program.ask(bytes("B3 56 00 00 00 00 00 E5"), 5), answer(0xD5)); // codes first
        QCOMPARE(program.ask(bytes("B3 28 12 34 56 78 00 93"), 5), answer(0xC7));

        QSignalSpy finished(&sim, &PanelSimulator::callFinished);
        QCOMPARE(program.ask(bytes("B3 56 00 00 00 00 00 E5"), 5), bytes("5A 52 56 56 56"));
        // The panel hangs up: NO CARRIER while the port is still open; the modem takes commands.
        QCOMPARE(program.waitFor("\r\n3\r\n"), QByteArray("\r\n3\r\n"));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        program.send("AT\r");
        QCOMPARE(program.waitFor("\r\n0\r\n"), QByteArray("\r\n0\r\n"));

        // It calls back: RING, answered by the program, and the same exchange as the called side.
        const qint64 hungUpAt = Clock::instance().nowMs();
        QCOMPARE(program.waitFor("\r\n2\r\n"), QByteArray("\r\n2\r\n"));
        QVERIFY(Clock::instance().nowMs() - hungUpAt >= 4000);
        program.send("ATA\r");
        QCOMPARE(program.waitFor("\r\n1\r\n"), QByteArray("\r\n1\r\n"));
        QCOMPARE(program.ask(bytes("B3 43 00 00 00 00 00 F0"), 9), bytes("5A 52 56 43 01 14 12 34 70"));
        QCOMPARE(program.ask(bytes("B3 28 12 34 56 78 00 93"), 5), answer(0xC7));
        // On its own call the panel does not agree to call back again.
        QCOMPARE(program.ask(bytes("B3 56 00 00 00 00 00 E5"), 5), answer(0xD5));
        QCOMPARE(program.ask(bytes("B3 50 00 00 00 00 00 E3"), 5), answer(0xC7));
        QVERIFY(sim.sessionOpen());
    }

    void panelThatAsksForCallbackItself() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.panel.callbackOnCodes = true;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        program.send("ATDT5551234;ATA\r");
        QVERIFY(!program.waitFor("\r\n1\r\n").isEmpty());
        QCOMPARE(program.ask(bytes("B3 28 12 34 56 78 00 93"), 5), answer(0x56));
        // The program closes its port at once; the panel still calls back.
        program.close();
        QTRY_VERIFY(!sim.carrier());
        program.open();
        QCOMPARE(program.waitFor("\r\n2\r\n", 5000), QByteArray("\r\n2\r\n"));
    }

    void panelCallsInWithItsLog() {
        // The reception side: the panel calls, the program answers and proves the PC code twice;
        // the panel answers proceed with its first record and then serves the rest.
        MemoryLine line;
        sim::PanelSimConfig config;
        config.panel.logAfterProceed = true;
        config.panel.callInAfterMs = 6000;
        config.events = sim::generatedEvents(sim::Family::TenZone, 6, 9);
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0S0=0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        QCOMPARE(program.waitFor("\r\n2\r\n"), QByteArray("\r\n2\r\n"));
        QCOMPARE(program.waitFor("\r\n2\r\n"), QByteArray("\r\n2\r\n"));
        QCOMPARE(program.waitFor("\r\n2\r\n"), QByteArray("\r\n2\r\n"));
        program.send("ATA\r");
        QCOMPARE(program.waitFor("\r\n1\r\n"), QByteArray("\r\n1\r\n"));
        QCOMPARE(program.ask(bytes("B3 43 00 00 00 00 00 F0"), 9), bytes("5A 52 56 43 01 14 12 34 70"));
        QCOMPARE(program.ask(bytes("B3 28 56 78 56 78 00 9B"), 5), answer(0xC7));
        QCOMPARE(program.ask(bytes("B3 50 00 00 00 00 00 E3"), 22),
                 answer(0xE2, bytes("00") + config.events.left(16)));
        QByteArray log;
        for (int r = 0;; ++r) {
            const QByteArray a = program.ask(request(0xE2, quint8(r)), 22);
            QCOMPARE(a.mid(4, 1), QByteArray(1, char(r)));
            if (a.mid(5, 16) == QByteArray(16, char(0xFF)))
                break;
            log += a.mid(5, 16);
            QVERIFY(r < 5);
        }
        QCOMPARE(log.left(24), config.events);
        program.close();
        QTRY_VERIFY(!sim.carrier());
    }

    void unansweredCallIsRetriedThenGivenUp() {
        MemoryLine line;
        sim::PanelSimConfig config;
        config.panel.callRings = 2;
        config.panel.callAttempts = 2;
        config.panel.callRetryMs = 10000;
        PanelSimulator sim(config);
        sim.attach(&line);
        ProgramEnd program(line, 300);
        program.send("ATE0V0\r");
        QVERIFY(!program.waitFor("\r\n0\r\n").isEmpty());
        auto gaveUp = [&sim] {
            for (const sim::JournalEntry& e : sim.journal("event")) {
                if (e.text == "the panel gives up calling")
                    return true;
            }
            return false;
        };
        sim.callIn();
        QTRY_VERIFY_WITH_TIMEOUT(gaveUp(), 5000);
        QCOMPARE(program.idle(10000), QByteArray("\r\n2\r\n").repeated(4));
        int calls = 0;
        for (const sim::JournalEntry& e : sim.journal("event"))
            calls += e.text.startsWith("the panel calls the PC") ? 1 : 0;
        QCOMPARE(calls, 2);
    }

    void bytesBetweenFramesAreIgnored() {
        MemoryLine line;
        PanelSimulator sim;
        sim.attach(&line);
        ProgramEnd program(line, 300);
        QVERIFY(openSession(program));
        QCOMPARE(program.ask("ATH0\r\x01\x02" + bytes("B3 88 30 00 00 00 00 0B"), 22),
                 answer(0x88, bytes("30") + sim.block(3)));
        // A frame cut short and left for a while is dropped; the next frame is read whole.
        program.send(bytes("B3 88 30"));
        program.idle(1500);
        QCOMPARE(program.ask(bytes("B3 88 30 00 00 00 00 0B"), 22), answer(0x88, bytes("30") + sim.block(3)));
    }
};

QTEST_GUILESS_MAIN(TestPanel)
#include "tst_panel.moc"
