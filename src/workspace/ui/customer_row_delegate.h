#pragma once

#include <QStyledItemDelegate>

// Draws the customer list's cells: alternate rows light grey and white, the selected (current)
// row light blue with bold navy text, every text bold and set 2 pixels right of and below the
// cell's corner.
class CustomerRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static inline const QColor kOddRow{249, 249, 249};
    static inline const QColor kEvenRow{255, 255, 255};
    static inline const QColor kSelectedRow{166, 202, 240};
    static inline const QColor kSelectedText{0, 0, 128};

    using QStyledItemDelegate::QStyledItemDelegate;

    // The background of a row (0-based): rows with an odd record number (counted from 1) are grey.
    static QColor RowBackground(int row, bool selected);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
