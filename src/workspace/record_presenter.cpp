#include "workspace/record_presenter.h"

#include "store/data_module.h"
#include "workspace/customer_record.h"
#include "workspace/record_texts.h"

RecordPresenter::RecordPresenter(CustomerRecord& record, TdmBancoDeDados& dm, PanelCodeRepeatRule rule,
                                 RecordView& view)
    : m_record(record), m_dm(dm), m_rule(rule), m_view(view) {}

OperatorAnswer RecordPresenter::Ask(const QString& text, OperatorButtons buttons, bool defaultNo) {
    return OperatorMessages::Ask(m_view.MessageContext(), text, buttons, defaultNo);
}

void RecordPresenter::Tell(const QString& text) {
    OperatorMessages::Tell(m_view.MessageContext(), text, MessageIcon::Warning);
}

void RecordPresenter::Save() {
    RunSave(SaveOrigin::Button);
}

void RecordPresenter::RunSave(SaveOrigin origin) {
    if (!m_dm.ModoEditOuInsert() && !m_record.ProgramacaoAlterada)
        return;
    m_exitAnswer = origin == SaveOrigin::Button ? Ask(kMsgSalvarConta, OperatorButtons::YesNo)
                                                : Ask(kMsgSalvarAntesDeSair, OperatorButtons::YesNoCancel);
    if (m_exitAnswer == OperatorAnswer::No) {
        m_record.ProgramacaoAlterada = false;
        return;
    }
    if (m_exitAnswer != OperatorAnswer::Yes)
        return;

    m_view.ApplyCodeLeaveRules();
    // Text the database would refuse (or could only keep altered) is sent back to its field.
    if (m_view.ShowTextNotLatin1()) {
        m_exitAnswer = OperatorAnswer::Cancel;
        return;
    }
    const SaveCheck check = CheckBeforeSave(m_record, m_rule);
    switch (check.outcome) {
    case SaveCheck::Outcome::Passed:
        break;
    case SaveCheck::Outcome::Missing:
        m_view.ShowFieldError(check.field, kMsgCampoObrigatorio);
        m_exitAnswer = OperatorAnswer::Cancel;
        return;
    case SaveCheck::Outcome::RepeatRefused:
        m_view.ShowFieldError(RecordField::CodigoPainel, kMsgCodigoRepetidoProibido);
        m_exitAnswer = OperatorAnswer::Cancel;
        return;
    case SaveCheck::Outcome::RepeatAskToGoOn:
        if (Ask(kMsgCodigoRepetidoContinuar, OperatorButtons::YesNo, true) != OperatorAnswer::Yes) {
            m_exitAnswer = OperatorAnswer::Cancel;
            return;
        }
        break;
    case SaveCheck::Outcome::Invalid:
        m_view.ShowInvalidField(*check.invalid, check.error);
        m_exitAnswer = OperatorAnswer::Cancel;
        return;
    case SaveCheck::Outcome::Failed:
        Tell(check.error);
        m_exitAnswer = OperatorAnswer::Cancel;
        return;
    }

    QString error;
    if (!m_record.Save(&error)) {
        // Nothing was written; the edits stay on the screen for another try.
        Tell(error);
        m_exitAnswer = OperatorAnswer::Cancel;
        return;
    }
    m_view.ReloadFields();
}

void RecordPresenter::Leave(bool fromButton) {
    m_exitAnswer = OperatorAnswer::None;
    auto stop = [&] {
        if (fromButton)
            m_exitAnswer = OperatorAnswer::None;
    };
    if (m_dm.ModoEditOuInsert()) {
        RunSave(SaveOrigin::Leave);
        if (m_exitAnswer == OperatorAnswer::Cancel)
            return stop();
    }
    if (m_record.ProgramacaoAlterada)
        RunSave(SaveOrigin::Leave);
    if (m_exitAnswer == OperatorAnswer::No)
        m_record.Discard();
    if (m_exitAnswer == OperatorAnswer::Cancel)
        return stop();
    if (m_exitAnswer == OperatorAnswer::None && m_view.SessionRunning()) {
        m_exitAnswer = Ask(kMsgDesconectarESair, OperatorButtons::YesNo, true);
        if (m_exitAnswer != OperatorAnswer::Yes)
            return stop();
    }
    m_exitAnswer = OperatorAnswer::Yes;
    if (m_view.SessionRunning())
        m_view.HangUpAndClose();
    else
        m_view.CloseScreen();
    m_record.ProgramacaoAlterada = false;
}

void RecordPresenter::CloseRequested() {
    if (m_exitAnswer == OperatorAnswer::None)
        Leave(false);
    // The leave steps close the screen themselves when they get through, or have the session
    // close it once it hung up.
    m_exitAnswer = OperatorAnswer::None;
}
