// The report commands:
//   report programming --customer ID [--pdf FILE.pdf] [--rtf FILE.rtf]
// writes the six pages of a customer's stored programming into a PDF file and/or a RichText file,
// as the customer screen's "Imprimir" prints them (every code shown).
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "app/cli/cli_pdf.h"
#include "report/programming_report_job.h"
#include "report/report_document.h"
#include "store/data_module.h"

#include <QDir>
#include <QFileInfo>

namespace {

int RunReportProgramming(CliContext& context, const QStringList& args) {
    QMap<QString, QString> options;
    QStringList words;
    QString error;
    if (!SplitArguments(args, {QStringLiteral("customer"), QStringLiteral("pdf"), QStringLiteral("rtf")},
                        &options, &words, &error))
        return context.WrongUse(error);
    if (!words.isEmpty())
        return context.WrongUse(UnexpectedArgumentText(words.first()));
    bool numeric = false;
    const int customer = options.value(QStringLiteral("customer")).toInt(&numeric);
    if (!numeric || customer <= 0)
        return context.WrongUse(QStringLiteral("Informe o cliente: --customer ID"));
    const QString pdf = options.value(QStringLiteral("pdf"));
    const QString rtf = options.value(QStringLiteral("rtf"));
    if (pdf.isEmpty() && rtf.isEmpty())
        return context.WrongUse(QStringLiteral("Informe o arquivo: --pdf ARQUIVO.pdf ou --rtf ARQUIVO.rtf"));

    TdmBancoDeDados dm;
    if (!dm.Connect(context.databaseName)) {
        context.Complain(dm.LastError());
        return 1;
    }
    const ProgrammingReportJob job = ProgrammingReportJob::Read(dm.IBDB, customer, ReportPermissions());
    dm.Disconnect();
    if (job.outcome != ProgrammingReportJob::Outcome::Ready) {
        context.Complain(job.error);
        return 1;
    }
    const ProgrammingReportDocument document(job.report);
    for (const bool asPdf : {true, false}) {
        const QString& file = asPdf ? pdf : rtf;
        if (file.isEmpty())
            continue;
        const int pages = asPdf ? WriteCliPdf(context, document, file) : WriteCliRtf(context, document, file);
        if (pages == 0)
            return 1;
        context.Report(QStringLiteral("Programação do cliente %1 gravada em %2 (%3 páginas).")
                           .arg(customer)
                           .arg(QDir::toNativeSeparators(file))
                           .arg(pages),
                       CliJson::Record(
                           QStringLiteral("report_written"),
                           {{QStringLiteral("customer"), customer},
                            {QStringLiteral("format"), asPdf ? QStringLiteral("pdf") : QStringLiteral("rtf")},
                            {QStringLiteral("file"), QFileInfo(file).absoluteFilePath()},
                            {QStringLiteral("pages"), pages}}));
    }
    return 0;
}

const bool registered = RegisterCliCommand(
    {{QStringLiteral("report"), QStringLiteral("programming")},
     QStringLiteral("--customer ID [--pdf ARQUIVO.pdf] [--rtf ARQUIVO.rtf]"),
     QStringLiteral("grava a programação do cliente (seis páginas) em PDF e/ou RichText"),
     &RunReportProgramming,
     [](const QStringList&) { return CliAccess::Needs({Permission::ImprimirProgramacao}); }});

} // namespace
