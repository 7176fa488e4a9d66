#pragma once

#include "base/operator_messages.h"
#include "workspace/save_checks.h"

#include <QString>

class CustomerRecord;
class QObject;
class TdmBancoDeDados;

// What the save and leave decisions need of the customer record screen.
class RecordView {
public:
    virtual ~RecordView() = default;

    // A code typed just before saving has not been left yet: its leave rules apply.
    virtual void ApplyCodeLeaveRules() = 0;
    // Brings `field` into view and points the field-error balloon with `message` at it.
    virtual void ShowFieldError(RecordField field, const QString& message) = 0;
    // The same for a field whose value its column does not take.
    virtual void ShowInvalidField(const CustomerField& field, const QString& message) = 0;
    // When a field holds text the database cannot keep (a character outside ISO 8859-1), brings
    // the first such field into view, points the field-error balloon at it and returns true.
    virtual bool ShowTextNotLatin1() = 0;
    // Fills the fields again from the saved rows.
    virtual void ReloadFields() = 0;
    // A session with the panel is running.
    virtual bool SessionRunning() const = 0;
    // The session hangs up and then closes the screen.
    virtual void HangUpAndClose() = 0;
    // Closes the screen now.
    virtual void CloseScreen() = 0;
    // The window the questions belong to.
    virtual QObject* MessageContext() = 0;
};

// The customer record screen's decisions about saving and leaving, apart from its widgets: which
// question is asked when, what each answer does to the record, and when the screen closes.
class RecordPresenter {
public:
    RecordPresenter(CustomerRecord& record, TdmBancoDeDados& dm, PanelCodeRepeatRule rule, RecordView& view);

    // "Salvar": the save with the question "Salvar Conta?" (only when something changed).
    void Save();
    // "Retornar" (`fromButton`) or the frame's close: save first or discard, ask before hanging up
    // a running session, then close.
    void Leave(bool fromButton);
    // The frame's close, while closing is enabled: leaves unless a leave is already answering.
    void CloseRequested();

    // The last answer of the save and leave questions.
    OperatorAnswer ExitAnswer() const { return m_exitAnswer; }

private:
    enum class SaveOrigin { Button, Leave };
    void RunSave(SaveOrigin origin);
    OperatorAnswer Ask(const QString& text, OperatorButtons buttons, bool defaultNo = false);
    void Tell(const QString& text);

    CustomerRecord& m_record;
    TdmBancoDeDados& m_dm;
    PanelCodeRepeatRule m_rule;
    RecordView& m_view;
    OperatorAnswer m_exitAnswer = OperatorAnswer::None;
};
