// The session worker against a scripted panel that answers each frame exactly as a test wants:
// the cases a real panel rarely produces on demand (a refusal, a stray answer of another type, a
// request that names no block of the model) and the literal frames of the hang-up.
#include "base/clock.h"
#include "link/frame_codec.h"
#include "serial/memory_line.h"
#include "session/block_layout.h"
#include "session/session_frames.h"
#include "support/scripted_panel.h"
#include "support/session_host.h"

#include <QTest>
#include <QTimer>

using Outcome = TransferReport::Outcome;

namespace {

// A line, a scripted panel on it and a host with a session worker for a 10-zone customer.
struct Session {
    MemoryLine line;
    ScriptedPanel panel{line};
    SessionTestHost host{line.port()};

    explicit Session(int product = 1) {
        line.port()->SetOpened(true);
        host.customerProduct = product;
        host.Link().ConnectedProduct = quint8(product);
        for (int i = 0; i < panel.memory.size(); ++i)
            panel.memory[i] = char(0x10 + i % 0x60);
    }
    ~Session() {
        if (host.worker && !host.ended) {
            host.worker->DisconnectRequest = true;
            host.waitForEnd();
        }
    }
    OnLine& worker() { return *host.worker; }
    // Asks for a write of the given chunks (block -> chunk mask).
    void write(std::initializer_list<std::pair<int, quint8>> chunks) {
        quint32 blocks = 0;
        for (auto [b, c] : chunks) {
            worker().Chunks[b] = c;
            blocks |= 1u << b;
        }
        worker().Blocks = blocks;
        worker().WriteProgrammingRequest = true;
    }
    QList<QByteArray> requestsWith(quint8 command) const {
        QList<QByteArray> found;
        for (const QByteArray& r : panel.requests)
            if (r.size() == 8 && quint8(r[1]) == command)
                found.append(r);
        return found;
    }
};

} // namespace

