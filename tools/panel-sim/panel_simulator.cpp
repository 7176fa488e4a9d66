#include "panel_simulator.h"

#include "sim_bytes.h"
#include "sim_line_pacer.h"
#include "sim_modem.h"
#include "sim_panel.h"
#include "sim_transport.h"

#include "base/clock.h"
#include "serial/memory_line.h"

using namespace sim;

namespace {
JournalEntry lineEvent(const QString& text) {
    JournalEntry e;
    e.dir = QStringLiteral("line");
    e.kind = QStringLiteral("event");
    e.text = text;
    return e;
}
} // namespace

PanelSimulator::PanelSimulator(const PanelSimConfig& config, QObject* parent)
    : QObject(parent), m_config(config), m_startMs(Clock::instance().nowMs()) {
    m_pacer = new LinePacer(this);
    m_modem = new SimModem(m_config.modem, &m_config.faults, this);
    m_panel = new SimPanel(m_config, &m_config.faults, this);
    m_modem->setPaced(m_config.line300);
    // Timings are part of what is simulated: no timer may fire early.
    for (QTimer* t : {&m_ringTimer, &m_retryTimer, &m_callInTimer, &m_hangUpTimer})
        t->setTimerType(Qt::PreciseTimer);
    m_retryTimer.setSingleShot(true);
    m_callInTimer.setSingleShot(true);
    m_hangUpTimer.setSingleShot(true);
    wire();
    if (!m_config.journalPath.isEmpty()) {
        QString error;
        if (!setJournalFile(m_config.journalPath, &error))
            qWarning("%s", qPrintable(error));
    }
    if (m_config.panel.callInAfterMs >= 0)
        m_callInTimer.start(Clock::instance().realInterval(m_config.panel.callInAfterMs));
}

PanelSimulator::~PanelSimulator() = default;

void PanelSimulator::wire() {
    connect(m_pacer, &LinePacer::output, this, [this](const QByteArray& bytes, int) {
        if (m_transport)
            m_transport->write(bytes);
    });
    connect(m_modem, &SimModem::toProgram, m_pacer, &LinePacer::enqueue);
    connect(m_modem, &SimModem::dataToRemote, m_panel, &SimPanel::receive);
    connect(m_modem, &SimModem::journal, this, &PanelSimulator::addJournal);
    connect(m_panel, &SimPanel::journal, this, &PanelSimulator::addJournal);
    connect(m_modem, &SimModem::dialled, this, [this](const QString& digits) { m_lastDialled = digits; });

    connect(m_modem, &SimModem::callStarted, this, [this](bool originated) {
        if (!originated) {
            m_calling = false;
            m_ringTimer.stop();
        }
        m_panel->callStarted(originated);
    });
    connect(m_modem, &SimModem::callEnded, this, [this] {
        m_panel->callEnded();
        m_pacer->drop(SimModem::DataTag);
        m_hangUpTimer.stop();
        const bool callback = m_callbackPending;
        if (callback) {
            m_callbackPending = false;
            m_attemptsLeft = std::max(1, behaviour().callAttempts);
            addJournal(lineEvent(QStringLiteral("the panel will call back")));
            m_retryTimer.start(Clock::instance().realInterval(behaviour().callbackDelayMs));
        }
        Q_EMIT callFinished(callback);
    });
    connect(m_modem, &SimModem::callFailed, this, [this] {
        if (m_firstCallRinging) {
            m_firstCallRinging = false;
            m_firstCallEndedMs = Clock::instance().nowMs();
        }
        if (m_calling) {
            m_calling = false;
            m_ringTimer.stop();
            callAttemptFailed();
        }
    });

    connect(m_panel, &SimPanel::answer, m_modem, &SimModem::sendData);
    connect(m_panel, &SimPanel::hangUpAfterAnswer, this, &PanelSimulator::hangUpAfterAnswer);
    connect(m_panel, &SimPanel::hangUpNow, m_modem, &SimModem::remoteHangUp);
    connect(m_panel, &SimPanel::sessionStarted, this, &PanelSimulator::sessionStarted);

    connect(&m_ringTimer, &QTimer::timeout, this, &PanelSimulator::ringOnce);
    connect(&m_retryTimer, &QTimer::timeout, this, &PanelSimulator::placeCall);
    connect(&m_callInTimer, &QTimer::timeout, this, &PanelSimulator::callIn);
    connect(&m_hangUpTimer, &QTimer::timeout, m_modem, &SimModem::remoteHangUp);

    m_modem->setDialHandler([this](const QString& digits) {
        const ModemSettings& ms = m_modem->settings();
        if (ms.dialOutcome != DialOutcome::Connect)
            return SimModem::CallPlan{ms.dialOutcome, ms.failureDelayMs};
        if (m_calling) // the panel is calling this line itself
            return SimModem::CallPlan{DialOutcome::Busy, ms.failureDelayMs};
        if (!ms.panelNumber.isEmpty() && !digits.endsWith(ms.panelNumber))
            return SimModem::CallPlan{DialOutcome::NoAnswer, ms.failureDelayMs};
        if (behaviour().answeringMachineBypass) {
            const qint64 now = Clock::instance().nowMs();
            if (m_firstCallEndedMs < 0 || now - m_firstCallEndedMs > behaviour().bypassWindowMs) {
                // A first call: the panel lets it ring; the modem gives up after S7 seconds.
                m_firstCallRinging = true;
                addJournal(lineEvent(QStringLiteral("first call: the panel lets it ring")));
                return SimModem::CallPlan{DialOutcome::NoAnswer, std::max(1, m_modem->sRegister(7)) * 1000LL};
            }
            m_firstCallEndedMs = -1;
        }
        return SimModem::CallPlan{DialOutcome::Connect, ms.connectDelayMs};
    });
}

