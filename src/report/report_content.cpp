#include "report/report_content.h"

QStringList ReportPage::Texts() const {
    QStringList texts;
    for (const ReportLine& line : lines) {
        texts += line.cells;
        for (const ReportMark& mark : line.marks)
            texts << mark.text;
    }
    return texts;
}

QString ReportPage::FieldValue(const QString& caption) const {
    for (const ReportLine& line : lines) {
        if (line.kind == ReportLine::Kind::Field && line.cells.value(0) == caption)
            return line.cells.value(1, QStringLiteral(""));
    }
    return QString();
}

const ReportLine* ReportPage::RowStartingWith(const QString& first) const {
    for (const ReportLine& line : lines) {
        if (line.kind == ReportLine::Kind::Row && line.cells.value(0) == first)
            return &line;
    }
    return nullptr;
}
