#pragma once

#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// One run of this build's telvora-cli: its exit code (-1 when it did not end normally in time) and
// what it printed.
struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

// Runs telvora-cli with `arguments`, its application folder `home` (TELVORA_HOME) and `environment`
// on top of this process's; its input is closed, as when no terminal is there. A run that takes
// longer than `timeoutMs` is killed.
inline CliRun RunCli(const QString& home, const QStringList& arguments,
                     const QMap<QString, QString>& environment = {}, int timeoutMs = 120000) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TELVORA_HOME"), home);
    for (auto it = environment.cbegin(); it != environment.cend(); ++it)
        env.insert(it.key(), it.value());
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("TELVORA_BUILD_DIR") + QStringLiteral("/src/telvora-cli"), arguments);
    process.closeWriteChannel();
    CliRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.code = process.exitCode();
    }
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
