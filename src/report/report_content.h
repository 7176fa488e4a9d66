#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The programming report as lines of text, before it is drawn: what each of the six pages shows,
// in order. Drawing (report_document.h) only places these lines; every printing rule lives in the
// code that builds them.

// An attribute mark ("[3]"): bold and black when its bit is set, light grey when clear.
struct ReportMark {
    QString text;
    bool on = false;
};

struct ReportLine {
    enum class Kind {
        Section, // a section title ("ZONAS DA PLACA")
        Field,   // cells: caption, value
        Columns, // column titles of the rows below
        Row,     // cells at the page's column stops, then the marks
        Legend,  // marks with their meanings in cells ("[1]" "Desabilitada")
        Memo,    // cells: caption, a text of several lines
    };
    Kind kind = Kind::Field;
    QStringList cells;
    QList<ReportMark> marks;
};

struct ReportPage {
    QString title;
    bool showCustomerNumber = true;
    // Left edges of the Columns and Row cells as fractions of the page width; a row's marks start
    // at the stop after its last cell.
    QList<double> columnStops;
    QList<ReportLine> lines;

    void Section(const QString& text) { lines.append({ReportLine::Kind::Section, {text}, {}}); }
    void Field(const QString& caption, const QString& value) {
        lines.append({ReportLine::Kind::Field, {caption, value}, {}});
    }
    void Columns(const QStringList& titles) { lines.append({ReportLine::Kind::Columns, titles, {}}); }
    void Row(const QStringList& cells, const QList<ReportMark>& marks = {}) {
        lines.append({ReportLine::Kind::Row, cells, marks});
    }
    void Legend(const QList<ReportMark>& marks, const QStringList& meanings) {
        lines.append({ReportLine::Kind::Legend, meanings, marks});
    }
    void Memo(const QString& caption, const QString& text) {
        lines.append({ReportLine::Kind::Memo, {caption, text}, {}});
    }

    // Every text of the page in order (cells, then marks), for looking a value up.
    QStringList Texts() const;
    // The value printed beside the first Field whose caption is `caption`; a null string when the
    // page has no such field.
    QString FieldValue(const QString& caption) const;
    // The first Row whose first cell is `first`; nullptr when there is none.
    const ReportLine* RowStartingWith(const QString& first) const;
};

struct ProgrammingReport {
    int customerId = 0;
    QString modelName;   // "ORVAN 10 MAX"
    QString picturePath; // the model's picture (a resource path)
    QList<ReportPage> pages;
};
