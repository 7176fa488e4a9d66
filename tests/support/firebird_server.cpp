#include "support/firebird_server.h"

#include "store/database_credentials.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

const QStringList kServerFolders{QStringLiteral("/usr/sbin"), QStringLiteral("/opt/firebird/bin")};

QString FindProgram(const QStringList& names) {
    for (const QString& name : names) {
        const QString found = QStandardPaths::findExecutable(name, kServerFolders);
        if (!found.isEmpty())
            return found;
        const QString onPath = QStandardPaths::findExecutable(name);
        if (!onPath.isEmpty())
            return onPath;
    }
    return {};
}

// The folder of the installed Firebird that holds its character sets, plugins and messages (the
// server looks for them beside its configuration, which here is the test's own folder).
QString InstalledRoot() {
    QStringList candidates{QStringLiteral("/opt/firebird")};
    for (const QString& arch :
         QDir(QStringLiteral("/usr/lib")).entryList({QStringLiteral("*-linux-gnu*")}, QDir::Dirs))
        candidates << QStringLiteral("/usr/lib/%1/firebird/3.0").arg(arch);
    candidates << QStringLiteral("/usr/lib/firebird/3.0");
    for (const QString& root : candidates) {
        if (QFile::exists(QDir(root).filePath(QStringLiteral("intl/fbintl.conf"))))
            return root;
    }
    return {};
}

quint16 FreeLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

FirebirdServer::FirebirdServer() = default;

FirebirdServer::~FirebirdServer() {
    Stop();
}

bool FirebirdServer::Fail(const QString& problem) {
    m_problem = problem;
    return false;
}

QString FirebirdServer::FilePath(const QString& file) const {
    return QDir(m_dir.path()).filePath(file);
}

QString FirebirdServer::DatabaseName(const QString& file) const {
    return QStringLiteral("127.0.0.1/%1:%2").arg(m_port).arg(FilePath(file));
}

// The server and the tools started for it read the configuration of its folder, not the system's,
// and keep their locks and temporary files there.
QProcessEnvironment FirebirdServer::ServerEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD"), m_dir.path());
    environment.insert(QStringLiteral("FIREBIRD_LOCK"), FilePath(QStringLiteral("lock")));
    environment.insert(QStringLiteral("FIREBIRD_TMP"), FilePath(QStringLiteral("tmp")));
    return environment;
}

bool FirebirdServer::RunIsql(const QStringList& arguments, const QByteArray& script) {
    const QString isql = FindProgram({QStringLiteral("isql-fb"), QStringLiteral("isql")});
    if (isql.isEmpty())
        return Fail(QStringLiteral("isql-fb not installed (scripts/deps installs it)"));
    QProcess process;
    process.setProcessEnvironment(ServerEnvironment());
    process.setWorkingDirectory(m_dir.path());
    process.start(isql, QStringList{QStringLiteral("-q")} + arguments);
    process.write(script);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return Fail(QStringLiteral("isql-fb failed: %1")
                        .arg(QString::fromLocal8Bit(process.readAllStandardError() +
                                                    process.readAllStandardOutput())));
    return true;
}

bool FirebirdServer::Start() {
    const QString program = FindProgram({QStringLiteral("firebird"), QStringLiteral("fbserver")});
    if (program.isEmpty())
        return Fail(
            QStringLiteral("no Firebird server program (firebird3.0-server, installed by scripts/deps)"));
    if (!m_dir.isValid())
        return Fail(QStringLiteral("no temporary folder"));
    const QString root = InstalledRoot();
    if (root.isEmpty())
        return Fail(QStringLiteral("the Firebird character sets (intl/fbintl.conf) were not found"));
    // The character sets are copied: through links the server does not find ISO8859_1, the
    // connections' character set.
    QDir(m_dir.path()).mkpath(QStringLiteral("intl"));
    for (const QString& file : QDir(QDir(root).filePath(QStringLiteral("intl"))).entryList(QDir::Files)) {
        if (!QFile::copy(QDir(root).filePath(QStringLiteral("intl/") + file),
                         FilePath(QStringLiteral("intl/") + file)))
            return Fail(QStringLiteral("cannot copy the character set %1").arg(file));
    }
    for (const QString& part : {QStringLiteral("plugins"), QStringLiteral("firebird.msg"),
                                QStringLiteral("plugins.conf"), QStringLiteral("UDF")}) {
        if (QFile::exists(QDir(root).filePath(part)))
            QFile::link(QDir(root).filePath(part), FilePath(part));
    }
    QDir(m_dir.path()).mkpath(QStringLiteral("lock"));
    QDir(m_dir.path()).mkpath(QStringLiteral("tmp"));
    m_port = FreeLoopbackPort();
    if (m_port == 0)
        return Fail(QStringLiteral("no free port on the loopback address"));

    const QString security = FilePath(QStringLiteral("security3.fdb"));
    QFile conf(FilePath(QStringLiteral("firebird.conf")));
    if (!conf.open(QIODevice::WriteOnly))
        return Fail(conf.errorString());
    conf.write(QStringLiteral("RemoteServicePort = %1\n"
                              "RemoteBindAddress = 127.0.0.1\n"
                              "SecurityDatabase = %2\n"
                              "UdfAccess = None\n")
                   .arg(m_port)
                   .arg(security)
                   .toUtf8());
    conf.close();

    // A fresh security database holding only SYSDBA with the program's password, made with the
    // embedded engine before the server runs.
    if (!RunIsql({}, QStringLiteral("create database '%1';\n").arg(security).toUtf8()))
        return false;
    if (!RunIsql({QStringLiteral("-user"), kDatabaseUser, security},
                 QStringLiteral("create user %1 password '%2' using plugin Srp;\ncommit;\n")
                     .arg(kDatabaseUser, kDatabasePassword)
                     .toUtf8()))
        return false;

    m_server.setProcessEnvironment(ServerEnvironment());
    m_server.setWorkingDirectory(m_dir.path());
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.setStandardOutputFile(FilePath(QStringLiteral("server.log")));
    // As a service's: no terminal to ask on (a question of the engine ends at once).
    m_server.setStandardInputFile(QProcess::nullDevice());
    // -d keeps the server in the foreground (otherwise it leaves for the background, out of reach
    // of Stop()).
    m_server.start(program, {QStringLiteral("-d")});
    if (!m_server.waitForStarted(10000))
        return Fail(QStringLiteral("the server did not start: %1").arg(m_server.errorString()));
    // Ready once it accepts a connection on its port.
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (m_server.state() != QProcess::Running)
            return Fail(
                QStringLiteral("the server ended (see %1)").arg(FilePath(QStringLiteral("server.log"))));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(500))
            return true;
        QThread::msleep(50);
    }
    return Fail(QStringLiteral("the server does not answer on port %1").arg(m_port));
}

void FirebirdServer::Stop() {
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(3000)) {
        m_server.kill();
        m_server.waitForFinished(5000);
    }
}
