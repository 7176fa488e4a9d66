// The session worker's side of an exchange (what it waits on, its time-out rule, its error count)
// and the calls it makes into its host on the main thread.

#include "session/online_worker.h"

#include "base/clock.h"
#include "base/run_on_thread.h"

#include <QMetaObject>

namespace {

// The pause that closes the main window's send operation (EnviaComando).
constexpr qint64 SendOperationPauseMs = 100;
constexpr int RetryPromptAfter = 10;
// How long (real time) the worker sleeps between two looks at its flags while it waits.
constexpr qint64 PollRealMs = 1;

} // namespace

bool OnLine::stopRequested() {
    return ending() || m_link.CancelRequested.load();
}

std::optional<QByteArray> OnLine::takeFrame() {
    return m_link.TakeFrame();
}

void OnLine::discardFrame() {
    m_link.DiscardFrame();
}

qint64 OnLine::nowMs() {
    return Clock::instance().nowMs();
}

void OnLine::idle() {
    Clock::instance().sleepMs(Clock::instance().toLogical(PollRealMs));
}

bool OnLine::takeExternalTimeOut() {
    return TimedOut.exchange(false);
}

// RetryCount belongs to the whole run of the worker: time-outs of different operations add up,
// and only the operator's "go on" sets it back.
void OnLine::timeOutRule() {
    ++TimeOutCount;
    ++m_retryCount;
    if (m_retryCount >= RetryPromptAfter) {
        bool goOn = false;
        onUi([&] { goOn = m_host.AskContinueTrying(); });
        if (goOn)
            m_retryCount = 0;
        else
            DisconnectRequest = true;
    }
    TimedOut = false;
}

void OnLine::countError() {
    ++ErrorCount;
    showFigure();
}

void OnLine::onUi(const std::function<void()>& f) {
    RunBlockingOn(this, f);
}

void OnLine::send(const QByteArray& frame) {
    // Looked at on the main thread, where stop requests and "Cancelar" are raised: a frame of an
    // operation that was cancelled, or of a session that is stopping, never reaches the panel, even
    // when the request came during the pause before the send.
    onUi([&] {
        if (!stopRequested())
            m_host.SendFrame(frame);
    });
    pause(SendOperationPauseMs);
}

void OnLine::sendToModem(const QByteArray& command) {
    onUi([&] { m_host.SendFrame(command); });
    pause(SendOperationPauseMs);
}

void OnLine::pause(qint64 ms) const {
    Clock::instance().sleepMs(ms);
}

void OnLine::showStatus(const QString& text, bool gauge, int min, int max, bool efficiency) {
    StatusText.store(text);
    ShowGauge = gauge;
    GaugeMin = min;
    GaugeMax = max;
    StatusWindowContent content;
    content.Text = text;
    content.ShowGauge = gauge;
    content.GaugeMin = min;
    content.GaugeMax = max;
    content.ShowEfficiency = efficiency;
    onUi([&] {
        m_host.ShowStatusWindow(content);
        if (efficiency)
            m_host.ShowEfficiency(EfficiencyText(FramesPlanned, ErrorCount));
    });
}

void OnLine::closeStatus() {
    onUi([&] { m_host.CloseStatusWindow(); });
}

void OnLine::endOperation() {
    OperationDone = true;
    closeStatus();
    m_link.CancelRequested = false;
    m_lastActivity = Clock::instance().nowMs();
}

void OnLine::showFigure() {
    if (!ShowEfficiency)
        return;
    const QString figure = EfficiencyText(FramesPlanned, ErrorCount);
    onUi([&] { m_host.ShowEfficiency(figure); });
}

void OnLine::acceptStatus(const QByteArray& status) {
    PanelStatus.store(status);
    onUi([&] { m_host.Atualiza_Monitorando(status); });
}

QByteArray OnLine::image(ImageCopy which, int offset, int count) {
    QByteArray bytes;
    onUi([&] { bytes = m_host.ImageBytes(Product, which, offset, count); });
    return bytes;
}

void OnLine::setImage(ImageCopy which, int offset, const QByteArray& bytes) {
    onUi([&] { m_host.SetImageBytes(Product, which, offset, bytes); });
}
