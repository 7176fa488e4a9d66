#pragma once

#include <QPushButton>
#include <QString>

// Small pieces every dialog builds its controls with. Controls carry object names so that tests
// (and the help) can find them by the names the screens give them.

// A button that Enter does not press: only the dialog's one default button takes Enter.
inline QPushButton* DialogButton(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

// The widget, named.
template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
