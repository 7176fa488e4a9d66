#include "base/clock.h"
#include "link/frame_codec.h"
#include "link/receive_dispatcher.h"
#include "serial/memory_line.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>

using namespace FrameCodec;

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// An incoming frame of the given type: "ZRV", type, payload, checksum.
QByteArray answer(quint8 type, const QByteArray& payload) {
    QByteArray body = char(type) + payload;
    body.append(char(XorChecksum(body)));
    return Header + body;
}

const QByteArray Ack = hex("5A5256 C7 C7");
const QByteArray Nak = hex("5A5256 D5 D5");
const QByteArray BlockAnswer = answer(TypeBlock, hex("30 000102030405060708090A0B0C0D0E0F"));

// The dispatcher of a main window, on the program's end of an in-memory line.
struct Link {
    MemoryLine line;
    ReceiveDispatcher dispatcher{line.port()};
    LinkState& state = dispatcher.State();
    QList<QByteArray> sent;

    Link() {
        line.port()->SetOpened(true);
        QObject::connect(&line, &MemoryLine::receivedFromProgram, &line,
                         [this](const QByteArray& bytes) { sent.append(bytes); });
    }
    // One batch, as one data-available notification of the port.
    void feed(const QByteArray& bytes) {
        line.sendToProgram(bytes);
        QCoreApplication::processEvents();
    }
    QByteArray take() { return state.TakeFrame().value_or(QByteArray()); }
};

} // namespace

class TestReceiveDispatcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(100); }

    // Frame mode: each row is a sequence of batches and the frame taken after each (empty: none).
    void cutsFrames_data() {
        QTest::addColumn<QList<QByteArray>>("batches");
        QTest::addColumn<QList<QByteArray>>("delivered");
        QTest::addColumn<QByteArray>("rxAfter");
        QTest::newRow("22-byte frame in three batches, delivered after the third")
            << QList<QByteArray>{BlockAnswer.left(5), BlockAnswer.mid(5, 9), BlockAnswer.mid(14)}
            << QList<QByteArray>{{}, {}, BlockAnswer} << QByteArray();
        QTest::newRow("noise before the header is dropped")
            << QList<QByteArray>{"\x01\x02" + Ack} << QList<QByteArray>{Ack} << QByteArray();
        QTest::newRow("bytes after a frame are lost with it")
            << QList<QByteArray>{Ack + Nak.left(3), Nak.mid(3)} << QList<QByteArray>{Ack, {}} << QByteArray();
        QTest::newRow("unknown type byte and more bytes: accumulator emptied")
            << QList<QByteArray>{"ZRV\x01\x02\x03\x04"} << QList<QByteArray>{{}} << QByteArray();
        QTest::newRow("header split across batches") << QList<QByteArray>{"\x11Z", "R", "V\xC7", "\xC7"}
                                                     << QList<QByteArray>{{}, {}, {}, Ack} << QByteArray();
        QTest::newRow("partial header kept after noise")
            << QList<QByteArray>{"noise ZR"} << QList<QByteArray>{{}} << QByteArray("ZR");
        QTest::newRow("a frame behind an unknown-type header is still found")
            << QList<QByteArray>{"ZRV\x01" + Ack} << QList<QByteArray>{Ack} << QByteArray();
        // Noise whose fourth byte after its "Z" is a known type used to make the cutter wait
        // forever on the unknown-type header behind it.
        QTest::newRow("no stall on an unknown-type header after a stray Z")
            << QList<QByteArray>{QByteArray("Z\x00\x00\xC7ZRV\x01\x02\x03", 10), Ack}
            << QList<QByteArray>{{}, Ack} << QByteArray();
        QTest::newRow("a bad checksum is the consumer's to reject")
            << QList<QByteArray>{hex("5A5256 C7 C6")} << QList<QByteArray>{hex("5A5256 C7 C6")}
            << QByteArray();
        QTest::newRow("NO CARRIER in frame mode is dropped")
            << QList<QByteArray>{"\r\nNO CARRIER\r\n"} << QList<QByteArray>{{}} << QByteArray();
    }
    void cutsFrames() {
        QFETCH(QList<QByteArray>, batches);
        QFETCH(QList<QByteArray>, delivered);
        QFETCH(QByteArray, rxAfter);
        Link link;
        link.state.FrameMode = true;
        for (int i = 0; i < batches.size(); ++i) {
            link.feed(batches[i]);
            QCOMPARE(link.take().toHex(' '), delivered[i].toHex(' '));
        }
        QCOMPARE(link.state.RxText(), rxAfter);
    }

    void mailboxHoldsOneFrame() {
        Link link;
        link.state.FrameMode = true;
        link.feed(Ack);
        link.feed(Nak);
        QVERIFY(link.state.FrameReady());
        QCOMPARE(link.state.FrameText(), Nak); // the newer frame replaced the one not taken
        link.state.SetFrameReady(false);
        QVERIFY(!link.state.FrameReady());
        // Read while empty, the text becomes one 0x00 byte, in which no answer is found.
        QCOMPARE(link.state.FrameText(), QByteArray(1, '\0'));
        QVERIFY(!AnswerSlice(link.state.FrameText(), ShortAnswerSlice));
        QVERIFY(!link.state.TakeFrame());
        link.feed(Ack);
        link.state.DiscardFrame();
        QVERIFY(!link.state.TakeFrame());
    }

    // Modem phase with a connection worker: what one batch stores.
    void recognisesResults_data() {
        QTest::addColumn<QByteArray>("batch");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("rxAfter");
        QTest::addColumn<bool>("okReceived");
        QTest::newRow("OK") << QByteArray("\r\nOK\r\n") << 0 << QByteArray() << true;
        QTest::newRow("0") << QByteArray("\r\n0\r\n") << 0 << QByteArray() << true;
        QTest::newRow("CONNECT") << QByteArray("\r\nCONNECT\r\n") << 1 << QByteArray() << false;
        QTest::newRow("1") << QByteArray("1\r") << 1 << QByteArray() << false;
        QTest::newRow("RING stays") << QByteArray("\r\nRING\r\n") << 2 << QByteArray("\r\nRING\r\n") << false;
        QTest::newRow("2 stays") << QByteArray("2\r") << 2 << QByteArray("2\r") << false;
        QTest::newRow("NO CARRIER") << QByteArray("\r\nNO CARRIER\r\n") << 3
                                    << QByteArray("\r\nNO CARRIER\r\n") << false;
        QTest::newRow("3") << QByteArray("\r\n3\r\n") << 3 << QByteArray("\r\n3\r\n") << false;
        QTest::newRow("ERROR") << QByteArray("\r\nERROR\r\n") << 4 << QByteArray("\r\nERROR\r\n") << false;
        QTest::newRow("4") << QByteArray("4\r") << 4 << QByteArray("4\r") << false;
        QTest::newRow("NO DIAL TONE")
            << QByteArray("\r\nNO DIAL TONE\r\n") << 6 << QByteArray("\r\nNO DIAL TONE\r\n") << false;
        QTest::newRow("6") << QByteArray("6\r") << 6 << QByteArray("6\r") << false;
        QTest::newRow("BUSY") << QByteArray("\r\nBUSY\r\n") << 7 << QByteArray("\r\nBUSY\r\n") << false;
        QTest::newRow("7") << QByteArray("7\r") << 7 << QByteArray("7\r") << false;
        QTest::newRow("NO ANSWER") << QByteArray("\r\nNO ANSWER\r\n") << 8 << QByteArray("\r\nNO ANSWER\r\n")
                                   << false;
        QTest::newRow("8") << QByteArray("8\r") << 8 << QByteArray("8\r") << false;
        QTest::newRow("several: the last stored wins")
            << QByteArray("\r\n2\r\n\r\n3\r\n") << 3 << QByteArray("\r\n2\r\n\r\n3\r\n") << false;
        QTest::newRow("OK after RING replaces the text")
            << QByteArray("\r\n2\r\n\r\n0\r\n") << 0 << QByteArray() << true;
        // A modem echoes the first initialisation lines; their digits are not results.
        QTest::newRow("echoed line, then OK")
            << QByteArray("AT&I0&K0&N1E0\r\r\nOK\r\n") << 0 << QByteArray() << true;
        QTest::newRow("echoed line, then ERROR") << QByteArray("AT&I0&K0&N1E0\r\r\nERROR\r\n") << 4
                                                 << QByteArray("AT&I0&K0&N1E0\r\r\nERROR\r\n") << false;
        QTest::newRow("echo alone") << QByteArray("ATL0M1Q0S0=0\r") << 255 << QByteArray("ATL0M1Q0S0=0\r")
                                    << false;
        QTest::newRow("digit not yet ended") << QByteArray("\r\n2") << 255 << QByteArray("\r\n2") << false;
        // Modems that report the line speed answer CONNECT with other numbers.
        QTest::newRow("10: CONNECT 2400") << QByteArray("\r\n10\r\n") << 1 << QByteArray() << false;
        QTest::newRow("28: CONNECT with speed") << QByteArray("\r\n28\r\n") << 1 << QByteArray() << false;
        QTest::newRow("5: CONNECT 1200") << QByteArray("5\r") << 1 << QByteArray() << false;
        // A number that is neither a result of the table nor a CONNECT with a speed.
        QTest::newRow("20: unknown") << QByteArray("\r\n20\r\n") << int(ResultUnknown)
                                     << QByteArray("\r\n20\r\n") << false;
        QTest::newRow("two digits not yet ended")
            << QByteArray("\r\n10") << 255 << QByteArray("\r\n10") << false;
        QTest::newRow("echo ending in digits")
            << QByteArray("ATS0=10\r") << 255 << QByteArray("ATS0=10\r") << false;
    }
    void recognisesResults() {
        QFETCH(QByteArray, batch);
        QFETCH(int, result);
        QFETCH(QByteArray, rxAfter);
        QFETCH(bool, okReceived);
        Link link;
        ModemWorkerLink worker;
        link.state.ConectaAlarmeWorker = &worker;
        link.state.IgnoreNoCarrier = false;
        link.feed(batch);
        QCOMPARE(int(worker.ResultCode), result);
        QCOMPARE(link.state.RxText(), rxAfter);
        QCOMPARE(link.state.OkReceived.load(), okReceived);
    }

    void resultsAfterWholeLineArrives() {
        Link link;
        ModemWorkerLink worker;
        link.state.ConectaAlarmeWorker = &worker;
        link.feed("\r\n");
        link.feed("0");
        QCOMPARE(int(worker.ResultCode), int(ResultNone));
        link.feed("\r\n");
        QCOMPARE(int(worker.ResultCode), int(ResultOk));
    }

    void ringStoredAgainWithEveryBatch() {
        Link link;
        ModemWorkerLink worker;
        link.state.CallBackWorker = &worker;
        link.feed("2\r");
        QCOMPARE(int(worker.ResultCode), int(ResultRing));
        worker.ResultCode = ResultNone;
        link.feed("\n");
        QCOMPARE(int(worker.ResultCode), int(ResultRing));
        worker.ResultCode = ResultNone;
        link.state.ClearRxText();
        link.feed("\n");
        QCOMPARE(int(worker.ResultCode), int(ResultNone));
    }

    void storesIntoFirstExistingWorker_data() {
        QTest::addColumn<int>("present"); // bits: connection, callback, configuration, reception
        QTest::addColumn<int>("receiver");
        QTest::newRow("all") << 0b1111 << 0;
        QTest::newRow("callback and reception") << 0b1010 << 1;
        QTest::newRow("configuration and reception") << 0b1100 << 2;
        QTest::newRow("reception alone") << 0b1000 << 3;
    }
    void storesIntoFirstExistingWorker() {
        QFETCH(int, present);
        QFETCH(int, receiver);
        Link link;
        ModemWorkerLink workers[4];
        std::atomic<ModemWorkerLink*>* refs[4] = {&link.state.ConectaAlarmeWorker, &link.state.CallBackWorker,
                                                  &link.state.ConfigModemWorker, &link.state.BufferWorker};
        for (int i = 0; i < 4; ++i) {
            if (present & (1 << i))
                refs[i]->store(&workers[i]);
        }
        link.state.IgnoreNoCarrier = false;
        link.feed("\r\nBUSY\r\n");
        for (int i = 0; i < 4; ++i)
            QCOMPARE(int(workers[i].ResultCode), i == receiver ? int(ResultBusy) : int(ResultNone));
    }

    void initialisationDoneOnOkPastTheLastLine() {
        Link link;
        ModemWorkerLink config;
        config.NumComandos = 16;
        config.IndiceComando = 16;
        link.state.ConfigModemWorker = &config;
        link.feed("\r\nOK\r\n");
        QVERIFY(!link.state.ModemInitDone);
        // Without a connection worker, every batch clears OkReceived again.
        QVERIFY(!link.state.OkReceived);
        config.IndiceComando = 20;
        link.feed("\r\nOK\r\n");
        QVERIFY(link.state.ModemInitDone);

        // A reception worker alone never completes an initialisation.
        Link reception;
        ModemWorkerLink buffer;
        buffer.IndiceComando = 5;
        reception.state.BufferWorker = &buffer;
        reception.feed("\r\nOK\r\n");
        QCOMPARE(int(buffer.ResultCode), int(ResultOk));
        QVERIFY(!reception.state.ModemInitDone);
    }

    void expectedNoCarrierIsDiscardedOnce_data() {
        QTest::addColumn<bool>("callbackWorker");
        QTest::addColumn<QByteArray>("noCarrier");
        QTest::newRow("callback wait, word") << true << QByteArray("\r\nNO CARRIER\r\n");
        QTest::newRow("callback wait, digit") << true << QByteArray("\r\n3\r\n");
        QTest::newRow("connection, digit") << false << QByteArray("3\r");
    }
    void expectedNoCarrierIsDiscardedOnce() {
        QFETCH(bool, callbackWorker);
        QFETCH(QByteArray, noCarrier);
        Link link;
        ModemWorkerLink worker;
        (callbackWorker ? link.state.CallBackWorker : link.state.ConectaAlarmeWorker) = &worker;
        QVERIFY(link.state.IgnoreNoCarrier); // set from the start
        link.feed(noCarrier);
        QCOMPARE(link.state.RxText(), QByteArray());
        QVERIFY(!link.state.IgnoreNoCarrier);
        QCOMPARE(int(worker.ResultCode), int(ResultNone));
        link.feed(noCarrier);
        QCOMPARE(int(worker.ResultCode), int(ResultNoCarrier));
    }

    void noCarrierDiscardIgnoresDigitsInsideData() {
        Link link;
        ModemWorkerLink worker;
        link.state.CallBackWorker = &worker;
        link.feed("ATX3\r");
        QVERIFY(link.state.IgnoreNoCarrier);
        // A frame holding the byte "3" reaches the mailbox while a NO CARRIER is expected.
        link.state.ClearRxText();
        link.state.FrameMode = true;
        const QByteArray status = answer(TypeStatus, hex("33 00 00 DF 00 00"));
        link.feed(status);
        QCOMPARE(link.take(), status);
        QVERIFY(link.state.IgnoreNoCarrier);
    }

    // In frame mode a NO CARRIER between frames tells that the carrier is lost, split across
    // arrivals or right behind a frame; the same bytes inside a frame's data are data.
    void carrierLostBetweenFrames_data() {
        QTest::addColumn<QList<QByteArray>>("batches");
        QTest::addColumn<bool>("lost");
        const QByteArray dataWithResult = answer(TypeBlock, hex("30 0D0A330D0A 0D0A33 0D 4E4F2043415252"));
        QTest::newRow("digit") << QList<QByteArray>{"\r\n3\r\n"} << true;
        QTest::newRow("word") << QList<QByteArray>{"\r\nNO CARRIER\r\n"} << true;
        QTest::newRow("split") << QList<QByteArray>{"\r\n", "3", "\r\n"} << true;
        QTest::newRow("behind a frame") << QList<QByteArray>{Ack + "\r\n3\r\n"} << true;
        QTest::newRow("inside a frame's data") << QList<QByteArray>{dataWithResult} << false;
        QTest::newRow("another digit") << QList<QByteArray>{"\r\n4\r\n", Ack} << false;
    }
    void carrierLostBetweenFrames() {
        QFETCH(QList<QByteArray>, batches);
        QFETCH(bool, lost);
        Link link;
        link.state.FrameMode = true;
        for (const QByteArray& batch : batches)
            link.feed(batch);
        QCOMPARE(link.state.CarrierLost.load(), lost);
        // The next carrier is a new one.
        link.state.FrameMode = false;
        ModemWorkerLink worker;
        link.state.ConectaAlarmeWorker = &worker;
        link.feed("\r\n1\r\n");
        QVERIFY(!link.state.CarrierLost.load());
    }

    void ringIndicatedOnlyWhenIdle() {
        Link link;
        bool screenOpen = false;
        link.dispatcher.CustomerScreenOpen = [&screenOpen] { return screenOpen; };
        QSignalSpy rings(&link.dispatcher, &ReceiveDispatcher::RingIndicated);
        link.feed("\r\nRING\r\n");
        QCOMPARE(rings.count(), 1);
        link.state.ClearRxText();
        link.feed("\r\n2\r\n");
        QCOMPARE(rings.count(), 2);
        QCOMPARE(link.state.RxText(), QByteArray("\r\n2\r\n")); // not consumed

        link.state.ClearRxText();
        screenOpen = true;
        link.feed("\r\nRING\r\n");
        QCOMPARE(rings.count(), 2);

        screenOpen = false;
        link.state.ClearRxText();
        ModemWorkerLink worker;
        link.state.ConfigModemWorker = &worker;
        link.feed("\r\nRING\r\n");
        QCOMPARE(rings.count(), 2); // a listening worker gets it as a result
        QCOMPARE(int(worker.ResultCode), int(ResultRing));

        // Idle, the text keeps only its end however much the modem sends, and a RING at the end
        // still rings.
        link.state.ConfigModemWorker = nullptr;
        link.state.ClearRxText();
        for (int i = 0; i < 200; ++i)
            link.feed(QByteArray(100, 'x'));
        QCOMPARE(link.state.RxText().size(), ReceiveDispatcher::IdleTailBytes);
        link.feed("\r\nRI");
        link.feed("NG\r\n");
        QCOMPARE(rings.count(), 3);
    }

    void ringStartsSuspendedReceptionWorker() {
        for (const bool starts : {true, false}) {
            Link link;
            ModemWorkerLink buffer;
            buffer.Suspended = true;
            link.state.BufferWorker = &buffer;
            int calls = 0;
            int resultSeen = -1;
            link.dispatcher.ResumeBufferWorker = [&]() -> bool {
                ++calls;
                resultSeen = buffer.ResultCode;
                return starts;
            };
            link.feed("\r\n2\r\n");
            link.feed("\r\n");
            QCOMPARE(calls, 1);
            QCOMPARE(resultSeen, int(ResultRing));
            if (starts) {
                QVERIFY(!buffer.Suspended);
                QCOMPARE(link.state.BufferWorker.load(), &buffer);
            } else {
                QCOMPARE(link.state.BufferWorker.load(), nullptr);
            }
        }
    }

    void mainSendDropsEarlierCommand() {
        Link link;
        link.state.OkReceived = true;
        link.line.port()->WriteText("AT&F\r"); // still queued
        QVERIFY(link.dispatcher.EnviaComando("ATZ\r"));
        QVERIFY(!link.state.OkReceived);
        QCoreApplication::processEvents();
        QCOMPARE(link.sent, QList<QByteArray>{"ATZ\r"});

        link.line.port()->SetOpened(false);
        QString error;
        QVERIFY(!link.dispatcher.EnviaComando("AT\r", &error));
        QCOMPARE(error, QStringLiteral("Port not open"));
    }

    void sendFromWorkerThreadRunsOnMainThread() {
        Link link;
        bool sent = false;
        std::unique_ptr<QThread> worker(
            QThread::create([&] { sent = link.dispatcher.EnviaComando("ATH0\r"); }));
        worker->start();
        QTRY_VERIFY(worker->isFinished());
        QVERIFY(sent);
        QTRY_COMPARE(link.sent, QList<QByteArray>{"ATH0\r"});
    }

    void dialExpansion_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("pause");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("tone with pause") << QByteArray("ATDT") << true << QByteArray("ATDT0,5551234;ATA\r");
        QTest::newRow("tone without pause") << QByteArray("ATDT") << false << QByteArray("ATDT5551234;ATA\r");
        QTest::newRow("pulse with pause") << QByteArray("ATDP") << true << QByteArray("ATDP0,5551234;ATA\r");
        QTest::newRow("whole dial command unchanged")
            << QByteArray("ATDT5551234\r") << true << QByteArray("ATDT5551234\r");
        QTest::newRow("other command unchanged") << QByteArray("AT\r") << true << QByteArray("AT\r");
    }
    void dialExpansion() {
        QFETCH(QByteArray, text);
        QFETCH(bool, pause);
        QFETCH(QByteArray, sent);
        Link link;
        link.state.OkReceived = true;
        const DialInputs dial{QStringLiteral("0"), pause, QStringLiteral("5551234")};
        QVERIFY(link.dispatcher.EnviaComando(text, dial));
        QVERIFY(!link.state.OkReceived);
        QCoreApplication::processEvents();
        QCOMPARE(link.sent, QList<QByteArray>{sent});
    }

    // Valid frames between noise, cut into random batches: every frame delivered is one that was
    // sent, in order, and its answer slice holds; a frame whose last byte ends a batch is always
    // delivered.
    void randomSplitsDeliverOnlySentFrames() {
        static const quint8 types[] = {0x18, 0x43, 0x56, 0x70, 0x88, 0xA9, 0xB8, 0xC7, 0xD5, 0xE2, 0xF1};
        QRandomGenerator rng(20240611);
        const auto byteNot = [&rng](char excluded) {
            char c;
            do
                c = char(rng.bounded(256));
            while (c == excluded);
            return c;
        };
        for (int round = 0; round < 300; ++round) {
            QByteArray stream;
            QList<QByteArray> frames;
            QList<qsizetype> frameEnds;
            const int count = 1 + int(rng.bounded(8));
            for (int f = 0; f < count; ++f) {
                // Noise and payloads hold no "Z", so no header appears but the real ones.
                for (int n = int(rng.bounded(7)); n > 0; --n)
                    stream.append(byteNot('Z'));
                const quint8 type = types[rng.bounded(int(std::size(types)))];
                QByteArray frame;
                do {
                    QByteArray payload;
                    for (int i = FrameLength(type) - 5; i > 0; --i)
                        payload.append(byteNot('Z'));
                    frame = answer(type, payload);
                } while (frame.endsWith('Z'));
                frames.append(frame);
                stream.append(frame);
                frameEnds.append(stream.size());
            }
            const bool splitAtFrameEnds = round % 2 == 0;
            QList<qsizetype> cuts;
            for (qsizetype pos = 0; pos < stream.size();) {
                pos = qMin(stream.size(), pos + 1 + qsizetype(rng.bounded(12)));
                cuts.append(pos);
            }
            if (splitAtFrameEnds)
                cuts += frameEnds;
            std::sort(cuts.begin(), cuts.end());
            cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

            Link link;
            link.state.FrameMode = true;
            QList<QByteArray> delivered;
            qsizetype from = 0;
            for (const qsizetype cut : cuts) {
                link.feed(stream.mid(from, cut - from));
                from = cut;
                if (const auto frame = link.state.TakeFrame())
                    delivered.append(*frame);
            }
            int next = 0;
            for (const QByteArray& frame : delivered) {
                QVERIFY(AnswerSlice(frame, frame.size() - HeaderSize));
                while (next < frames.size() && frames[next] != frame)
                    ++next;
                QVERIFY2(next < frames.size(), qPrintable(frame.toHex(' ')));
                ++next;
            }
            if (splitAtFrameEnds)
                QCOMPARE(delivered, frames);
        }
    }

    // Random bytes, rich in header characters and type bytes, through every phase of the link.
    void randomBuffersNeverDeliverUnknownFrames() {
        Link link;
        ModemWorkerLink worker;
        link.dispatcher.ResumeBufferWorker = [] { return true; };
        QRandomGenerator rng(7);
        static const char alphabet[] = "ZRVZRV\x18\x43\x56\x70\x88\xA9\xB8\xC7\xD5\xE2\xF1\r\n0123678OKRING";
        int deliveredCount = 0;
        for (int i = 0; i < 100000; ++i) {
            if (i % 100 == 0) {
                const quint32 phase = rng.bounded(6);
                link.state.FrameMode = phase < 3;
                link.state.ConectaAlarmeWorker = phase == 3 ? &worker : nullptr;
                link.state.CallBackWorker = phase == 4 || phase == 0 ? &worker : nullptr;
                link.state.BufferWorker = phase == 5 ? &worker : nullptr;
                worker.Suspended = phase == 5;
                link.state.IgnoreNoCarrier = rng.bounded(2);
                link.state.ClearRxText();
            }
            QByteArray batch;
            for (int n = 1 + int(rng.bounded(24)); n > 0; --n)
                batch.append(rng.bounded(3) ? alphabet[rng.bounded(int(sizeof alphabet - 1))]
                                            : char(rng.bounded(256)));
            link.feed(batch);
            if (const auto frame = link.state.TakeFrame()) {
                ++deliveredCount;
                QVERIFY(frame->startsWith(Header));
                QVERIFY(frame->size() > HeaderSize);
                QCOMPARE(frame->size(), FrameLength(quint8(frame->at(HeaderSize))));
            }
            QVERIFY(worker.ResultCode == ResultNone || worker.ResultCode <= ResultNoAnswer ||
                    worker.ResultCode == ResultUnknown);
            // In frame mode nothing but the start of one frame is ever kept.
            if (link.state.FrameMode)
                QVERIFY(link.state.RxText().size() < 22);
        }
        QVERIFY(deliveredCount > 0); // the generator does produce frames
    }
};

QTEST_GUILESS_MAIN(TestReceiveDispatcher)
#include "tst_receive_dispatcher.moc"
