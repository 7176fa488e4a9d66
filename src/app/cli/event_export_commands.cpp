// The event list export:
//   events export --customer ID [--from dd/mm/yyyy] [--to dd/mm/yyyy] [--csv FILE] [--pdf FILE]
//                 [--rtf FILE]
// writes a customer's stored events, ordered by event number and optionally limited to a range of
// dates, as a spreadsheet file (CSV) and/or as the printed events report (PDF), as the events page
// exports and prints them.
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "app/cli/cli_pdf.h"
#include "base/locale_format.h"
#include "programming/product_codes.h"
#include "report/event_report.h"
#include "report/programming_report_job.h"
#include "store/customer_rows.h"
#include "store/data_module.h"
#include "store/event_list.h"
#include "workspace/event_csv.h"

#include <QDir>
#include <QFileInfo>

namespace {

// What --json reports for each file written.
QJsonObject ExportRecord(int customer, const QString& format, const QString& file, int events,
                         const QJsonValue& pages) {
    return CliJson::Record(QStringLiteral("events_exported"),
                           {{QStringLiteral("customer"), customer},
                            {QStringLiteral("format"), format},
                            {QStringLiteral("file"), QFileInfo(file).absoluteFilePath()},
                            {QStringLiteral("events"), events},
                            {QStringLiteral("pages"), pages}});
}

// The earliest and latest dates the database keeps, for a range open at one end.
const QDate kFirstDate(1, 1, 1);
const QDate kLastDate(9999, 12, 31);

int RunEventsExport(CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    if (!SplitArguments(args,
                        {QStringLiteral("customer"), QStringLiteral("from"), QStringLiteral("to"),
                         QStringLiteral("csv"), QStringLiteral("pdf"), QStringLiteral("rtf")},
                        &options, &words, &error))
        return context.WrongUse(error);
    if (!words.isEmpty())
        return context.WrongUse(UnexpectedArgumentText(words.first()));
    bool numeric = false;
    const int customer = options.value(QStringLiteral("customer")).toInt(&numeric);
    if (!numeric || customer <= 0)
        return context.WrongUse(QStringLiteral("Informe o cliente: --customer ID"));
    const QString csv = options.value(QStringLiteral("csv"));
    const QString pdf = options.value(QStringLiteral("pdf"));
    const QString rtf = options.value(QStringLiteral("rtf"));
    if (csv.isEmpty() && pdf.isEmpty() && rtf.isEmpty())
        return context.WrongUse(
            QStringLiteral("Informe o arquivo: --csv ARQUIVO.csv, --pdf ARQUIVO.pdf ou --rtf ARQUIVO.rtf"));

    EventFilter filter;
    const QString from = options.value(QStringLiteral("from"));
    const QString to = options.value(QStringLiteral("to"));
    if (!from.isEmpty() || !to.isEmpty()) {
        filter.byDate = true;
        filter.fromDate = from.isEmpty() ? kFirstDate : ParseDate(from);
        filter.toDate = to.isEmpty() ? kLastDate : ParseDate(to);
        if (!filter.fromDate.isValid())
            return context.WrongUse(MsgFilterDateInvalid(from));
        if (!filter.toDate.isValid())
            return context.WrongUse(MsgFilterDateInvalid(to));
        const QString problem = CheckEventFilter(filter);
        if (!problem.isEmpty())
            return context.WrongUse(problem);
    }

    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
    CustomerRows rows;
    if (!ReadCustomerRows(dm.IBDB, customer, &rows, &error)) {
        context.Complain(error);
        return 1;
    }
    if (!rows.Found()) {
        context.Complain(CustomerNotFoundMessage(customer));
        return 1;
    }
    const int productCode = rows.clientes.value(QStringLiteral("PRODUTO")).toInt();
    EventQuery query;
    query.customerId = customer;
    query.withPartition = FamilyOf(productCode) != ProductFamily::FiveZone;
    query.filter = filter;
    query.order = {{EventColumn::Numero, false}};
    QList<EventListRow> events;
    const bool read = EventList::Read(dm.IBDB, query, &events, &error);
    dm.Disconnect();
    if (!read) {
        context.Complain(error);
        return 1;
    }

    if (!csv.isEmpty()) {
        if (!WriteEventsCsv(events, query.withPartition, csv, &error)) {
            context.Complain(error);
            return 1;
        }
        context.Report(QStringLiteral("Eventos do cliente %1 gravados em %2 (%3 eventos).")
                           .arg(customer)
                           .arg(QDir::toNativeSeparators(csv))
                           .arg(events.size()),
                       ExportRecord(customer, QStringLiteral("csv"), csv, int(events.size()), QJsonValue()));
    }
    const EventReportDocument document(customer, rows.clientes.value(QStringLiteral("NOME")).toString(),
                                       productCode, events);
    for (const bool asPdf : {true, false}) {
        const QString& file = asPdf ? pdf : rtf;
        if (file.isEmpty())
            continue;
        const int pages = asPdf ? WriteCliPdf(context, document, file) : WriteCliRtf(context, document, file);
        if (pages == 0)
            return 1;
        context.Report(QStringLiteral("Relatório de eventos do cliente %1 gravado em %2 (%3 páginas).")
                           .arg(customer)
                           .arg(QDir::toNativeSeparators(file))
                           .arg(pages),
                       ExportRecord(customer, asPdf ? QStringLiteral("pdf") : QStringLiteral("rtf"), file,
                                    int(events.size()), pages));
    }
    return 0;
}

const bool registered = RegisterCliCommand(
    {{QStringLiteral("events"), QStringLiteral("export")},
     QStringLiteral(
         "--customer ID [--from dd/mm/aaaa] [--to dd/mm/aaaa] [--csv ARQUIVO.csv] [--pdf ARQUIVO.pdf] "
         "[--rtf ARQUIVO.rtf]"),
     QStringLiteral("grava os eventos do cliente em CSV (planilha) e/ou no relatório em PDF ou RichText"),
     &RunEventsExport,
     [](const QStringList&) { return CliAccess::Needs({Permission::Eventos}); }});

} // namespace
