// The audit record on a real database: rows come back in order with who, which customer, what and
// when; the customer and date filters narrow them; a text too long or outside ISO8859_1 still
// leaves its row.
#include "store/audit_log.h"
#include "support/connected_data_module.h"

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
