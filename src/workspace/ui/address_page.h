#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;

// The "Endereços" tab of the customer record screen: the billing address (CLIENTES) and the
// panel's address (PAINEL), side by side.
class AddressPage : public QWidget {
    Q_OBJECT
public:
    explicit AddressPage(QWidget* parent = nullptr);

    // "Endereço de Cobrança".
    QLineEdit* dbedtEndereco = nullptr;
    QLineEdit* dbedtNumero = nullptr;
    QLineEdit* dbedtComplemento = nullptr;
    QLineEdit* dbedtBairro = nullptr;
    QLineEdit* dbedtCidade = nullptr;
    QLineEdit* dbedtCep = nullptr;
    QComboBox* cmbEstado = nullptr;

    // "Endereço do Painel".
    QLineEdit* dbedtPEndereco = nullptr;
    QLineEdit* dbedtPNumero = nullptr;
    QLineEdit* dbedtPComplemento = nullptr;
    QLineEdit* dbedtPBairro = nullptr;
    QLineEdit* dbedtPCidade = nullptr;
    QLineEdit* dbedtPCep = nullptr;
    QComboBox* cmbPEstado = nullptr;
};