void PanelSimulator::attach(MemoryLine* line) {
    Q_ASSERT(!m_transport);
    connectTransport(new MemoryLineTransport(line, this));
}

bool PanelSimulator::openPty(QString* devicePath, QString* error) {
    Q_ASSERT(!m_transport);
    auto* pty = new PtyTransport(this);
    if (!pty->open(error)) {
        delete pty;
        return false;
    }
    *devicePath = pty->devicePath();
    addJournal(lineEvent(QStringLiteral("pseudo-terminal %1").arg(*devicePath)));
    connectTransport(pty);
    return true;
}

void PanelSimulator::connectTransport(Transport* transport) {
    m_transport = transport;
    connect(transport, &Transport::received, m_modem, &SimModem::fromProgram);
    connect(transport, &Transport::programOpenChanged, this, [this](bool open) {
        addJournal(
            lineEvent(open ? QStringLiteral("port opened (%1 bit/s)").arg(m_transport->programBaudrate())
                           : QStringLiteral("port closed")));
        m_modem->setDteBaud(m_transport->programBaudrate());
        m_modem->setDtr(open);
        if (!open)
            m_pacer->clear(); // what was on its way (the NO CARRIER included) is lost with the port
    });
    connect(transport, &Transport::programBaudrateChanged, this, [this](int baud) {
        addJournal(lineEvent(QStringLiteral("port speed %1 bit/s").arg(baud)));
        m_modem->setDteBaud(baud);
    });
    m_modem->setDteBaud(transport->programBaudrate());
    m_modem->setDtr(transport->programOpen());
}

void PanelSimulator::addJournal(JournalEntry entry) {
    entry.timeMs = Clock::instance().nowMs() - m_startMs;
    m_journal.add(entry);
    Q_EMIT journalAppended(entry);
}

void PanelSimulator::hangUpAfterAnswer(bool callbackFollows) {
    if (callbackFollows)
        m_callbackPending = true;
    // Once the answer is out, wait a moment and drop the line.
    m_pacer->enqueueAction(
        [this] { m_hangUpTimer.start(Clock::instance().realInterval(behaviour().hangupDelayMs)); },
        Clock::instance().nowMs(), SimModem::DataTag);
}

void PanelSimulator::callIn() {
    m_attemptsLeft = std::max(1, behaviour().callAttempts);
    placeCall();
}

void PanelSimulator::placeCall() {
    if (m_calling)
        return;
    if (m_modem->inCall()) {
        addJournal(lineEvent(QStringLiteral("the panel finds the line busy")));
        callAttemptFailed();
        return;
    }
    m_calling = true;
    m_ringsThisCall = 0;
    const QByteArray pcNumber = m_panel->image().mid(240, 8);
    addJournal(lineEvent(QStringLiteral("the panel calls the PC (number %1)").arg(hex(pcNumber))));
    ringOnce();
    m_ringTimer.start(Clock::instance().realInterval(m_modem->settings().ringIntervalMs));
}

