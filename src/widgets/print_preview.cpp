#include "widgets/print_preview.h"

#include "base/operator_messages.h"
#include "printing/document_printer.h"
#include "printing/paged_document.h"
#include "printing/rtf_writer.h"
#include "widgets/window_memory.h"

#include <QAction>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

PrintPreview::PrintPreview(const PagedDocument& document, DocumentPrinter& printer, QWidget* parent)
    : QPrintPreviewDialog(parent), m_document(document), m_printer(printer) {
    // The preview's own printer, on the pages the document is drawn for.
    QPrinter* device = QPrintPreviewDialog::printer();
    DocumentPrinter::SetUpPage(*device);
    device->setFullPage(true);
    setObjectName(QStringLiteral("PrintPreview"));
    // A page at a readable size, but never larger than the screen (less the task bar).
    RememberWindowGeometry(this, QSize(900, 1000));
    connect(this, &QPrintPreviewDialog::paintRequested, this, &PrintPreview::Paint);
    if (auto* toolbar = findChild<QToolBar*>()) {
        toolbar->addSeparator();
        QAction* save = toolbar->addAction(QStringLiteral("Salvar como PDF"));
        save->setObjectName(QStringLiteral("actSalvarPdf"));
        save->setToolTip(QStringLiteral("Salvar como Documento PDF"));
        connect(save, &QAction::triggered, this, &PrintPreview::AskAndSavePdf);
        QAction* rtf = toolbar->addAction(QStringLiteral("Salvar como RichText"));
        rtf->setObjectName(QStringLiteral("actSalvarRtf"));
        rtf->setToolTip(QStringLiteral("Salvar como Formato RichText"));
        connect(rtf, &QAction::triggered, this, &PrintPreview::AskAndSaveRtf);
    }
}

PrintPreview::~PrintPreview() = default;

void PrintPreview::Paint(QPrinter* device) {
    // The pages are A4 portrait whatever the page set-up chose.
    DocumentPrinter::SetUpPage(*device);
    device->setFullPage(true);
    m_printer.Print(m_document, *device);
}

bool PrintPreview::SaveAsPdf(const QString& path) {
    QString error;
    if (m_printer.WritePdf(m_document, path, &error))
        return true;
    OperatorMessages::Tell(this, error, MessageIcon::Critical);
    return false;
}

void PrintPreview::AskAndSavePdf() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salvar como PDF"), QString(),
                                                      QStringLiteral("Documento PDF (*.pdf)"));
    if (!path.isEmpty())
        SaveAsPdf(path);
}

bool PrintPreview::SaveAsRtf(const QString& path) {
    QString error;
    if (WriteRtfDocument(m_document, m_printer.Header(), path, &error, m_printer.PrintedAt()))
        return true;
    OperatorMessages::Tell(this, error, MessageIcon::Critical);
    return false;
}

void PrintPreview::AskAndSaveRtf() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salvar como RichText"), QString(),
                                                      QStringLiteral("Formato RichText (*.rtf)"));
    if (!path.isEmpty())
        SaveAsRtf(path);
}
