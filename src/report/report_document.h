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

private:
    ProgrammingReport m_report;
    QImage m_picture;
};
