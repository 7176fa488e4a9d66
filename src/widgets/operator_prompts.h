#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Answers as the windows keep them: 0 none, 1 OK, 2 Cancel, 6 Yes, 7 No.
enum PromptAnswer { AnswerNone = 0, AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

enum class PromptButtons { YesNo, YesNoCancel };

// How a window asks the operator a question and tells him something: message boxes captioned with
// the application title, "\r" in the texts shown as line breaks. Windows take one by pointer so
// that tests can answer in their place.
class OperatorPrompts {
public:
    virtual ~OperatorPrompts() = default;

    // A question with the question icon; `defaultNo` preselects No. Returns a PromptAnswer.
    virtual int Ask(QWidget* parent, const QString& text, PromptButtons buttons, bool defaultNo = false);
    // A message with an OK button.
    virtual void Tell(QWidget* parent, QMessageBox::Icon icon, const QString& text);

    // The message boxes of the desktop program.
    static OperatorPrompts& Desktop();
};