void PanelSimulator::ringOnce() {
    if (!m_calling)
        return;
    if (m_ringsThisCall >= behaviour().callRings) {
        m_ringTimer.stop();
        m_calling = false;
        addJournal(lineEvent(QStringLiteral("no answer after %1 rings").arg(m_ringsThisCall)));
        m_modem->callerGone();
        callAttemptFailed();
        return;
    }
    ++m_ringsThisCall;
    m_modem->incomingRing();
}

void PanelSimulator::callAttemptFailed() {
    if (--m_attemptsLeft > 0) {
        m_retryTimer.start(Clock::instance().realInterval(behaviour().callRetryMs));
    } else {
        m_retryTimer.stop();
        addJournal(lineEvent(QStringLiteral("the panel gives up calling")));
    }
}

void PanelSimulator::dropLine() {
    m_modem->remoteHangUp();
}

Family PanelSimulator::family() const {
    return m_panel->family();
}

int PanelSimulator::product() const {
    return m_panel->product();
}

QByteArray PanelSimulator::image() const {
    return m_panel->image();
}

void PanelSimulator::setImage(const QByteArray& image) {
    m_panel->setImage(image);
}

QByteArray PanelSimulator::block(int block) const {
    return m_panel->image().mid(block * 16, 16);
}

QByteArray PanelSimulator::pageBytes(int page) const {
    return m_panel->page(page);
}

QByteArray PanelSimulator::events() const {
    return m_panel->events();
}

void PanelSimulator::setEvents(const QByteArray& events) {
    m_panel->setEvents(events);
}

QByteArray PanelSimulator::eventRecord(int record) const {
    return logRecord(m_panel->events(), record);
}

PanelStatus PanelSimulator::status() const {
    return m_panel->status();
}

void PanelSimulator::setStatus(const PanelStatus& status) {
    m_panel->status() = status;
}

QDateTime PanelSimulator::panelClock() const {
    return m_panel->clock();
}

void PanelSimulator::setPanelClock(const QDateTime& time) {
    m_panel->setClock(time);
}

bool PanelSimulator::carrier() const {
    return m_modem->carrier();
}

bool PanelSimulator::sessionOpen() const {
    return m_panel->sessionOpen();
}

bool PanelSimulator::programPortOpen() const {
    return m_transport && m_transport->programOpen();
}

int PanelSimulator::programBaudrate() const {
    return m_transport ? m_transport->programBaudrate() : 0;
}

QString PanelSimulator::modemState() const {
    return SimModem::stateName(m_modem->state());
}

bool PanelSimulator::modemEcho() const {
    return m_modem->echo();
}

bool PanelSimulator::modemVerbose() const {
    return m_modem->verbose();
}

ModemSettings& PanelSimulator::modemSettings() {
    return m_modem->settings();
}

PanelBehaviour& PanelSimulator::behaviour() {
    return m_panel->behaviour();
}

void PanelSimulator::setLine300(bool paced) {
    m_config.line300 = paced;
    m_modem->setPaced(paced);
}

const QVector<JournalEntry>& PanelSimulator::journal() const {
    return m_journal.entries();
}

QVector<JournalEntry> PanelSimulator::journal(const QString& kind) const {
    QVector<JournalEntry> out;
    for (const JournalEntry& e : m_journal.entries()) {
        if (e.kind == kind)
            out.append(e);
    }
    return out;
}

const QVector<ChunkWrite>& PanelSimulator::chunkWrites() const {
    return m_panel->chunkWrites();
}

bool PanelSimulator::setJournalFile(const QString& path, QString* error) {
    return m_journal.setFile(path, error);
}

QJsonObject PanelSimulator::finalState() const {
    const QByteArray img = m_panel->image();
    QJsonObject o{
        {"product", m_panel->product()},
        {"version", versionText(m_panel->versionByte())},
        {"panelCode", unpackCode(img.mid(112, 2))},
        {"pcCode", unpackCode(img.mid(114, 2))},
        {"image", QString::fromLatin1(img.toHex().toUpper())},
        {"status", hex(m_panel->status().bytes())},
        {"clock", m_panel->clock().toString(Qt::ISODate)},
        {"events", int(m_panel->events().size() / 4)},
        {"chunkWrites", int(m_panel->chunkWrites().size())},
        {"modem", modemState()},
    };
    if (m_panel->family() == Family::TenZone)
        o["page1"] = QString::fromLatin1(m_panel->page(1).toHex().toUpper());
    return o;
}

void PanelSimulator::writeFinalState() {
    m_journal.writeFinal(finalState());
}
