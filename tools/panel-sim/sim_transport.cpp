#include "sim_transport.h"

#include "base/clock.h"
#include "serial/memory_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

MemoryLineTransport::MemoryLineTransport(MemoryLine* line, QObject* parent)
    : Transport(parent), m_line(line) {
    connect(line, &MemoryLine::receivedFromProgram, this, &Transport::received);
    connect(line, &MemoryLine::programOpenedChanged, this, &Transport::programOpenChanged);
    connect(line, &MemoryLine::programBaudrateChanged, this, &Transport::programBaudrateChanged);
}

void MemoryLineTransport::write(const QByteArray& bytes) {
    if (m_line)
        m_line->sendToProgram(bytes);
}

bool MemoryLineTransport::programOpen() const {
    return m_line && m_line->programOpened();
}

int MemoryLineTransport::programBaudrate() const {
    return m_line ? m_line->programBaudrate() : 0;
}

namespace {
// How often the master is polled, in logical ms (the clock's scale makes it faster in tests).
constexpr qint64 kPollMs = 5;

int speedOf(speed_t s) {
    switch (s) {
    case B300:
        return 300;
    case B600:
        return 600;
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}
} // namespace

PtyTransport::PtyTransport(QObject* parent) : Transport(parent) {
    connect(&m_timer, &QTimer::timeout, this, &PtyTransport::poll);
}

PtyTransport::~PtyTransport() {
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyTransport::open(QString* error) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    const char* name = ::ptsname(m_master);
    if (!name) {
        *error = QStringLiteral("cannot name the pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    m_path = QString::fromLocal8Bit(name);
    // Raw mode from the start, so nothing is echoed or translated before the program sets its own
    // mode; the first close leaves the master in its "no one has the port open" state.
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        *error = QStringLiteral("cannot open %1: %2").arg(m_path, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    ::tcsetattr(slave, TCSANOW, &t);
    ::close(slave);
    m_timer.start(Clock::instance().realInterval(kPollMs));
    return true;
}

void PtyTransport::write(const QByteArray& bytes) {
    if (!m_slaveOpen || m_master < 0)
        return;
    m_pending += bytes;
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n <= 0)
            break; // full: the rest goes at the next poll
        m_pending.remove(0, int(n));
    }
}

void PtyTransport::readSpeed() {
    termios t{};
    if (::tcgetattr(m_master, &t) != 0)
        return;
    const int baud = speedOf(::cfgetospeed(&t));
    if (baud != m_baudrate) {
        m_baudrate = baud;
        Q_EMIT programBaudrateChanged(baud);
    }
}

void PtyTransport::setSlaveOpen(bool open) {
    if (open == m_slaveOpen)
        return;
    m_slaveOpen = open;
    if (!open)
        m_pending.clear();
    Q_EMIT programOpenChanged(open);
}

void PtyTransport::poll() {
    if (m_master < 0)
        return;
    pollfd p{m_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return;
    if (p.revents & POLLIN) {
        QByteArray in;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            in.append(buffer, int(n));
        }
        if (!in.isEmpty()) {
            readSpeed();
            if (!m_slaveOpen)
                setSlaveOpen(true);
            Q_EMIT received(in);
        }
    }
    const bool hungUp = (p.revents & POLLHUP) != 0;
    if (hungUp == m_slaveOpen) {
        if (!hungUp)
            readSpeed();
        setSlaveOpen(!hungUp);
    } else if (m_slaveOpen) {
        readSpeed();
        if (!m_pending.isEmpty())
            write({});
    }
}

} // namespace sim
