#include "report/programming_report_job.h"

#include "store/customer_rows.h"

ProgrammingReportJob ProgrammingReportJob::Read(DbConnection& db, int idCliente,
                                                const ReportPermissions& permissions) {
    ProgrammingReportJob job;
    CustomerRows rows;
    if (!ReadCustomerRows(db, idCliente, &rows, &job.error))
        return job;
    if (!rows.Found()) {
        job.outcome = Outcome::NoCustomer;
        job.error = CustomerNotFoundMessage(idCliente);
        return job;
    }
    job.report = BuildProgrammingReport(rows, permissions);
    if (job.report.pages.isEmpty()) {
        job.outcome = Outcome::NoModel;
        job.error = NoModelMessage(idCliente);
        return job;
    }
    job.outcome = Outcome::Ready;
    return job;
}

QString CustomerNotFoundMessage(int idCliente) {
    return QStringLiteral("Cliente %1 não encontrado.").arg(idCliente);
}

QString NoModelMessage(int idCliente) {
    return QStringLiteral(
               "O cliente %1 não tem o modelo do painel definido: não há programação para imprimir.")
        .arg(idCliente);
}
