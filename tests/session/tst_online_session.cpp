// The session worker against the simulated panel and modem on the scaled clock: reading the whole
// programming of both families, writes that meet a rejected chunk or a byte the panel will not
// keep, a panel that stops answering, the PGM change procedure and the idle status poll.
#include "base/clock.h"
#include "programming/image_layout.h"
#include "programming/panel_state.h"
#include "session/panel_commands.h"
#include "session/session_frames.h"
#include "support/sim_session.h"

#include <QScopeGuard>
#include <QSet>
#include <QTest>

using Outcome = TransferReport::Outcome;

namespace {

sim::PanelSimConfig config(int product) {
    sim::PanelSimConfig c;
    c.product = product;
    c.image = sim::defaultImage(c.family());
    return c;
}

// Frames of one kind the panel took, in order.
QVector<sim::JournalEntry> frames(const PanelSimulator& sim, const QString& kind) {
    QVector<sim::JournalEntry> found;
    for (const sim::JournalEntry& e : sim.journal())
        if (e.dir == "in" && e.kind == "frame" && e.text.startsWith(kind, Qt::CaseInsensitive))
            found.append(e);
    return found;
}

std::array<quint8, 19> marks(std::initializer_list<std::pair<int, quint8>> chunks, quint32* blocks) {
    std::array<quint8, 19> m{};
    *blocks = 0;
    for (auto [b, c] : chunks) {
        m[b] = c;
        *blocks |= 1u << b;
    }
    return m;
}

} // namespace

class TestOnlineSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(50); }

    void readsTheWholeProgramming_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<int>("blocks");
        QTest::newRow("10-zone") << 1 << 19;
        QTest::newRow("5-zone") << 2 << 16;
    }
    // Both families: every block of the model is read (a 0x7FFFF request on the 5-zone model reads
    // blocks 0..15 only), ImagemAlarme mirrors the panel, and a disabled zone comes back without
    // any other attribute.
    void readsTheWholeProgramming() {
        QFETCH(int, product);
        QFETCH(int, blocks);
        sim::PanelSimConfig c = config(product);
        c.image[48] = char(0xFB); // zone 3 disabled, its attribute bits still set in the panel
        for (int n = 49; n <= 59; ++n)
            c.image[n] = char(quint8(c.image[n]) | 0x04);
        SimSession s(c);
        QVERIFY(s.connect());
        s.host.customerProduct = product;
        s.host.startSession(0x7FFFF);
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));
        QCOMPARE(report->done, (1u << blocks) - 1);
        QCOMPARE(frames(s.sim, "read").size(), blocks);
        QVERIFY(s.host.Link().ProgrammingReceived.load());
        QCOMPARE(s.host.figures.last(), QStringLiteral("100,00%"));

        const QByteArray alarme = s.host.images(product).ImagemAlarme.bytes();
        QCOMPARE(alarme.size(), c.image.size());
        for (int n = 0; n < alarme.size(); ++n) {
            if (n >= 49 && n <= 59 && product == 2 && n == 50)
                continue; // the 5-zone model has no partition byte
            if (n >= 49 && n <= 59)
                QVERIFY2(!(quint8(alarme[n]) & 0x04), qPrintable(QString::number(n)));
            else
                QCOMPARE(quint8(alarme[n]), quint8(c.image[n]));
        }
        QVERIFY(s.disconnect());
    }

    // A rejected chunk is sent again with the same bytes; the block is read back once, the panel
    // ends up holding the chunks and the efficiency figure shows the error.
    void rejectedChunkIsRepeated() {
        sim::PanelSimConfig c = config(1);
        sim::FaultRule nak;
        nak.kinds = 1u << int(sim::FrameKind::Write);
        nak.fault = sim::Fault::Nak;
        nak.times = 1;
        c.faults.rules = {nak};
        SimSession s(c);
        QVERIFY(s.connectAndRead());
        ProgrammingImage& pc = s.host.images10.ImagemPC;
        pc.setBytes(s.host.images10.ImagemAlarme.bytes());
        pc.setByte(130, 0x12); // block 8, chunk 0
        pc.setByte(141, 0x34); // block 8, chunk 3
        quint32 blocks = 0;
        const auto m = marks({{8, 0x09}}, &blocks);
        const int readsBefore = frames(s.sim, "read").size();
        s.requestWrite(blocks, m);
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));
        QCOMPARE(report->done, 1u << 8);

        const QVector<sim::ChunkWrite> writes = s.sim.chunkWrites();
        QCOMPARE(writes.size(), 3);
        QCOMPARE(writes[0].answer, quint8(0xD5));
        QCOMPARE(writes[1].data, writes[0].data);
        QCOMPARE(writes[1].chunk, 0);
        QCOMPARE(writes[2].chunk, 3);
        QCOMPARE(frames(s.sim, "read").size(), readsBefore + 1);
        QCOMPARE(s.sim.block(8), pc.block(8));
        QCOMPARE(report->errorCount, 1u);
        QCOMPARE(s.host.figures.last(), QStringLiteral("83,33%")); // (4 + 1) / (4 + 2)
    }

    void sectionSendChangesOnlyTheSection_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<int>("section");
        QTest::addColumn<bool>("readBefore"); // the session read the programming before the send
        QTest::newRow("Tempos, 10-zone") << 1 << int(ProgSection::Tempos) << true;
        QTest::newRow("Comunic., 10-zone, nothing read yet") << 1 << int(ProgSection::Comunicacao) << false;
        QTest::newRow("Zonas, 5-zone") << 2 << int(ProgSection::Zonas) << true;
    }
    // A section's send, marked as the editor marks it, against a panel whose every byte differs
    // from the PC's image: the panel ends with the PC's bytes in the section and its own bytes
    // everywhere else, chunks shared with other sections included, and the panel's copy of every
    // block written is what the panel holds. A block whose panel copy was never read is read first.
    void sectionSendChangesOnlyTheSection() {
        QFETCH(int, product);
        QFETCH(int, section);
        QFETCH(bool, readBefore);
        SimSession s(config(product));
        const QByteArray panelBefore = s.sim.image();
        if (readBefore) {
            QVERIFY(s.connectAndRead());
        } else {
            QVERIFY(s.connect());
            s.host.customerProduct = product;
            s.host.startSession(0);
            // Requests are raised once the worker has started (its start clears them).
            QVERIFY(SessionTestHost::waitFor([&] { return s.host.onLineIndicator; }));
        }
        ProgrammingImages& images = s.host.images(product);
        QByteArray pc = panelBefore;
        for (char& b : pc)
            b = char(b ^ 0x5A);
        images.ImagemPC.setBytes(pc);

        ChunkMarks marks;
        QVERIFY(images.markSection(ProgSection(section), marks));
        s.requestWrite(marks);
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));

        QSet<int> sectionBytes;
        for (const ByteRange& r : SectionSendRanges(ProgSection(section), product))
            for (int n = r.first; n <= r.last; ++n)
                sectionBytes.insert(n);
        const QByteArray panelAfter = s.sim.image();
        for (int n = 0; n < panelAfter.size(); ++n) {
            const quint8 expected =
                sectionBytes.contains(n) ? images.ImagemPC.byte(n) : quint8(panelBefore[n]);
            QVERIFY2(quint8(panelAfter[n]) == expected, qPrintable(QStringLiteral("byte %1: %2, expected %3")
                                                                       .arg(n)
                                                                       .arg(quint8(panelAfter[n]), 2, 16)
                                                                       .arg(expected, 2, 16)));
        }
        QVERIFY(report->done != 0);
        for (int b = 0; b < images.ImagemPC.blockCount(); ++b) {
            if (report->done & (1u << b))
                QCOMPARE(images.ImagemAlarme.block(b), panelAfter.mid(b * 16, 16));
        }
        // Only chunks holding bytes of the section were written.
        for (const sim::ChunkWrite& w : s.sim.chunkWrites())
            QVERIFY2(marks.Content.chunksOf(w.block) & (1u << w.chunk), qPrintable(QString::number(w.block)));
    }

    // The 5-zone panel keeps bits 5..7 of its zone byte set: a write of that byte verifies once the
    // panel's bits are taken into ImagemPC.
    void fiveZoneZoneByteTakesThePanelsBits() {
        SimSession s(config(2));
        QVERIFY(s.connectAndRead());
        ProgrammingImage& pc = s.host.images5.ImagemPC;
        pc.setBytes(s.host.images5.ImagemAlarme.bytes());
        pc.setByte(48, 0x1B); // zone 3 disabled
        quint32 blocks = 0;
        s.requestWrite(blocks, marks({{3, 0x01}}, &blocks));
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));
        QCOMPARE(pc.byte(48), quint8(0xFB));
        QCOMPARE(quint8(s.sim.image()[48]), quint8(0xFB));
        QCOMPARE(s.sim.chunkWrites().size(), 1);
    }

    // A byte the panel will not keep: the block is written again and again (rounds that are not
    // line errors: the efficiency figure stays at 100%), the operator presses "Cancelar", and the
    // write is reported as cancelled with only the blocks the panel holds counted as done.
    void writeThePanelWillNotKeepEndsOnCancel() {
        sim::PanelSimConfig c = config(1);
        c.faults.refusedBytes = {70};
        SimSession s(c);
        QVERIFY(s.connectAndRead());
        ProgrammingImage& pc = s.host.images10.ImagemPC;
        pc.setBytes(s.host.images10.ImagemAlarme.bytes());
        pc.setByte(20, 0x99);  // block 1: taken
        pc.setByte(70, 0x99);  // block 4: refused
        pc.setByte(100, 0x99); // block 6: never reached
        s.host.onEfficiency = [&](const QString&) {
            int block4Writes = 0;
            for (const sim::ChunkWrite& w : s.sim.chunkWrites())
                block4Writes += w.block == 4;
            if (block4Writes >= 3)
                s.host.Link().CancelRequested = true;
        };
        quint32 blocks = 0;
        s.requestWrite(blocks, marks({{1, 0x02}, {4, 0x02}, {6, 0x01}}, &blocks));
        const auto report = s.host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Cancelled));
        QCOMPARE(report->done, 1u << 1);
        QCOMPARE(report->errorCount, 0u);
        QCOMPARE(s.host.figures.last(), QStringLiteral("100,00%"));
        QCOMPARE(quint8(s.sim.image()[20]), quint8(0x99));
        QVERIFY(quint8(s.sim.image()[70]) != 0x99);
        for (const sim::ChunkWrite& w : s.sim.chunkWrites())
            QVERIFY(w.block != 6);
        QVERIFY(!s.host.statusWindowOpen);
        QVERIFY(!s.host.ended); // the session goes on
    }

    // Ten time-outs in a run bring the retry prompt; Yes lets ten more pass before it comes back;
    // No hangs up.
    void tenTimeOutsAskTheOperator() {
        SimSession s(config(1));
        QVERIFY(s.connectAndRead());
        QVERIFY(SessionTestHost::waitFor([&] { return !s.worker().StatusRequest; }));
        sim::FaultRule silence;
        silence.fault = sim::Fault::Silence;
        silence.probability = 1.0;
        s.sim.faults().rules = {silence};
        QList<int> requestsAtPrompt;
        s.host.answerRetryPrompt = [&] {
            requestsAtPrompt.append(frames(s.sim, "status").size());
            return requestsAtPrompt.size() == 1;
        };
        const int before = frames(s.sim, "status").size();
        s.worker().StatusRequest = true;
        QVERIFY(s.host.waitForEnd(60000));
        QCOMPARE(s.host.retryPrompts, 2);
        // The first request and its nine repeats went unanswered before the first prompt, ten
        // more repeats before the second.
        QCOMPARE(requestsAtPrompt[0] - before, 10);
        QCOMPARE(requestsAtPrompt[1] - requestsAtPrompt[0], 10);
        QVERIFY(!s.line.programOpened());
        QVERIFY(!s.sim.carrier());
    }

    // A mode change of PGM 2 while PGM 2 is on: the panel first gets 0x41 as PGM 2's mode, then
    // the command PGM off with parameter 2, and once the status shows PGM 2 off, the operator's
    // mode byte.
    void pgmChangeSwitchesTheOutputOffFirst() {
        sim::PanelSimConfig c = config(1);
        c.status.setPgmOn(2, true);
        SimSession s(c);
        QVERIFY(s.connectAndRead());
        ProgrammingImage& pc = s.host.images10.ImagemPC;
        pc.setBytes(s.host.images10.ImagemAlarme.bytes());
        QCOMPARE(pc.byte(27), quint8(0x51));
        pc.setByte(27, 0x00);
        quint32 blocks = 0;
        const auto m = marks({{1, 0x04}}, &blocks);
        for (int b = 0; b < 19; ++b)
            s.worker().Chunks[b] = m[b];
        s.worker().Blocks = blocks;
        s.worker().ChangedPgms = 0x02;
        s.worker().CommandCode = SessionFrames::CommandPgmOff;
        s.worker().PgmChangeRequest = true;

        QVERIFY(SessionTestHost::waitFor([&] {
            return s.host.reports.size() >= 3 && !s.worker().PgmChangeRequest &&
                   !s.worker().WriteProgrammingRequest && !s.worker().PgmSwitchOffPhase;
        }));
        // Order of what reached the panel: chunk with 0x41, PGM off 2, chunk with the operator's
        // byte.
        QList<QString> order;
        for (const sim::JournalEntry& e : s.sim.journal()) {
            if (e.dir != "in" || e.kind != "frame")
                continue;
            if (e.text.startsWith("command", Qt::CaseInsensitive))
                order.append(e.text.toLower());
            else if (e.text == "write" && e.block == 1 && e.chunk == 2)
                order.append(QStringLiteral("mode %1").arg(quint8(e.bytes[6]), 2, 16, QLatin1Char('0')));
        }
        QCOMPARE(order.first(), QStringLiteral("mode 41"));
        const int off = order.indexOf(QStringLiteral("command 22 02"));
        QVERIFY(off > 0);
        QCOMPARE(order.last(), QStringLiteral("mode 00"));
        QVERIFY(order.lastIndexOf(QStringLiteral("mode 41")) < off);
        QCOMPARE(quint8(s.sim.image()[27]), quint8(0x00));
        QVERIFY(!s.sim.status().pgmOn(2));
        QCOMPARE(pc.byte(27), quint8(0x00));
        for (const TransferReport& r : s.host.reports)
            QVERIFY(r.succeeded());
    }

    void pgmChangeAbandoned_data() {
        QTest::addColumn<bool>("cancel"); // else the panel falls silent and the retry prompt is answered No
        QTest::newRow("Cancelar while the output is switched off") << true;
        QTest::newRow("No to the retry prompt") << false;
    }
    // A PGM change given up after the temporary mode reached the panel: ImagemPC holds the
    // operator's mode byte throughout and afterwards (it is what a save stores), nothing more of the
    // change is written once it was given up, and a cancelled change leaves the session running.
    void pgmChangeAbandoned() {
        QFETCH(bool, cancel);
        sim::PanelSimConfig c = config(1);
        c.status.setPgmOn(2, true);
        SimSession s(c);
        QVERIFY(s.connectAndRead());
        ProgrammingImages& images = s.host.images10;
        images.ImagemPC.setBytes(images.ImagemAlarme.bytes());
        images.ImagemPC.setByte(27, 0x00);
        ChunkMarks marks;
        QVERIFY(images.markSection(ProgSection::Pgms, marks));

        QList<quint8> pcModeDuringTheChange;
        int writesWhenGivenUp = -1;
        // The hang-up at the end shows the status window too, after these locals are gone.
        const auto forget = qScopeGuard([&] { s.host.onStatusShown = nullptr; });
        s.host.onStatusShown = [&](const StatusWindowContent& content) {
            pcModeDuringTheChange.append(images.ImagemPC.byte(27));
            if (content.Text != QStringLiteral("Aguarde! Desativando PGM.") || writesWhenGivenUp >= 0)
                return;
            writesWhenGivenUp = int(s.sim.chunkWrites().size());
            if (cancel) {
                s.host.Link().CancelRequested = true;
            } else {
                sim::FaultRule silence;
                silence.fault = sim::Fault::Silence;
                silence.probability = 1.0;
                s.sim.faults().rules = {silence};
            }
        };
        for (int b = 0; b < 19; ++b)
            s.worker().Chunks[b] = marks.Chunks[b];
        s.worker().WriteBytes.store(marks.Content);
        s.worker().Blocks = marks.Blocks;
        s.worker().ChangedPgms = 0x02;
        s.worker().CommandCode = SessionFrames::CommandPgmOff;
        s.worker().PgmChangeRequest = true;

        QVERIFY(SessionTestHost::waitFor([&] {
            return s.host.ended || (writesWhenGivenUp >= 0 && !s.worker().PgmChangeInProgress &&
                                    !s.worker().PgmChangeRequest && !s.worker().WriteProgrammingRequest &&
                                    !s.worker().WriteInProgress && s.worker().OperationDone);
        }));
        QVERIFY(writesWhenGivenUp > 0);
        QCOMPARE(quint8(s.sim.image()[27]), quint8(0x41)); // the temporary mode got through
        if (cancel) {
            // Let a few passes of the worker's loop go by: nothing more of the change follows.
            QTest::qWait(200);
            QVERIFY(!s.host.ended);
            QVERIFY(s.sim.status().pgmOn(2));
        } else {
            QVERIFY(s.host.waitForEnd());
        }
        QCOMPARE(int(s.sim.chunkWrites().size()), writesWhenGivenUp);
        QCOMPARE(images.ImagemPC.byte(27), quint8(0x00));
        for (quint8 mode : pcModeDuringTheChange)
            QCOMPARE(mode, quint8(0x00));
    }

    // The monitoring view's requests: the panel clock read and shown, a PGM switched on (the command
    // ends when the status shows it on), the computer's date written.
    void clockAndCommands() {
        sim::PanelSimConfig c = config(1);
        c.clock = QDateTime(QDate(2007, 12, 25), QTime(9, 15, 30));
        SimSession s(c);
        QVERIFY(s.connectAndRead());

        s.worker().ReadDateTimeRequest = true;
        QVERIFY(SessionTestHost::waitFor([&] { return !s.host.panelClockTexts.isEmpty(); }));
        QVERIFY2(s.host.panelClockTexts.first().startsWith(QStringLiteral("Painel:  25/12/2007 09:1")),
                 qPrintable(s.host.panelClockTexts.first()));

        s.worker().CommandCode = SessionFrames::CommandPgmOn;
        s.worker().CommandParam = 3;
        s.worker().ExpectPgmOn = true;
        s.worker().CommandRequest = true;
        QVERIFY(
            SessionTestHost::waitFor([&] { return !s.worker().ExpectPgmOn && s.worker().OperationDone; }));
        QVERIFY(s.host.sent.contains(QByteArray::fromHex("B336A70300000021")));
        QVERIFY(s.sim.status().pgmOn(3));

        s.worker().WriteDateRequest = true;
        QVERIFY(SessionTestHost::waitFor([&] { return s.sim.panelClock().date() == QDate::currentDate(); }));
    }

    // The monitoring view's commands: the exact frame, the panel's state afterwards, and a command
    // whose effect never shows (zone 3 may not be bypassed) ending as refused at the repeat limit.
    void commands_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("param");
        QTest::addColumn<int>("expect");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("refused");
        auto row = [](const char* name, const PanelCommand& c, const char* hex, bool refused = false) {
            QTest::newRow(name) << int(c.Code) << int(c.Param) << int(c.Expect) << QByteArray::fromHex(hex)
                                << refused;
        };
        row("arm A", PanelCommand::Arm(1), "B3365401000000D0");
        row("disarm A", PanelCommand::Disarm(1), "B3364A01000000CE");
        row("PGM 3 on", PanelCommand::OutputOn(3), "B336A70300000021");
        row("PGM 1 off", PanelCommand::OutputOff(1), "B3362201000000A6");
        row("bypass zones 2 and 4", PanelCommand::Bypass(0x0A), "B336040A0000008B");
        row("bypass a zone that may not be", PanelCommand::Bypass(0x04), "B336040400000085", true);
    }
    void commands() {
        QFETCH(int, code);
        QFETCH(int, param);
        QFETCH(int, expect);
        QFETCH(QByteArray, frame);
        QFETCH(bool, refused);
        sim::PanelSimConfig c = config(1);
        c.image[59] = char(0xFB); // every zone but zone 3 may be bypassed
        SimSession s(c);
        QVERIFY(s.connectAndRead());
        s.worker().CommandRepeatLimit = 3;
        RaiseCommand(s.worker(), PanelCommand{quint8(code), quint8(param), PanelExpectation(expect)});
        QVERIFY(
            SessionTestHost::waitFor([&] { return !s.worker().CommandRequest && s.worker().OperationDone; }));
        QVERIFY2(s.host.sent.contains(frame), qPrintable(frame.toHex()));
        QCOMPARE(s.worker().CommandRefused.load(), refused);
        QCOMPARE(int(s.worker().LastCommandOutcome.load()),
                 int(refused ? OnLine::CommandOutcome::Refused : OnLine::CommandOutcome::Effect));
        const sim::PanelStatus& st = s.sim.status();
        switch (PanelExpectation(expect)) {
        case PanelExpectation::ArmA:
            QVERIFY(st.armed(1));
            break;
        case PanelExpectation::DisarmA:
            QVERIFY(!st.armed(1));
            break;
        case PanelExpectation::PgmOn:
            QVERIFY(st.pgmOn(param));
            break;
        case PanelExpectation::PgmOff:
            QVERIFY(!st.pgmOn(param));
            break;
        case PanelExpectation::Bypass:
            QCOMPARE(int(st.s[5]), refused ? 0 : param);
            break;
        default:
            QFAIL("no check for this row");
        }
        // The state the panel reports decodes as the panel holds it.
        const PanelState shown = PanelState::FromStatus(s.worker().PanelStatus.load());
        QCOMPARE(int(shown.BypassedZones), int(st.s[5]));
        QCOMPARE(shown.ArmedA, st.armed(1));
    }

    // A panel that never answers the command itself, only the status asked after each time-out, did
    // not respond to it: it did not refuse it.
    void silentPanelDidNotRespond() {
        SimSession s(config(1));
        QVERIFY(s.connectAndRead());
        s.sim.faults().rules.append({1u << int(sim::FrameKind::Command), sim::Fault::Silence, 1000});
        s.worker().CommandRepeatLimit = 3;
        RaiseCommand(s.worker(), PanelCommand::Arm(1));
        QVERIFY(
            SessionTestHost::waitFor([&] { return !s.worker().CommandRequest && s.worker().OperationDone; }));
        QCOMPARE(int(s.worker().LastCommandOutcome.load()), int(OnLine::CommandOutcome::NoAnswer));
        QVERIFY(!s.worker().CommandRefused.load());
    }

    // A date and time written with an offset from the computer's clock (the command line's
    // set-clock) reach the panel so, and read back as the panel's text: packed BCD on the 10-zone
    // family, binary on the 5-zone model.
    void clockWrittenWithAnOffset_data() {
        QTest::addColumn<int>("product");
        QTest::newRow("10-zone") << 1;
        QTest::newRow("5-zone") << 2;
    }
    void clockWrittenWithAnOffset() {
        QFETCH(int, product);
        SimSession s(config(product));
        QVERIFY(s.connectAndRead());
        const QDateTime target(QDate(2027, 12, 25), QTime(9, 15, 30));
        s.worker().ClockOffsetMs = QDateTime::currentDateTime().msecsTo(target);
        s.worker().WriteDateRequest = true;
        QVERIFY(SessionTestHost::waitFor([&] { return s.sim.panelClock().date() == target.date(); }));
        s.worker().WriteTimeRequest = true;
        QVERIFY(SessionTestHost::waitFor(
            [&] { return !s.worker().WriteTimeRequest && s.worker().OperationDone; }));
        QVERIFY(qAbs(s.sim.panelClock().secsTo(target)) < 120);
        s.worker().ReadDateTimeRequest = true;
        QVERIFY(SessionTestHost::waitFor([&] { return !s.host.panelClockTexts.isEmpty(); }));
        QVERIFY2(s.host.panelClockTexts.last().startsWith(QStringLiteral("Painel:  25/12/2027 09:")),
                 qPrintable(s.host.panelClockTexts.last()));
    }

    // With nothing to do the worker asks for the status 10 s after the last operation ended, and
    // again 10 s after that.
    void idleStatusPollEveryTenSeconds() {
        SimSession s(config(1));
        QVERIFY(s.connectAndRead());
        const int before = frames(s.sim, "status").size();
        QVERIFY(SessionTestHost::waitFor([&] { return frames(s.sim, "status").size() >= before + 3; }));
        const QVector<sim::JournalEntry> polls = frames(s.sim, "status");
        const qint64 gap = polls.last().timeMs - polls[polls.size() - 2].timeMs;
        // 10 s, give or take what a 50 times faster clock makes of the machine's scheduling.
        QVERIFY2(gap >= 9500 && gap <= 11000, qPrintable(QString::number(gap)));
        QVERIFY(!s.host.statuses.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestOnlineSession)
#include "tst_online_session.moc"
