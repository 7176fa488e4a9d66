#include "workspace/ui/frm_report_buffer.h"

#include "base/app_title.h"
#include "base/operator_messages.h"
#include "printing/document_printer.h"
#include "widgets/help.h"
#include "widgets/print_preview.h"

namespace {

constexpr int kHelpTopic = 39;

} // namespace

void TfrmReportBuffer::MostraPreview(const PrintHeader& header, QWidget* parent) {
    DocumentPrinter printer(header);
    if (!printer.LoadLogo()) {
        for (const QString& warning : printer.Warnings())
            OperatorMessages::Tell(parent, warning, MessageIcon::Warning);
    }
    PrintPreview preview(m_document, printer, parent);
    preview.setWindowTitle(ApplicationTitle());
    SetHelpTopic(&preview, kHelpTopic);
    m_preview = &preview;
    preview.exec();
    m_preview = nullptr;
}
