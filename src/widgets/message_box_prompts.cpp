#include "widgets/message_box_prompts.h"

#include "widgets/message_box.h"

int MessageBoxPrompts::Ask(QWidget* parent, const QString& text, PromptButtons buttons, bool defaultNo) {
    const bool withCancel = buttons == PromptButtons::YesNoCancel;
    MessageRequest request{text, QMessageBox::Question,
                           withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                      : QMessageBox::Yes | QMessageBox::No,
                           defaultNo ? QMessageBox::No : QMessageBox::Yes};
    switch (ShowMessage(parent, request)) {
    case QMessageBox::Yes:
        return AnswerYes;
    case QMessageBox::No:
        return AnswerNo;
    default:
        return withCancel ? AnswerCancel : AnswerNo;
    }
}

void MessageBoxPrompts::Tell(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    ShowInfo(parent, text, icon);
}
