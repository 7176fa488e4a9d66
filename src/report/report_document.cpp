#include "report/report_document.h"

#include "printing/document_printer.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

// Sizes at full scale, in tenths of a millimetre.
constexpr double kText = 30;
constexpr double kLine = 42;
constexpr double kSectionLine = 58;
constexpr double kGapLine = 25;
constexpr double kLegendColumns = 3;
constexpr double kMarkGap = 12;

const QColor kMarkOff(192, 192, 192);

struct Metrics {
    double scale = 1;
    double text() const { return kText * scale; }
    double line() const { return kLine * scale; }
};

double CaptionWidth(const ReportPage& page, const Metrics& m) {
    const QFontMetricsF fm(ReportFont(m.text(), true));
    double width = 0;
    for (const ReportLine& line : page.lines) {
        if (line.kind == ReportLine::Kind::Field)
            width = qMax(width, fm.horizontalAdvance(line.cells.value(0)));
    }
    return width + 30 * m.scale;
}

double LineHeight(const ReportLine& line, const Metrics& m, double width) {
    switch (line.kind) {
    case ReportLine::Kind::Section:
        return line.cells.value(0).isEmpty() ? kGapLine * m.scale : kSectionLine * m.scale;
    case ReportLine::Kind::Legend:
        return std::ceil(line.marks.size() / kLegendColumns) * m.line();
    case ReportLine::Kind::Memo: {
        const QFontMetricsF fm(ReportFont(m.text()));
        const QRectF box = fm.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, line.cells.value(1));
        return m.line() + qMax(m.line(), box.height());
    }
    default:
        return m.line();
    }
}

double PageHeight(const ReportPage& page, const Metrics& m, double width) {
    double height = 0;
    for (const ReportLine& line : page.lines)
        height += LineHeight(line, m, width);
    return height;
}

void DrawMarks(QPainter& painter, const QList<ReportMark>& marks, double x, double y, const Metrics& m) {
    const QFontMetricsF fm(ReportFont(m.text(), true));
    const double step = fm.horizontalAdvance(QStringLiteral("[12]")) + kMarkGap * m.scale;
    for (const ReportMark& mark : marks) {
        painter.setFont(ReportFont(m.text(), mark.on));
        painter.setPen(mark.on ? QColor(Qt::black) : kMarkOff);
        painter.drawText(QRectF(x, y, step, m.line()), Qt::AlignLeft | Qt::AlignVCenter, mark.text);
        x += step;
    }
    painter.setPen(Qt::black);
}

} // namespace

ProgrammingReportDocument::ProgrammingReportDocument(ProgrammingReport report) : m_report(std::move(report)) {
    if (!m_report.picturePath.isEmpty())
        m_picture.load(m_report.picturePath);
}

PageFrameTexts ProgrammingReportDocument::Frame(int page) const {
    const ReportPage& p = m_report.pages.at(page);
    return {p.title, m_picture,
            p.showCustomerNumber ? QStringLiteral("Nº do cliente: %1").arg(m_report.customerId) : QString()};
}

