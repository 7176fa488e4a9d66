// telvora-cli modem test: the chosen modem's initialisation commands sent one at a time, each
// printed with whether the modem accepted it.

#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "app/cli/cli_panel_session.h"
#include "base/app_paths.h"
#include "link_control/teste_de_modem.h"
#include "serial/modem_catalogue.h"
#include "serial/port_opening.h"
#include "serial/tcia_com_port.h"

#include <QEventLoop>

namespace {

constexpr int TestBaudrate = 9600;

// The commands of the model the settings name, from the catalogue (its selected model when the
// name is not there).
QStringList ModelCommands(const QString& model) {
    ModemCatalogue catalogue;
    if (!catalogue.load(ModemCatalogue::filePath(ApplicationFolder())))
        catalogue = ModemCatalogue::defaults();
    int index = int(catalogue.names().indexOf(model)) + 1;
    if (index == 0)
        index = catalogue.selected();
    return SplitInitString(catalogue.initString(index));
}

int RunModemTest(CliContext& context, const QStringList& args) {
    if (!args.isEmpty())
        return context.WrongUse(UnexpectedArgumentText(args.first()));
    Settings settings;
    if (!ReadCliPortSettings(context, &settings))
        return 2;
    TCiaComPort port;
    const PortChoice choice{settings.ComPort, settings.Portas};
    if (ReopenPort(port, choice, TestBaudrate, PortCheck::CanOpenFirst) != PortOpening::Opened) {
        context.Complain(
            QStringLiteral("A Porta Com %1 não está acessível\rVerifique se não há outro dispositivo "
                           "usando esta porta.")
                .arg(settings.ComPort));
        return 1;
    }

    TesteDeModem test(port, settings.ComPort, settings.Modem, ModelCommands(settings.Modem));
    QObject::connect(&test, &TesteDeModem::LogAppended, &test,
                     [&context](const QString& text, auto) { context.Say(text.trimmed()); });
    QEventLoop loop;
    QObject::connect(&test, &TesteDeModem::Finished, &loop, &QEventLoop::quit);
    test.Start();
    loop.exec();
    port.SetOpened(false);

    const TesteDeModem::Report& report = test.Result();
    if (context.json) {
        static const QMap<TesteDeModem::Outcome, QString> outcomes{
            {TesteDeModem::Outcome::Completed, QStringLiteral("completed")},
            {TesteDeModem::Outcome::Silent, QStringLiteral("silent")},
            {TesteDeModem::Outcome::NoAnswer, QStringLiteral("no_answer")},
            {TesteDeModem::Outcome::Stopped, QStringLiteral("stopped")}};
        CliJson::WriteLine(
            context.out,
            CliJson::Record(QStringLiteral("modem_test"),
                            {{QStringLiteral("port"), settings.ComPort},
                             {QStringLiteral("model"), settings.Modem},
                             {QStringLiteral("outcome"), outcomes.value(report.outcome)},
                             {QStringLiteral("accepted"), QJsonArray::fromStringList(report.accepted)},
                             {QStringLiteral("refused"), QJsonArray::fromStringList(report.refused)},
                             {QStringLiteral("waiting"),
                              report.waiting.isEmpty() ? QJsonValue() : QJsonValue(report.waiting)}}));
    }
    switch (report.outcome) {
    case TesteDeModem::Outcome::Completed:
        break;
    case TesteDeModem::Outcome::Silent:
        context.Complain(TesteDeModem::SilentText());
        return 1;
    default:
        context.Complain(QStringLiteral("O modem não respondeu ao comando %1.").arg(report.waiting));
        return 1;
    }
    if (!report.refused.isEmpty()) {
        context.Complain(
            QStringLiteral("O modem recusou: %1").arg(report.refused.join(QStringLiteral(", "))));
        return 1;
    }
    context.Say(QStringLiteral("O modem aceitou todos os comandos (%1).").arg(report.accepted.size()));
    return 0;
}

const bool registered = RegisterCliCommand({{QStringLiteral("modem"), QStringLiteral("test")},
                                            QString(),
                                            QStringLiteral("Envia ao modem os comandos do modelo escolhido e "
                                                           "mostra se cada um foi aceito"),
                                            &RunModemTest,
                                            [](const QStringList&) { return CliAccess::Open(); }});

} // namespace
