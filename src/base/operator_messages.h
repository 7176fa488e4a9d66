#pragma once

#include <QList>
#include <QString>

class QObject;

// Answers as the windows keep them: 0 none, 1 OK, 2 Cancel, 6 Yes, 7 No.
enum class OperatorAnswer { None = 0, Ok = 1, Cancel = 2, Yes = 6, No = 7 };

enum class OperatorButtons { Ok, YesNo, YesNoCancel };

enum class MessageIcon { None, Information, Question, Warning, Critical };

// One message or question for the operator. The text is the system's own, "\r" line breaks
// included; whoever shows it turns them into its own line breaks.
struct OperatorMessage {
    QString text;
    MessageIcon icon = MessageIcon::None;
    OperatorButtons buttons = OperatorButtons::Ok;
    // Questions: No is preselected (destructive questions) instead of Yes.
    bool defaultNo = false;
};

// Whoever puts messages in front of the operator: the desktop's message boxes, the command line's
// plain output and flags, a test's recording.
class OperatorMessenger {
public:
    virtual ~OperatorMessenger() = default;
    // Shows `message` and returns the operator's answer (Ok for a plain message). `context` is the
    // window or object asking, may be null; the desktop puts the box over its window.
    virtual OperatorAnswer Show(QObject* context, const OperatorMessage& message) = 0;
};

// The one way the program tells the operator something and asks him a question, for windows, the
// link's workers and the command line alike. Every call comes on the main thread.
//
//     if (OperatorMessages::Ask(this, kMsgSalvarConta) == OperatorAnswer::Yes) ...
//     OperatorMessages::Tell(this, error, MessageIcon::Critical);
//
// The program installs its messenger at start. Without one, messages go to the log and questions
// take their preselected answer. Tests either install a recording messenger or queue the answers of
// the next questions with SetNextAnswer: a queued answer is taken without showing anything.
class OperatorMessages {
public:
    // Installs `messenger` (not owned; null: none) and returns the one it replaces.
    static OperatorMessenger* SetMessenger(OperatorMessenger* messenger);
    static OperatorMessenger* Messenger();

    // The answer of the next message or question, in place of the operator; several calls queue
    // answers for the calls that follow, in order.
    static void SetNextAnswer(OperatorAnswer answer);
    static void ClearNextAnswers();

    static OperatorAnswer Show(QObject* context, const OperatorMessage& message);
    // A message with an OK button.
    static void Tell(QObject* context, const QString& text, MessageIcon icon = MessageIcon::None);
    // A question with the question icon.
    static OperatorAnswer Ask(QObject* context, const QString& text,
                              OperatorButtons buttons = OperatorButtons::YesNo, bool defaultNo = false);
    // A Yes/No question: true for Yes.
    static bool AskYesNo(QObject* context, const QString& text, bool defaultNo = false);
};

// Installs a messenger for as long as it lives and puts the previous one back afterwards (the
// command line while a session runs, tests).
class ScopedOperatorMessenger {
public:
    explicit ScopedOperatorMessenger(OperatorMessenger* messenger)
        : m_previous(OperatorMessages::SetMessenger(messenger)) {}
    ~ScopedOperatorMessenger() { OperatorMessages::SetMessenger(m_previous); }
    ScopedOperatorMessenger(const ScopedOperatorMessenger&) = delete;
    ScopedOperatorMessenger& operator=(const ScopedOperatorMessenger&) = delete;

private:
    OperatorMessenger* m_previous;
};
