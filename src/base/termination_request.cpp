#include "base/termination_request.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void writeSignalToPipe(int signalNumber) {
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace
#endif

TerminationRequest& TerminationRequest::instance() {
    static TerminationRequest request;
    return request;
}

bool TerminationRequest::Install() {
#ifdef Q_OS_UNIX
    if (!m_installed) {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
            return false;
        for (int fd : g_pipe) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
        auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &TerminationRequest::readPipe);
        m_installed = true;
    }

    struct sigaction action = {};
    action.sa_handler = writeSignalToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
#else
    return false;
#endif
}

void TerminationRequest::readPipe() {
#ifdef Q_OS_UNIX
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        Raise(int(byte));
#endif
}

void TerminationRequest::Raise(int signalNumber) {
    m_signal = signalNumber;
    Q_EMIT Received(signalNumber);
}

QString TerminationRequest::Description() const {
#ifdef Q_OS_UNIX
    if (m_signal == SIGINT)
        return QStringLiteral("interrupção (Ctrl-C)");
#endif
    return QStringLiteral("pedido de término");
}
