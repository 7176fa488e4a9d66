#include "link_control/teste_de_modem.h"

#include "base/clock.h"
#include "link/link_state.h"
#include "link/receive_dispatcher.h"
#include "serial/com_port.h"

#include <algorithm>

namespace {

// No result line is longer ("NO DIAL TONE"): a modem talking without line ends cannot grow the
// unfinished line past this.
constexpr qsizetype kLongestResult = 16;

} // namespace

TesteDeModem::TesteDeModem(ComPort& port, int portNumber, const QString& model, const QStringList& commands,
                           QObject* parent)
    : QObject(parent), m_port(port), m_portNumber(portNumber), m_model(model), m_commands(commands) {
    connect(&m_port, &ComPort::DataAvailable, this, &TesteDeModem::dataArrived);
    connect(&m_tick, &QTimer::timeout, this, &TesteDeModem::tick);
    m_commandLimit.setSingleShot(true);
    connect(&m_commandLimit, &QTimer::timeout, this, [this] { finish(Outcome::NoAnswer); });
}

void TesteDeModem::Start() {
    m_report = Report();
    m_index = 1;
    m_ticks = 0;
    m_answered = false;
    m_lastLine.clear();
    m_rx.clear();
    m_running = true;
    m_port.ReadAll(); // what the modem said before is not an answer to the test
    Q_EMIT LogAppended(QStringLiteral("Novo teste na Com %1 do Modem %2\r\r").arg(m_portNumber).arg(m_model),
                       LogStyle::Header);
    m_tick.start(Clock::instance().realInterval(TickMs));
    m_commandLimit.start(Clock::instance().realInterval(CommandLimitMs));
    m_current = QStringLiteral("AT");
    send("AT\r", true);
}

void TesteDeModem::Stop() {
    if (m_running)
        finish(Outcome::Stopped);
}

void TesteDeModem::send(const QByteArray& command, bool logged) {
    // The pause before every command is a timer, not a sleep: the window stays responsive.
    QTimer::singleShot(Clock::instance().realInterval(SendPauseMs), this, [this, command, logged] {
        if (!m_running)
            return;
        if (logged) {
            m_lastLine = QString::fromLatin1(command);
            Q_EMIT LogAppended(m_lastLine, LogStyle::Command);
        }
        try {
            m_port.WriteText(command);
        } catch (const ECiaComPort&) {
            finish(Outcome::Silent); // the port went away: nothing can answer
        }
    });
}

void TesteDeModem::tick() {
    if (!m_running)
        return;
    if (++m_ticks >= SilentTicks) {
        finish(Outcome::Silent);
        return;
    }
    // Wakes a modem that has not answered yet; once it has, the answers pace the test and another
    // "AT" would only add an OK that could be taken for the next command's.
    if (!m_answered)
        send("AT\r", false);
}

void TesteDeModem::dataArrived() {
    const QByteArray bytes = m_port.ReadAll();
    if (!m_running || bytes.isEmpty())
        return;
    // A result may come in two arrivals ("\r\n0", then "\r\n"): the unfinished line of an arrival
    // is read again with the next one, with the receive dispatcher's rules.
    m_rx += bytes;
    const QByteArray text = m_rx;
    const auto found = [&text](const char* word, quint8 code) {
        return ReceiveDispatcher::HasResultWord(text, word) || ReceiveDispatcher::HasResultCode(text, code);
    };
    const qsizetype lineEnd = std::max(text.lastIndexOf('\r'), text.lastIndexOf('\n'));
    m_rx = text.mid(lineEnd + 1).right(kLongestResult);
    if (found("OK", ResultOk)) {
        m_answered = true;
        if (m_lastLine != QLatin1String("OK")) {
            m_lastLine = QStringLiteral("OK");
            Q_EMIT LogAppended(m_lastLine, LogStyle::Answer);
        }
        m_report.accepted << m_current;
        m_rx.clear();
        nextCommand();
    } else if (found("ERROR", ResultError)) {
        m_answered = true;
        m_lastLine = RefusedText();
        Q_EMIT LogAppended(m_lastLine, LogStyle::Answer);
        m_report.refused << m_current;
        m_rx.clear();
        nextCommand();
    } else if (found("NO ANSWER", ResultNoAnswer)) {
        m_lastLine = QStringLiteral("SEM RESPOSTA");
        Q_EMIT LogAppended(m_lastLine, LogStyle::Answer);
    }
}

void TesteDeModem::nextCommand() {
    if (m_index >= m_commands.size()) {
        finish(Outcome::Completed);
        return;
    }
    m_current = QStringLiteral("AT") + m_commands.at(m_index++);
    m_ticks = 0;
    m_commandLimit.start(Clock::instance().realInterval(CommandLimitMs));
    send(m_current.toLatin1() + '\r', true);
}

void TesteDeModem::finish(Outcome outcome) {
    if (!m_running)
        return;
    m_running = false;
    m_tick.stop();
    m_commandLimit.stop();
    m_report.outcome = outcome;
    if (outcome != Outcome::Completed)
        m_report.waiting = m_current;
    Q_EMIT Finished(outcome);
}
