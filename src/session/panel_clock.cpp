// The session worker's date and time operations: reading the panel's clock and setting it from
// the computer's.

#include "session/online_worker.h"

#include "link/frame_codec.h"
#include "session/session_frames.h"

#include <QDateTime>

namespace {

constexpr int ClockTimeoutMs = 2000;

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

    ExchangeRequest request;
    request.timeoutMs = ClockTimeoutMs;
    request.answerLength = FrameCodec::StatusSlice;
    bool repeated = false;
    // Every repetition raises the request again, so that a wait ended by "Cancelar" before the
    // answer came starts over.
    request.send = [&] {
        send(SessionFrames::ReadDateTimeFrame());
        if (repeated)
            ReadDateTimeRequest = true;
        repeated = true;
    };
    request.judge = [&](const std::optional<QByteArray>& slice) {
        if (!slice)
            return AnswerVerdict::Ignore;
        if (quint8(slice->at(0)) != FrameCodec::TypeDateTime || slice->size() != FrameCodec::StatusSlice)
            return AnswerVerdict::Repeat;
        const QByteArray clock = slice->mid(1, 6);
        const QString text = PanelDateTimeText(clock, Product != 2);
        PanelClock.store(clock);
        PanelClockText.store(text);
        onUi([&] { m_host.ShowPanelDateTime(clock, text); });
        ReadDateTimeRequest = false;
        return AnswerVerdict::Accept;
    };
    exchange(request);
    endOperation();
}

void OnLine::writeDateOrTime(bool date) {
    ShowEfficiency = false;
    OperationDone = false;
    showStatus(date ? QStringLiteral("Aguarde! Programando a data no painel.")
                    : QStringLiteral("Aguarde! Programando a hora no painel."),
               false, 0, 0, false);
    (date ? WriteDateRequest : WriteTimeRequest) = false;

    ExchangeRequest request;
    request.timeoutMs = ClockTimeoutMs;
    request.answerLength = FrameCodec::ShortAnswerSlice;
    // The frame is built from the computer's clock at every sending.
    request.send = [&] {
        const QDateTime now = QDateTime::currentDateTime().addMSecs(ClockOffsetMs.load());
        const bool bcd = Product != 2;
        send(date ? SessionFrames::WriteDateFrame(now.date(), bcd)
                  : SessionFrames::WriteTimeFrame(now.time(), bcd));
    };
    request.judge = [](const std::optional<QByteArray>& slice) {
        if (!slice)
            return AnswerVerdict::Ignore;
        switch (quint8(slice->at(0))) {
        case FrameCodec::TypeAck:
            return AnswerVerdict::Accept;
        case FrameCodec::TypeNak:
            return AnswerVerdict::Repeat;
        default:
            return AnswerVerdict::Ignore;
        }
    };
    AwaitingAck = true;
    exchange(request);
    AwaitingAck = false;
    endOperation();
}
