#pragma once

#include <QList>
#include <QString>

class TdmBancoDeDados;

// The fields of a customer that the operator fills (the record screen, telvora-cli customer add),
// each with the name the messages give it and what it may hold. The lengths are those of the
// columns (store/column_limits.h); what a field may hold besides is its kind.
enum class FieldKind {
    Text,         // any text of the column's length without control characters
    DialledPhone, // the number the modem dials: digits, "#", "*" and ","
    ContactPhone, // a telephone to call the customer on: a text without control characters
    Code,         // a panel or PC code: four digits
    PostalCode,   // digits and "-"
    Seconds,      // the answering-machine time: 0 to 255
    Memo,         // the remarks: line breaks and tabs allowed
};

struct CustomerField {
    const char* table;  // CLIENTES or PAINEL
    const char* column; // its column
    const char* widget; // the record screen's control for it
    QString caption;    // the field's name in the messages
    FieldKind kind;
};

// Every field of the table, in the order the record screen shows them.
const QList<CustomerField>& CustomerFields();
const CustomerField* FindCustomerField(const QString& table, const QString& column);

// The message refusing `value` for `field`, or an empty text when the field takes it. An empty
// value passes here (the required fields are checked on their own).
QString CheckFieldValue(const CustomerField& field, const QString& value);

// The first field of the open customer (DSetClientes, DSetPainel) whose value its column does not
// take, with the message; nullptr when every one passes.
const CustomerField* FirstInvalidField(const TdmBancoDeDados& dm, QString* message);

// The message refusing version `version` for product code `productCode` ("M.m" from the
// versions the product has), or an empty text when it is one of them.
QString CheckProductVersion(int productCode, const QString& version);
