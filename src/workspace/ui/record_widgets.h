#pragma once

#include "store/column_limits.h"

#include <QLineEdit>
#include <QString>

// Small helpers of the customer record screen's pieces: controls named for the tests and the
// help, edits with the length of their column.
template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// An edit for TABLE.COLUMN: it takes as many characters as the column holds.
inline QLineEdit* NewRecordEdit(const char* name, const char* table, const char* column) {
    auto* edit = Named(new QLineEdit, name);
    if (const int length = ColumnLength(QLatin1String(table), QLatin1String(column)); length > 0)
        edit->setMaxLength(length);
    return edit;
}
