#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The tables of the database in its current shape (db/schema.sql creates them), as the data sets
// and the upkeep name them: key, generator and every column in the order of the table.
struct TableDefinition {
    QString name;
    QString keyColumn;
    QString generator;   // empty for ESTADOS, whose keys are fixed
    QStringList columns; // current shape, in table order
    // The column an older file lacks and the start-up upgrade adds (last in the table), or empty.
    QString upgradeColumn;

    // The columns of the table with or without its upgrade column.
    QStringList Columns(bool withUpgradeColumn) const;
};

const QList<TableDefinition>& SchemaTables();
// The tables an older file lacks and the start-up upgrade creates (AUDITORIA): a backup without
// them is still a database of the system.
const QStringList& UpgradeCreatedTables();
// The definition of a table by name (letter case ignored); nullptr when there is none.
const TableDefinition* FindSchemaTable(const QString& name);

// The eight tables of one customer, and their generators, in the order the generator repair reads
// them: CLIENTES, PAINEL, FONES, OPCOES, REPORT, TEMPOS, USUARIOS, ZONAS.
const QStringList& CustomerAggregateTables();

// The 27 states by key 1..27 (ESTADOS); the customer list and the general options use the same
// numbering. StateName answers an empty text outside 1..27.
const QStringList& StateNames();
QString StateName(int id);

// Group 1 is the recycle bin.
inline constexpr int kRecycleBinGroup = 1;
inline const QString kRecycleBinGroupName = QStringLiteral("LIXEIRA");
