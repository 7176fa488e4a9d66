#include "programming/ui/frm_report_prog.h"

#include "base/app_title.h"
#include "base/operator_messages.h"
#include "report/programming_report_job.h"
#include "report/report_document.h"
#include "widgets/help.h"
#include "widgets/print_preview.h"

namespace {

constexpr int kHelpTopic = 39;

} // namespace

TfrmReportProg::TfrmReportProg(ProductFamily family) : m_family(family) {}

TfrmReportProg::~TfrmReportProg() = default;

std::unique_ptr<TfrmReportProg> TfrmReportProg::ForProduct(int productCode) {
    switch (FamilyOf(productCode)) {
    case ProductFamily::TenZone:
        return std::make_unique<TfrmReportProg10>();
    case ProductFamily::FiveZone:
        return std::make_unique<TfrmReportProg5>();
    case ProductFamily::None:
        break;
    }
    return nullptr;
}

bool TfrmReportProg::AbreConsultas(DbConnection& db, int idCliente, const ReportPermissions& permissions,
                                   QWidget* parent) {
    ProgrammingReportJob job = ProgrammingReportJob::Read(db, idCliente, permissions);
    if (job.outcome != ProgrammingReportJob::Outcome::Ready) {
        OperatorMessages::Tell(parent, job.error, MessageIcon::Critical);
        return false;
    }
    m_document = std::make_unique<ProgrammingReportDocument>(std::move(job.report));
    return true;
}

void TfrmReportProg::MostraPreview(const PrintHeader& header, QWidget* parent) {
    if (!m_document)
        return;
    DocumentPrinter printer(header);
    if (!printer.LoadLogo()) {
        for (const QString& warning : printer.Warnings())
            OperatorMessages::Tell(parent, warning, MessageIcon::Warning);
    }
    PrintPreview preview(*m_document, printer, parent);
    preview.setWindowTitle(ApplicationTitle());
    SetHelpTopic(&preview, kHelpTopic);
    m_preview = &preview;
    preview.exec();
    m_preview = nullptr;
}
