#include "widgets/operator_prompts.h"

#include "base/app_title.h"

namespace {

QString ForScreen(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

int OperatorPrompts::Ask(QWidget* parent, const QString& text, PromptButtons buttons, bool defaultNo) {
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), ForScreen(text),
                    buttons == PromptButtons::YesNoCancel
                        ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                        : QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return AnswerYes;
    case QMessageBox::No:
        return AnswerNo;
    default:
        return buttons == PromptButtons::YesNoCancel ? AnswerCancel : AnswerNo;
    }
}

void OperatorPrompts::Tell(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, ApplicationTitle(), ForScreen(text), QMessageBox::Ok, parent);
    box.exec();
}

OperatorPrompts& OperatorPrompts::Desktop() {
    static OperatorPrompts prompts;
    return prompts;
}
