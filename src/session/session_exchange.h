#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

// One exchange with the panel: send a request, wait for its answer, and judge what comes.
//
// Every operation of the session worker (block read and write, status, date and time, commands,
// the event records) is one or more exchanges. An exchange
//  - discards any frame already waiting, sends its request and starts its answer deadline;
//  - on every answer cuts the slice of the length it expects and hands it (nothing when the
//    checksum failed) to the operation's judge, which says what the answer means;
//  - when the deadline passes, applies the session's time-out rule and sends its time-out request
//    (the request itself unless the operation says otherwise), with a fresh deadline;
//  - ends when the judge accepts or refuses an answer, or when the worker asks it to stop.
//
// Timer discipline: the deadline is stopped while a request is being sent (the send's pauses can
// last longer than a short deadline) and starts afresh, with any earlier expiry forgotten, after
// every send. An accepted or refused answer ends the deadline.
//
// The deadline is kept by the exchange itself, on the thread that runs it, in the logical time of
// its channel (the application's Clock); no timer of another thread is involved.

// What an answer means to the operation waiting for it.
enum class AnswerVerdict {
    Accept, // the answer it waited for: the exchange ends
    Refuse, // a refusal: the exchange ends without the answer
    Reject, // rejected (or garbled): send the request again, counted as an error
    Repeat, // not yet the answer wanted: send the request again, not an error
    Rearm,  // the judge itself sent a request of its own: wait on, with a fresh deadline
    Ignore, // not for this request: wait on, the deadline running on
};

// How an exchange ended.
enum class ExchangeResult { Accepted, Refused, Stopped };

// What an exchange needs from the worker that runs it.
class ExchangeChannel {
public:
    virtual ~ExchangeChannel() = default;
    // The worker is terminated, hanging up, or the operator cancelled: the wait ends.
    virtual bool stopRequested() = 0;
    // The frame the dispatcher holds, taken (and the mailbox emptied), or nothing.
    virtual std::optional<QByteArray> takeFrame() = 0;
    virtual void discardFrame() = 0;
    // Logical milliseconds now, and one idle look's wait (both in the same time).
    virtual qint64 nowMs() = 0;
    virtual void idle() = 0;
    // An expiry raised from outside the exchange (the host's response timer), taken and cleared.
    virtual bool takeExternalTimeOut() { return false; }
    // The session's time-out rule: count it, and after enough of them ask whether to go on. The
    // exchange stops when stopRequested() answers true afterwards.
    virtual void timeOutRule() = 0;
    // An answer rejected or garbled: the efficiency figure counts it.
    virtual void countError() = 0;
};

// One request and the rules for its answer.
struct ExchangeRequest {
    int timeoutMs = 2000;
    // Length of the answer slice handed to the judge (FrameCodec::AnswerSlice).
    int answerLength = 2;
    // Sends the request, with the pauses that belong to it.
    std::function<void()> send;
    // Sent when the deadline passes; empty: send again.
    std::function<void()> sendAfterTimeOut;
    // The answer slice, or nothing when its checksum failed.
    std::function<AnswerVerdict(const std::optional<QByteArray>& slice)> judge;
    // When set, a failed checksum is not given to the judge but rejected (sent again and counted).
    bool rejectGarbled = false;
};

ExchangeResult RunExchange(ExchangeChannel& channel, const ExchangeRequest& request);
