#include "sim_modem.h"

#include "base/clock.h"

#include <QRegularExpression>

namespace sim {

namespace {

struct ResultText {
    SimModem::Result result;
    const char* word;
};
const ResultText kResults[] = {
    {SimModem::Result::Ok, "OK"},       {SimModem::Result::Connect, "CONNECT"},
    {SimModem::Result::Ring, "RING"},   {SimModem::Result::NoCarrier, "NO CARRIER"},
    {SimModem::Result::Error, "ERROR"}, {SimModem::Result::NoDialTone, "NO DIAL TONE"},
    {SimModem::Result::Busy, "BUSY"},   {SimModem::Result::NoAnswer, "NO ANSWER"},
};

QString wordOf(SimModem::Result r) {
    for (const ResultText& t : kResults) {
        if (t.result == r)
            return QLatin1String(t.word);
    }
    return {};
}

// Numeric CONNECT codes by reported speed.
int connectCode(int speed) {
    switch (speed) {
    case 1200:
        return 5;
    case 2400:
        return 10;
    case 4800:
        return 11;
    case 9600:
        return 12;
    case 19200:
        return 14;
    case 38400:
        return 28;
    default:
        return 1;
    }
}

// Basic commands with their highest accepted value; -1 = no number expected.
int basicLimit(QChar c) {
    switch (c.unicode()) {
    case 'B':
    case 'E':
    case 'F':
    case 'N':
    case 'V':
    case 'Y':
        return 1;
    case 'Q':
        return 2;
    case 'L':
    case 'M':
        return 3;
    case 'W':
        return 2;
    case 'X':
        return 7;
    case 'P':
    case 'T':
        return 0;
    default:
        return -2; // unknown
    }
}

const QString kAmpersand = QStringLiteral("ABCDFGHIKMNPQRSTUVWYZ");
const QStringList kExtended = {"MS", "ES", "DS", "IFC", "IPR", "FCLASS", "GMI", "GMM", "GCI", "A8E"};
constexpr qint64 kDialToneWaitMs = 1000;
constexpr qint64 kToneDigitMs = 100;

} // namespace

SimModem::SimModem(const ModemSettings& settings, const FaultSettings* faults, QObject* parent)
    : QObject(parent), m_settings(settings), m_faults(faults) {
    m_callTimer.setSingleShot(true);
    m_callTimer.setTimerType(Qt::PreciseTimer);
    m_guardTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_callTimer, &QTimer::timeout, this, &SimModem::onCallTimer);
    m_guardTimer.setSingleShot(true);
    connect(&m_guardTimer, &QTimer::timeout, this, &SimModem::onGuardTimer);
    factoryReset();
}

QString SimModem::stateName(State state) {
    switch (state) {
    case State::Command:
        return QStringLiteral("command");
    case State::Dialling:
        return QStringLiteral("dialling");
    case State::OffHook:
        return QStringLiteral("off-hook");
    case State::Handshake:
        return QStringLiteral("handshake");
    case State::Answering:
        return QStringLiteral("answering");
    case State::Online:
        return QStringLiteral("online");
    case State::OnlineCommand:
        return QStringLiteral("online-command");
    }
    return {};
}

qint64 SimModem::now() const {
    return Clock::instance().nowMs();
}

void SimModem::factoryReset() {
    m_echo = true;
    m_verbose = true;
    m_quiet = false;
    m_x = 4;
    m_dtrMode = 2;
    m_bell103 = false;
    m_fixed300 = false;
    const int ring = m_s.value(1, 0);
    m_s = {{0, 0}, {1, ring}, {2, 43}, {3, 13}, {4, 10}, {5, 8}, {6, 2}, {7, 50}, {8, 2}, {10, 14}, {12, 50}};
}

SimModem::Profile SimModem::profile() const {
    return {m_echo, m_verbose, m_quiet, m_x, m_dtrMode, m_bell103, m_fixed300, m_s};
}

