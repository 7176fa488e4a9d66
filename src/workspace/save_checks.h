#pragma once

#include <QString>

class CustomerRecord;
struct CustomerField;

// The panel-code repeat rule, bits 0 and 1 of the general options ("Opcoes Gerais").
enum class PanelCodeRepeatRule {
    Unset = 0,  // no rule chosen (a hand-edited file): repeats pass, as with Allow
    Refuse = 1, // "Não permitir"
    Warn = 2,   // "Permitir, porém avisar que é repetido"
    Allow = 3,  // "Permitir"
};

inline PanelCodeRepeatRule RepeatRuleOf(int opcoesGerais) {
    return PanelCodeRepeatRule(opcoesGerais & 3);
}

// The fields the checks before saving point at.
enum class RecordField { None, Nome, CodigoPainel, CodigoPc, FonePainel };

// The outcome of the checks the save runs before writing anything, in their order: the name, the
// two codes and the panel's telephone must be filled; every field must fit its column and hold
// only what it takes (field_checks.h); then a panel code that needs the repeat check
// (a new panel row, or a stored one whose code changed) is counted among the other panels and the
// rule decides.
struct SaveCheck {
    enum class Outcome {
        Passed,
        Missing,         // `field` is empty: balloon kMsgCampoObrigatorio on it
        RepeatRefused,   // rule "Não permitir": kMsgCodigoRepetidoProibido
        RepeatAskToGoOn, // rule "Permitir, porém avisar": ask kMsgCodigoRepetidoContinuar
        Invalid,         // `invalid` holds a value its column does not take: balloon `error` on it
        Failed,          // the repeat count could not be read: `error`
    };
    Outcome outcome = Outcome::Passed;
    RecordField field = RecordField::None;
    QString error;
    const CustomerField* invalid = nullptr;
};

SaveCheck CheckBeforeSave(CustomerRecord& record, PanelCodeRepeatRule rule);
