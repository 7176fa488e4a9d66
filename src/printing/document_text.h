#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A page's text as a word processor takes it (headings, paragraphs, tables), for the documents
// exported in an editable format beside their printed pages.

// A piece of text with its look: bold, or faint (light grey, as a clear attribute mark prints).
struct DocumentRun {
    QString text;
    bool bold = false;
    bool faint = false;
};

using DocumentCell = QList<DocumentRun>;

struct DocumentBlock {
    enum class Kind { Heading, Paragraph, Table };
    Kind kind = Kind::Paragraph;
    QList<DocumentRun> runs;         // Heading, Paragraph ("\n" breaks a line)
    QList<QList<DocumentCell>> rows; // Table: cells of each row
    QList<double> stops;             // Table: left edge of each column, a fraction of the width
    bool firstRowTitles = false;     // Table: the first row holds the column titles

    static DocumentBlock Heading(const QString& text) {
        return {Kind::Heading, {{text, true, false}}, {}, {}, false};
    }
    static DocumentBlock Paragraph(const QString& text, bool bold = false) {
        return {Kind::Paragraph, {{text, bold, false}}, {}, {}, false};
    }
    static DocumentBlock Table(const QList<double>& stops, bool firstRowTitles = false) {
        return {Kind::Table, {}, {}, stops, firstRowTitles};
    }
    // A row of plain cells (bold for titles).
    void AddRow(const QStringList& cells, bool bold = false) {
        QList<DocumentCell> row;
        for (const QString& cell : cells)
            row.append({{cell, bold, false}});
        rows.append(row);
    }
};

// Every text of the blocks in order, for looking one up.
QStringList BlockTexts(const QList<DocumentBlock>& blocks);
