// The audit record on a real database: rows come back in order with who, which customer, what and
// when; the customer and date filters narrow them; a text too long or outside ISO8859_1 still
// leaves its row.
#include "access/operators.h"
#include "store/audit_log.h"
#include "support/connected_data_module.h"
#include "support/stored_customer.h"

#include <QTest>

class TestAuditLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordedRowsAndFilters() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        TdmBancoDeDados& dm = db.dm;
        QVERIFY(RecordAudit(dm, "maria", 7, AuditAction::Connect, "com callback"));
        QVERIFY(RecordAudit(dm, "o'brien", 8, AuditAction::Command, "Armar partição A"));
        QVERIFY(RecordAudit(dm, "maria", 0, AuditAction::Restore, "ZRV010120241200.fbk"));
        // An old row, written as an older run would have left it.
        QVERIFY(dm.IBDB.Exec("insert into AUDITORIA (ID_AUDITORIA, DATA_HORA, USUARIO, ID_CLIENTE, ACAO, "
                             "DETALHES) values (gen_id(GEN_AUDITORIA_ID, 1), ?, ?, ?, ?, ?)",
                             {QDateTime(QDate(2020, 1, 2), QTime(8, 0)), "ana", 7,
                              AuditActionText(AuditAction::DeleteEvents), "12 eventos"}));
        QVERIFY(dm.CommitRetaining());

        QList<AuditRow> rows;
        QString error;
        QVERIFY2(ReadAudit(dm, {}, &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0].usuario, QStringLiteral("ana")); // oldest first
        QCOMPARE(rows[1].action, QStringLiteral("Conexão"));
        QCOMPARE(rows[1].details, QStringLiteral("com callback"));
        QCOMPARE(rows[2].usuario, QStringLiteral("o'brien"));
        QCOMPARE(rows[3].customerId, 0); // a restore is no customer's
        QVERIFY(qAbs(rows[3].when.secsTo(QDateTime::currentDateTime())) < 60);

        QVERIFY(ReadAudit(dm, {7, {}}, &rows, &error));
        QCOMPARE(rows.size(), 2);
        QVERIFY(ReadAudit(dm, {7, QDate::currentDate()}, &rows, &error));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].action, QStringLiteral("Conexão"));
        QVERIFY(ReadAudit(dm, {0, QDate::currentDate().addDays(1)}, &rows, &error));
        QVERIFY(rows.isEmpty());
    }

    // The operators themselves are in the record: created (with the permissions granted), changed,
    // deactivated, their permissions changed, deleted; and each customer created, named beside its
    // number, also when read back.
    void operatorsAndNewCustomersAreRecorded() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        TdmBancoDeDados& dm = db.dm;
        QString error;
        QVERIFY2(AddOperator(dm, "admin", "a1", "P", "R", QString(40, '1'), &error), qPrintable(error));
        dm.Operator = LoggedOperator::FromRow(1, "admin", {});
        QString permissions(40, '0');
        permissions[1] = '1';
        permissions[29] = '1';
        QVERIFY2(AddOperator(dm, "bia", "b1", "P", "R", permissions, &error), qPrintable(error));
        OperatorRecord bia;
        QVERIFY(LoadOperator(dm, "bia", &bia, &error));
        bia.permissoes[2] = '1';  // 3 granted
        bia.permissoes[29] = '0'; // 30 taken away
        QCOMPARE(SaveOperator(dm, &bia, &error), OperatorChange::Done);
        bia.ativo = false;
        QCOMPARE(SaveOperator(dm, &bia, &error), OperatorChange::Done);
        QCOMPARE(DeleteOperator(dm, "bia", &error), OperatorChange::Done);
        const int customer = AddStoredCustomer(dm, 1, "1.4", "1234", "5678", "Loja Nova");
        QVERIFY(customer > 0);

        QList<AuditRow> rows;
        QVERIFY2(ReadAudit(dm, {}, &rows, &error), qPrintable(error));
        QStringList got;
        for (const AuditRow& row : std::as_const(rows))
            got << row.usuario + " | " + row.action + " | " + row.details;
        const QStringList expected{
            // The first operator is logged in as it is created.
            "admin | Inclusão de usuário | admin",
            "admin | Alteração de permissões | admin "
            "+1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,"
            "24,25,26,27,28,29,30,31,32,33,34,35,36,37,38,39,40",
            "admin | Inclusão de usuário | bia",
            "admin | Alteração de permissões | bia +2,30",
            "admin | Alteração de usuário | bia",
            "admin | Alteração de permissões | bia +3 -30",
            "admin | Alteração de usuário | bia",
            "admin | Desativação de usuário | bia",
            "admin | Exclusão de usuário | bia",
            "admin | Inclusão de cliente | Loja Nova",
        };
        QCOMPARE(got, expected);
        QCOMPARE(rows.last().customerId, customer);
        QCOMPARE(rows.last().customerName, QStringLiteral("Loja Nova"));
        QCOMPARE(rows.first().customerName, QString());
    }

    void textThatDoesNotFitStillLeavesItsRow() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        const QString longName = QString(40, 'n');
        const QString details = QString::fromUtf8("modelo – “novo” ") + QString(300, 'x');
        QVERIFY2(RecordAudit(db.dm, longName, 3, AuditAction::WriteProgramming, details),
                 qPrintable(db.dm.IBDB.LastError()));
        QList<AuditRow> rows;
        QString error;
        QVERIFY(ReadAudit(db.dm, {3, {}}, &rows, &error));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].usuario, QString(30, 'n'));
        QCOMPARE(rows[0].details.size(), 255);
        QVERIFY(rows[0].details.startsWith(QStringLiteral("modelo ? ?novo? x")));
    }
};

QTEST_GUILESS_MAIN(TestAuditLog)
#include "tst_audit_log.moc"
