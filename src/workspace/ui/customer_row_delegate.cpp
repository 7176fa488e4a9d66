#include "workspace/ui/customer_row_delegate.h"

#include <QPainter>

QColor CustomerRowDelegate::RowBackground(int row, bool selected) {
    if (selected)
        return kSelectedRow;
    return (row + 1) % 2 ? kOddRow : kEvenRow;
}

void CustomerRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, RowBackground(index.row(), selected));
    QFont font = option.font;
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(selected ? kSelectedText : option.palette.color(QPalette::Text));
    const QRect text = option.rect.adjusted(2, 2, -2, 0);
    const QString value = index.data(Qt::DisplayRole).toString();
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      QFontMetrics(font).elidedText(value, Qt::ElideNone, text.width()));
    painter->restore();
}
