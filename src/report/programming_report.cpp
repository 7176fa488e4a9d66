#include "report/programming_report.h"

#include "report/report_pages.h"
#include "store/logged_operator.h"

ReportPermissions ReportPermissions::Of(const LoggedOperator& op) {
    return {op.HasPermission(Permission::VerCodigoPainel), op.HasPermission(Permission::VerSenhaPc),
            op.HasPermission(Permission::VerSenhasUsuarios)};
}

ProgrammingReport BuildProgrammingReport(const CustomerRows& rows, const ReportPermissions& permissions) {
    ProgrammingReport report;
    const ReportVariant variant =
        ReportVariant::For(Column(rows.clientes, QStringLiteral("PRODUTO")).toString(),
                           Column(rows.clientes, QStringLiteral("VERSAO_PRODUTO")).toString());
    report.customerId = Column(rows.clientes, QStringLiteral("ID_CLIENTE")).toInt();
    report.modelName = variant.modelName;
    report.picturePath = variant.picturePath;
    if (variant.family == ProductFamily::None)
        return report;
    report.pages = {CustomerDataPage(rows, variant, permissions),
                    ZonesPage(rows, variant),
                    UsersPage(rows, variant, permissions),
                    TimesPage(rows, variant),
                    OptionsPage(rows, variant),
                    ReportCodesPage(rows, variant)};
    return report;
}
