#pragma once

#include <QLineEdit>
#include <QString>

// Small helpers of the customer record screen's pieces: controls named for the tests and the
// help, edits with the length of their column.
template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QLineEdit* NewRecordEdit(const char* name, int maxLength) {
    auto* edit = Named(new QLineEdit, name);
    edit->setMaxLength(maxLength);
    return edit;
}
