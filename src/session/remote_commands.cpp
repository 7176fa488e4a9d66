// The session worker's remote commands (bypass, PGM on and off, arm, disarm): the command is sent
// until a status answer shows that it took effect.

#include "session/online_worker.h"

#include "link/frame_codec.h"
#include "session/session_frames.h"

namespace {

constexpr int CommandTimeoutMs = 2000;

} // namespace

bool OnLine::commandTakenEffect(const QByteArray& status) {
    const quint8 s1 = quint8(status[1]);
    const quint8 s4 = quint8(status[4]);
    const quint8 s5 = quint8(status[5]);
    const quint8 p = CommandParam;
    const quint8 pgmBit = p >= 1 && p <= 4 ? quint8(1 << (p - 1)) : 0;
    const struct {
        std::atomic<bool>& flag;
        bool holds;
    } expectations[] = {
        {ExpectBypass, s5 == p},
        {ExpectPgmOn, pgmBit && (s4 & pgmBit)},
        {ExpectPgmOff, pgmBit && !(s4 & pgmBit)},
        {ExpectArmA, bool(s1 & 0x01)},
        {ExpectDisarmA, !(s1 & 0x01)},
        {ExpectArmB, bool(s1 & 0x02)},
        {ExpectDisarmB, !(s1 & 0x02)},
    };
    bool anyExpected = false;
    for (const auto& e : expectations) {
        if (!e.flag.load())
            continue;
        anyExpected = true;
        if (e.holds) {
            e.flag = false;
            return true;
        }
    }
    // A command that waits for no particular effect is done with the first status answer.
    return !anyExpected;
}

void OnLine::clearExpectations() {
    ExpectPgmOn = ExpectPgmOff = ExpectArmA = ExpectArmB = false;
    ExpectDisarmA = ExpectDisarmB = ExpectBypass = false;
}

void OnLine::sendCommand() {
    ShowEfficiency = false;
    OperationDone = false;
    showStatus(QStringLiteral("Aguarde! Enviando comando ao painel."), false, 0, 0, false);
    CommandRequest = false;
    CommandRefused = false;
    const int limit = CommandRepeatLimit.load();
    int repeats = 0;
    // Whether the request on the line is the command itself (not the status asked after a time-out),
    // and whether the panel ever answered the command itself.
    bool commandOnTheLine = false;
    bool answered = false;
    const quint32 timeOutsBefore = TimeOutCount.load();
    // Another answer without the effect: repeat, or give up at the limit.
    const auto notYet = [&] {
        if (limit > 0 && ++repeats >= limit) {
            CommandRefused = answered;
            return AnswerVerdict::Refuse;
        }
        return AnswerVerdict::Repeat;
    };

    ExchangeRequest request;
    request.timeoutMs = CommandTimeoutMs;
    request.answerLength = FrameCodec::StatusSlice;
    request.send = [this, &commandOnTheLine] {
        send(SessionFrames::CommandFrame(CommandCode, CommandParam));
        commandOnTheLine = true;
    };
    // After a time-out the status is asked for, not the command: its answer tells whether the
    // command took effect.
    request.sendAfterTimeOut = [this, &commandOnTheLine] {
        send(SessionFrames::StatusRequestFrame());
        commandOnTheLine = false;
    };
    request.judge = [&](const std::optional<QByteArray>& slice) {
        if (!slice)
            return AnswerVerdict::Ignore;
        const quint8 type = quint8(slice->at(0));
        if (type == FrameCodec::TypeNak) {
            answered = answered || commandOnTheLine;
            return notYet();
        }
        if (type != FrameCodec::TypeStatus || slice->size() != FrameCodec::StatusSlice)
            return AnswerVerdict::Ignore;
        answered = answered || commandOnTheLine;
        const QByteArray status = slice->mid(1, 6);
        acceptStatus(status);
        return commandTakenEffect(status) ? AnswerVerdict::Accept : notYet();
    };
    AwaitingAck = true;
    const ExchangeResult result = exchange(request);
    if (result != ExchangeResult::Accepted)
        clearExpectations();
    AwaitingAck = false;
    using Outcome = CommandOutcome;
    if (result == ExchangeResult::Accepted)
        LastCommandOutcome = Outcome::Effect;
    else if (answered)
        LastCommandOutcome = result == ExchangeResult::Refused ? Outcome::Refused : Outcome::Stopped;
    else
        // Stopped without one answer to the command: after time-outs the panel did not respond;
        // stopped at once (the operator's "Cancelar") it was never given the time to.
        LastCommandOutcome = result == ExchangeResult::Refused || TimeOutCount.load() != timeOutsBefore
                                 ? Outcome::NoAnswer
                                 : Outcome::Stopped;
    endOperation();
}
