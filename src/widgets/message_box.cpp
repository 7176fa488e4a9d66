#include "widgets/message_box.h"

#include <QApplication>

namespace {
MessageInterceptor g_interceptor;
}

void SetMessageInterceptor(MessageInterceptor interceptor) {
    g_interceptor = std::move(interceptor);
}

QMessageBox::StandardButton ShowMessage(QWidget* parent, const MessageRequest& request) {
    if (g_interceptor)
        return g_interceptor(request);
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(request.icon, QApplication::applicationDisplayName(), text, request.buttons, parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

void ShowInfo(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    ShowMessage(parent, {text, icon, QMessageBox::Ok, QMessageBox::Ok});
}

bool AskYesNo(QWidget* parent, const QString& text, bool defaultNo) {
    return ShowMessage(parent, {text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                defaultNo ? QMessageBox::No : QMessageBox::Yes}) == QMessageBox::Yes;
}
