#include "session/online_worker.h"

#include "base/clock.h"
#include "base/locale_format.h"
#include "serial/modem_commands.h"
#include "session/block_layout.h"

#include <QCoreApplication>

namespace {

constexpr qint64 IdleStatusIntervalMs = 10000;
constexpr qint64 HangUpPauseMs = 300;
constexpr int HangUpAttentionCount = 3;
constexpr int ClosePortAttempts = 1000;
// How long (real time) the worker sleeps between two passes of its loop: a pass asks the main
// thread whether the customer window still exists, so passes are spaced a little.
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
    m_knownBlocks = 0;
    m_panelMemory = QByteArray(BlockCount * BlockLayout::BlockSize, '\0');
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
    // A stop request that came before the session started (its flags were cleared above) still
    // stops it: the line is hung up before anything is asked of the panel.
    if (m_link.StopRequested.load())
        DisconnectRequest = true;
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
    return isInterruptionRequested() || DisconnectRequest.load() || m_link.StopRequested.load() ||
           m_link.CarrierLost.load();
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
    while (ending() && !isInterruptionRequested())
        hangUp();
    if (ReadBufferRequest && !ending())
        readBufferProcedure();
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
    sendToModem(kModemHangUp);
    pause(HangUpPauseMs);
    for (int i = 0; i < HangUpAttentionCount; ++i) {
        sendToModem(kModemAttention);
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
