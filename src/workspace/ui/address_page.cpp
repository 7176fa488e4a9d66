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
    dbedtEndereco = NewRecordEdit("dbedtEndereco", "CLIENTES", "ENDERECO");
    dbedtNumero = NewRecordEdit("dbedtNumero", "CLIENTES", "NUMERO");
    dbedtComplemento = NewRecordEdit("dbedtComplemento", "CLIENTES", "COMPLEMENTO");
    dbedtBairro = NewRecordEdit("dbedtBairro", "CLIENTES", "BAIRRO");
    dbedtCidade = NewRecordEdit("dbedtCidade", "CLIENTES", "CIDADE");
    dbedtCep = NewRecordEdit("dbedtCep", "CLIENTES", "CEP");
    cmbEstado = Named(new QComboBox, "cmbEstado");
    dbedtPEndereco = NewRecordEdit("dbedtPEndereco", "PAINEL", "P_ENDERECO");
    dbedtPNumero = NewRecordEdit("dbedtPNumero", "PAINEL", "P_NUMERO");
    dbedtPComplemento = NewRecordEdit("dbedtPComplemento", "PAINEL", "P_COMPLEMENTO");
    dbedtPBairro = NewRecordEdit("dbedtPBairro", "PAINEL", "P_BAIRRO");
    dbedtPCidade = NewRecordEdit("dbedtPCidade", "PAINEL", "P_CIDADE");
    dbedtPCep = NewRecordEdit("dbedtPCep", "PAINEL", "P_CEP");
    cmbPEstado = Named(new QComboBox, "cmbPEstado");
    layout->addWidget(AddressGroup(QStringLiteral("Endereço de Cobrança"), "grpEnderecoCobranca",
                                   dbedtEndereco, dbedtNumero, dbedtComplemento, dbedtBairro, dbedtCidade,
                                   dbedtCep, cmbEstado));
    layout->addWidget(AddressGroup(QStringLiteral("Endereço do Painel"), "grpEnderecoPainel", dbedtPEndereco,
                                   dbedtPNumero, dbedtPComplemento, dbedtPBairro, dbedtPCidade, dbedtPCep,
                                   cmbPEstado));
}
