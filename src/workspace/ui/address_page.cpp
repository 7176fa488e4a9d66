#include "workspace/ui/address_page.h"

#include "widgets/input_rules.h"
#include "workspace/ui/record_widgets.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>

namespace {

QGroupBox* AddressGroup(const QString& title, const char* name, QLineEdit* street, QLineEdit* number,
                        QLineEdit* complement, QLineEdit* district, QLineEdit* city, QLineEdit* cep,
                        QComboBox* state) {
    auto* group = Named(new QGroupBox(title), name);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Endereço:"), street);
    form->addRow(QStringLiteral("Número:"), number);
    form->addRow(QStringLiteral("Complemento:"), complement);
    form->addRow(QStringLiteral("Bairro:"), district);
    form->addRow(QStringLiteral("Cidade:"), city);
    form->addRow(QStringLiteral("CEP:"), cep);
    form->addRow(QStringLiteral("Estado:"), state);
    InputRules::AcceptOnly(cep, InputRules::kPostalCodeCharacters);
    return group;
}

} // namespace

AddressPage::AddressPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsEnderecos"));
    auto* layout = new QHBoxLayout(this);
    dbedtEndereco = NewRecordEdit("dbedtEndereco", 50);
    dbedtNumero = NewRecordEdit("dbedtNumero", 10);
    dbedtComplemento = NewRecordEdit("dbedtComplemento", 30);
    dbedtBairro = NewRecordEdit("dbedtBairro", 30);
    dbedtCidade = NewRecordEdit("dbedtCidade", 50);
    dbedtCep = NewRecordEdit("dbedtCep", 9);
    cmbEstado = Named(new QComboBox, "cmbEstado");
    dbedtPEndereco = NewRecordEdit("dbedtPEndereco", 50);
    dbedtPNumero = NewRecordEdit("dbedtPNumero", 10);
    dbedtPComplemento = NewRecordEdit("dbedtPComplemento", 30);
    dbedtPBairro = NewRecordEdit("dbedtPBairro", 30);
    dbedtPCidade = NewRecordEdit("dbedtPCidade", 50);
    dbedtPCep = NewRecordEdit("dbedtPCep", 9);
    cmbPEstado = Named(new QComboBox, "cmbPEstado");
    layout->addWidget(AddressGroup(QStringLiteral("Endereço de Cobrança"), "grpEnderecoCobranca",
                                   dbedtEndereco, dbedtNumero, dbedtComplemento, dbedtBairro, dbedtCidade,
                                   dbedtCep, cmbEstado));
    layout->addWidget(AddressGroup(QStringLiteral("Endereço do Painel"), "grpEnderecoPainel", dbedtPEndereco,
                                   dbedtPNumero, dbedtPComplemento, dbedtPBairro, dbedtPCidade, dbedtPCep,
                                   cmbPEstado));
}
