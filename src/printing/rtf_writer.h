#pragma once

#include "printing/print_header.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class PagedDocument;

// The "Formato RichText" export of a document: every page as a word processor opens it, with the
// company header lines, the page's title and caption, the date and time of printing, the page's
// text (headings, paragraphs and tables, PagedDocument::TextBlocks) and the page number, each page
// on a page of its own (A4 portrait).
QByteArray RtfDocumentBytes(const PagedDocument& document, const PrintHeader& header,
                            const QDateTime& printedAt = QDateTime::currentDateTime());

// Writes it into `path` through a temporary file committed at the end: a file that cannot be
// written leaves an existing one as it was. False with *error in the system's words.
bool WriteRtfDocument(const PagedDocument& document, const PrintHeader& header, const QString& path,
                      QString* error = nullptr, const QDateTime& printedAt = QDateTime::currentDateTime());
