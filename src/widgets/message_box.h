#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Message boxes of the application: captioned with the application title, the system's "\r" line
// breaks shown as new lines. Tests put an interceptor in place that answers instead of the operator.
struct MessageRequest {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Answers the button pressed.
using MessageInterceptor = std::function<QMessageBox::StandardButton(const MessageRequest&)>;
void SetMessageInterceptor(MessageInterceptor interceptor);

QMessageBox::StandardButton ShowMessage(QWidget* parent, const MessageRequest& request);

// A plain message with OK.
void ShowInfo(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon);
// A Yes/No question with the question icon; `defaultNo` preselects No (destructive questions).
bool AskYesNo(QWidget* parent, const QString& text, bool defaultNo = false);
