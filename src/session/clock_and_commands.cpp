// The session worker's date and time operations and remote commands.

#include "session/online_worker.h"

#include "link/frame_codec.h"
#include "session/session_frames.h"

#include <QDateTime>

namespace {

constexpr int ShortOperationTimeoutMs = 2000;

// A clock value as the family sends it, as two decimal digits: the BCD nibbles of the 10-zone
// family, the binary value of the 5-zone model.
QString clockDigits(quint8 value, bool packedBcd) {
    if (packedBcd)
        return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString OnLine::PanelDateTimeText(const QByteArray& clock, bool packedBcd) {
    // seconds, minutes, hours, day, month, year
    const auto d = [&](int i) { return clockDigits(quint8(clock[i]), packedBcd); };
    return QStringLiteral("Painel:  ") + d(3) + QLatin1Char('/') + d(4) + QStringLiteral("/20") + d(5) +
           QLatin1Char(' ') + d(2) + QLatin1Char(':') + d(1) + QLatin1Char(':') + d(0);
}

void OnLine::readDateTime() {
    ShowEfficiency = false;
    OperationDone = false;
    showStatus(QStringLiteral("Aguarde! Recebendo data e hora do painel."), false, 0, 0, false);
    ReadDateTimeRequest = false;
    setTimer(ShortOperationTimeoutMs);
    m_link.DiscardFrame();
    send(SessionFrames::ReadDateTimeFrame());
    startTimer();
    const auto askAgain = [this] {
        send(SessionFrames::ReadDateTimeFrame());
        ReadDateTimeRequest = true;
        startTimer();
    };
    for (bool waiting = true; waiting;) {
        QByteArray frame;
        switch (waitEvent(true, &frame)) {
        case Event::Ended:
            stopTimer();
            waiting = false;
            break;
        case Event::TimedOut:
            timeoutRule();
            if (ending()) {
                stopTimer();
                waiting = false;
                break;
            }
            askAgain();
            break;
        case Event::Frame: {
            const std::optional<QByteArray> slice = FrameCodec::AnswerSlice(frame, FrameCodec::StatusSlice);
            if (!slice)
                break;
            if (quint8(slice->at(0)) != FrameCodec::TypeDateTime ||
                slice->size() != FrameCodec::StatusSlice) {
                askAgain();
                break;
            }
            const QByteArray clock = slice->mid(1, 6);
            const QString text = PanelDateTimeText(clock, Product != 2);
            onUi([&] { m_host.ShowPanelDateTime(clock, text); });
            stopTimer();
            ReadDateTimeRequest = false;
            waiting = false;
            break;
        }
        }
    }
    endOperation();
}

void OnLine::writeDateOrTime(bool date) {
    ShowEfficiency = false;
    OperationDone = false;
    showStatus(date ? QStringLiteral("Aguarde! Programando a data no painel.")
                    : QStringLiteral("Aguarde! Programando a hora no painel."),
               false, 0, 0, false);
    setTimer(ShortOperationTimeoutMs);
    m_link.DiscardFrame();
    // The frame is built from the computer's clock at every sending.
    const auto sendFrame = [this, date] {
        const QDateTime now = QDateTime::currentDateTime();
        const bool bcd = Product != 2;
        send(date ? SessionFrames::WriteDateFrame(now.date(), bcd)
                  : SessionFrames::WriteTimeFrame(now.time(), bcd));
    };
    sendFrame();
    (date ? WriteDateRequest : WriteTimeRequest) = false;
    startTimer();
    AwaitingAck = true;
    while (AwaitingAck) {
        QByteArray frame;
        switch (waitEvent(true, &frame)) {
        case Event::Ended:
            stopTimer();
            AwaitingAck = false;
            break;
        case Event::TimedOut:
            timeoutRule();
            if (ending()) {
                stopTimer();
                AwaitingAck = false;
                break;
            }
            sendFrame();
            startTimer();
            break;
        case Event::Frame: {
            const std::optional<QByteArray> slice =
                FrameCodec::AnswerSlice(frame, FrameCodec::ShortAnswerSlice);
            if (!slice)
                break;
            const quint8 type = quint8(slice->at(0));
            if (type == FrameCodec::TypeAck) {
                stopTimer();
                AwaitingAck = false;
            } else if (type == FrameCodec::TypeNak) {
                sendFrame();
                startTimer();
            }
            break;
        }
        }
    }
    endOperation();
}

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
    setTimer(ShortOperationTimeoutMs);
    m_link.DiscardFrame();
    const auto sendFrame = [this] { send(SessionFrames::CommandFrame(CommandCode, CommandParam)); };
    sendFrame();
    CommandRequest = false;
    startTimer();
    AwaitingAck = true;
    while (AwaitingAck) {
        QByteArray frame;
        switch (waitEvent(true, &frame)) {
        case Event::Ended:
            clearExpectations();
            stopTimer();
            AwaitingAck = false;
            break;
        case Event::TimedOut:
            // The status is asked for, not the command: its answer tells whether it took effect.
            timeoutRule();
            if (ending())
                break; // the next look ends the wait
            send(SessionFrames::StatusRequestFrame());
            startTimer();
            break;
        case Event::Frame: {
            const std::optional<QByteArray> slice = FrameCodec::AnswerSlice(frame, FrameCodec::StatusSlice);
            if (!slice)
                break;
            const quint8 type = quint8(slice->at(0));
            if (type == FrameCodec::TypeNak) {
                stopTimer();
                sendFrame();
                startTimer();
            } else if (type == FrameCodec::TypeStatus && slice->size() == FrameCodec::StatusSlice) {
                const QByteArray status = slice->mid(1, 6);
                PanelStatus.store(status);
                onUi([&] { m_host.Atualiza_Monitorando(status); });
                if (commandTakenEffect(status)) {
                    stopTimer();
                    AwaitingAck = false;
                } else {
                    sendFrame();
                    startTimer();
                }
            }
            break;
        }
        }
    }
    endOperation();
}
