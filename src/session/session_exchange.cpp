#include "session/session_exchange.h"

#include "link/frame_codec.h"

ExchangeResult RunExchange(ExchangeChannel& channel, const ExchangeRequest& request) {
    qint64 deadline = 0;
    const auto sendWith = [&](const std::function<void()>& send) {
        send();
        // Any expiry during the send belongs to the previous deadline.
        channel.takeExternalTimeOut();
        deadline = channel.nowMs() + request.timeoutMs;
    };
    const std::function<void()>& afterTimeOut =
        request.sendAfterTimeOut ? request.sendAfterTimeOut : request.send;

    channel.discardFrame();
    sendWith(request.send);
    for (;;) {
        // An answer that arrived before the stop request is still taken (a record received just
        // before the line dropped is kept); whatever it asks for is not sent any more.
        if (std::optional<QByteArray> frame = channel.takeFrame()) {
            const std::optional<QByteArray> slice = FrameCodec::AnswerSlice(*frame, request.answerLength);
            const AnswerVerdict verdict =
                !slice && request.rejectGarbled ? AnswerVerdict::Reject : request.judge(slice);
            switch (verdict) {
            case AnswerVerdict::Accept:
                return ExchangeResult::Accepted;
            case AnswerVerdict::Refuse:
                return ExchangeResult::Refused;
            case AnswerVerdict::Reject:
                sendWith(request.send);
                channel.countError();
                break;
            case AnswerVerdict::Repeat:
                sendWith(request.send);
                break;
            case AnswerVerdict::Rearm:
                channel.takeExternalTimeOut();
                deadline = channel.nowMs() + request.timeoutMs;
                break;
            case AnswerVerdict::Ignore:
                break;
            }
            continue;
        }
        if (channel.stopRequested())
            return ExchangeResult::Stopped;
        if (channel.takeExternalTimeOut() || channel.nowMs() >= deadline) {
            channel.timeOutRule();
            if (channel.stopRequested())
                return ExchangeResult::Stopped;
            sendWith(afterTimeOut);
            continue;
        }
        channel.idle();
    }
}
