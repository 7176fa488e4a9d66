#include "base/single_instance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

constexpr int kAnswerTimeoutMs = 2000;
const QByteArray kComeForward = QByteArrayLiteral("COME-FORWARD ");

// Lock and socket names are per user: another user's session runs its own instance.
QString baseName(const QString& name) {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    const QByteArray digest =
        QCryptographicHash::hash(user.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return name + u'-' + QString::fromLatin1(digest);
}

QByteArray executablePath() {
    return QCoreApplication::applicationFilePath().toUtf8();
}

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), m_name(baseName(name)),
      m_lock(QDir::temp().filePath(m_name + QStringLiteral(".lock"))) {
    // The program runs for hours: only a lock whose owner process is gone counts as stale, never
    // one that is merely old.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFilePath() const {
    return QDir::temp().filePath(m_name + QStringLiteral(".lock"));
}

bool SingleInstance::start() {
    if (m_server)
        return true;
    if (!m_lock.tryLock(0)) {
        if (m_lock.error() == QLockFile::LockFailedError) {
            askRunningInstance();
            return false;
        }
        // The lock cannot be made at all (no temporary folder, no permission): refusing to start
        // would lock the operator out, so run without the guard.
        qWarning("SingleInstance: cannot create %s", qPrintable(lockFilePath()));
    }
    // Holding the lock, any socket of that name was left by an instance that died.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name))
        qWarning("SingleInstance: %s", qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readRequest);
    return true;
}

void SingleInstance::readRequest() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto serve = [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine().trimmed();
            if (line == kComeForward + executablePath())
                Q_EMIT comeForwardRequested();
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, serve);
        serve(); // the request may have arrived with the connection
    }
}

bool SingleInstance::askRunningInstance() {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kAnswerTimeoutMs))
        return false;
    socket.write(kComeForward + executablePath() + '\n');
    const bool written = socket.waitForBytesWritten(kAnswerTimeoutMs);
    socket.disconnectFromServer();
    return written;
}
