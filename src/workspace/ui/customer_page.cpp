#include "workspace/ui/customer_page.h"

#include "widgets/input_rules.h"
#include "workspace/record_texts.h"
#include "workspace/ui/record_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

CustomerPage::CustomerPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsDadosCliente"));
    auto* layout = new QVBoxLayout(this);

    auto* nameForm = new QFormLayout;
    dbedtNome = NewRecordEdit("dbedtNome", "CLIENTES", "NOME");
    cmbGrupo = Named(new QComboBox, "cmbGrupo");
    nameForm->addRow(QStringLiteral("Nome:"), dbedtNome);
    nameForm->addRow(QStringLiteral("Grupo:"), cmbGrupo);
    auto* created = new QHBoxLayout;
    lblDataCriacao = Named(new QLabel, "lblDataCriacao");
    lblHoraCriacao = Named(new QLabel, "lblHoraCriacao");
    created->addWidget(new QLabel(QStringLiteral("Data de Criação")));
    created->addWidget(lblDataCriacao);
    created->addSpacing(24);
    created->addWidget(new QLabel(QStringLiteral("Hora de Criação")));
    created->addWidget(lblHoraCriacao);
    created->addStretch();
    nameForm->addRow(created);
    layout->addLayout(nameForm);

    grpCodigos = Named(new QGroupBox(QStringLiteral("Códigos para comunicação com o painel")), "grpCodigos");
    auto* codes = new QGridLayout(grpCodigos);
    dbedtCodigoPainel = NewRecordEdit("dbedtCodigoPainel", "PAINEL", "CODIGO_PAINEL");
    dbedtCodigoPC = NewRecordEdit("dbedtCodigoPC", "PAINEL", "CODIGO_PC");
    InputRules::AcceptOnly(dbedtCodigoPainel, InputRules::kDigits);
    InputRules::AcceptOnly(dbedtCodigoPC, InputRules::kDigits);
    chkAlterarCodigos =
        Named(new QCheckBox(QStringLiteral("Alterar códigos de comunicação")), "chkAlterarCodigos");
    auto* source = Named(new QGroupBox(QStringLiteral("Fonte dos Dados")), "grpFonteDados");
    auto* sourceLayout = new QHBoxLayout(source);
    rbFontePCCodigos = Named(new QRadioButton(QStringLiteral("PC")), "rbFontePCCodigos");
    rbFonteAlarmeCodigos = Named(new QRadioButton(QStringLiteral("Alarme")), "rbFonteAlarmeCodigos");
    rbFontePCCodigos->setChecked(true);
    sourceLayout->addWidget(rbFontePCCodigos);
    sourceLayout->addWidget(rbFonteAlarmeCodigos);
    btnEnviarCodigos = Named(new QPushButton(QStringLiteral("Enviar para o Painel")), "btnEnviarCodigos");
    btnEnviarCodigos->setAutoDefault(false);
    codes->addWidget(new QLabel(QStringLiteral("Código do painel:")), 0, 0);
    codes->addWidget(dbedtCodigoPainel, 0, 1);
    codes->addWidget(new QLabel(QStringLiteral("Código do PC:")), 1, 0);
    codes->addWidget(dbedtCodigoPC, 1, 1);
    codes->addWidget(chkAlterarCodigos, 2, 0, 1, 2);
    codes->addWidget(source, 0, 2, 2, 1);
    codes->addWidget(btnEnviarCodigos, 2, 2);
    layout->addWidget(grpCodigos);
    connect(chkAlterarCodigos, &QCheckBox::toggled, this, &CustomerPage::UpdateCodeFieldsEnabled);

    auto* panelPhone =
        Named(new QGroupBox(QStringLiteral("Telefone para comunicação com o painel")), "grpFonePainel");
    auto* phoneLayout = new QHBoxLayout(panelPhone);
    dbedtFonePainel = NewRecordEdit("dbedtFonePainel", "PAINEL", "FONE_PAINEL");
    dbedtFonePainel->setToolTip(kHintFonePainel);
    InputRules::AcceptOnly(dbedtFonePainel, InputRules::kPhoneCharacters);
    dbchkSecretaria = Named(new QCheckBox(QStringLiteral("Engana secretária eletrônica")), "dbchkSecretaria");
    dbedtTempoSecret = Named(new QLineEdit, "dbedtTempoSecret");
    dbedtTempoSecret->setMaxLength(3); // 0 to 255 seconds
    dbedtTempoSecret->setMaximumWidth(48);
    // The time is a number of seconds: only digits, whatever the telephone field takes.
    InputRules::AcceptOnly(dbedtTempoSecret, InputRules::kDigits);
    sbTempoSecretUp = Named(new QToolButton, "sbTempoSecretUp");
    sbTempoSecretUp->setArrowType(Qt::UpArrow);
    sbTempoSecretDown = Named(new QToolButton, "sbTempoSecretDown");
    sbTempoSecretDown->setArrowType(Qt::DownArrow);
    lblSeg = Named(new QLabel(QStringLiteral("seg.")), "lblSeg");
    phoneLayout->addWidget(new QLabel(QStringLiteral("Telefone:")));
    phoneLayout->addWidget(dbedtFonePainel);
    phoneLayout->addWidget(dbchkSecretaria);
    phoneLayout->addWidget(dbedtTempoSecret);
    auto* spin = new QVBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(sbTempoSecretUp);
    spin->addWidget(sbTempoSecretDown);
    phoneLayout->addLayout(spin);
    phoneLayout->addWidget(lblSeg);
    phoneLayout->addStretch();
    layout->addWidget(panelPhone);
    connect(dbchkSecretaria, &QCheckBox::toggled, this, &CustomerPage::UpdateAnsweringMachineFields);
    connect(sbTempoSecretUp, &QToolButton::clicked, this, [this] { StepTempoSecretaria(+1); });
    connect(sbTempoSecretDown, &QToolButton::clicked, this, [this] { StepTempoSecretaria(-1); });
    connect(dbedtTempoSecret, &QLineEdit::editingFinished, this, &CustomerPage::TempoSecretariaLeft);

    auto* contacts = Named(new QGroupBox(QStringLiteral("Telefones para contato")), "grpFonesContato");
    auto* contactLayout = new QFormLayout(contacts);
    dbedtFone1 = NewRecordEdit("dbedtFone1", "CLIENTES", "FONE1");
    dbedtFone2 = NewRecordEdit("dbedtFone2", "CLIENTES", "FONE2");
    dbedtFone3 = NewRecordEdit("dbedtFone3", "CLIENTES", "FONE3");
    contactLayout->addRow(QStringLiteral("Telefone 1:"), dbedtFone1);
    contactLayout->addRow(QStringLiteral("Telefone 2:"), dbedtFone2);
    contactLayout->addRow(QStringLiteral("Telefone 3:"), dbedtFone3);
    layout->addWidget(contacts);
    layout->addStretch();
    UpdateAnsweringMachineFields();
}

