// The exchange every session operation is built on, driven on one thread by a scripted channel
// with its own clock: each request gets the answer the script names for it (or none), and time
// moves only when the exchange sends (100 ms a frame) or idles (10 ms a look), so deadlines are
// exact.
#include "session/session_exchange.h"
#include "session/session_frames.h"

#include <QTest>

#include <utility>

namespace {

constexpr qint64 SendMs = 100;
constexpr qint64 LookMs = 10;
constexpr int TimeoutMs = 4000;

struct ScriptedChannel : ExchangeChannel {
    // The answer to the n-th request sent (empty: the panel stays silent).
    QList<QByteArray> answers;
    // The operator cancels at this time; -1: never.
    qint64 cancelAtMs = -1;
    // The time-out rule hangs up at this time-out (the retry prompt answered "No"); 0: never.
    int hangUpAtTimeOut = 0;

    qint64 now = 0;
    QList<QByteArray> sent;
    QList<qint64> sentAtMs;
    std::optional<QByteArray> mailbox;
    int timeOuts = 0;
    int errors = 0;
    bool hungUp = false;

    void transmit(const QByteArray& frame) {
        sentAtMs.append(now);
        sent.append(frame);
        now += SendMs;
        const qsizetype n = sent.size() - 1;
        if (n < answers.size() && !answers[n].isEmpty())
            mailbox = answers[n];
    }
    bool stopRequested() override { return hungUp || (cancelAtMs >= 0 && now >= cancelAtMs); }
    std::optional<QByteArray> takeFrame() override { return std::exchange(mailbox, std::nullopt); }
    void discardFrame() override { mailbox.reset(); }
    qint64 nowMs() override { return now; }
    void idle() override { now += LookMs; }
    void timeOutRule() override {
        ++timeOuts;
        if (timeOuts == hangUpAtTimeOut)
            hungUp = true;
    }
    void countError() override { ++errors; }
};

// Panel answers of the five-byte kind, "ZRV", type, checksum.
QByteArray answer(const char* hex) {
    return QByteArray::fromHex(hex);
}

} // namespace

Q_DECLARE_METATYPE(ExchangeResult)

