#pragma once

// The benchmarks' database: 100 000 customers with their aggregate rows and 2 000 000 events spread
// over them, one customer (kBusyCustomer) holding every 100th event, 20 000 in all. Filling it takes
// a few minutes; the benchmarks keep it in a folder between runs.
#include "store/db_connection.h"
#include "store/firebird_client.h"
#include "store/sql_script.h"

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

namespace bench {

constexpr int kCustomers = 100000;
constexpr int kEvents = 2000000;
constexpr int kBusyCustomer = 1; // every 100th event is this customer's: 20 000 events

inline QTextStream& Out() {
    static QTextStream out(stdout);
    return out;
}

inline bool Exec(DbConnection& db, const QString& sql) {
    if (!db.Exec(sql)) {
        Out() << "failed: " << db.LastError() << "\n" << sql.left(200) << Qt::endl;
        return false;
    }
    return db.CommitRetaining();
}

inline bool Populate(const QString& path) {
    QString error;
    if (!CreateNewDatabase(path, &error)) {
        Out() << error << Qt::endl;
        return false;
    }
    // Synchronous writes are right for the program's files, but they would make filling this one
    // take an hour on a shared disk; the measurements only read.
    if (!SetAsyncWrites(path, &error)) {
        Out() << error << Qt::endl;
        return false;
    }
    DbConnection db;
    if (!db.Connect(path))
        return false;
    QElapsedTimer timer;
    timer.start();
    const QString customers = QStringLiteral(
        "execute block as declare i integer = 1; begin while (i <= %1) do begin "
        "insert into CLIENTES (ID_CLIENTE, NOME, ENDERECO, NUMERO, BAIRRO, CIDADE, CEP, ESTADO, FONE1, "
        "FONE2, "
        "DATA_CRIACAO, HORA_CRIACAO, ID_GRUPO, PRODUTO, VERSAO_PRODUTO) values (:i, 'Cliente ' || :i, "
        "'Rua ' || mod(:i * 7, 997), mod(:i, 900) + 1, 'Bairro ' || mod(:i, 53), 'Cidade ' || mod(:i, 11), "
        "lpad(mod(:i * 31, 100000), 5, '0') || '-' || lpad(mod(:i, 1000), 3, '0'), mod(:i, 27) + 1, '(11) 3' "
        "|| (1000000 + :i), "
        "'(11) 9' || (1000000 + :i), dateadd(-mod(:i, 3000) day to date '2026-01-01'), time '08:00:00', "
        "iif(mod(:i, 50) = 0, 1, 2), mod(:i, 4) + 1, '1.' || mod(:i, 5)); "
        "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC, "
        "ENGANA_SECRETARIA, "
        "TEMPO_ENGANA_SECRETARIA, P_ENDERECO, P_NUMERO, P_COMPLEMENTO, P_BAIRRO, P_CIDADE, P_CEP, P_ESTADO) "
        "values (:i, :i, '113' || (1000000 + :i), lpad(mod(:i, 10000), 4, '0'), '6093', '0', 0, "
        "'Avenida ' || mod(:i * 13, 991), mod(:i, 700) + 1, 'Sala ' || mod(:i, 20), 'Bairro ' || mod(:i, "
        "53), "
        "'Cidade ' || mod(:i, 11), lpad(mod(:i * 31, 100000), 5, '0') || '-' || lpad(mod(:i, 1000), 3, '0'), "
        "mod(:i, 27) + 1); "
        "insert into FONES (ID_FONES, ID_PAINEL, NUM_RINGS, FORMATO_COMUNIC) values (:i, :i, 5, 1); "
        "insert into OPCOES (ID_OPCOES, ID_PAINEL, CONTA_PART_A, CONTA_PART_B) values (:i, :i, '0001', "
        "'0002'); "
        "insert into REPORT (ID_REPORT, ID_PAINEL) values (:i, :i); "
        "insert into TEMPOS (ID_TEMPOS, ID_PAINEL, ENTRADA, SAIDA) values (:i, :i, 60, 60); "
        "insert into USUARIOS (ID_USUARIOS, ID_PAINEL, SENHA_MASTER, SENHA_INSTALADOR) values (:i, :i, "
        "'2581', "
        "'7462'); "
        "insert into ZONAS (ID_ZONAS, ID_PAINEL) values (:i, :i); "
        "i = i + 1; end end");
    if (!Exec(db, customers.arg(kCustomers)))
        return false;
    QString generators;
    for (const char* table :
         {"CLIENTES", "PAINEL", "FONES", "OPCOES", "REPORT", "TEMPOS", "USUARIOS", "ZONAS"}) {
        if (!Exec(db, QStringLiteral("SET GENERATOR GEN_%1_ID TO %2").arg(table).arg(kCustomers)))
            return false;
    }
    Out() << "  customers written in " << timer.restart() / 1000.0 << " s" << Qt::endl;

    // Events arrive over time from every panel, so one customer's rows are spread over the table.
    const QString events = QStringLiteral(
        "execute block as declare i integer = 0; declare c integer; begin while (i < %1) do begin "
        "c = iif(mod(i, 100) = 0, %2, 2 + mod(i * 7919, %3)); "
        "insert into BUFFER_EVENTOS (ID_BUFFER_EVENTOS, ID_CLIENTE, COD_EVENTO, DATA, HORA, PARTICAO, "
        "EVENTO, "
        "USUARIO, ZONA) values (:i + 1, :c, iif(:c = %2, :i / 100 + 1, mod(:i, 250) + 1), "
        "dateadd(-mod(:i, 700) day to date '2026-12-01'), dateadd(mod(:i, 1440) minute to time '00:00'), "
        "iif(mod(:i, 2) = 0, 'A', 'B'), decode(mod(:i, 5), 0, 'Arme', 1, 'Desarme', 2, 'Disparo de zona', "
        "3, 'Falta de energia elétrica', 'Restauração de zona'), iif(mod(:i, 7) = 0, 'Mestre', "
        "lpad(mod(:i, 16) + 1, 2, '0')), mod(:i, 10) + 1); "
        "i = i + 1; end end");
    if (!Exec(db, events.arg(kEvents).arg(kBusyCustomer).arg(kCustomers - 1)))
        return false;
    if (!Exec(db, QStringLiteral("SET GENERATOR GEN_BUFFER_EVENTOS_ID TO %1").arg(kEvents)))
        return false;
    Out() << "  events written in " << timer.restart() / 1000.0 << " s" << Qt::endl;
    // Index statistics as a maintained database has them.
    for (const auto& row :
         {"PK_CLIENTES", "FK_PAINEL_CLIENTE", "IDX_BUFFER_EVENTOS_CLI_EVENTO", "FK_BUFFER_EVENTOS_CLIENTE"})
        Exec(db, QStringLiteral("SET STATISTICS INDEX %1").arg(row));
    db.Commit();
    return true;
}

} // namespace bench
