#pragma once

#include <QPrintPreviewDialog>

class DocumentPrinter;
class PagedDocument;
class QPrinter;

// The print preview of a PagedDocument: the pages as they print, with zoom, page navigation,
// page set-up and printing (Qt's preview), plus "Salvar como PDF" and "Salvar como RichText". It
// opens no larger than the screen it shows on. The document and the printer must outlive the
// window.
class PrintPreview : public QPrintPreviewDialog {
    Q_OBJECT
public:
    PrintPreview(const PagedDocument& document, DocumentPrinter& printer, QWidget* parent = nullptr);
    ~PrintPreview() override;

    // "Salvar como PDF" with the file already chosen; false (after telling why) when it cannot
    // be written.
    bool SaveAsPdf(const QString& path);
    // "Salvar como RichText" with the file already chosen, the same way.
    bool SaveAsRtf(const QString& path);

private:
    void Paint(QPrinter* device);
    void AskAndSavePdf();
    void AskAndSaveRtf();

    const PagedDocument& m_document;
    DocumentPrinter& m_printer;
};
