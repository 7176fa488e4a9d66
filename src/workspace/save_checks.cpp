#include "workspace/save_checks.h"

#include "store/data_module.h"
#include "workspace/customer_record.h"
#include "workspace/field_checks.h"

namespace {

bool Blank(const DataSet& set, const char* field) {
    return set.Value(QString::fromLatin1(field)).toString().trimmed().isEmpty();
}

} // namespace

SaveCheck CheckBeforeSave(CustomerRecord& record, PanelCodeRepeatRule rule) {
    const TdmBancoDeDados& dm = record.DataModule();
    const std::pair<const DataSet*, std::pair<const char*, RecordField>> required[] = {
        {&dm.DSetClientes, {"NOME", RecordField::Nome}},
        {&dm.DSetPainel, {"CODIGO_PAINEL", RecordField::CodigoPainel}},
        {&dm.DSetPainel, {"CODIGO_PC", RecordField::CodigoPc}},
        {&dm.DSetPainel, {"FONE_PAINEL", RecordField::FonePainel}},
    };
    for (const auto& [set, place] : required) {
        if (Blank(*set, place.first))
            return {SaveCheck::Outcome::Missing, place.second, {}};
    }
    QString refusal;
    if (const CustomerField* invalid = FirstInvalidField(dm, &refusal)) {
        SaveCheck check{SaveCheck::Outcome::Invalid, RecordField::None, refusal};
        check.invalid = invalid;
        return check;
    }
    if (!record.PanelCodeNeedsRepeatCheck())
        return {};
    const int count =
        record.CountOtherPanelsWithCode(dm.DSetPainel.Value(QStringLiteral("CODIGO_PAINEL")).toString());
    if (count < 0)
        return {SaveCheck::Outcome::Failed, RecordField::CodigoPainel, record.LastError()};
    if (count == 0)
        return {};
    switch (rule) {
    case PanelCodeRepeatRule::Refuse:
        return {SaveCheck::Outcome::RepeatRefused, RecordField::CodigoPainel, {}};
    case PanelCodeRepeatRule::Warn:
        return {SaveCheck::Outcome::RepeatAskToGoOn, RecordField::CodigoPainel, {}};
    case PanelCodeRepeatRule::Unset:
    case PanelCodeRepeatRule::Allow:
        break;
    }
    return {};
}
