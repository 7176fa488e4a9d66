#pragma once

#include "printing/document_printer.h"
#include "programming/product_codes.h"
#include "report/programming_report.h"

#include <QObject>

#include <memory>

class DbConnection;
class PrintPreview;
class ProgrammingReportDocument;
class QWidget;

// The programming report of one customer on screen: reads the customer's stored rows, builds the
// six pages and shows them in the print preview (print, PDF), captioned with the application
// title. Exists only while its preview is shown.
class TfrmReportProg : public QObject {
    Q_OBJECT
public:
    ~TfrmReportProg() override;

    // The report window of a product code's family; null for a code that names no model (there is
    // nothing to print).
    static std::unique_ptr<TfrmReportProg> ForProduct(int productCode);
    ProductFamily Family() const { return m_family; }

    // Reads the customer's rows (the report's queries). False, after telling the operator why,
    // when they cannot be read or the customer is not of this window's family.
    bool AbreConsultas(DbConnection& db, int idCliente, const ReportPermissions& permissions,
                       QWidget* parent);
    // Shows the pages in the preview and returns when it is closed. A logo that cannot be opened
    // is told first; the pages then print without it.
    void MostraPreview(const PrintHeader& header, QWidget* parent);

    // The preview while it is shown.
    PrintPreview* Preview() const { return m_preview; }
    const ProgrammingReportDocument* Document() const { return m_document.get(); }

protected:
    explicit TfrmReportProg(ProductFamily family);

private:
    ProductFamily m_family;
    std::unique_ptr<ProgrammingReportDocument> m_document;
    PrintPreview* m_preview = nullptr;
};

// The report of the 10-zone family (Orvan 10, 10 Max, 10 Eco, 9 Max).
class TfrmReportProg10 : public TfrmReportProg {
    Q_OBJECT
public:
    TfrmReportProg10() : TfrmReportProg(ProductFamily::TenZone) {}
};

// The report of the 5-zone model (Orvan 5).
class TfrmReportProg5 : public TfrmReportProg {
    Q_OBJECT
public:
    TfrmReportProg5() : TfrmReportProg(ProductFamily::FiveZone) {}
};
