#pragma once

// What the benchmarks over a database of many customers share: a data-module host that prints
// instead of asking, and the filler that makes customer 1 as the record screen makes one (an
// Orvan 10 with its factory programming) and copies it as customers 2..N.
#include "programming/factory_programming.h"
#include "store/data_module.h"
#include "store/schema_tables.h"
#include "store/sql_script.h"
#include "workspace/customer_record.h"

#include "base/operator_messages.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cstdio>

namespace bench {

class QuietHost : public DataModuleHost {
public:
    void ShowMessage(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool RunFirstTimeSetup(TdmBancoDeDados&) override { return true; }
    bool RunLogin(TdmBancoDeDados&) override { return true; }
    void TerminateApplication() override {}
};

// Copies row 1 of a table as row i, with the keys set to i and a few columns varied.
inline QString CopyRowStatement(const QString& table) {
    const TableDefinition* definition = FindSchemaTable(table);
    QStringList values;
    for (const QString& column : definition->columns) {
        if (column == definition->keyColumn || column == QLatin1String("ID_PAINEL") ||
            column == QLatin1String("ID_CLIENTE"))
            values << QStringLiteral(":i");
        else if (table == QLatin1String("CLIENTES") && column == QLatin1String("NOME"))
            values << QStringLiteral("'Cliente ' || :i");
        else if (column == QLatin1String("CODIGO_PAINEL"))
            values << QStringLiteral("lpad(mod(:i, 10000), 4, '0')");
        else
            values << column;
    }
    return QStringLiteral("insert into %1 (%2) select %3 from %1 where %4 = 1;\n")
        .arg(table, definition->columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")),
             definition->keyColumn);
}

inline bool Fill(TdmBancoDeDados& dm, int customers) {
    // The first customer is made as the screen makes one: a factory programming of the Orvan 10.
    {
        CustomerRecord record(dm);
        NewCustomerDefaults defaults;
        defaults.cidade = QStringLiteral("Curitiba");
        defaults.estado = 16;
        if (!record.BeginNew(1, QStringLiteral("1.4"), defaults))
            return false;
        dm.DSetClientes.SetValue(QStringLiteral("NOME"), QStringLiteral("Cliente 1"));
        dm.DSetPainel.SetValue(QStringLiteral("FONE_PAINEL"), QStringLiteral("4133334444"));
        record.ProgramacaoAlterada = true;
        QString error;
        if (!record.Save(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
    }
    QString block = QStringLiteral("execute block as declare i integer = 2; begin while (i <= %1) do begin\n")
                        .arg(customers);
    for (const QString& table : CustomerAggregateTables())
        block += CopyRowStatement(table);
    block += QStringLiteral("i = i + 1; end end");
    if (!dm.IBDB.Exec(block)) {
        std::fprintf(stderr, "%s\n", qPrintable(dm.IBDB.LastError()));
        return false;
    }
    for (const QString& table : CustomerAggregateTables()) {
        if (!dm.IBDB.Exec(QStringLiteral("alter sequence %1 restart with %2")
                              .arg(FindSchemaTable(table)->generator)
                              .arg(customers)))
            return false;
    }
    return dm.CommitRetaining();
}

// The windows must not stop on a message box: every question or message is printed and counted.
class PrintedMessages : public OperatorMessenger {
public:
    int count = 0;
    OperatorAnswer Show(QObject*, const OperatorMessage& message) override {
        ++count;
        if (message.buttons == OperatorButtons::Ok) {
            std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
            return OperatorAnswer::Ok;
        }
        std::fprintf(stderr, "question: %s\n", qPrintable(message.text));
        return OperatorAnswer::No;
    }
};

struct Figures {
    double first = 0;
    double median = 0;
    double max = 0;
};

inline Figures Summary(QList<double> ms) {
    Figures f;
    f.first = ms.first();
    std::sort(ms.begin(), ms.end());
    f.median = ms[ms.size() / 2];
    f.max = ms.last();
    return f;
}

// Connects `dm` to the benchmark database, created when the file is missing and filled with
// `customers` customers when it holds none (a kept file is used as it is). Answers the number of
// customers it holds, 0 on failure (the reason printed).
inline int OpenFilledDatabase(TdmBancoDeDados& dm, QuietHost& host, const QString& databaseName,
                              int customers) {
    QString error;
    if (!QFile::exists(databaseName) && !CreateNewDatabase(databaseName, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 0;
    }
    dm.SetHost(&host);
    dm.Operator = LoggedOperator::FromRow(1, QStringLiteral("ADMIN"), QString());
    if (!dm.Connect(databaseName)) {
        std::fprintf(stderr, "%s\n", qPrintable(dm.LastError()));
        return 0;
    }
    const int present = dm.IBDB.SelectValue(QStringLiteral("select count(*) from CLIENTES")).toInt();
    if (present > 0)
        return present;
    QElapsedTimer fill;
    fill.start();
    if (!Fill(dm, customers))
        return 0;
    std::printf("filled %d customers in %.1f s\n", customers, fill.elapsed() / 1000.0);
    return customers;
}

} // namespace bench
