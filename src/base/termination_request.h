#pragma once

#include <QObject>

// An interrupt (Ctrl-C) or a termination request (`kill`, `timeout`, a system shutdown) turned into
// a Qt signal on the main thread, so that the program can stop what it is doing at a safe point,
// hang up and exit instead of being ended by force in the middle of a call.
//
// On POSIX systems the handlers of SIGINT and SIGTERM only write the signal number into a pipe
// (the one thing a handler may safely do); a socket notifier on the pipe's other end emits
// Requested() from the event loop, nested loops included. Elsewhere Install() does nothing.
class TerminationRequest : public QObject {
    Q_OBJECT
public:
    static TerminationRequest& instance();

    // Installs the handlers, after the application object exists. Called again it puts them back
    // where a library took the signals over (the database client library does so when it starts).
    // False when the platform has no such signals or they could not be installed.
    bool Install();

    // A request arrived (it stays set); the signal number, 0 when none.
    bool Requested() const { return m_signal != 0; }
    int SignalNumber() const { return m_signal; }
    // What the request was, for the program's report ("interrupção", "pedido de término").
    QString Description() const;

    // Records a request as a handler would (tests, and platforms without signals).
    void Raise(int signalNumber);

Q_SIGNALS:
    // Emitted once for every request, on the main thread.
    void Received(int signalNumber);

private:
    TerminationRequest() = default;
    void readPipe();

    int m_signal = 0;
    bool m_installed = false;
};
