#include "widgets/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(OperatorButtons buttons) {
    switch (buttons) {
    case OperatorButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case OperatorButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case OperatorButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The widget that asks, or the nearest widget above the object that asks; none for a message that
// names no one.
QWidget* ParentOf(QObject* context) {
    for (QObject* object = context; object; object = object->parent()) {
        if (auto* widget = qobject_cast<QWidget*>(object))
            return widget;
    }
    return nullptr;
}

} // namespace

OperatorAnswer DesktopMessenger::Show(QObject* context, const OperatorMessage& message) {
    QString text = message.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(IconOf(message.icon), QApplication::applicationDisplayName(), text,
                    ButtonsOf(message.buttons), ParentOf(context));
    if (message.buttons != OperatorButtons::Ok)
        box.setDefaultButton(message.defaultNo ? QMessageBox::No : QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return OperatorAnswer::Yes;
    case QMessageBox::No:
        return OperatorAnswer::No;
    case QMessageBox::Ok:
        return OperatorAnswer::Ok;
    default:
        // Closing a question without an answer: Cancel where it offers one, otherwise No.
        return message.buttons == OperatorButtons::YesNoCancel ? OperatorAnswer::Cancel
               : message.buttons == OperatorButtons::YesNo     ? OperatorAnswer::No
                                                               : OperatorAnswer::Ok;
    }
}