class TestSessionExchange : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A chunk write (B3 C4 18 01 02 03 04 6B) waiting for its acknowledgement; a time-out asks
    // for the status (B8) instead, as a command does.
    void answersDecideTheExchange_data() {
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<qint64>("cancelAtMs");
        QTest::addColumn<int>("hangUpAtTimeOut");
        QTest::addColumn<ExchangeResult>("result");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<QList<qint64>>("sentAtMs");
        QTest::addColumn<int>("timeOuts");
        QTest::addColumn<int>("errors");

        const QByteArray chunk = QByteArray::fromHex("b3c418010203046b");
        const QByteArray status = QByteArray::fromHex("b8");
        const QByteArray ack = answer("5a5256c7c7");
        const QByteArray nak = answer("5a5256d5d5");
        const QByteArray refused = answer("5a5256a9a9");
        const QByteArray garbled = answer("5a5256c7c6");
        const QByteArray stray = answer("5a52561818");

        QTest::newRow("accepted") << QList<QByteArray>{ack} << qint64(-1) << 0 << ExchangeResult::Accepted
                                  << QList<QByteArray>{chunk} << QList<qint64>{0} << 0 << 0;
        QTest::newRow("refused") << QList<QByteArray>{refused} << qint64(-1) << 0 << ExchangeResult::Refused
                                 << QList<QByteArray>{chunk} << QList<qint64>{0} << 0 << 0;
        QTest::newRow("rejected, sent again at once")
            << QList<QByteArray>{nak, ack} << qint64(-1) << 0 << ExchangeResult::Accepted
            << QList<QByteArray>{chunk, chunk} << QList<qint64>{0, SendMs} << 0 << 1;
        QTest::newRow("garbled, sent again at once")
            << QList<QByteArray>{garbled, ack} << qint64(-1) << 0 << ExchangeResult::Accepted
            << QList<QByteArray>{chunk, chunk} << QList<qint64>{0, SendMs} << 0 << 1;
        // The deadline runs from the end of the send; the repeat goes out when it passes.
        QTest::newRow("time-out, then the time-out request")
            << QList<QByteArray>{{}, ack} << qint64(-1) << 0 << ExchangeResult::Accepted
            << QList<QByteArray>{chunk, status} << QList<qint64>{0, SendMs + TimeoutMs} << 1 << 0;
        // An answer for another request neither ends the wait nor moves its deadline.
        QTest::newRow("stray answer ignored, deadline kept")
            << QList<QByteArray>{stray, ack} << qint64(-1) << 0 << ExchangeResult::Accepted
            << QList<QByteArray>{chunk, status} << QList<qint64>{0, SendMs + TimeoutMs} << 1 << 0;
        QTest::newRow("two time-outs")
            << QList<QByteArray>{{}, {}, ack} << qint64(-1) << 0 << ExchangeResult::Accepted
            << QList<QByteArray>{chunk, status, status}
            << QList<qint64>{0, SendMs + TimeoutMs, 2 * (SendMs + TimeoutMs)} << 2 << 0;
        QTest::newRow("cancelled while waiting")
            << QList<QByteArray>{} << qint64(1500) << 0 << ExchangeResult::Stopped << QList<QByteArray>{chunk}
            << QList<qint64>{0} << 0 << 0;
        // "No" at the retry prompt: nothing more is sent.
        QTest::newRow("time-out rule hangs up")
            << QList<QByteArray>{} << qint64(-1) << 1 << ExchangeResult::Stopped << QList<QByteArray>{chunk}
            << QList<qint64>{0} << 1 << 0;
    }
    void answersDecideTheExchange() {
        QFETCH(QList<QByteArray>, answers);
        QFETCH(qint64, cancelAtMs);
        QFETCH(int, hangUpAtTimeOut);

        ScriptedChannel channel;
        channel.answers = answers;
        channel.cancelAtMs = cancelAtMs;
        channel.hangUpAtTimeOut = hangUpAtTimeOut;
        // A frame left over from an earlier exchange never counts as this request's answer.
        channel.mailbox = answer("5a5256c7c7");

        ExchangeRequest request;
        request.timeoutMs = TimeoutMs;
        request.answerLength = 2;
        request.rejectGarbled = true;
        request.send = [&] {
            channel.transmit(SessionFrames::WriteChunkFrame(1, 2, QByteArray::fromHex("01020304")));
        };
        request.sendAfterTimeOut = [&] { channel.transmit(SessionFrames::StatusRequestFrame()); };
        request.judge = [](const std::optional<QByteArray>& slice) {
            switch (quint8(slice->at(0))) {
            case 0xC7:
                return AnswerVerdict::Accept;
            case 0xD5:
                return AnswerVerdict::Reject;
            case 0xA9:
                return AnswerVerdict::Refuse;
            default:
                return AnswerVerdict::Ignore;
            }
        };

        QTEST(RunExchange(channel, request), "result");
        QTEST(channel.sent, "sent");
        QTEST(channel.sentAtMs, "sentAtMs");
        QTEST(channel.timeOuts, "timeOuts");
        QTEST(channel.errors, "errors");
    }

    // A judge that sent a request of its own (a PGM off command inside a status wait) gets a fresh
    // deadline from that moment; one that asks for a repeat sends the request again, no error.
    void rearmAndRepeatRestartTheDeadline() {
        ScriptedChannel channel;
        const QByteArray status = QByteArray::fromHex("5a525618000000000000"
                                                      "18");
        int answersSeen = 0;
        ExchangeRequest request;
        request.timeoutMs = 2000;
        request.answerLength = 8;
        request.send = [&] { channel.transmit(SessionFrames::StatusRequestFrame()); };
        request.judge = [&](const std::optional<QByteArray>& slice) {
            if (!slice)
                return AnswerVerdict::Ignore;
            switch (++answersSeen) {
            case 1:
                channel.now += 3000; // longer than the deadline: a send with long pauses
                return AnswerVerdict::Rearm;
            case 2:
                return AnswerVerdict::Repeat;
            default:
                return AnswerVerdict::Accept;
            }
        };
        // Rearm sends nothing: the second answer comes only after the time-out's request, which a
        // deadline that was not restarted would send right after the Rearm (at 3100 ms).
        channel.answers = {status, status, status};
        QCOMPARE(RunExchange(channel, request), ExchangeResult::Accepted);
        QCOMPARE(channel.sentAtMs, (QList<qint64>{0, SendMs + 3000 + 2000, 2 * SendMs + 3000 + 2000}));
        QCOMPARE(channel.timeOuts, 1);
        QCOMPARE(channel.errors, 0);
        QCOMPARE(answersSeen, 3);
    }
};

QTEST_GUILESS_MAIN(TestSessionExchange)
#include "tst_exchange.moc"
