#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

// Lets one instance of the program run per user. The first instance holds a lock file and listens
// on a local socket; a later instance finds the lock taken, asks the running one to come forward and
// ends. The running instance answers only requests from the same executable, as the program only
// ever brought forward a window of its own executable.
//
//   SingleInstance instance;
//   if (!instance.start())
//       return 0;                    // the other instance was asked to come forward
//   connect(&instance, &SingleInstance::comeForwardRequested, window, ...raise and activate...);
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` names the lock and the socket ("Telvora" for the program; tests use their own).
    explicit SingleInstance(const QString& name = QStringLiteral("Telvora"), QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock and starts listening: true for the first instance. Otherwise sends the
    // running instance the request to come forward and answers false.
    bool start();

    bool isRunning() const { return m_server != nullptr; }

    // Where the lock file lives (for diagnostics and tests).
    QString lockFilePath() const;

Q_SIGNALS:
    // Another start of this program asked this instance to show its main window.
    void comeForwardRequested();

private:
    void readRequest();
    bool askRunningInstance();

    QString m_name;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
};
