#pragma once

#include "printing/paged_document.h"
#include "report/report_content.h"

#include <QImage>

// The programming report laid out on A4 pages: each page's lines top to bottom, in a smaller type
// when a page's lines would not fit (so the report always has its six pages).
class ProgrammingReportDocument : public PagedDocument {
public:
    explicit ProgrammingReportDocument(ProgrammingReport report);

    const ProgrammingReport& Report() const { return m_report; }

    int PageCount() const override { return int(m_report.pages.size()); }
    PageFrameTexts Frame(int page) const override;
    void DrawBody(QPainter& painter, int page, const QRectF& body) const override;
    // Sections become headings; the fields of a run of Field lines one table of caption and value;
    // the column titles and the rows under them one table, their marks in a last cell (a clear
    // mark faint); the legend a table of three columns; a memo its caption and text.
    QList<DocumentBlock> TextBlocks(int page) const override;

private:
    ProgrammingReport m_report;
    QImage m_picture;
};