void ProgrammingReportDocument::DrawBody(QPainter& painter, int pageNumber, const QRectF& body) const {
    const ReportPage& page = m_report.pages.at(pageNumber);
    Metrics m;
    const double height = PageHeight(page, m, body.width());
    if (height > body.height())
        m.scale = body.height() / height * 0.98;
    const double captionWidth = qMin(CaptionWidth(page, m), body.width() * 0.6);
    auto stop = [&](int i) { return body.left() + page.columnStops.value(i, 1.0) * body.width(); };

    painter.setPen(Qt::black);
    double y = body.top();
    for (const ReportLine& line : page.lines) {
        const double h = LineHeight(line, m, body.width());
        switch (line.kind) {
        case ReportLine::Kind::Section:
            painter.setFont(ReportFont(m.text() * 1.1, true));
            painter.drawText(QRectF(body.left(), y, body.width(), h), Qt::AlignLeft | Qt::AlignBottom,
                             line.cells.value(0));
            break;
        case ReportLine::Kind::Field:
            painter.setFont(ReportFont(m.text(), true));
            painter.drawText(QRectF(body.left(), y, captionWidth, h), Qt::AlignLeft | Qt::AlignVCenter,
                             line.cells.value(0));
            painter.setFont(ReportFont(m.text()));
            painter.drawText(QRectF(body.left() + captionWidth, y, body.width() - captionWidth, h),
                             Qt::AlignLeft | Qt::AlignVCenter, line.cells.value(1));
            break;
        case ReportLine::Kind::Columns:
            painter.setFont(ReportFont(m.text(), true));
            for (int i = 0; i < line.cells.size(); ++i)
                painter.drawText(QRectF(stop(i), y, stop(i + 1) - stop(i), h),
                                 Qt::AlignLeft | Qt::AlignVCenter, line.cells.at(i));
            painter.drawLine(QPointF(body.left(), y + h - 2), QPointF(body.right(), y + h - 2));
            break;
        case ReportLine::Kind::Row:
            painter.setFont(ReportFont(m.text()));
            for (int i = 0; i < line.cells.size(); ++i)
                painter.drawText(QRectF(stop(i), y, stop(i + 1) - stop(i), h),
                                 Qt::AlignLeft | Qt::AlignVCenter, line.cells.at(i));
            DrawMarks(painter, line.marks, stop(int(line.cells.size())), y, m);
            break;
        case ReportLine::Kind::Legend: {
            const double column = body.width() / kLegendColumns;
            for (int i = 0; i < line.marks.size(); ++i) {
                const double x = body.left() + (i % int(kLegendColumns)) * column;
                const double top = y + (i / int(kLegendColumns)) * m.line();
                painter.setFont(ReportFont(m.text(), true));
                painter.drawText(QRectF(x, top, column, m.line()), Qt::AlignLeft | Qt::AlignVCenter,
                                 line.marks.at(i).text + QLatin1Char(' ') + line.cells.value(i));
            }
            break;
        }
        case ReportLine::Kind::Memo:
            painter.setFont(ReportFont(m.text(), true));
            painter.drawText(QRectF(body.left(), y, body.width(), m.line()), Qt::AlignLeft | Qt::AlignVCenter,
                             line.cells.value(0));
            painter.setFont(ReportFont(m.text()));
            painter.drawText(QRectF(body.left(), y + m.line(), body.width(), h - m.line()),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, line.cells.value(1));
            break;
        }
        y += h;
    }
}

QList<DocumentBlock> ProgrammingReportDocument::TextBlocks(int pageNumber) const {
    const ReportPage& page = m_report.pages.at(pageNumber);
    QList<DocumentBlock> blocks;
    // The table the next line joins: fields join a fields table, rows the table of their titles.
    enum class Open { None, Fields, Rows } open = Open::None;
    auto marksCell = [](const QList<ReportMark>& marks) {
        DocumentCell cell;
        for (const ReportMark& mark : marks)
            cell.append({mark.text + QLatin1Char(' '), mark.on, !mark.on});
        return cell;
    };
    auto rowsTable = [&] {
        if (open != Open::Rows) {
            blocks << DocumentBlock::Table(page.columnStops);
            open = Open::Rows;
        }
        return &blocks.last();
    };
    for (const ReportLine& line : page.lines) {
        switch (line.kind) {
        case ReportLine::Kind::Section:
            blocks << DocumentBlock::Heading(line.cells.value(0));
            open = Open::None;
            break;
        case ReportLine::Kind::Field:
            if (open != Open::Fields) {
                blocks << DocumentBlock::Table({0.0, 0.4});
                open = Open::Fields;
            }
            blocks.last().rows.append(
                {{{line.cells.value(0), true, false}}, {{line.cells.value(1), false, false}}});
            break;
        case ReportLine::Kind::Columns: {
            blocks << DocumentBlock::Table(page.columnStops, true);
            open = Open::Rows;
            blocks.last().AddRow(line.cells, true);
            break;
        }
        case ReportLine::Kind::Row: {
            DocumentBlock* table = rowsTable();
            QList<DocumentCell> row;
            for (const QString& cell : line.cells)
                row.append({{cell, false, false}});
            if (!line.marks.isEmpty())
                row.append(marksCell(line.marks));
            table->rows.append(row);
            break;
        }
        case ReportLine::Kind::Legend: {
            DocumentBlock legend = DocumentBlock::Table({0.0, 1.0 / kLegendColumns, 2.0 / kLegendColumns});
            QList<DocumentCell> row;
            for (int i = 0; i < line.marks.size(); ++i) {
                row.append({{line.marks.at(i).text + QLatin1Char(' '), true, false},
                            {line.cells.value(i), false, false}});
                if (row.size() == int(kLegendColumns) || i + 1 == line.marks.size()) {
                    legend.rows.append(row);
                    row.clear();
                }
            }
            blocks << legend;
            open = Open::None;
            break;
        }
        case ReportLine::Kind::Memo:
            blocks << DocumentBlock::Paragraph(line.cells.value(0), true)
                   << DocumentBlock::Paragraph(line.cells.value(1));
            open = Open::None;
            break;
        }
    }
    return blocks;
}
