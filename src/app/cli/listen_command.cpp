// telvora-cli listen [--once] [--for SECONDS]: configures the modem, waits for panels that call in
// with their event log, stores each log (every event once per customer) and prints one line per
// call with the customer and the count, then waits for the next call. It runs until stopped
// (SIGINT, SIGTERM), after one call with --once, or after SECONDS with --for.

#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "app/cli/cli_panel_session.h"
#include "base/termination_request.h"
#include "link_control/buffer_texts.h"
#include "link_control/link_controller.h"
#include "serial/tcia_com_port.h"
#include "store/calling_customers.h"
#include "store/data_module.h"
#include "store/db_buffer_receiver.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

namespace {

// The listening set-up's checks: there is someone to be called by, and no two customers share a
// panel code (a call could not tell them apart). False, with the reason printed, otherwise.
bool CustomersCanBeTold(CliContext& context, DbConnection& db) {
    QString error;
    int count = 0;
    if (!CallingCustomers::CountListening(db, &count, &error)) {
        context.Complain(error);
        return false;
    }
    if (count == 0) {
        context.Complain(BufferTexts::NoCustomers());
        return false;
    }
    QList<SharedPanelCode> shared;
    if (!CallingCustomers::SharedPanelCodes(db, &shared, &error)) {
        context.Complain(error);
        return false;
    }
    if (shared.isEmpty())
        return true;
    // The desktop asks whether to go on; unattended, the safe answer is the dialog's default, No.
    context.Complain(QStringLiteral("As seguintes contas tem código do painel idênticos."));
    for (const SharedPanelCode& panel : shared)
        context.Complain(QStringLiteral("  %1  %2").arg(panel.codigoPainel, panel.nome));
    context.Complain(
        QStringLiteral("Isso pode causar problema quando o painel ligar para o software Telvora."));
    return false;
}

QString OutcomeName(BufferCallReport::Outcome outcome) {
    using Outcome = BufferCallReport::Outcome;
    switch (outcome) {
    case Outcome::Received:
        return QStringLiteral("received");
    case Outcome::NotAnswered:
        return QStringLiteral("not_answered");
    case Outcome::UnknownPanel:
        return QStringLiteral("unknown_panel");
    case Outcome::WrongProduct:
        return QStringLiteral("wrong_product");
    case Outcome::Abandoned:
        return QStringLiteral("abandoned");
    case Outcome::LineDropped:
        return QStringLiteral("line_dropped");
    case Outcome::Stopped:
        return QStringLiteral("stopped");
    case Outcome::Cancelled:
        return QStringLiteral("cancelled");
    case Outcome::StoreFailed:
        return QStringLiteral("store_failed");
    case Outcome::Error:
        return QStringLiteral("error");
    }
    return QString();
}

// --json's line for one call.
QJsonObject CallRecord(const BufferCallReport& report) {
    return CliJson::Record(
        QStringLiteral("call"),
        {{QStringLiteral("when"), CliJson::Moment(QDateTime::currentDateTime())},
         {QStringLiteral("outcome"), OutcomeName(report.outcome)},
         {QStringLiteral("complete"), report.logComplete()},
         {QStringLiteral("panel_code"),
          report.panelCode.isEmpty() ? QJsonValue() : QJsonValue(report.panelCode)},
         {QStringLiteral("customer"), CliJson::Customer(report.customerId)},
         {QStringLiteral("name"), report.customerId > 0 ? QJsonValue(report.customerName) : QJsonValue()},
         {QStringLiteral("records"), report.records},
         {QStringLiteral("stored"), report.stored},
         {QStringLiteral("already_stored"), report.alreadyStored},
         {QStringLiteral("summary"), BufferTexts::CallSummary(report)}});
}

int RunListen(CliContext& context, const QStringList& args) {
    QMap<QString, QString> given;
    QStringList words;
    QString error;
    if (!SplitArguments(args, {QStringLiteral("once"), QStringLiteral("for")}, &given, &words, &error))
        return context.WrongUse(error);
    if (!words.isEmpty())
        return context.WrongUse(UnexpectedArgumentText(words.first()));
    const bool once = given.contains(QStringLiteral("once"));
    int seconds = 0;
    if (given.contains(QStringLiteral("for"))) {
        bool ok = false;
        seconds = given.value(QStringLiteral("for")).toInt(&ok);
        if (!ok || seconds <= 0)
            return context.WrongUse(QStringLiteral("--for precisa de um número de segundos"));
    }

    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
    // The database client library takes SIGINT and SIGTERM over when it starts: take them back.
    TerminationRequest& termination = TerminationRequest::instance();
    termination.Install();
    if (!CustomersCanBeTold(context, dm.IBDB))
        return 1;
    Settings settings;
    if (!ReadCliPortSettings(context, &settings))
        return 2;

    TCiaComPort port;
    CliLinkOperator op(context, false);
    DbBufferReceiver receiver(dm.IBDB);
    LinkController link(&port, &op);
    link.SetLinkSettings(LinkSettingsFrom(settings));
    link.SetBufferReceiver(&receiver);

    QEventLoop loop;
    bool configured = false;
    bool failedCall = false;
    int calls = 0;
    QObject::connect(&link, &LinkController::ModemConfigured, &loop, [&](bool ready) {
        configured = ready;
        if (ready)
            context.Report(
                QStringLiteral("Modem configurado. Aguardando chamadas dos painéis."),
                CliJson::Record(QStringLiteral("listening"),
                                {{QStringLiteral("when"), CliJson::Moment(QDateTime::currentDateTime())}}));
    });
    // A set-up command the modem refused is left out; listening goes on without it.
    QObject::connect(&link, &LinkController::ListeningNoted, &loop,
                     [&](const QString& text) { context.Say(text); });
    QObject::connect(&link, &LinkController::BufferCallEnded, &loop, [&](const BufferCallReport& report) {
        // A ring that never became a call is not one of the calls counted.
        if (report.outcome == BufferCallReport::Outcome::NotAnswered && !once)
            return;
        ++calls;
        const QString line = BufferTexts::CallSummary(report);
        if (context.json)
            CliJson::WriteLine(context.out, CallRecord(report));
        else if (report.logComplete())
            context.Say(line);
        else
            context.Complain(line);
        failedCall = failedCall || !report.logComplete();
        if (once)
            link.EncerraEsperaBuffer();
    });
    QObject::connect(&link, &LinkController::BufferWaitEnded, &loop, &QEventLoop::quit);
    QObject::connect(&termination, &TerminationRequest::Received, &loop, [&] {
        context.Complain(QStringLiteral("Interrompido (%1): deixando de aguardar chamadas.")
                             .arg(termination.Description()));
        link.EncerraEsperaBuffer();
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] { link.EncerraEsperaBuffer(); });
    if (termination.Requested() || !link.IniciaEsperaBuffer())
        return 1;
    if (seconds > 0)
        limit.start(seconds * 1000);
    loop.exec();

    context.Report(QStringLiteral("Chamadas recebidas: %1.").arg(calls),
                   CliJson::Record(QStringLiteral("listen_ended"), {{QStringLiteral("calls"), calls}}));
    if (!configured)
        return 1;
    if (once)
        return calls == 1 && !failedCall ? 0 : 1;
    return 0;
}

static const bool onceIsAFlag = RegisterCliFlag(QStringLiteral("once"));

const bool registered = RegisterCliCommand(
    {{QStringLiteral("listen")},
     QStringLiteral("[--once] [--for SEGUNDOS]"),
     QStringLiteral("Aguarda os painéis que ligam com o buffer de eventos e grava cada buffer recebido"),
     &RunListen,
     [](const QStringList&) { return CliAccess::Needs({Permission::BaixarEventos}); }});

} // namespace
