// The event log command:
//   download-events --customer ID [--keep-trying]
// Connects to the customer's panel as the customer screen does, downloads the panel's event log
// into BUFFER_EVENTOS (events already stored for the customer are not stored again), prints how
// many events were stored and hangs up. Exit code 0 only when the whole log was read.
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "app/cli/cli_panel_session.h"
#include "session/online_worker.h"

namespace {

QString endText(const EventDownloadReport& report) {
    using Outcome = EventDownloadReport::Outcome;
    switch (report.outcome) {
    case Outcome::Completed:
    case Outcome::AreaFull:
        return QString();
    case Outcome::Cancelled:
        return QStringLiteral("O download do buffer de eventos foi cancelado.");
    case Outcome::Disconnected:
        return QStringLiteral(
                   "A conexão terminou antes do fim do buffer de eventos (%1 registros recebidos); "
                   "os eventos recebidos foram gravados.")
            .arg(report.records);
    case Outcome::StoreFailed:
        return QStringLiteral("O download do buffer de eventos parou: um evento não pôde ser gravado.");
    }
    return QString();
}

int RunDownloadEvents(CliContext& context, const QStringList& args) {
    CliPanelOptions options;
    if (!TakePanelOptions(context, args, {QStringLiteral("keep-trying"), QStringLiteral("callback")},
                          &options))
        return 2;
    CliPanelSession session(context);
    if (!session.ConnectAndRead(options.customerId, options.keepTrying, options.callback))
        return 1;
    const std::optional<CliPanelSession::EventDownload> download = session.DownloadEvents();
    session.HangUp();
    if (!download) {
        context.Complain(QStringLiteral("A conexão terminou antes do download do buffer de eventos."));
        return 1;
    }
    context.Say(
        QStringLiteral("Eficiência: %1")
            .arg(OnLine::EfficiencyText(download->report.framesPlanned, download->report.errorCount)));
    context.Report(
        QStringLiteral("Eventos gravados: %1 (já gravados antes: %2).")
            .arg(download->stored)
            .arg(download->alreadyStored),
        CliJson::Record(QStringLiteral("events_downloaded"),
                        {{QStringLiteral("customer"), options.customerId},
                         {QStringLiteral("complete"), download->report.succeeded()},
                         {QStringLiteral("records"), download->report.records},
                         {QStringLiteral("stored"), download->stored},
                         {QStringLiteral("already_stored"), download->alreadyStored},
                         {QStringLiteral("frames_planned"), qint64(download->report.framesPlanned)},
                         {QStringLiteral("errors"), qint64(download->report.errorCount)}}));
    if (!download->report.succeeded()) {
        context.Complain(endText(download->report));
        return 1;
    }
    return 0;
}

const bool registered = RegisterCliCommand(
    {{QStringLiteral("download-events")},
     QStringLiteral("--customer ID [--keep-trying] [--callback]"),
     QStringLiteral("Conecta ao painel do cliente e grava o buffer de eventos (cada evento uma vez)"),
     &RunDownloadEvents,
     [](const QStringList&) {
         return CliAccess::Needs({Permission::Conectar, Permission::BaixarEventos});
     }});

} // namespace
