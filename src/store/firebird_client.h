#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// What the data store needs from the Firebird client library around its statements: the environment
// of the embedded engine, creating a database file, telling why an attach failed, and running the
// backup and restore services.
//
// Database names follow Firebird's rules: a plain path opens the file with the embedded engine in
// this process (no server needed); "host:path" (or "host/port:path", "inet://...") reaches a
// Firebird server.

// Prepares the environment of the embedded engine; called before the first use of the client
// library in the process (every function below calls it). The engine keeps its lock files in
// $FIREBIRD_LOCK, by default the shared folder /tmp/firebird, which belongs to whoever used it
// first and then refuses every other user. Unless $FIREBIRD_LOCK is already set, the engine gets a
// private folder of this user's (EngineLockFolder). Two processes never share an embedded
// database file anyway: the engine locks the file itself. The engine is shut down with the
// application object (or at exit without one).
void PrepareFirebirdEnvironment();

// Ends every connection and the engine's threads; no database call may follow.
void ShutdownFirebird();

bool IsRemoteDatabaseName(const QString& databaseName);

// A plain path made absolute (the engine would otherwise resolve it against its own rules);
// a server name unchanged.
QString NormalizeDatabaseName(const QString& databaseName);

// Why an attach failed, told apart for the operator.
enum class AttachProblem { None, FileMissing, FileLocked, Other };

// Attaches and detaches again to find out what is wrong with a database name; *detail receives
// the engine's own text.
AttachProblem ProbeDatabase(const QString& databaseName, QString* detail = nullptr);

// Creates an empty database file (page size 8192, dialect 3, default character set ISO8859_1)
// with the embedded engine or on a server. Never replaces an existing local file.
bool CreateDatabaseFile(const QString& databaseName, QString* error);

// The service manager that serves a database: the local one for a plain path, the server's for
// "host:path". *pathOnServer receives the database name as the service sees it.
QString ServiceManagerFor(const QString& databaseName, QString* pathOnServer);

// Runs one service request (an action with its parameters, as built by the backup and restore
// code) and hands every output line to `line` while it runs. Answers false with the engine's text
// in *error when the service cannot be started or reports a failure. A request whose file is
// "stdin" reads it through `input`, which answers up to the number of bytes asked for (empty at
// the end). `stop`, asked between answers, ends the wait early when it answers true (the request
// then fails with MsgServiceStopped).
bool RunServiceRequest(const QString& serviceManager, const QByteArray& request,
                       const std::function<void(const QString&)>& line, QString* error,
                       const std::function<QByteArray(int)>& input = {},
                       const std::function<bool()>& stop = {});
QString MsgServiceStopped();

// Removes a database (embedded or on a server) through the engine; false with *error when it
// cannot be attached or is in use.
bool DropDatabase(const QString& databaseName, QString* error);

// Turns the database's forced (synchronous) writes off, through the service manager. For files that
// are filled in bulk and only read afterwards (benchmarks); the program's own files keep them on.
bool SetAsyncWrites(const QString& databaseName, QString* error);

// Builders of service parameter buffers.
void AppendServiceString(QByteArray& request, char tag, const QString& value);
void AppendServiceInt(QByteArray& request, char tag, quint32 value);
