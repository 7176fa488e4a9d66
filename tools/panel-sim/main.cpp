// telvora-panel-sim: a simulated alarm panel behind a simulated Hayes modem on a pseudo-terminal.
// The first line it prints is the device path the application is to open as its serial port.

#include "panel_simulator.h"

#include "base/clock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telvora-panel-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated alarm panel behind a simulated Hayes modem, on a pseudo-terminal.\n"
                       "Prints the pseudo-terminal's device path as its first line and runs until killed."));
    parser.addHelpOption();
    sim::addCommandLineOptions(parser);
    parser.process(app);

    if (!parser.isSet("pty")) {
        std::fprintf(stderr,
                     "telvora-panel-sim: --pty is required (the simulator serves a pseudo-terminal)\n");
        return 2;
    }
    if (parser.isSet("clock-scale")) {
        bool ok = false;
        const double scale = parser.value("clock-scale").toDouble(&ok);
        if (!ok || scale <= 0) {
            std::fprintf(stderr, "telvora-panel-sim: --clock-scale wants a positive number\n");
            return 2;
        }
        Clock::instance().setScale(scale);
    }
    sim::PanelSimConfig config;
    QString error;
    if (!sim::applyCommandLine(parser, &config, &error)) {
        std::fprintf(stderr, "telvora-panel-sim: %s\n", qPrintable(error));
        return 2;
    }
    const QString journalPath = config.journalPath;
    config.journalPath.clear();
    PanelSimulator simulator(config);
    if (!journalPath.isEmpty() && !simulator.setJournalFile(journalPath, &error)) {
        std::fprintf(stderr, "telvora-panel-sim: %s\n", qPrintable(error));
        return 2;
    }
    QString device;
    if (!simulator.openPty(&device, &error)) {
        std::fprintf(stderr, "telvora-panel-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(device));
    std::fflush(stdout);

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGHUP, onSignal);
    }
    if (config.once) {
        QObject::connect(&simulator, &PanelSimulator::callFinished, &app, [](bool callbackFollows) {
            if (!callbackFollows)
                QCoreApplication::quit();
        });
    }
    const int rc = app.exec();
    simulator.writeFinalState();
    return rc;
}
