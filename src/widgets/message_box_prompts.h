#pragma once

#include "widgets/operator_prompts.h"

// The record screen's questions and messages through ShowMessage, so that the whole program asks
// in one way (and a test's interceptor answers the record screen too).
class MessageBoxPrompts : public OperatorPrompts {
public:
    int Ask(QWidget* parent, const QString& text, PromptButtons buttons, bool defaultNo = false) override;
    void Tell(QWidget* parent, QMessageBox::Icon icon, const QString& text) override;
};
