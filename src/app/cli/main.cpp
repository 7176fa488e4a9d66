// telvora-cli: the application's core without windows, for scripted and unattended jobs.
//   telvora-cli [--db PATH] [--verbose] <command> [arguments]
#include "app/cli/cli_command.h"
#include "app/cli/cli_operator.h"
#include "base/settings.h"
#include "base/termination_request.h"
#include "session/line_trace.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char kUsageLine[] = "Uso: telvora-cli [--db BANCO] [--operator NOME] [--port N] [--device DISPOSITIVO] "
                          "[--trace ARQUIVO] [--verbose] [--json] <comando> [argumentos]";

// The options that may stand before the command word.
const QStringList kGeneralOptions{
    QStringLiteral("db"),       QStringLiteral("port"), QStringLiteral("device"),
    QStringLiteral("verbose"),  QStringLiteral("help"), QStringLiteral("version"),
    QStringLiteral("operator"), QStringLiteral("json"), QStringLiteral("trace")};

void PrintHelp(QTextStream& out) {
    out << kUsageLine << "\n\n"
        << "BANCO: o arquivo do banco de dados (padrão: BancoDeDados de ZRVConfig.ini, senão zrv.fdb na\n"
        << "pasta do aplicativo) ou servidor:caminho de um servidor Firebird.\n"
        << "ARQUIVO: recebe o rastreamento da linha (cada byte enviado e recebido, com a hora).\n"
        << "\nComandos:\n";
    for (const CliCommand& command : CliCommands()) {
        QString line = QStringLiteral("  ") + command.words.join(QLatin1Char(' '));
        if (!command.usage.isEmpty())
            line += QLatin1Char(' ') + command.usage;
        out << line.leftJustified(40) << ' ' << command.summary << '\n';
    }
    out.flush();
}

// The command whose words start the arguments (the longest such).
const CliCommand* FindCommand(const QStringList& args) {
    const CliCommand* found = nullptr;
    for (const CliCommand& command : CliCommands()) {
        if (args.size() >= command.words.size() && args.mid(0, command.words.size()) == command.words &&
            (!found || command.words.size() > found->words.size()))
            found = &command;
    }
    return found;
}

// The report commands and the event export draw pages (fonts, pictures), which takes Qt's GUI
// side; it runs without a display unless a platform is chosen in QT_QPA_PLATFORM.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const bool eventExport =
            std::strcmp(argv[i], "export") == 0 && std::strcmp(argv[i - 1], "events") == 0;
        if (std::strcmp(argv[i], "report") == 0 || eventExport) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            return std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Telvora"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Ctrl-C and a termination request stop a panel command at a safe point (the line hung up and
    // the port closed) instead of ending the program in the middle of a call.
    TerminationRequest& termination = TerminationRequest::instance();
    termination.Install();

    QStringList args = app->arguments().mid(1);
    QMap<QString, QString> options;
    QString error;
    if (TakeOptions(args, options, &error)) {
        for (auto it = options.cbegin(); it != options.cend() && error.isEmpty(); ++it) {
            if (!kGeneralOptions.contains(it.key()))
                error = UnknownOptionText(QStringLiteral("--") + it.key());
        }
    }
    if (!error.isEmpty()) {
        err << error << '\n' << kUsageLine << Qt::endl;
        return 2;
    }
    if (options.contains(QStringLiteral("version"))) {
        out << "telvora-cli " << TELVORA_VERSION << Qt::endl;
        return 0;
    }
    if (options.contains(QStringLiteral("help")) || args.isEmpty()) {
        PrintHelp(args.isEmpty() && !options.contains(QStringLiteral("help")) ? err : out);
        return options.contains(QStringLiteral("help")) ? 0 : 2;
    }
    const CliCommand* command = FindCommand(args);
    if (!command) {
        err << "Comando desconhecido: " << args.join(QLatin1Char(' ')) << Qt::endl;
        PrintHelp(err);
        return 2;
    }
    CliContext context{options.value(QStringLiteral("db")),
                       options,
                       options.contains(QStringLiteral("verbose")),
                       out,
                       err,
                       QString(),
                       QString()};
    context.usage = QStringLiteral("Uso: telvora-cli ") + command->words.join(QLatin1Char(' '));
    if (!command->usage.isEmpty())
        context.usage += QLatin1Char(' ') + command->usage;
    if (context.databaseName.isEmpty())
        context.databaseName = ConfiguredDatabaseName();
    // The trace of the line (every byte to and from the modem) for as long as the command runs.
    LineTraceFile trace;
    if (options.contains(QStringLiteral("trace")) &&
        !trace.Open(options.value(QStringLiteral("trace")), &error)) {
        err << error << Qt::endl;
        return 1;
    }
    QStringList commandArgs = args.mid(command->words.size());
    // --json may also follow the command word, as any of the command's own options.
    context.json = TakeJsonFlag(&commandArgs) || options.contains(QStringLiteral("json"));
    if (!AuthorizeCliOperator(context, command->access ? command->access(commandArgs) : CliAccess{}))
        return 1;
    const int code = command->run(context, commandArgs);
    out.flush();
    if (termination.Requested()) {
        err << "Comando interrompido (" << termination.Description() << ")." << Qt::endl;
        return 128 + termination.SignalNumber();
    }
    err.flush();
    return code;
}
