#include "base/operator_messages.h"

#include <QDebug>

namespace {

OperatorMessenger* g_messenger = nullptr;
QList<OperatorAnswer> g_nextAnswers;

OperatorAnswer PreselectedAnswer(const OperatorMessage& message) {
    if (message.buttons == OperatorButtons::Ok)
        return OperatorAnswer::Ok;
    return message.defaultNo ? OperatorAnswer::No : OperatorAnswer::Yes;
}

} // namespace

OperatorMessenger* OperatorMessages::SetMessenger(OperatorMessenger* messenger) {
    OperatorMessenger* previous = g_messenger;
    g_messenger = messenger;
    return previous;
}

OperatorMessenger* OperatorMessages::Messenger() {
    return g_messenger;
}

void OperatorMessages::SetNextAnswer(OperatorAnswer answer) {
    g_nextAnswers.append(answer);
}

void OperatorMessages::ClearNextAnswers() {
    g_nextAnswers.clear();
}

OperatorAnswer OperatorMessages::Show(QObject* context, const OperatorMessage& message) {
    if (!g_nextAnswers.isEmpty())
        return g_nextAnswers.takeFirst();
    if (g_messenger)
        return g_messenger->Show(context, message);
    qInfo().noquote() << QString(message.text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return PreselectedAnswer(message);
}

void OperatorMessages::Tell(QObject* context, const QString& text, MessageIcon icon) {
    Show(context, {text, icon, OperatorButtons::Ok, false});
}

OperatorAnswer OperatorMessages::Ask(QObject* context, const QString& text, OperatorButtons buttons,
                                     bool defaultNo) {
    return Show(context, {text, MessageIcon::Question, buttons, defaultNo});
}

bool OperatorMessages::AskYesNo(QObject* context, const QString& text, bool defaultNo) {
    return Ask(context, text, OperatorButtons::YesNo, defaultNo) == OperatorAnswer::Yes;
}
