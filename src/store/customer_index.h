#pragma once

#include <QList>
#include <QString>

class DbConnection;

// One customer as the short listing shows it.
struct CustomerIndexRow {
    int id = 0;
    QString nome;
    QString produto; // CLIENTES.PRODUTO as stored
    QString versaoProduto;
    bool inRecycleBin = false; // in group "LIXEIRA"
};

// Every customer in key order; false with *error when the table cannot be read.
bool ReadCustomerIndex(DbConnection& db, QList<CustomerIndexRow>* rows, QString* error);