void SimModem::setProfile(const Profile& p) {
    m_echo = p.echo;
    m_verbose = p.verbose;
    m_quiet = p.quiet;
    m_x = p.x;
    m_dtrMode = p.dtrMode;
    m_bell103 = p.bell103;
    m_fixed300 = p.fixed300;
    m_s = p.s;
}

void SimModem::log(const QString& dir, const QString& kind, const QByteArray& bytes, const QString& text) {
    JournalEntry e;
    e.dir = dir;
    e.kind = kind;
    e.bytes = bytes;
    e.text = text;
    Q_EMIT journal(e);
}

double SimModem::commandByteMs() const {
    if (!m_paced)
        return 0;
    return 10000.0 / (m_dteBaud > 0 ? m_dteBaud : 9600);
}

int SimModem::reportedSpeed() const {
    if (m_settings.connectSpeed > 0)
        return m_settings.connectSpeed;
    if (m_bell103 || m_fixed300 || m_dteBaud <= 300)
        return 300;
    return m_dteBaud;
}

void SimModem::sendText(const QByteArray& text, const QString& kind, const QString& what,
                        qint64 notBeforeMs) {
    log(QStringLiteral("out"), kind, text, what);
    Q_EMIT toProgram(text, notBeforeMs, commandByteMs(), CommandTag);
}

void SimModem::sendResult(Result result, qint64 notBeforeMs) {
    QString word = wordOf(result);
    int code = int(result);
    if (result == Result::Connect && m_x > 0) {
        const int speed = reportedSpeed();
        code = connectCode(speed);
        if (speed != 300)
            word += QStringLiteral(" %1").arg(speed);
    }
    if (m_quiet) {
        log(QStringLiteral("out"), QStringLiteral("result"), {}, word + QStringLiteral(" (quiet)"));
        return;
    }
    const QByteArray body = m_verbose ? word.toLatin1() : QByteArray::number(code);
    sendText("\r\n" + body + "\r\n", QStringLiteral("result"), word, notBeforeMs);
}

void SimModem::fromProgram(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    if (m_faults && m_faults->modemSilent) {
        log(QStringLiteral("in"), QStringLiteral("ignored"), bytes, QStringLiteral("silent modem"));
        return;
    }
    switch (m_state) {
    case State::Online: {
        // Escape detection: "+++" after a pause of the guard time, then another pause.
        const qint64 guard = qint64(m_s.value(12)) * 20;
        const qint64 t = now();
        for (char c : bytes) {
            if (guard > 0 && c == char(m_s.value(2)) && (m_plusCount > 0 || t - m_lastDataMs >= guard) &&
                m_plusCount < 3)
                ++m_plusCount;
            else
                m_plusCount = 0;
        }
        m_lastDataMs = t;
        m_guardTimer.stop();
        if (m_plusCount == 3)
            m_guardTimer.start(Clock::instance().realInterval(guard));
        Q_EMIT dataToRemote(bytes);
        return;
    }
    case State::Dialling:
    case State::Handshake:
    case State::Answering:
        // Any character aborts a call being set up; it is not taken as a command.
        log(QStringLiteral("in"), QStringLiteral("abort"), bytes,
            QStringLiteral("character during call set-up"));
        m_callTimer.stop();
        endAttempt(Result::NoCarrier);
        return;
    case State::Command:
    case State::OffHook:
    case State::OnlineCommand:
        feedCommand(bytes);
        return;
    }
}

void SimModem::feedCommand(const QByteArray& bytes) {
    QByteArray echo;
    for (char c : bytes) {
        if (m_echo)
            echo += c;
        if (c == char(m_s.value(3))) {
            if (!echo.isEmpty()) {
                sendText(echo, QStringLiteral("echo"), {});
                echo.clear();
            }
            const QByteArray line = m_line;
            m_line.clear();
            processLine(line);
            if (m_state != State::Command && m_state != State::OffHook && m_state != State::OnlineCommand)
                return; // a dial or an answer took the line; what follows would abort it
        } else if (c == char(m_s.value(5))) {
            m_line.chop(1);
        } else if (c != char(m_s.value(4))) {
            m_line += c;
            if (m_line.size() > 255)
                m_line.clear();
        }
    }
    if (!echo.isEmpty())
        sendText(echo, QStringLiteral("echo"), {});
}

