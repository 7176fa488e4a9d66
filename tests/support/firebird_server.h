#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A Firebird server of one test's own: the server program of the installed Firebird, listening on
// the loopback address on a free port, with its own configuration, its own security database (the
// program's SYSDBA account), lock and temporary folders and databases, all in a temporary folder
// that goes with it. The system's own server, if any, is left alone. Stopped by the destructor.
class FirebirdServer {
public:
    FirebirdServer();
    ~FirebirdServer();
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

    // Starts the server and waits until it accepts connections; false with Problem() telling why
    // (no server program installed, the security database or the server would not start).
    bool Start();
    void Stop();
    QString Problem() const { return m_problem; }

    quint16 Port() const { return m_port; }
    // A database file in the server's folder, as a workstation names it: "127.0.0.1/port:path".
    QString DatabaseName(const QString& file) const;
    QString FilePath(const QString& file) const;

private:
    bool Fail(const QString& problem);
    bool RunIsql(const QStringList& arguments, const QByteArray& script);
    QProcessEnvironment ServerEnvironment() const;

    QTemporaryDir m_dir;
    QProcess m_server;
    quint16 m_port = 0;
    QString m_problem;
};
