#pragma once

#include "base/operator_messages.h"

#include <QList>
#include <QStringList>

// The program's messenger while it lives: keeps what was told and asked, and answers questions
// from a list (Cancel once the list is empty).
class RecordingMessenger : public OperatorMessenger {
public:
    RecordingMessenger() : m_installed(this) {}

    QList<OperatorAnswer> answers;
    QStringList asked;
    QList<bool> askedWithNoPreselected;
    QStringList told;
    QList<MessageIcon> toldIcons;

    OperatorAnswer Show(QObject*, const OperatorMessage& message) override {
        if (message.buttons == OperatorButtons::Ok) {
            told << message.text;
            toldIcons << message.icon;
            return OperatorAnswer::Ok;
        }
        asked << message.text;
        askedWithNoPreselected << message.defaultNo;
        return answers.isEmpty() ? OperatorAnswer::Cancel : answers.takeFirst();
    }

private:
    ScopedOperatorMessenger m_installed;
};
