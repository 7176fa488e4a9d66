// The settings commands: settings com-port.
#include "base/app_paths.h"
#include "app/cli/cli_command.h"
#include "base/settings.h"
#include "serial/com_port_map.h"

#include <QDir>

namespace {

// Maps a COM number to a device in section "Portas" of ZRVConfig.ini (an empty device removes the
// mapping). A missing settings file is created first with its defaults, as the program's start does.
int RunSettingsComPort(CliContext& context, const QStringList& args) {
    bool numeric = false;
    const int port = args.value(0).toInt(&numeric);
    if (args.size() < 1 || args.size() > 2 || !numeric || !ComPortMap::IsValidPort(port)) {
        context.Complain(QStringLiteral("Uso: settings com-port N [DISPOSITIVO]   (N de 1 a 255)"));
        return 2;
    }
    QString error;
    Settings settings = CarregaConfiguracoes(&error);
    if (!error.isEmpty()) {
        context.Complain(error);
        return 1;
    }
    const QString device = args.value(1).trimmed();
    if (device.isEmpty())
        settings.Portas.remove(port);
    else
        settings.Portas.insert(port, device);
    const QString file = ApplicationPath(SettingsFileName());
    if (!WriteSettingsFile(file, settings, &error)) {
        context.Complain(error);
        return 1;
    }
    context.Say(QStringLiteral("COM %1: %2").arg(port).arg(ComPortMap::DevicePath(port, settings.Portas)));
    return 0;
}

const bool registered = RegisterCliCommand(
    {{QStringLiteral("settings"), QStringLiteral("com-port")},
     QStringLiteral("N [DISPOSITIVO]"),
     QStringLiteral("associa a porta COM N a um dispositivo em ZRVConfig.ini (sem dispositivo: o padrão)"),
     &RunSettingsComPort});

} // namespace
