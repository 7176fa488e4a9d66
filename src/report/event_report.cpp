#include "report/event_report.h"

#include "printing/document_printer.h"
#include "programming/product_codes.h"

#include <QPainter>

#include <algorithm>

namespace {

// Sizes in tenths of a millimetre.
constexpr double kText = 30;
constexpr double kLine = 42;
constexpr double kCustomerLine = 60;
constexpr double kTitlesLine = 55;
// The band of the column positions is 718 report pixels wide.
constexpr double kBandWidth = 718;

struct ReportColumn {
    const char* title;
    double width;
    double left10; // 10-zone family
    double left5;  // 5-zone model; negative: not printed
};

constexpr ReportColumn kColumns[] = {
    {"Nº Evento", 70, 0, 32},  {"Data", 70, 69, 101},      {"Hora", 80, 138, 170}, {"Partição", 64, 217, -1},
    {"Evento", 238, 280, 249}, {"Usuário", 114, 517, 486}, {"Zona", 88, 630, 599},
};

QString OrDash(const QString& text) {
    return text.isEmpty() ? QStringLiteral("-") : text;
}

QStringList Cells(const EventListRow& row) {
    return {row.number < 0 ? QString() : QString::number(row.number),
            row.data.isValid() ? row.data.toString(QStringLiteral("dd/MM")) : QString(),
            row.hora.isValid() ? row.hora.toString(QStringLiteral("HH:mm")) : QString(),
            row.particao,
            row.evento,
            OrDash(row.usuario),
            OrDash(row.zona)};
}

} // namespace

EventReportDocument::EventReportDocument(int customerId, const QString& customerName, int productCode,
                                         QList<EventListRow> rows)
    : m_customerId(customerId), m_customerName(customerName),
      m_withPartition(FamilyOf(productCode) != ProductFamily::FiveZone), m_rows(std::move(rows)) {
    if (!m_withPartition)
        m_picture.load(QStringLiteral(":/report/products/orvan5.svg"));
}

int EventReportDocument::RowsPerPage() {
    return int((DocumentPrinter::BodyRect().height() - kCustomerLine - kTitlesLine) / kLine);
}

int EventReportDocument::PageCount() const {
    return std::max<int>(1, int((m_rows.size() + RowsPerPage() - 1) / RowsPerPage()));
}

PageFrameTexts EventReportDocument::Frame(int) const {
    return {QStringLiteral("BUFFER DE EVENTOS"), m_picture, QString()};
}

void EventReportDocument::DrawBody(QPainter& painter, int page, const QRectF& body) const {
    const double scale = body.width() / kBandWidth;
    painter.setPen(Qt::black);
    double y = body.top();

    painter.setFont(ReportFont(kText * 1.1, true));
    const double half = body.width() / 2;
    painter.drawText(QRectF(body.left(), y, half * 0.6, kCustomerLine), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Nº do cliente: %1").arg(m_customerId));
    painter.drawText(QRectF(body.left() + half * 0.6, y, body.width() - half * 0.6, kCustomerLine),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Nome do cliente: ") + m_customerName);
    y += kCustomerLine;

    const auto cell = [&](const ReportColumn& column, double top, double height) {
        const double left = m_withPartition ? column.left10 : column.left5;
        return QRectF(body.left() + left * scale, top, column.width * scale, height);
    };
    painter.setFont(ReportFont(kText, true));
    for (const ReportColumn& column : kColumns) {
        if (!m_withPartition && column.left5 < 0)
            continue;
        painter.drawText(cell(column, y, kTitlesLine), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8(column.title));
    }
    painter.drawLine(QPointF(body.left(), y + kTitlesLine - 4), QPointF(body.right(), y + kTitlesLine - 4));
    y += kTitlesLine;

    painter.setFont(ReportFont(kText));
    const qsizetype first = qsizetype(page) * RowsPerPage();
    const qsizetype last = std::min<qsizetype>(m_rows.size(), first + RowsPerPage());
    for (qsizetype i = first; i < last; ++i) {
        const QStringList cells = Cells(m_rows.at(i));
        for (int c = 0; c < int(std::size(kColumns)); ++c) {
            const ReportColumn& column = kColumns[c];
            if (!m_withPartition && column.left5 < 0)
                continue;
            painter.drawText(cell(column, y, kLine), Qt::AlignLeft | Qt::AlignVCenter, cells.at(c));
        }
        y += kLine;
    }
}

QList<DocumentBlock> EventReportDocument::TextBlocks(int page) const {
    QList<DocumentBlock> blocks;
    blocks << DocumentBlock::Paragraph(QStringLiteral("Nº do cliente: %1").arg(m_customerId), true)
           << DocumentBlock::Paragraph(QStringLiteral("Nome do cliente: ") + m_customerName, true);
    QList<double> stops;
    QStringList titles;
    QList<int> shown;
    for (int c = 0; c < int(std::size(kColumns)); ++c) {
        const ReportColumn& column = kColumns[c];
        const double left = m_withPartition ? column.left10 : column.left5;
        if (left < 0)
            continue;
        stops << left / kBandWidth;
        titles << QString::fromUtf8(column.title);
        shown << c;
    }
    DocumentBlock table = DocumentBlock::Table(stops, true);
    table.AddRow(titles, true);
    const qsizetype first = qsizetype(page) * RowsPerPage();
    const qsizetype last = std::min<qsizetype>(m_rows.size(), first + RowsPerPage());
    for (qsizetype i = first; i < last; ++i) {
        const QStringList cells = Cells(m_rows.at(i));
        QStringList row;
        for (int c : std::as_const(shown))
            row << cells.at(c);
        table.AddRow(row);
    }
    blocks << table;
    return blocks;
}
