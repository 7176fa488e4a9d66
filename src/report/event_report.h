#pragma once

#include "printing/paged_document.h"
#include "store/event_list.h"

#include <QImage>
#include <QList>
#include <QString>

// The events report ("BUFFER DE EVENTOS"): the rows of the events page in its order, on A4 pages.
// Every page carries the customer's number and name and the column titles, then one line per
// event: number, date as day and month, time as hours and minutes, partition (10-zone family
// only), event, user and zone ("-" when empty). The 5-zone model's pages show its picture under
// the title.
class EventReportDocument : public PagedDocument {
public:
    EventReportDocument(int customerId, const QString& customerName, int productCode,
                        QList<EventListRow> rows);

    // Event lines on one page.
    static int RowsPerPage();
    int PageCount() const override;
    PageFrameTexts Frame(int page) const override;
    void DrawBody(QPainter& painter, int page, const QRectF& body) const override;
    QList<DocumentBlock> TextBlocks(int page) const override;

    bool WithPartition() const { return m_withPartition; }

private:
    int m_customerId;
    QString m_customerName;
    bool m_withPartition;
    QList<EventListRow> m_rows;
    QImage m_picture;
};
