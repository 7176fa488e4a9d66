#pragma once

// The builders of the programming report's pages, one file each.
#include "report/programming_report.h"
#include "report/report_variant.h"
#include "store/customer_rows.h"

#include <QVariant>
#include <QVariantMap>

inline QVariant Column(const QVariantMap& row, const QString& column) {
    return row.value(column);
}

ReportPage CustomerDataPage(const CustomerRows& rows, const ReportVariant& variant,
                            const ReportPermissions& permissions);
ReportPage ZonesPage(const CustomerRows& rows, const ReportVariant& variant);
ReportPage UsersPage(const CustomerRows& rows, const ReportVariant& variant,
                     const ReportPermissions& permissions);
ReportPage TimesPage(const CustomerRows& rows, const ReportVariant& variant);
ReportPage OptionsPage(const CustomerRows& rows, const ReportVariant& variant);
ReportPage ReportCodesPage(const CustomerRows& rows, const ReportVariant& variant);
