#pragma once

// Helpers of the window tests: answering message boxes and driving modal dialogs.

#include "base/operator_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// The program's messenger while it lives: records every message instead of showing it and answers
// with the queued answers (Yes for a question and Ok otherwise when the queue is empty).
class MessageLog : public OperatorMessenger {
public:
    MessageLog() : m_installed(this) {}

    OperatorAnswer Show(QObject*, const OperatorMessage& message) override {
        requests << message;
        if (!answers.isEmpty())
            return answers.takeFirst();
        return message.buttons == OperatorButtons::Ok ? OperatorAnswer::Ok : OperatorAnswer::Yes;
    }

    QStringList Texts() const {
        QStringList texts;
        for (const OperatorMessage& r : requests)
            texts << r.text;
        return texts;
    }
    QString Last() const { return requests.isEmpty() ? QString() : requests.last().text; }

    QList<OperatorMessage> requests;
    QList<OperatorAnswer> answers;

private:
    ScopedOperatorMessenger m_installed;
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

// The control `name` of `window` (a warning when there is none).
template <typename T> T* Find(QWidget* window, const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no control %s", name);
    return widget;
}

// Presses the button `name` of `window` with the mouse, as the operator does.
inline void Press(QWidget* window, const char* name) {
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!button) {
        qWarning("no button %s", name);
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks a radio button or check box on its indicator (a click beside its text does not count).
inline void ClickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}
