#pragma once

#include "report/report_content.h"

struct CustomerRows;
struct LoggedOperator;

// Which codes the operator may read on the report; a code the operator may not see prints "****".
struct ReportPermissions {
    bool panelCode = true; // "Ver código do painel"
    bool pcCode = true;    // "Ver senha do PC"
    bool userCodes = true; // "Ver senhas dos usuários" (master, installer and users)

    static ReportPermissions Of(const LoggedOperator& op);
};

// The six pages of a customer's stored programming: customer data, zones, users, times and
// communication, options, report codes, in the layout of the customer's model family and adapted
// to its model and stored version. A customer whose PRODUTO names no model gives no pages (there
// is nothing to print); missing programming rows print their fields empty.
ProgrammingReport BuildProgrammingReport(const CustomerRows& rows, const ReportPermissions& permissions);
