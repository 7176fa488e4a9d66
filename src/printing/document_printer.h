#pragma once

#include "printing/print_header.h"

#include <QDateTime>
#include <QImage>
#include <QRectF>
#include <QStringList>

class PagedDocument;
class QPagedPaintDevice;
class QPainter;
struct PageFrameTexts;

// Prints a PagedDocument: A4 portrait pages, each with the company header (logo on the left,
// title and subtitle centred over a rule, the page title under it, date and time of printing on
// the right), the document's body and a footer under a rule with the page number ("2/6"). The same
// drawing goes to a PDF file and to a printer or preview.
class DocumentPrinter {
public:
    explicit DocumentPrinter(PrintHeader header, QDateTime printedAt = QDateTime::currentDateTime());

    // Page size of every document: A4 portrait, drawn from the paper's edge (margins are the
    // frame's own).
    static void SetUpPage(QPagedPaintDevice& device);

    // Draws every page on a device that SetUpPage prepared (a printer, a PDF writer). False with
    // *error when the device cannot be painted on.
    bool Print(const PagedDocument& document, QPagedPaintDevice& device, QString* error = nullptr);
    // Writes the document into a PDF file; false with *error when the file cannot be written.
    bool WritePdf(const PagedDocument& document, const QString& path, QString* error = nullptr);

    // Loads the header's logo (printing does it again) and answers whether it could; a logo that
    // cannot be opened adds its message to Warnings(), and the pages print without it.
    bool LoadLogo();

    // Messages for the operator gathered while printing (a logo file that cannot be opened), each
    // once.
    QStringList Warnings() const { return m_warnings; }

    const PrintHeader& Header() const { return m_header; }
    QDateTime PrintedAt() const { return m_printedAt; }

    // The part of every page left to the document's body (the same on every page).
    static QRectF BodyRect();

    static constexpr double kPageWidth = 2100;
    static constexpr double kPageHeight = 2970;

private:
    // Draws the frame of page `page` (from 0) and answers the rectangle left for the body.
    QRectF DrawFrame(QPainter& painter, const PageFrameTexts& frame, int page, int pageCount) const;

    PrintHeader m_header;
    QDateTime m_printedAt;
    QImage m_logo;
    QStringList m_warnings;
};

// The report font family at a size in tenths of a millimetre.
QFont ReportFont(double size, bool bold = false);
