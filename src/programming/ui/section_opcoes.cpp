#include "programming/ui/section_opcoes.h"

#include "programming/field_texts.h"
#include "programming/programming_image.h"
#include "programming/ui/editor_context.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

SectionOpcoes::SectionOpcoes(EditorContext& context, QWidget* parent)
    : SectionWidget(ProgSection::Opcoes, context, parent) {
    auto* layout = new QVBoxLayout(Body());
    auto* top = new QGridLayout;
    Caption(top, 0, 0, QStringLiteral("Reporte:"));
    cmbReporte = new QComboBox;
    cmbReporte->setObjectName(QStringLiteral("cmbReporte"));
    cmbReporte->addItems(ReportModeCaptions());
    top->addWidget(cmbReporte, 0, 1);
    connect(cmbReporte, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (Quiet() || index < 0)
            return;
        Context().PC().setReportMode(index);
        Context().Wrote();
        UpdateStates(Context().PC());
    });
    Caption(top, 1, 0, QStringLiteral("Dígito de coação:"));
    top->addWidget(AddField(ProgField::DuressDigit, "edtDigitoCoacao", QStringLiteral("0123456789"), 1), 1,
                   1);
    Caption(top, 2, 0, QStringLiteral("Ajuste de relógio:"));
    spnAjusteRelogio = new QSpinBox;
    spnAjusteRelogio->setObjectName(QStringLiteral("spnAjusteRelogio"));
    spnAjusteRelogio->setRange(0, 59);
    top->addWidget(spnAjusteRelogio, 2, 1);
    lblAjusteRelogio = new QLabel(ClockAdjustmentText(0));
    lblAjusteRelogio->setObjectName(QStringLiteral("lblAjusteRelogio"));
    top->addWidget(lblAjusteRelogio, 2, 2);
    connect(spnAjusteRelogio, &QSpinBox::valueChanged, this, [this](int value) {
        lblAjusteRelogio->setText(ClockAdjustmentText(value));
        if (Quiet())
            return;
        Context().PC().setText(ProgField::ClockAdjustment, QString::number(value));
        Context().Wrote();
    });
    top->setColumnStretch(3, 1);
    layout->addLayout(top);
    m_optionArea = new QWidget;
    layout->addWidget(m_optionArea);
}

void SectionOpcoes::ApplyVariant() {
    // The boxes of the variant, built anew when a version change captions, adds or drops options.
    const QVector<EditorOption> options = EditorOptions(Context().variant);
    QStringList shown;
    for (const EditorOption& option : options)
        shown << QString::number(option.number) + option.caption;
    if (shown == m_shownOptions)
        return;
    m_shownOptions = shown;
    delete m_optionArea;
    m_boxes.clear();
    m_labels.clear();
    m_optionArea = new QWidget;
    Body()->layout()->addWidget(m_optionArea);
    m_optionGrid = new QGridLayout(m_optionArea);
    int row = 0;
    for (const EditorOption& option : options) {
        auto* box = new QCheckBox(option.caption);
        box->setObjectName(QStringLiteral("chkOpcao%1").arg(option.number, 2, 16, QLatin1Char('0')));
        m_optionGrid->addWidget(box, row, 0);
        m_boxes.insert(option.number, box);
        if (!option.labels.whenSet.isEmpty()) {
            auto* set = new QLabel(option.labels.whenSet);
            auto* clear = new QLabel(option.labels.whenClear);
            set->setObjectName(QStringLiteral("lblOpcao%1Sim").arg(option.number, 2, 16, QLatin1Char('0')));
            clear->setObjectName(QStringLiteral("lblOpcao%1Nao").arg(option.number, 2, 16, QLatin1Char('0')));
            m_optionGrid->addWidget(set, row, 1);
            m_optionGrid->addWidget(clear, row, 2);
            m_labels.insert(option.number, {set, clear});
        }
        const int number = option.number;
        connect(box, &QCheckBox::toggled, this, [this, number](bool on) { OptionClicked(number, on); });
        ++row;
    }
    m_optionGrid->setColumnStretch(3, 1);
}

void SectionOpcoes::OptionClicked(int number, bool on) {
    if (Quiet())
        return;
    ProgrammingImage& pc = Context().PC();
    pc.setOption(number, on);
    Context().Wrote();
    UpdateStates(pc);
    if (OptionNumber(NamedOption::Partitioned, Context().family()) == number)
        Q_EMIT PartitionChanged();
}

void SectionOpcoes::MarkOwnDifferences() {
    const ProductFamily family = Context().family();
    Mark(cmbReporte, BitDiffers(kReportModeByte, 0) || BitDiffers(kReportModeByte, 1));
    Mark(spnAjusteRelogio, Differs(FieldOffset(ProgField::ClockAdjustment, family)));
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        Mark(it.value(), BitDiffers(OptionByteOffset(family, it.key() >> 4), it.key() & 0xF));
}

void SectionOpcoes::Decode(const ProgrammingImage& image) {
    cmbReporte->setCurrentIndex(image.reportMode());
    DecodeFields(image);
    spnAjusteRelogio->setValue(image.value(ProgField::ClockAdjustment));
    lblAjusteRelogio->setText(ClockAdjustmentText(spnAjusteRelogio->value()));
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        it.value()->setChecked(image.option(it.key()));
    UpdateStates(image);
}

void SectionOpcoes::UpdateStates(const ProgrammingImage& image) {
    for (auto it = m_labels.cbegin(); it != m_labels.cend(); ++it) {
        const bool set = image.option(it.key());
        it.value().whenSet->setEnabled(set);
        it.value().whenClear->setEnabled(!set);
    }
    // "Modo discadora" only with the report off.
    if (const auto dialler = OptionNumber(NamedOption::DiallerMode, Context().family())) {
        if (QCheckBox* box = m_boxes.value(*dialler)) {
            box->setEnabled(image.reportMode() == 0);
            const LoadingGuard loading(Context().record);
            box->setChecked(image.option(*dialler));
        }
    }
}
