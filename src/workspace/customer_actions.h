#pragma once

#include <QList>
#include <QString>

class TdmBancoDeDados;

// The database side of the customer list's actions, without windows. Every statement takes its
// values as parameters.

inline const QString kMsgSemPermissao = QStringLiteral("Este usuário não tem permissão para esta operação");
inline const QString kMsgNenhumRegistro = QStringLiteral("Não há nenhum registro.");
inline const QString kMsgProdutoNaoIdentificado =
    QStringLiteral("Atenção!\r\nHouve um erro de identificação da central de alarme.\r\nPor favor, informe "
                   "novamente qual a central deste cliente.\r\nOs dados não serão perdidos.");
inline const QString kGroupAll = QStringLiteral("TODOS");

// "Tem certeza que deseja apagar este registro?" in the recycle bin, else the question that sends
// the customer there.
QString DeleteQuestion(bool viewingRecycleBin);
// "A porta serial COM <n> não pôde ser aberta.\rVerifique se ..."
QString SerialPortMessage(int port);

struct CustomerGroup {
    int id = 0;
    QString name;
};
// Every group (the recycle bin included) in the order the database returns them.
bool ReadGroups(TdmBancoDeDados& dm, QList<CustomerGroup>* groups, QString* error = nullptr);
// The key of the group with that name (exact), or -1.
int GroupIdByName(TdmBancoDeDados& dm, const QString& name);

// Customers outside the recycle bin ("Nº de clientes:"); -1 on failure.
int CountCustomers(TdmBancoDeDados& dm);

struct CustomerToOpen {
    bool found = false;
    QString produto;
    QString version;
};
// Reads the model of a customer about to be opened. A missing VERSAO_PRODUTO is stored as "1.0"
// (committed) and answered as such.
CustomerToOpen SelectCustomerToOpen(TdmBancoDeDados& dm, int customerId, QString* error = nullptr);
// Stores the product code into the customer's PRODUTO and, when given, the version chosen with it
// into VERSAO_PRODUTO (committed).
bool StoreCustomerProduct(TdmBancoDeDados& dm, int customerId, int productCode, const QString& version = {},
                          QString* error = nullptr);

// Deletes the customer for good (with its panel and programming rows) or moves it into the
// recycle bin; committed.
bool RemoveCustomer(TdmBancoDeDados& dm, int customerId, bool forGood, QString* error = nullptr);
