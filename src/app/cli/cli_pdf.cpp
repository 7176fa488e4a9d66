#include "app/cli/cli_pdf.h"

#include "app/cli/cli_command.h"
#include "base/settings.h"
#include "printing/document_printer.h"
#include "printing/paged_document.h"
#include "printing/print_header.h"
#include "printing/rtf_writer.h"

int WriteCliPdf(CliContext& context, const PagedDocument& document, const QString& path) {
    DocumentPrinter printer(PrintHeader::FromSettings(ReadSettingsOrDefaults()));
    QString error;
    const bool written = printer.WritePdf(document, path, &error);
    for (const QString& warning : printer.Warnings())
        context.Complain(warning);
    if (!written) {
        context.Complain(error);
        return 0;
    }
    return document.PageCount();
}

int WriteCliRtf(CliContext& context, const PagedDocument& document, const QString& path) {
    QString error;
    if (!WriteRtfDocument(document, PrintHeader::FromSettings(ReadSettingsOrDefaults()), path, &error)) {
        context.Complain(error);
        return 0;
    }
    return document.PageCount();
}
