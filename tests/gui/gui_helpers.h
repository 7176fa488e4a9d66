#pragma once

// Helpers of the window tests: answering message boxes and driving modal dialogs.

#include "widgets/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Records every message box instead of showing it and answers with the queued buttons (Yes for a
// question and Ok otherwise when the queue is empty).
class MessageLog {
public:
    MessageLog() {
        SetMessageInterceptor([this](const MessageRequest& request) {
            requests << request;
            if (!answers.isEmpty())
                return answers.takeFirst();
            return request.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
        });
    }
    ~MessageLog() { SetMessageInterceptor({}); }

    QStringList Texts() const {
        QStringList texts;
        for (const MessageRequest& r : requests)
            texts << r.text;
        return texts;
    }
    QString Last() const { return requests.isEmpty() ? QString() : requests.last().text; }

    QList<MessageRequest> requests;
    QList<QMessageBox::StandardButton> answers;
};

// Runs `act` on the next modal dialog of type T once it is up (the caller then opens it with exec).
template <typename T> void WhenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

// Clicks a radio button or check box on its indicator (a click beside its text does not count).
inline void ClickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}
