// The status poll of the session worker; in the PGM change procedure's switch-off phase every
// status answer may send a PGM off command (pgm_change.cpp) and wait for the next status.

#include "session/online_worker.h"

#include "base/clock.h"
#include "link/frame_codec.h"
#include "session/session_frames.h"

namespace {

constexpr int StatusTimeoutMs = 2000;
constexpr qint64 BeforeStatusPauseMs = 300;

} // namespace

void OnLine::statusPoll() {
    const bool switchOff = PgmSwitchOffPhase.load();
    if (switchOff) {
        OperationDone = false;
        showStatus(QStringLiteral("Aguarde! Desativando PGM."), false, 0, 0, false);
    }

    ExchangeRequest request;
    request.timeoutMs = StatusTimeoutMs;
    request.answerLength = FrameCodec::StatusSlice;
    bool repeated = false;
    // The first request is preceded by a pause; every repetition raises the request again, so
    // that a wait ended by "Cancelar" before the answer came starts over.
    request.send = [&] {
        if (repeated) {
            send(SessionFrames::StatusRequestFrame());
            StatusRequest = true;
            return;
        }
        repeated = true;
        pause(BeforeStatusPauseMs);
        send(SessionFrames::StatusRequestFrame());
    };
    request.judge = [&](const std::optional<QByteArray>& slice) {
        if (!slice)
            return AnswerVerdict::Ignore;
        if (quint8(slice->at(0)) != FrameCodec::TypeStatus || slice->size() != FrameCodec::StatusSlice)
            return AnswerVerdict::Repeat;
        const QByteArray status = slice->mid(1, 6);
        acceptStatus(status);
        // A PGM off command went out: its answer is the next status.
        if (switchOff && !pgmSwitchOffStep(status))
            return AnswerVerdict::Rearm;
        StatusRequest = false;
        return AnswerVerdict::Accept;
    };
    const ExchangeResult result = exchange(request);

    if (switchOff) {
        // Switched off: the operator's bytes are written back next. Cancelled or hung up: the
        // PGM change stops here, with the outputs as they are.
        PgmSwitchOffPhase = false;
        StatusRequest = false;
        if (result == ExchangeResult::Accepted)
            WriteProgrammingRequest = true;
        else
            abandonPgmChange();
        OperationDone = true;
        closeStatus();
        m_lastActivity = Clock::instance().nowMs();
    }
    m_link.CancelRequested = false;
}
