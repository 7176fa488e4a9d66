#pragma once

#include "printing/print_header.h"
#include "report/event_report.h"

#include <QObject>

class PrintPreview;
class QWidget;

// `TfrmReportBuffer`, the events report on screen: the rows of the events page (same filter, same
// order) in the print preview, captioned with the application title, from which the operator prints
// them or saves them as PDF. Exists only while its preview is shown.
class TfrmReportBuffer : public QObject {
    Q_OBJECT
public:
    explicit TfrmReportBuffer(EventReportDocument document) : m_document(std::move(document)) {}

    // Shows the pages and returns when the preview is closed. A logo that cannot be opened is told
    // first; the pages then print without it.
    void MostraPreview(const PrintHeader& header, QWidget* parent);

    const EventReportDocument& Document() const { return m_document; }
    // The preview while it is shown.
    PrintPreview* Preview() const { return m_preview; }

private:
    EventReportDocument m_document;
    PrintPreview* m_preview = nullptr;
};