class TestOnlineScripted : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(50); }

    // A read answer of another type, with a good checksum, is not the block: the read waits on
    // for the block's own answer and never reports a block it did not receive.
    void strayAnswerDoesNotEndABlockWait() {
        Session s;
        bool strayed = false;
        s.panel.script = [&](const QByteArray& request, const QByteArray& answer) -> QByteArray {
            if (request.size() == 8 && quint8(request[1]) == 0x88 && quint8(request[2]) == 0x50 && !strayed) {
                strayed = true;
                // A late acknowledgement first, the block itself a little later.
                QTimer::singleShot(Clock::instance().realInterval(400), &s.panel,
                                   [&s, answer] { s.line.sendToProgram(answer); });
                return ScriptedPanel::Answer(0xC7, {});
            }
            return answer;
        };
        s.host.startSession(0x7FFFF);
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QVERIFY(strayed);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));
        QCOMPARE(s.host.images10.ImagemAlarme.block(5), s.panel.memory.mid(80, 16));
    }

    // The write of a block whose read-back is interrupted by a stray answer still compares against
    // what the panel sends for that block, not against the previous ImagemAlarme.
    void strayAnswerDuringVerifyIsNotTheBlock() {
        Session s;
        s.host.startSession(0x7FFFF);
        QVERIFY(s.host.waitForReport());
        // ImagemPC = ImagemAlarme = panel for block 4, but the panel refuses to store chunk 1.
        s.host.images10.ImagemPC.setBytes(s.host.images10.ImagemAlarme.bytes());
        s.host.images10.ImagemPC.setByte(68, 0x77);
        s.host.images10.ImagemAlarme.setByte(68, 0x77); // a stale mirror that already "agrees"
        s.panel.refusedBytes = {68};
        int reads = 0;
        s.panel.script = [&](const QByteArray& request, const QByteArray& answer) -> QByteArray {
            if (request.size() == 8 && quint8(request[1]) == 0x88 && ++reads == 1)
                return ScriptedPanel::Answer(0x18, QByteArray(6, '\0')); // then silence: time-out
            return answer;
        };
        s.worker().VerifyLimit = 2;
        s.write({{4, 0x02}});
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::NotVerified));
        QCOMPARE(report->failedBlock, 4);
        QCOMPARE(report->done, 0u);
        QVERIFY(quint8(s.panel.memory[68]) != 0x77);
    }

    // 0xA9 to a chunk ends the write: no further chunk of that block, no read-back, no later block,
    // and a report that names the block.
    void refusalEndsTheWrite() {
        Session s;
        s.host.startSession(0x7FFFF);
        QVERIFY(s.host.waitForReport());
        for (int n : {20, 36, 100})
            s.host.images10.ImagemPC.setByte(n, 0x5A);
        s.panel.script = [&](const QByteArray& request, const QByteArray& answer) -> QByteArray {
            if (request.size() == 8 && quint8(request[1]) == 0xC4 && quint8(request[2]) == 0x20)
                return ScriptedPanel::Answer(0xA9, {});
            return answer;
        };
        s.panel.requests.clear();
        s.write({{1, 0x02}, {2, 0x03}, {6, 0x01}});
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Refused));
        QCOMPARE(report->failedBlock, 2);
        QCOMPARE(report->done, 0x2u);
        const QList<QByteArray> writes = s.requestsWith(0xC4);
        QCOMPARE(writes.size(), 2); // block 1 chunk 1, block 2 chunk 0 (refused)
        QCOMPARE(quint8(writes.last()[2]), quint8(0x20));
        QCOMPARE(s.requestsWith(0x88).size(), 1); // block 1's read-back only
        QVERIFY(!s.host.statusWindowOpen);
    }

    void chunkAnswerThatIsNotTheAcknowledgement_data() {
        QTest::addColumn<bool>("garbled"); // else 0xD5
        QTest::newRow("0xD5: sent again at once") << false;
        QTest::newRow("bad checksum: waited on until the time-out") << true;
    }
    // A chunk rejected with 0xD5 goes again at once, not by the time-out; an acknowledgement with a
    // bad checksum is counted and waited past, so the chunk goes again only when the time-out
    // passes. Both count one error.
    void chunkAnswerThatIsNotTheAcknowledgement() {
        QFETCH(bool, garbled);
        Session s;
        s.host.startSession(0x7FFFF);
        QVERIFY(s.host.waitForReport());
        s.host.images10.ImagemPC.setByte(68, 0x5A);
        QList<qint64> writeTimes;
        s.panel.script = [&](const QByteArray& request, const QByteArray& answer) -> QByteArray {
            if (request.size() != 8 || quint8(request[1]) != 0xC4)
                return answer;
            writeTimes.append(Clock::instance().nowMs());
            if (writeTimes.size() > 1)
                return answer;
            if (!garbled)
                return ScriptedPanel::Answer(0xD5, {});
            QByteArray bad = answer;
            bad[bad.size() - 1] = char(bad.back() ^ 0x5A);
            return bad;
        };
        const quint32 timeOutsBefore = s.worker().TimeOutCount.load();
        s.write({{4, 0x02}});
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));
        QCOMPARE(writeTimes.size(), 2);
        const qint64 interval = writeTimes[1] - writeTimes[0];
        const quint32 timeOuts = s.worker().TimeOutCount.load() - timeOutsBefore;
        if (garbled) {
            QVERIFY2(interval >= BlockLayout::ChunkAckTimeoutMs, qPrintable(QString::number(interval)));
            QCOMPARE(timeOuts, 1u);
        } else {
            QVERIFY2(interval < BlockLayout::ChunkAckTimeoutMs, qPrintable(QString::number(interval)));
            QCOMPARE(timeOuts, 0u);
        }
        QCOMPARE(report->errorCount, 1u);
        QCOMPARE(quint8(s.panel.memory[68]), quint8(0x5A));
    }

    // The efficiency figure counts only line errors: a block that reads back different and is
    // written again is no error. The frames planned are those of every chunk entry of the model,
    // whether or not the mask names its block.
    void efficiencyCountsOnlyLineErrors() {
        Session s;
        s.host.startSession(0x7FFFF);
        QVERIFY(s.host.waitForReport());
        s.host.images10.ImagemPC.setByte(68, 0x77);
        s.panel.refusedBytes = {68};
        s.worker().VerifyLimit = 2;
        s.worker().Chunks[6] = 0x03; // an entry of a block the mask leaves out
        s.write({{4, 0x02}});
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::NotVerified));
        QCOMPARE(report->framesPlanned, (2u + 1u) + (2u + 2u));
        QCOMPARE(report->errorCount, 0u);
        QCOMPARE(s.host.figures.last(), QStringLiteral("100,00%"));
    }

    // 0xA9 to a block read ends that block's read only: the other blocks are still read, and the
    // read reports the refused block and does not count as the whole programming.
    void refusalOfABlockReadSkipsThatBlock() {
        Session s;
        s.panel.script = [&](const QByteArray& request, const QByteArray& answer) -> QByteArray {
            if (request.size() == 8 && quint8(request[1]) == 0x88 && quint8(request[2]) == 0x20)
                return ScriptedPanel::Answer(0xA9, {});
            return answer;
        };
        s.host.startSession(0x7FFFF);
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        const quint32 all = BlockLayout::MaskUpTo(s.worker().LastBlock.load());
        QCOMPARE(int(report->outcome), int(Outcome::Refused));
        QCOMPARE(report->failedBlock, 2);
        QCOMPARE(report->done, all & ~(1u << 2));
        QCOMPARE(s.host.images10.ImagemAlarme.block(5), s.panel.memory.mid(80, 16));
        QVERIFY(s.host.images10.ImagemAlarme.blockIsBlank(2));
        QVERIFY(!s.host.Link().ProgrammingReceived.load());
        QVERIFY(!s.host.statusWindowOpen);
    }

    void productOfTheIdentificationWhenTheCustomerHasNone_data() {
        QTest::addColumn<std::optional<int>>("stored");
        QTest::newRow("PRODUTO null") << std::optional<int>();
        QTest::newRow("PRODUTO 0") << std::optional<int>(0);
    }
    // A customer whose PRODUTO is null (or "0") takes the product of the identification answer:
    // here the 5-zone model, so a 0x7FFFF read stops after block 15.
    void productOfTheIdentificationWhenTheCustomerHasNone() {
        QFETCH(std::optional<int>, stored);
        Session s;
        s.host.customerProduct = stored;
        s.host.Link().ConnectedProduct = 2;
        s.host.startSession(0x7FFFF);
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(s.worker().Product.load(), quint8(2));
        QCOMPARE(s.requestsWith(0x88).size(), 16);
        QVERIFY(s.requestsWith(0x70).isEmpty());
        QCOMPARE(s.host.images5.ImagemAlarme.block(15), s.panel.memory.mid(240, 16));
    }

    // A read whose mask names no block of the model (5-zone panel, page-1 blocks only) ends at once
    // instead of being served again forever.
    void readOfNoBlockOfTheModelEnds() {
        Session s(2);
        s.host.startSession(0);
        s.panel.requests.clear();
        s.worker().Blocks = 0x70000;
        s.worker().ReadProgrammingRequest = true;
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(report->requested, 0u);
        QVERIFY(s.requestsWith(0x88).isEmpty() && s.requestsWith(0x70).isEmpty());
        QVERIFY(!s.worker().ReadProgrammingRequest);
    }

    // A status poll whose wait is ended by DisconnectRequest does not keep the hang-up from its
    // turn: the panel stays silent, the operator answers the retry prompt No, the line is dropped.
    // Hanging up from the return button closes the windows, sends "ATH0\r" and three "AT\r", closes
    // the port and clears ImagemAlarme.
    void silentPanelAndNoEndTheSession() {
        Session s;
        s.host.startSession(0x7FFFF);
        QVERIFY(s.host.waitForReport());
        QVERIFY(!s.host.images10.ImagemAlarme.blockIsBlank(4));
        s.panel.script = [](const QByteArray&, const QByteArray&) { return QByteArray(); };
        s.worker().CloseWindowsOnDisconnect = true;
        s.worker().StatusRequest = true;
        QVERIFY(s.host.waitForEnd(60000));
        QCOMPARE(s.host.retryPrompts, 1);
        QVERIFY(s.host.windowsClosedForDisconnect);
        QCOMPARE(s.host.sent.mid(s.host.sent.size() - 4),
                 (QList<QByteArray>{"ATH0\r", "AT\r", "AT\r", "AT\r"}));
        QVERIFY(!s.line.programOpened());
        QVERIFY(s.host.images10.ImagemAlarme.blockIsBlank(4));
        QVERIFY(!s.host.onLineIndicator);
        QVERIFY(s.host.closeButtonEnabled);
    }
};

QTEST_GUILESS_MAIN(TestOnlineScripted)
#include "tst_online_scripted.moc"
