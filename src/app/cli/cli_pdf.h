#pragma once

#include <QString>

struct CliContext;
class PagedDocument;

// Writes a report as PDF with the print header of the settings (read, never created), tells the
// warnings (a logo that cannot be opened: the pages print without it) and the reason of a failure.
// Answers the number of pages written, or 0 when the file could not be written.
int WriteCliPdf(CliContext& context, const PagedDocument& document, const QString& path);

// The same report in RichText (a word processor opens it with the same tables and texts). Answers
// the number of pages written, or 0 when the file could not be written.
int WriteCliRtf(CliContext& context, const PagedDocument& document, const QString& path);
