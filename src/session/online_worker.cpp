#include "session/online_worker.h"

#include "base/locale_format.h"
#include "base/clock.h"
#include "serial/modem_commands.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

constexpr qint64 IdleStatusIntervalMs = 10000;
// The pause that closes the main window's send operation (EnviaComando).
constexpr qint64 SendOperationPauseMs = 100;
constexpr int RetryPromptAfter = 10;
constexpr qint64 HangUpPauseMs = 300;
constexpr int HangUpAttentionCount = 3;
constexpr int ClosePortAttempts = 1000;
// How long (real time) the worker sleeps between two looks at its flags, and between two passes
// of its loop. One look costs nothing; a pass asks the main thread whether the customer window
// still exists, so passes are spaced a little more.
constexpr qint64 PollRealMs = 1;
constexpr qint64 PassRealMs = 2;

} // namespace

OnLine::OnLine(OnLineHost& host, QObject* parent) : QThread(parent), m_host(host), m_link(host.Link()) {}

OnLine::~OnLine() {
    // Normally the thread has ended (OnLineFim) before the object goes. If not, it is ended here
    // while its calls into the main thread are still served, so that neither side waits forever.
    requestInterruption();
    while (!wait(5))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

std::optional<TransferReport> OnLine::LastTransfer() const {
    QMutexLocker lock(&m_reportMutex);
    return m_lastTransfer;
}

double OnLine::Efficiency(quint32 framesPlanned, quint32 errorCount) {
    if (errorCount == 0)
        return 100.0;
    const double p = framesPlanned;
    const double e = errorCount;
    return (p + e) / (p + 2 * e) * 100.0;
}

QString OnLine::EfficiencyText(quint32 framesPlanned, quint32 errorCount) {
    return FormatNumber(Efficiency(framesPlanned, errorCount), 2) + QLatin1Char('%');
}

// ---------------------------------------------------------------------------------------------
// Life of the worker

void OnLine::run() {
    startSteps();
    while (!isInterruptionRequested()) {
        bool exists = false;
        onUi([&] { exists = m_host.CustomerWindowExists(); });
        if (!exists)
            break;
        pass();
        Clock::instance().sleepMs(Clock::instance().toLogical(PassRealMs));
    }
    endSteps();
}

void OnLine::startSteps() {
    DisconnectRequest = false;
    ReadDateTimeRequest = false;
    WriteProgrammingRequest = false;
    OperationDone = false;
    ReadBufferRequest = false;
    AwaitingAck = false;
    CommandRequest = false;
    TimedOut = false;
    WriteDateRequest = false;
    WriteTimeRequest = false;
    CloseWindowsOnDisconnect = false;
    PgmSwitchOffPhase = false;
    ExpectPgmOn = ExpectPgmOff = ExpectArmA = ExpectArmB = false;
    ExpectDisarmA = ExpectDisarmB = ExpectBypass = false;
    ShowEfficiency = false;
    PgmChangeRequest = false;
    PgmModuleChanged = false;
    m_link.ProgrammingReceived = false;

    onUi([&] {
        m_host.SetCloseButtonEnabled(false);
        m_host.SetOnLineIndicator(true);
    });

    m_lastActivity = 0;
    CurrentChunk = 0;
    m_retryCount = 0;

    if (m_link.PanelSentBuffer.load())
        ReadBufferRequest = true;

    // The customer's PRODUTO, unless it names no model ("0": not identified yet): then the product
    // the panel reported when it was identified.
    std::optional<int> stored;
    onUi([&] { stored = m_host.CustomerProduct(); });
    Product = quint8(stored && *stored >= 1 && *stored <= 4 ? *stored : m_link.ConnectedProduct.load());
    LastBlock = Product.load() == 2 ? 15 : 18;

    m_link.CancelRequested = false;
}

void OnLine::endSteps() {
    onUi([&] {
        m_host.StopResponseTimer();
        m_host.SetOnLineIndicator(false);
        m_host.ClearImagemAlarme();
        m_host.RefreshMonitoringView();
        m_host.ClearBufferDownloading();
        // Enabled before the end message, not after it: the end message's handler waits for this
        // thread, so nothing may be asked of the main thread once it is posted.
        m_host.SetCloseButtonEnabled(true);
    });
    Q_EMIT OnLineFim();
}

bool OnLine::ending() const {
    return isInterruptionRequested() || DisconnectRequest.load();
}

// One pass of the loop: the requests in their fixed order. A "repeated" row is served again as
// long as its flag is found set when it ends, but never once the session is ending, so that a row
// whose wait was ended by DisconnectRequest cannot keep the hang-up from its turn.
void OnLine::pass() {
    LastBlock = Product.load() == 2 ? 15 : 18;

    if (WriteProgrammingRequest && !ending())
        writeProcedure();
    while (ReadProgrammingRequest && !ending())
        readProcedure();
    while (DisconnectRequest && !isInterruptionRequested())
        hangUp();
    // The event-buffer download (ReadBufferRequest) has its own worker code, not built yet.
    while (ReadDateTimeRequest && !ending())
        readDateTime();
    while (WriteDateRequest && !ending())
        writeDateOrTime(true);
    while (WriteTimeRequest && !ending())
        writeDateOrTime(false);
    // The PGM change procedure and its restore run once per pass: each of their steps leaves the
    // next one to a later pass, after the write the step has raised.
    if (PgmChangeRequest && !ending())
        pgmChangePreparation();
    while (StatusRequest && !ending())
        statusPoll();
    if (m_pgm.restorePending && !ending())
        pgmRestore();
    while (CommandRequest && !ending())
        sendCommand();
    if (!ending())
        idleCheck();
}

void OnLine::idleCheck() {
    const qint64 now = Clock::instance().nowMs();
    if (now - m_lastActivity <= IdleStatusIntervalMs)
        return;
    StatusRequest = true;
    m_lastActivity = now;
    onUi([&] { m_host.RepaintProgrammingWindows(); });
}

void OnLine::hangUp() {
    ShowEfficiency = false;
    OperationDone = false;
    showStatus(QStringLiteral("Aguarde! Desconectando."), false, 0, 0, false);

    if (CloseWindowsOnDisconnect)
        onUi([&] { m_host.CloseWindowsForDisconnect(); });
    send(kModemHangUp);
    pause(HangUpPauseMs);
    for (int i = 0; i < HangUpAttentionCount; ++i) {
        send(kModemAttention);
        pause(HangUpPauseMs);
    }
    // In data mode the modem passes the commands above on as data; the line really drops when the
    // port closes (DTR falls).
    onUi([&] {
        m_host.StopResponseTimer();
        m_host.ClosePort();
    });
    for (int i = 0; i < ClosePortAttempts; ++i) {
        bool open = false;
        onUi([&] { open = m_host.PortOpened(); });
        if (!open)
            break;
        pause(1);
        onUi([&] { m_host.ClosePort(); });
    }

    requestInterruption();
    OperationDone = true;
    closeStatus();
    m_lastActivity = Clock::instance().nowMs();
}

// ---------------------------------------------------------------------------------------------
// Exchange rules shared by every operation

void OnLine::onUi(const std::function<void()>& f) {
    if (QThread::currentThread() == thread()) {
        f();
        return;
    }
    QMetaObject::invokeMethod(this, f, Qt::BlockingQueuedConnection);
}

void OnLine::send(const QByteArray& frame) {
    onUi([&] { m_host.SendFrame(frame); });
    pause(SendOperationPauseMs);
}

void OnLine::pause(qint64 ms) const {
    Clock::instance().sleepMs(ms);
}

void OnLine::pollPause() const {
    Clock::instance().sleepMs(Clock::instance().toLogical(PollRealMs));
}

OnLine::Event OnLine::waitEvent(bool endOnCancel, QByteArray* frame) {
    for (;;) {
        if (isInterruptionRequested() || DisconnectRequest.load() ||
            (endOnCancel && m_link.CancelRequested.load()))
            return Event::Ended;
        if (std::optional<QByteArray> f = m_link.TakeFrame()) {
            *frame = std::move(*f);
            return Event::Frame;
        }
        if (TimedOut.load())
            return Event::TimedOut;
        pollPause();
    }
}

void OnLine::timeoutRule() {
    ++m_retryCount;
    if (m_retryCount >= RetryPromptAfter) {
        bool goOn = false;
        onUi([&] { goOn = m_host.AskContinueTrying(); });
        if (goOn)
            m_retryCount = 0;
        else
            DisconnectRequest = true;
    }
    // The periodic timer kept running while the prompt was up.
    TimedOut = false;
}

void OnLine::setTimer(int ms) {
    onUi([&] { m_host.SetResponseTimerInterval(ms); });
}

void OnLine::startTimer() {
    onUi([&] { m_host.StartResponseTimer(); });
}

void OnLine::stopTimer() {
    onUi([&] { m_host.StopResponseTimer(); });
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

void OnLine::countError() {
    ++ErrorCount;
    showFigure();
}

QByteArray OnLine::image(ImageCopy which, int offset, int count) {
    QByteArray bytes;
    onUi([&] { bytes = m_host.ImageBytes(Product, which, offset, count); });
    return bytes;
}

void OnLine::setImage(ImageCopy which, int offset, const QByteArray& bytes) {
    onUi([&] { m_host.SetImageBytes(Product, which, offset, bytes); });
}