void SimModem::processLine(const QByteArray& line) {
    int at = -1;
    for (int i = 0; i + 1 < line.size(); ++i) {
        if ((line[i] == 'A' || line[i] == 'a') && (line[i + 1] == 'T' || line[i + 1] == 't')) {
            at = i;
            break;
        }
    }
    if (at < 0) {
        if (!line.isEmpty())
            log(QStringLiteral("in"), QStringLiteral("noise"), line, QStringLiteral("line without AT"));
        return;
    }
    const QString text = QString::fromLatin1(line.mid(at));
    log(QStringLiteral("in"), QStringLiteral("command"), line.mid(at) + '\r', text);
    // A line with a command the modem does not take runs none of its commands: what the ones
    // before it changed is put back.
    const Profile before = profile();
    switch (execute(text.mid(2))) {
    case LineResult::Ok:
        sendResult(Result::Ok);
        break;
    case LineResult::Error:
        setProfile(before);
        sendResult(Result::Error);
        break;
    case LineResult::TookOver:
        break;
    }
}

bool SimModem::rejected(const QString& token, const QString& name) const {
    if (!m_faults)
        return false;
    for (const QString& r : m_faults->rejectedCommands) {
        if (r.compare(token, Qt::CaseInsensitive) == 0 || r.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

SimModem::LineResult SimModem::execute(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    auto readNumber = [&](bool* present) {
        int value = 0;
        *present = false;
        while (i < n && text[i].isDigit() && text[i].unicode() <= '9') {
            value = value * 10 + (text[i].unicode() - '0');
            if (value > 99999)
                value = 99999;
            *present = true;
            ++i;
        }
        return value;
    };
    bool answerFollows = false;
    while (i < n) {
        const QChar c = text[i].toUpper();
        if (c == ' ') {
            ++i;
            continue;
        }
        const int start = i++;
        bool present = false;
        if (c == 'D') {
            const int semicolon = text.indexOf(';', i);
            const QString dialString = text.mid(i, semicolon < 0 ? -1 : semicolon - i);
            if (rejected(QStringLiteral("D") + dialString, QStringLiteral("D")))
                return LineResult::Error;
            if (semicolon < 0)
                return dial(dialString, false, nullptr);
            i = semicolon + 1;
            if (text.mid(i, 2).compare(QStringLiteral("AT"), Qt::CaseInsensitive) == 0)
                i += 2; // the program writes the answer command as ";ATA"
            // "A" after a dial that returned to command mode waits for the carrier as originator.
            answerFollows = text.mid(i).trimmed().startsWith(QLatin1Char('A'), Qt::CaseInsensitive);
            const LineResult r = dial(dialString, true, &answerFollows);
            if (r != LineResult::Ok)
                return r;
            if (answerFollows)
                return LineResult::TookOver;
            continue;
        }
        if (c == 'A') {
            if (rejected(QStringLiteral("A"), QStringLiteral("A")))
                return LineResult::Error;
            answer();
            return LineResult::TookOver;
        }
        if (c == 'S') {
            const int reg = readNumber(&present);
            if (!present || reg > 255)
                return LineResult::Error;
            if (i < n && text[i] == '=') {
                ++i;
                const int value = readNumber(&present);
                if (value > 255)
                    return LineResult::Error;
                if (rejected(text.mid(start, i - start), QStringLiteral("S%1").arg(reg)))
                    return LineResult::Error;
                m_s[reg] = value;
            } else if (i < n && text[i] == '?') {
                ++i;
                sendText("\r\n" + QByteArray::number(m_s.value(reg)).rightJustified(3, '0') + "\r\n",
                         QStringLiteral("info"), QStringLiteral("S%1").arg(reg));
            }
            continue;
        }
        if (c == '&' || c == '\\' || c == '%') {
            if (i >= n)
                return LineResult::Error;
            const QChar letter = text[i++].toUpper();
            const int value = readNumber(&present);
            const QString name = QString(c) + letter;
            if (rejected(text.mid(start, i - start), name))
                return LineResult::Error;
            if (c == '&') {
                if (!kAmpersand.contains(letter))
                    return LineResult::Error;
                if (letter == 'F') {
                    factoryReset();
                } else if (letter == 'D') {
                    if (value > 3)
                        return LineResult::Error;
                    m_dtrMode = value;
                } else if (letter == 'N') {
                    m_fixed300 = value == 1;
                } else if (letter == 'V') {
                    sendText(QStringLiteral("\r\nE%1 Q%2 V%3 X%4 &D%5 S00=%6 S07=%7 S08=%8 S12=%9\r\n")
                                 .arg(int(m_echo))
                                 .arg(int(m_quiet))
                                 .arg(int(m_verbose))
                                 .arg(m_x)
                                 .arg(m_dtrMode)
                                 .arg(m_s.value(0))
                                 .arg(m_s.value(7))
                                 .arg(m_s.value(8))
                                 .arg(m_s.value(12))
                                 .toLatin1(),
                             QStringLiteral("info"), QStringLiteral("&V"));
                }
            } else if (!QStringLiteral("NQVCE").contains(letter)) {
                return LineResult::Error;
            }
            continue;
        }
        if (c == '+') {
            int end = i;
            while (end < n && text[end] != ';')
                ++end;
            const QString body = text.mid(i, end - i);
            i = end < n ? end + 1 : end;
            const QString name = body.section(QRegularExpression(QStringLiteral("[=?]")), 0, 0).toUpper();
            if (!kExtended.contains(name) || rejected(QStringLiteral("+") + body, QStringLiteral("+") + name))
                return LineResult::Error;
            if (name == "MS") {
                const int eq = body.indexOf('=');
                if (eq >= 0)
                    m_bell103 = body.mid(eq + 1).section(',', 0, 0).trimmed().toUpper() == "B103";
            }
            continue;
        }
        if (c == 'H') {
            const int value = readNumber(&present);
            if (value > 1 || rejected(text.mid(start, i - start), QStringLiteral("H")))
                return LineResult::Error;
            if (value == 0)
                hangUpLocally();
            continue;
        }
        if (c == 'Z') {
            readNumber(&present);
            if (rejected(text.mid(start, i - start), QStringLiteral("Z")))
                return LineResult::Error;
            hangUpLocally();
            factoryReset();
            continue;
        }
        if (c == 'O') {
            readNumber(&present);
            if (m_state != State::OnlineCommand)
                return LineResult::Error;
            goOnline(m_originated, false);
            return LineResult::TookOver;
        }
        if (c == 'I') {
            readNumber(&present);
            sendText("\r\nTELVORA SIM MODEM\r\n", QStringLiteral("info"), QStringLiteral("I"));
            continue;
        }
        const int limit = basicLimit(c);
        if (limit == -2)
            return LineResult::Error;
        const int value = readNumber(&present);
        if (value > limit || rejected(text.mid(start, i - start), QString(c)))
            return LineResult::Error;
        switch (c.unicode()) {
        case 'E':
            m_echo = value == 1;
            break;
        case 'V':
            m_verbose = value == 1;
            break;
        case 'Q':
            m_quiet = value == 1;
            break;
        case 'X':
            m_x = value;
            break;
        default:
            break; // speaker, volume, modulation choices and the like: accepted, no effect here
        }
    }
    return LineResult::Ok;
}

SimModem::LineResult SimModem::dial(const QString& dialString, bool returnToCommand, bool* answerFollows) {
    QString digits;
    bool pulse = false;
    qint64 duration = kDialToneWaitMs;
    for (QChar ch : dialString) {
        const QChar c = ch.toUpper();
        if (c.isDigit() || c == '*' || c == '#' || (c >= 'A' && c <= 'D')) {
            digits += c;
            if (pulse) {
                const int d = c.isDigit() ? (c.unicode() == '0' ? 10 : c.unicode() - '0') : 10;
                duration += d * 100 + 700;
            } else {
                duration += kToneDigitMs;
            }
        } else if (c == 'T') {
            pulse = false;
        } else if (c == 'P') {
            pulse = true;
        } else if (c == ',') {
            duration += qint64(m_s.value(8)) * 1000;
        } else if (c == 'W') {
            duration += kDialToneWaitMs;
        } else if (c == 'L') {
            digits = m_lastNumber;
        }
    }
    if (digits.isEmpty() && !returnToCommand)
        return LineResult::Error;
    m_lastNumber = digits;
    m_incoming = false;
    JournalEntry e;
    e.dir = QStringLiteral("line");
    e.kind = QStringLiteral("event");
    e.text =
        QStringLiteral("dial %1 (%2)").arg(digits, pulse ? QStringLiteral("pulse") : QStringLiteral("tone"));
    Q_EMIT journal(e);
    Q_EMIT dialled(digits);

    m_plan =
        m_dialHandler ? m_dialHandler(digits) : CallPlan{m_settings.dialOutcome, m_settings.connectDelayMs};
    m_originated = true;
    if (m_plan.outcome == DialOutcome::NoDialTone) {
        // Nothing is dialled without a dial tone.
        m_state = State::Dialling;
        m_plan.delayMs = 0;
        m_callTimer.start(Clock::instance().realInterval(2 * kDialToneWaitMs));
        return LineResult::TookOver;
    }
    if (!returnToCommand) {
        m_state = State::Dialling;
        m_callTimer.start(Clock::instance().realInterval(duration + m_plan.delayMs));
        return LineResult::TookOver;
    }
    m_state = State::OffHook;
    m_planPending = true;
    if (answerFollows && *answerFollows) {
        m_state = State::Handshake;
        m_planPending = false;
        m_callTimer.start(Clock::instance().realInterval(duration + m_plan.delayMs));
        return LineResult::Ok;
    }
    // "D...;" alone: OK once the digits are out; the line stays off-hook until "A" or "H".
    sendResult(Result::Ok, now() + duration);
    return LineResult::TookOver;
}

void SimModem::answer() {
    m_plusCount = 0;
    if (m_incoming) {
        m_state = State::Answering;
        m_originated = false;
        m_plan = CallPlan{DialOutcome::Connect, m_settings.answerDelayMs};
        m_callTimer.start(Clock::instance().realInterval(m_settings.answerDelayMs));
        return;
    }
    if (m_state == State::OffHook && m_planPending) {
        m_state = State::Handshake;
        m_planPending = false;
        m_callTimer.start(Clock::instance().realInterval(m_plan.delayMs));
        return;
    }
    // Answering with nobody calling: no carrier comes.
    m_state = State::Answering;
    m_originated = false;
    m_plan = CallPlan{DialOutcome::NoCarrier, m_settings.failureDelayMs};
    m_callTimer.start(Clock::instance().realInterval(m_settings.failureDelayMs));
}

void SimModem::onCallTimer() {
    switch (m_plan.outcome) {
    case DialOutcome::Connect:
        goOnline(m_originated, true);
        return;
    case DialOutcome::Busy:
        endAttempt(Result::Busy);
        return;
    case DialOutcome::NoAnswer:
        endAttempt(Result::NoAnswer);
        return;
    case DialOutcome::NoDialTone:
        endAttempt(Result::NoDialTone);
        return;
    case DialOutcome::NoCarrier:
        endAttempt(Result::NoCarrier);
        return;
    }
}

void SimModem::goOnline(bool originated, bool fresh) {
    m_state = State::Online;
    m_incoming = false;
    m_s[1] = 0;
    m_plusCount = 0;
    m_lastDataMs = now();
    sendResult(Result::Connect);
    if (fresh) {
        JournalEntry e;
        e.dir = QStringLiteral("line");
        e.kind = QStringLiteral("event");
        e.text = originated ? QStringLiteral("carrier up (the program called)")
                            : QStringLiteral("carrier up (the program answered)");
        Q_EMIT journal(e);
        Q_EMIT callStarted(originated);
    }
}

void SimModem::endAttempt(Result result) {
    const bool wasIncoming = m_state == State::Answering && !m_originated;
    m_state = State::Command;
    m_planPending = false;
    sendResult(result);
    if (wasIncoming)
        m_incoming = false; // the modem picked up: the caller's call is over
    Q_EMIT callFailed();
}

void SimModem::endCall(bool dtrDrop) {
    const bool hadCarrier = carrier();
    const bool settingUp = !hadCarrier && m_state != State::Command;
    m_callTimer.stop();
    m_guardTimer.stop();
    m_state = State::Command;
    m_planPending = false;
    if (!hadCarrier && !settingUp)
        return;
    JournalEntry e;
    e.dir = QStringLiteral("line");
    e.kind = QStringLiteral("event");
    e.text = dtrDrop ? QStringLiteral("hang-up: the program closed the port") : QStringLiteral("hang-up");
    Q_EMIT journal(e);
    sendResult(Result::NoCarrier);
    if (hadCarrier)
        Q_EMIT callEnded();
    else
        Q_EMIT callFailed();
}

void SimModem::hangUpLocally() {
    const bool hadCarrier = carrier();
    const bool settingUp = !hadCarrier && m_state != State::Command;
    m_callTimer.stop();
    m_guardTimer.stop();
    m_state = State::Command;
    m_planPending = false;
    if (hadCarrier || settingUp) {
        JournalEntry e;
        e.dir = QStringLiteral("line");
        e.kind = QStringLiteral("event");
        e.text = QStringLiteral("hang-up by command");
        Q_EMIT journal(e);
    }
    if (hadCarrier)
        Q_EMIT callEnded();
    else if (settingUp)
        Q_EMIT callFailed();
}

void SimModem::onGuardTimer() {
    if (m_state != State::Online || m_plusCount != 3)
        return;
    m_plusCount = 0;
    m_state = State::OnlineCommand;
    sendResult(Result::Ok);
}

void SimModem::setDtr(bool up) {
    if (up == m_dtr)
        return;
    m_dtr = up;
    if (up)
        return;
    m_line.clear();
    switch (m_dtrMode) {
    case 0:
        break;
    case 1:
        if (m_state == State::Online) {
            m_state = State::OnlineCommand;
            sendResult(Result::Ok);
        }
        break;
    default:
        endCall(true);
        if (m_dtrMode == 3)
            factoryReset();
        break;
    }
}

void SimModem::incomingRing() {
    if (m_state != State::Command && m_state != State::Answering)
        return; // busy with a call of its own: the caller hears busy
    m_incoming = true;
    if (m_state == State::Answering)
        return;
    m_s[1] = m_s.value(1) + 1;
    JournalEntry e;
    e.dir = QStringLiteral("line");
    e.kind = QStringLiteral("event");
    e.text = QStringLiteral("ring %1").arg(m_s.value(1));
    Q_EMIT journal(e);
    sendResult(Result::Ring);
    if (m_s.value(0) > 0 && m_s.value(1) >= m_s.value(0) && m_dtr)
        answer();
}

void SimModem::callerGone() {
    m_incoming = false;
    m_s[1] = 0;
    if (m_state == State::Answering && !m_originated) {
        m_callTimer.stop();
        endAttempt(Result::NoCarrier);
    }
}

void SimModem::remoteHangUp() {
    if (m_state == State::Command)
        return;
    endCall(false);
}

void SimModem::sendData(const QByteArray& bytes, qint64 delayMs) {
    if (m_state != State::Online || bytes.isEmpty())
        return;
    const double byteMs = m_paced ? 10000.0 / 300 : 0;
    Q_EMIT toProgram(bytes, now() + delayMs, byteMs, DataTag);
}

} // namespace sim
