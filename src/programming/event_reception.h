#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The customer a panel calling in with its log belongs to, as the reception needs it.
struct CallingCustomer {
    int id = 0;            // CLIENTES.ID_CLIENTE
    QString nome;          // CLIENTES.NOME
    QString codigoPainel;  // PAINEL.CODIGO_PAINEL
    QString codigoPC;      // PAINEL.CODIGO_PC
    int produto = -1;      // CLIENTES.PRODUTO as a product code; -1 when null or not a number
    QString versaoProduto; // CLIENTES.VERSAO_PRODUTO
};

// Where the reception of a panel's call finds the calling customer and stores the log it sends.
// Every call comes on the main thread (the thread of the database connection).
class BufferReceiver {
public:
    virtual ~BufferReceiver() = default;

    // Acha_Cliente: the customer whose panel has the reported code. False when the database
    // fails (LastError tells); *found empty when no customer has it.
    virtual bool Acha_Cliente(const QString& panelCode, std::optional<CallingCustomer>* found) = 0;
    // A log of the customer begins, decoded for the given product code. False when storing cannot
    // be prepared.
    virtual bool BeginReception(const CallingCustomer& customer, int productCode) = 0;
    // Atualiza_Buffer_Eventos: the events of one 16-byte record. False when an event could not be
    // stored: the reception ends.
    virtual bool Atualiza_Buffer_Eventos(int index, const QByteArray& record) = 0;
    // The log ended, whatever way: what storing it held is let go.
    virtual void EndReception() {}
    // Events written by the current log, and events of it that were already stored.
    virtual int Stored() const = 0;
    virtual int AlreadyStored() const = 0;
    virtual QString LastError() const = 0;
};
