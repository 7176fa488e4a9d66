#include "programming/ui/section_comunicacao.h"

#include "programming/programming_image.h"
#include "programming/ui/editor_context.h"
#include "widgets/input_rules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

SectionComunicacao::SectionComunicacao(EditorContext& context, QWidget* parent)
    : SectionWidget(ProgSection::Comunicacao, context, parent) {
    auto* grid = new QGridLayout(Body());
    Caption(grid, 0, 0, QStringLiteral("Número de rings:"));
    cmbRings = new QComboBox;
    cmbRings->setObjectName(QStringLiteral("cmbRings"));
    for (int n = 1; n <= 15; ++n)
        cmbRings->addItem(QString::number(n));
    grid->addWidget(cmbRings, 0, 1, Qt::AlignLeft);
    connect(cmbRings, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (Quiet() || index < 0)
            return;
        Context().PC().setText(ProgField::Rings, QString::number(index + 1));
        Context().Wrote();
    });

    Caption(grid, 1, 0, QStringLiteral("Formato de comunicação:"));
    cmbFormato = new QComboBox;
    cmbFormato->setObjectName(QStringLiteral("cmbFormato"));
    grid->addWidget(cmbFormato, 1, 1, 1, 2);
    connect(cmbFormato, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (Quiet() || index < 0)
            return;
        Context().PC().setText(ProgField::CommunicationFormat, cmbFormato->itemText(index).left(2));
        Context().Wrote();
    });

    const QString account = QStringLiteral("0123456789ABCDEFabcdef");
    Caption(grid, 2, 0, QStringLiteral("Conta partição A:"));
    grid->addWidget(AddField(ProgField::AccountA, "edtContaA", account, 4), 2, 1);
    m_accountB << Caption(grid, 3, 0, QStringLiteral("Conta partição B:"));
    QLineEdit* accountB = AddField(ProgField::AccountB, "edtContaB", account, 4);
    grid->addWidget(accountB, 3, 1);
    m_accountB << accountB;

    const std::pair<ProgField, const char*> phones[] = {{ProgField::MonitoringPhone1, "edtFoneCentral1"},
                                                        {ProgField::MonitoringPhone2, "edtFoneCentral2"},
                                                        {ProgField::PcPhone, "edtFonePC"}};
    const char* captions[] = {"Telefone da central de monitoramento 1:",
                              "Telefone da central de monitoramento 2:", "Telefone do PC:"};
    int row = 4;
    for (int i = 0; i < 3; ++i) {
        Caption(grid, row, 0, QString::fromUtf8(captions[i]));
        QLineEdit* edit = AddField(phones[i].first, phones[i].second, QString(), 16);
        edit->setMaximumWidth(200);
        grid->addWidget(edit, row, 1, 1, 2);
        m_phones << edit;
        ++row;
    }
    grid->setColumnStretch(3, 1);
}

void SectionComunicacao::ApplyVariant() {
    const EditorVariant& v = Context().variant;
    for (QLineEdit* phone : std::as_const(m_phones))
        InputRules::AcceptOnly(phone, v.phoneCharacters);
    for (QWidget* w : std::as_const(m_accountB))
        w->setVisible(Context().family() == ProductFamily::TenZone);
    const LoadingGuard loading(Context().record);
    cmbFormato->clear();
    cmbFormato->addItems(v.formatList);
}

void SectionComunicacao::MarkOwnDifferences() {
    const ProductFamily family = Context().family();
    Mark(cmbRings, Differs(FieldOffset(ProgField::Rings, family)));
    Mark(cmbFormato, Differs(FieldOffset(ProgField::CommunicationFormat, family)));
}

void SectionComunicacao::Decode(const ProgrammingImage& image) {
    DecodeFields(image);
    const int rings = image.value(ProgField::Rings);
    cmbRings->setCurrentIndex(rings >= 1 && rings <= 15 ? rings - 1 : -1);
    cmbFormato->setCurrentIndex(
        OptionListPosition(Context().variant.formatList, image.value(ProgField::CommunicationFormat)));
}