bool CustomerPage::CodesFromPc() const {
    return rbFontePCCodigos->isChecked();
}

void CustomerPage::UpdateCodeFieldsEnabled() {
    const bool enabled = chkAlterarCodigos->isChecked() && rbFontePCCodigos->isChecked();
    dbedtCodigoPainel->setEnabled(enabled);
    dbedtCodigoPC->setEnabled(enabled);
}

void CustomerPage::ShowCodesQuietly(const QString& panelCode, const QString& pcCode) {
    const QSignalBlocker blockPanel(dbedtCodigoPainel);
    const QSignalBlocker blockPc(dbedtCodigoPC);
    dbedtCodigoPainel->setText(panelCode);
    dbedtCodigoPC->setText(pcCode);
}

void CustomerPage::UpdateAnsweringMachineFields() {
    const bool on = dbchkSecretaria->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(dbedtTempoSecret), static_cast<QWidget*>(sbTempoSecretUp),
                       static_cast<QWidget*>(sbTempoSecretDown), static_cast<QWidget*>(lblSeg)})
        w->setVisible(on);
}

void CustomerPage::TempoSecretariaLeft() {
    const QString text = dbedtTempoSecret->text();
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (ok && value > kMaxTempoSecretaria)
        dbedtTempoSecret->setText(QString::number(kMaxTempoSecretaria));
    else if (!text.isEmpty() && !ok) // more digits than a number holds
        dbedtTempoSecret->setText(QString::number(kMaxTempoSecretaria));
}

void CustomerPage::StepTempoSecretaria(int delta) {
    const int value = dbedtTempoSecret->text().toInt();
    dbedtTempoSecret->setText(QString::number(std::clamp(value + delta, 0, kMaxTempoSecretaria)));
}
