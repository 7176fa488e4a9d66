#pragma once

#include "printing/document_text.h"

#include <QImage>
#include <QList>
#include <QString>

class QPainter;
class QRectF;

// What the page frame shows of one page besides the company header and the footer.
struct PageFrameTexts {
    QString title;   // centred under the header's rule
    QImage picture;  // under the title on the left (the panel model); null for none
    QString caption; // on the right under the date and time ("Nº do cliente: 12"); may be empty
};

// A document of a fixed number of A4 portrait pages. The printer draws each page's frame and
// hands the rest of the page to the document. Coordinates are tenths of a millimetre from the
// paper's top left corner (an A4 page is 2100 x 2970); fonts are sized in the same units with
// QFont::setPixelSize.
class PagedDocument {
public:
    virtual ~PagedDocument() = default;
    virtual int PageCount() const = 0;
    // Page numbers count from 0.
    virtual PageFrameTexts Frame(int page) const = 0;
    virtual void DrawBody(QPainter& painter, int page, const QRectF& body) const = 0;
    // The same body as text for a word processor (the RichText export, rtf_writer.h).
    virtual QList<DocumentBlock> TextBlocks(int page) const = 0;
};
