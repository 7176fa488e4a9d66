#include "programming/ui/section_tempos.h"

#include "programming/field_texts.h"
#include "programming/programming_image.h"
#include "programming/ui/editor_context.h"
#include "widgets/balloon_tip.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString kDigits = QStringLiteral("0123456789");

QString RangeMessage(int max) {
    return QStringLiteral("Só é válido número entre 0 e %1").arg(max);
}

} // namespace

SectionTempos::SectionTempos(EditorContext& context, QWidget* parent)
    : SectionWidget(ProgSection::Tempos, context, parent) {
    auto* grid = new QGridLayout(Body());
    struct TimeRow {
        ProgField field;
        const char* name;
        const char* caption;
        const char* unit;
    };
    const TimeRow rows[] = {
        {ProgField::EntryDelay, "edtTempoEntrada", "Tempo de entrada:", "seg."},
        {ProgField::ExitDelay, "edtTempoSaida", "Tempo de saída:", "seg."},
        {ProgField::SirenTime, "edtTempoSirene", "Tempo de sirene:", "min."},
        {ProgField::PgmTime, "edtTempoPgm", "Tempo de PGM:", "seg."},
        {ProgField::IntelligentZoneTime, "edtTempoZonaInteligente", "Tempo de zona inteligente:", "seg."},
        {ProgField::NoMainsTime, "edtTempoSemAC", "Tempo sem AC:", "min."},
        {ProgField::AnsweringMachineTime, "edtTempoEnganaSecretaria", "Tempo de engana secretária:", "seg."},
        {ProgField::AutoTestInterval, "edtIntervaloAutoTeste", "Intervalo de autoteste:", "horas"},
        {ProgField::NoMovementTime, "edtNaoMovimento", "Armar após não movimento:", "min."},
    };
    int row = 0;
    for (const TimeRow& r : rows) {
        QLabel* caption = Caption(grid, row, 0, QString::fromUtf8(r.caption));
        QLineEdit* edit = AddChecked(r.field, r.name, Check::Time);
        grid->addWidget(edit, row, 1);
        auto* unit = new QLabel(QString::fromUtf8(r.unit));
        grid->addWidget(unit, row, 2);
        if (r.field == ProgField::PgmTime)
            lblPgmUnidade = unit;
        if (r.field == ProgField::AutoTestInterval) {
            edtAutoTeste = edit;
            lblAutoTesteUnidade = unit;
            lblAutoTesteTexto = new QLabel;
            lblAutoTesteTexto->setObjectName(QStringLiteral("lblAutoTesteTexto"));
            grid->addWidget(lblAutoTesteTexto, row, 3);
        }
        if (r.field == ProgField::NoMovementTime) {
            edtNaoMovimento = edit;
            lblNaoMovimentoTexto = new QLabel;
            lblNaoMovimentoTexto->setObjectName(QStringLiteral("lblNaoMovimentoTexto"));
            grid->addWidget(lblNaoMovimentoTexto, row, 3);
            m_noMovementRow = {caption, edit, unit, lblNaoMovimentoTexto};
        }
        ++row;
    }
    struct HourRow {
        ProgField hour;
        ProgField minute;
        const char* hourName;
        const char* minuteName;
        const char* caption;
    };
    const HourRow hours[] = {
        {ProgField::AutoArmHour, ProgField::AutoArmMinute, "edtHoraAutoArme", "edtMinutoAutoArme",
         "Horário do auto-arme:"},
        {ProgField::AutoTestHour, ProgField::AutoTestMinute, "edtHoraAutoTeste", "edtMinutoAutoTeste",
         "Horário do autoteste:"},
        {ProgField::PgmOnHour, ProgField::PgmOnMinute, "edtHoraLigaPgm", "edtMinutoLigaPgm",
         "Horário de acionamento da PGM:"},
        {ProgField::PgmOffHour, ProgField::PgmOffMinute, "edtHoraDesligaPgm", "edtMinutoDesligaPgm",
         "Horário de desacionamento da PGM:"},
    };
    for (const HourRow& h : hours) {
        Caption(grid, row, 0, QString::fromUtf8(h.caption));
        grid->addWidget(AddChecked(h.hour, h.hourName, Check::Hour), row, 1);
        grid->addWidget(new QLabel(QStringLiteral(":")), row, 2);
        grid->addWidget(AddChecked(h.minute, h.minuteName, Check::Minute), row, 3, Qt::AlignLeft);
        ++row;
    }
    grid->setColumnStretch(4, 1);
    connect(&context, &EditorContext::ImageEdited, this, &SectionTempos::UpdateTexts);
}

QLineEdit* SectionTempos::AddChecked(ProgField field, const char* name, Check check) {
    QLineEdit* edit = AddField(field, name, kDigits, 3);
    if (check != Check::Time)
        edit->setMaxLength(2);
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, check] { CheckOnLeave(edit, check); });
    if (field == ProgField::AutoTestInterval || field == ProgField::NoMovementTime)
        connect(edit, &QLineEdit::textChanged, this, &SectionTempos::UpdateTexts);
    return edit;
}

void SectionTempos::CheckOnLeave(QLineEdit* edit, Check check) {
    if (ShowsAlarm() || !Body()->isEnabled())
        return;
    // The balloon brings the focus back to the wrong field: the field it passed through on the
    // way is not being left by the operator.
    if (Context().ValidationPending && m_pending && m_pending != edit)
        return;
    const int max = check == Check::Time ? kMaxTime : check == Check::Hour ? 23 : 59;
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    if (edit == edtNaoMovimento && edit->text().isEmpty()) {
        edit->setText(QStringLiteral("0"));
        ok = true;
    } else if (!ok || value < 0 || value > max) {
        Context().ValidationPending = true;
        m_pending = edit;
        BalloonTip::ShowFieldError(edit, RangeMessage(max));
        return;
    }
    Context().ValidationPending = false;
    m_pending = nullptr;
}

void SectionTempos::Decode(const ProgrammingImage& image) {
    DecodeFields(image);
    UpdateTexts();
}

void SectionTempos::UpdateTexts() {
    const ProgrammingImage& image = ShowsAlarm() ? Context().Alarm() : Context().PC();
    lblAutoTesteTexto->setText(AutoTestIntervalText(image.value(ProgField::AutoTestInterval)));
    lblNaoMovimentoTexto->setText(NoMovementText(edtNaoMovimento->text().toInt()));
    const auto minutes = OptionNumber(NamedOption::PgmTimeInMinutes, Context().family());
    lblPgmUnidade->setText(minutes && image.option(*minutes) ? QStringLiteral("min.")
                                                             : QStringLiteral("seg."));
}

void SectionTempos::ApplyVariant() {
    const EditorVariant& v = Context().variant;
    lblAutoTesteTexto->setVisible(v.autoTestText);
    lblAutoTesteUnidade->setVisible(!v.autoTestText);
    for (QWidget* w : std::as_const(m_noMovementRow))
        w->setVisible(v.noMovement);
}
