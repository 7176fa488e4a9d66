#pragma once

#include <QList>
#include <QString>

class TdmBancoDeDados;

// Start-up upkeep of the database: brings an older file to the current shape, normalises old
// event rows and repairs the generators of the customer aggregate. Every step is idempotent.

// The upgrade scripts, run as scripts inside the application's transaction.
extern const QString IBScriptClientes;
extern const QString IBScriptTempos;
extern const QString IBScriptReport;
extern const QString IBScriptAuditoria;

// Event rows whose USUARIO is one character long get a leading "0" ("7" becomes "07"; "Mestre"
// and "12" stay). Answers false on failure; *changed receives the number of rows changed.
bool NormalizeEventUsers(TdmBancoDeDados& dm, int* changed = nullptr);

// Adds CLIENTES.VERSAO_PRODUTO, TEMPOS.NAO_MOVIMENTO and REPORT.COD_NAO_MOVIMENTO when missing,
// and in every case makes the data set's write statements name the column. *added tells whether
// the column had to be added.
bool UpgradeClientes(TdmBancoDeDados& dm, bool* added = nullptr);
bool UpgradeTempos(TdmBancoDeDados& dm, bool* added = nullptr);
bool UpgradeReport(TdmBancoDeDados& dm, bool* added = nullptr);
// Creates the table AUDITORIA, its index and generator when missing; *added tells whether it had to.
bool UpgradeAuditoria(TdmBancoDeDados& dm, bool* added = nullptr);

// Makes (ID_CLIENTE, COD_EVENTO) of BUFFER_EVENTOS a unique key when it is not one yet. Rows that
// share the pair first lose their exact copies (one of each is kept); a row that shares the number
// with a different event gets a new number after the customer's last, so no event is lost.
// *removed and *renumbered receive how many rows went and how many were renumbered.
bool UpgradeEventKey(TdmBancoDeDados& dm, bool* added = nullptr, int* removed = nullptr,
                     int* renumbered = nullptr);

struct GeneratorRepair {
    QList<qint64> before; // GEN_CLIENTES_ID .. GEN_ZONAS_ID as read
    qint64 minimum = 0;
    bool repaired = false;     // the generators disagreed and were set to the minimum
    qint64 target = 0;         // the value the eight generators were set to
    QString safetyBackup;      // the backup taken before anything was deleted
    QString safetyBackupError; // why that backup could not be made (then nothing was deleted)
    int deletedRows = 0;
};

// The eight generators of the customer aggregate must agree. When they do, nothing is touched.
// Otherwise the rows with keys above the smallest value that belong to no whole customer (the
// rows of a customer whose creation stopped half-way) are deleted from the eight tables, after a
// safety backup of the database, and every generator is set to that value, or to the highest key
// still in use when a whole customer holds one above it. When the safety backup cannot be made
// nothing is deleted, the generators move past every key in use, and the report says why.
bool RepairGenerators(TdmBancoDeDados& dm, GeneratorRepair* result = nullptr, QString* error = nullptr);

// What a repair did, for the operator (empty when the generators already agreed).
QString DescribeGeneratorRepair(const GeneratorRepair& repair);

struct StartupUpkeepReport {
    int eventUsersChanged = 0;
    QList<QString> columnsAdded;
    QList<QString> tablesAdded;
    bool eventKeyAdded = false; // (ID_CLIENTE, COD_EVENTO) made unique
    int eventCopiesRemoved = 0;
    int eventsRenumbered = 0;
    GeneratorRepair generators;
};

// The steps in the order start-up runs them: event users, CLIENTES, TEMPOS, REPORT, AUDITORIA,
// generator repair. Closes the data sets first (the upgrades change their tables). Stops at the first
// failure with the reason in *error. What a repair did is shown through the data module's host.
bool RunStartupUpkeep(TdmBancoDeDados& dm, StartupUpkeepReport* report = nullptr, QString* error = nullptr);
