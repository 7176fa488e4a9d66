#include "printing/document_printer.h"

#include "base/locale_format.h"
#include "base/whole_file.h"
#include "printing/paged_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr double kMarginLeft = 100;
constexpr double kMarginRight = 100;
constexpr double kMarginTop = 80;
constexpr double kMarginBottom = 70;
constexpr double kLogoWidth = 360;
constexpr double kLogoHeight = 190;
constexpr double kHeaderRule = kMarginTop + 210; // rule under the company lines
constexpr double kTitleHeight = 60;              // page title under the rule
constexpr double kPictureHeight = 110;           // model picture under the title
constexpr double kFooterHeight = 110;            // from the footer's rule to the bottom margin

const QColor kRuleColour(64, 64, 64);

} // namespace

QFont ReportFont(double size, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, qRound(size)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    // Plain letters (no ligatures), so that the text copied out of a PDF reads as printed.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

DocumentPrinter::DocumentPrinter(PrintHeader header, QDateTime printedAt)
    : m_header(std::move(header)), m_printedAt(std::move(printedAt)) {}

void DocumentPrinter::SetUpPage(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

bool DocumentPrinter::LoadLogo() {
    m_logo = QImage();
    if (m_header.logoPath.isEmpty())
        return true;
    if (m_logo.load(m_header.logoPath))
        return true;
    const QString message = LogoMissingMessage(m_header.logoPath);
    if (!m_warnings.contains(message))
        m_warnings << message;
    return false;
}

bool DocumentPrinter::Print(const PagedDocument& document, QPagedPaintDevice& device, QString* error) {
    LoadLogo();
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("Não foi possível iniciar a impressão.");
        return false;
    }
    // Tenths of a millimetre across the whole sheet, whatever the device's resolution.
    painter.setViewport(0, 0, device.width(), device.height());
    painter.setWindow(0, 0, int(kPageWidth), int(kPageHeight));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int count = document.PageCount();
    for (int page = 0; page < count; ++page) {
        if (page > 0)
            device.newPage();
        const QRectF body = DrawFrame(painter, document.Frame(page), page, count);
        painter.save();
        document.DrawBody(painter, page, body);
        painter.restore();
    }
    painter.end();
    return true;
}

bool DocumentPrinter::WritePdf(const PagedDocument& document, const QString& path, QString* error) {
    return WriteWholeFile(
        path,
        [&](QIODevice& device, QString* reason) {
            QPdfWriter writer(&device);
            writer.setResolution(300);
            writer.setCreator(QStringLiteral("Telvora"));
            SetUpPage(writer);
            return Print(document, writer, reason);
        },
        error);
}

QRectF DocumentPrinter::DrawFrame(QPainter& painter, const PageFrameTexts& frame, int page,
                                  int pageCount) const {
    const double left = kMarginLeft;
    const double right = kPageWidth - kMarginRight;
    const double width = right - left;
    painter.save();
    painter.setPen(Qt::black);

    // Company header: logo on the left, the two lines centred over the rule.
    if (!m_logo.isNull()) {
        const QSizeF size = QSizeF(m_logo.size()).scaled(kLogoWidth, kLogoHeight, Qt::KeepAspectRatio);
        painter.drawImage(QRectF(QPointF(left, kMarginTop), size), m_logo);
    }
    const QRectF linesBox(left + kLogoWidth, kMarginTop, width - 2 * kLogoWidth, kHeaderRule - kMarginTop);
    painter.setFont(WithStyleText(ReportFont(55), m_header.style1));
    painter.drawText(QRectF(linesBox.left(), linesBox.top() + 20, linesBox.width(), 80), Qt::AlignCenter,
                     m_header.line1);
    painter.setFont(WithStyleText(ReportFont(40), m_header.style2));
    painter.drawText(QRectF(linesBox.left(), linesBox.top() + 110, linesBox.width(), 60), Qt::AlignCenter,
                     m_header.line2);
    painter.setPen(QPen(kRuleColour, 4));
    painter.drawLine(QPointF(left, kHeaderRule), QPointF(right, kHeaderRule));
    painter.setPen(Qt::black);

    // Date and time of printing above the rule on the right.
    painter.setFont(ReportFont(30));
    painter.drawText(QRectF(right - 400, kMarginTop + 100, 400, 45), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Data: ") + FormatDate(m_printedAt.date()));
    painter.drawText(QRectF(right - 400, kMarginTop + 145, 400, 45), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Hora: ") + FormatShortTime(m_printedAt.time()));

    // Page title, the picture under it and the caption on the right.
    double y = kHeaderRule + 15;
    painter.setFont(ReportFont(45, true));
    painter.drawText(QRectF(left, y, width, kTitleHeight), Qt::AlignCenter, frame.title);
    y += kTitleHeight;
    if (!frame.picture.isNull()) {
        const QSizeF size =
            QSizeF(frame.picture.size()).scaled(width / 3, kPictureHeight, Qt::KeepAspectRatio);
        painter.drawImage(QRectF(QPointF(left, y), size), frame.picture);
    }
    if (!frame.caption.isEmpty()) {
        painter.setFont(ReportFont(32, true));
        painter.drawText(QRectF(right - 800, y, 800, 50), Qt::AlignRight | Qt::AlignVCenter, frame.caption);
    }

    // Footer under its rule: the product line, its address and the page number.
    const double footer = kPageHeight - kMarginBottom - kFooterHeight;
    painter.setPen(QPen(kRuleColour, 3));
    painter.drawLine(QPointF(left, footer), QPointF(right, footer));
    painter.setPen(Qt::black);
    painter.setBrush(QColor(32, 64, 128));
    painter.drawEllipse(QRectF(left, footer + 20, 70, 70));
    painter.setBrush(Qt::NoBrush);
    painter.setFont(ReportFont(30, true));
    painter.drawText(QRectF(left + 90, footer + 15, width - 500, 42), Qt::AlignLeft | Qt::AlignVCenter,
                     kFooterProductLine);
    painter.setFont(ReportFont(26));
    painter.drawText(QRectF(left + 90, footer + 57, width - 500, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     kFooterAddress);
    painter.setFont(ReportFont(32));
    painter.drawText(QRectF(right - 300, footer + 15, 300, 80), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("%1/%2").arg(page + 1).arg(pageCount));
    painter.restore();
    return BodyRect();
}

QRectF DocumentPrinter::BodyRect() {
    const double top = kHeaderRule + 15 + kTitleHeight + kPictureHeight + 10;
    const double footer = kPageHeight - kMarginBottom - kFooterHeight;
    return QRectF(kMarginLeft, top, kPageWidth - kMarginLeft - kMarginRight, footer - 15 - top);
}
