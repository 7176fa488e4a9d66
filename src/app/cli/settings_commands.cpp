// The settings commands: settings com-port.
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "base/app_paths.h"
#include "base/settings.h"
#include "serial/com_port_map.h"
#include "store/latin1_text.h"

#include <QDir>

namespace {

// Maps a COM number to a device in section "Portas" of ZRVConfig.ini (an empty device removes the
// mapping). A missing settings file is created first with its defaults, as the program's start does.
int RunSettingsComPort(CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    if (!SplitArguments(args, {}, &options, &words, &error))
        return context.WrongUse(error);
    if (words.size() > 2)
        return context.WrongUse(UnexpectedArgumentText(words.at(2)));
    if (words.isEmpty())
        return context.WrongUse();
    bool numeric = false;
    const int port = words.first().toInt(&numeric);
    if (!numeric || !ComPortMap::IsValidPort(port))
        return context.WrongUse(QStringLiteral("Porta inválida: %1 (de 1 a 255)").arg(words.first()));
    // The settings file keeps ISO8859_1: a device path outside it is refused, never stored altered.
    const QString device = words.value(1).trimmed();
    if (!IsLatin1Text(device)) {
        context.Complain(
            QStringLiteral(
                "O dispositivo \"%1\" tem caracteres que o arquivo de configurações não aceita: %2")
                .arg(device, NonLatin1Characters(device)));
        return 1;
    }
    // One line of the file each: a line break would start lines of its own.
    for (const QChar c : device) {
        if (c.category() == QChar::Other_Control) {
            context.Complain(
                QStringLiteral("O dispositivo não pode ter quebras de linha nem outros caracteres "
                               "de controle."));
            return 1;
        }
    }
    Settings settings = CarregaConfiguracoes(&error);
    if (!error.isEmpty()) {
        context.Complain(error);
        return 1;
    }
    if (device.isEmpty())
        settings.Portas.remove(port);
    else
        settings.Portas.insert(port, device);
    const QString file = ApplicationPath(SettingsFileName());
    if (!WriteSettingsFile(file, settings, &error)) {
        context.Complain(error);
        return 1;
    }
    const QString path = ComPortMap::DevicePath(port, settings.Portas);
    context.Report(QStringLiteral("COM %1: %2").arg(port).arg(path),
                   CliJson::Record(QStringLiteral("com_port"),
                                   {{QStringLiteral("port"), port}, {QStringLiteral("device"), path}}));
    return 0;
}

const bool registered = RegisterCliCommand(
    {{QStringLiteral("settings"), QStringLiteral("com-port")},
     QStringLiteral("N [DISPOSITIVO]"),
     QStringLiteral("associa a porta COM N a um dispositivo em ZRVConfig.ini (sem dispositivo: o padrão)"),
     &RunSettingsComPort,
     [](const QStringList&) { return CliAccess::Open(); }}); // this machine's settings file

} // namespace
