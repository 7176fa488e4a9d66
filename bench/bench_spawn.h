#pragma once

// Runs another program (the benchmark itself in its measuring mode, or isql-fb) and measures it,
// so the two sides of a comparison are measured the same way.

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

struct ChildRun {
    double seconds = -1;    // wall time; -1 when it failed
    double cpuSeconds = -1; // user + system
    long peakKb = -1;
    QString output;
};

// Runs a program with no input and its output into a file (or /dev/null), and measures its wall
// time, CPU time and peak resident memory.
inline ChildRun Spawn(const QStringList& command, bool keepOutput = false) {
    ChildRun run;
    QTemporaryDir dir;
    const QString outputFile = keepOutput ? dir.filePath("out") : QStringLiteral("/dev/null");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray out = QFile::encodeName(outputFile);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QList<QByteArray> bytes;
    for (const QString& argument : command)
        bytes << QFile::encodeName(argument);
    QList<char*> argv;
    for (QByteArray& argument : bytes)
        argv << argument.data();
    argv << nullptr;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.peakKb = usage.ru_maxrss;
    run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                     (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        run.seconds = -1;
    if (keepOutput) {
        QFile file(outputFile);
        if (file.open(QIODevice::ReadOnly))
            run.output = QString::fromLocal8Bit(file.readAll());
    }
    return run;
}

} // namespace bench
