// The record screen's save and leave decisions without the screen: which question comes when, what
// each answer does to the stored customer, and whether the screen closes at once or has the running
// session hang up first. A fresh embedded database, a view that records what it was told to do.
#include "support/connected_data_module.h"
#include "support/recording_messenger.h"
#include "workspace/customer_record.h"
#include "workspace/record_presenter.h"
#include "workspace/record_texts.h"

#include <QTest>

namespace {

class RecordingView : public RecordView {
public:
    bool sessionRunning = false;
    int closes = 0;
    int hangUps = 0;
    int reloads = 0;
    QList<RecordField> fieldErrors;

    void ApplyCodeLeaveRules() override {}
    void ShowFieldError(RecordField field, const QString&) override { fieldErrors << field; }
    void ShowInvalidField(const CustomerField&, const QString&) override { fieldErrors << RecordField::None; }
    bool ShowTextNotLatin1() override { return false; }
    void ReloadFields() override { ++reloads; }
    bool SessionRunning() const override { return sessionRunning; }
    void HangUpAndClose() override { ++hangUps; }
    void CloseScreen() override { ++closes; }
    QObject* MessageContext() override { return nullptr; }
};

NewCustomerDefaults Defaults() {
    NewCustomerDefaults d;
    d.now = QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9));
    return d;
}

// A stored customer "Antes", opened again.
bool OpenStoredCustomer(ConnectedDataModule& db, CustomerRecord& record) {
    CustomerRecord first(db.dm);
    if (!first.BeginNew(1, QStringLiteral("1.4"), Defaults()))
        return false;
    db.dm.DSetClientes.SetValue("NOME", "Antes");
    db.dm.DSetPainel.SetValue("FONE_PAINEL", "1133334444");
    if (!first.Save())
        return false;
    const int id = first.CustomerId();
    first.Close();
    return record.OpenExisting(id);
}

QString StoredName(ConnectedDataModule& db) {
    return db.dm.IBDB.SelectValue("select NOME from CLIENTES").toString();
}

} // namespace

class TestRecordPresenter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Leaving with an edit pending: the answer to "Deseja salvar antes de sair?" decides.
    void leavingWithAnEdit_data() {
        QTest::addColumn<OperatorAnswer>("answer");
        QTest::addColumn<int>("closes");
        QTest::addColumn<QString>("stored");
        QTest::newRow("Yes saves and closes") << OperatorAnswer::Yes << 1 << "Depois";
        QTest::newRow("No discards and closes") << OperatorAnswer::No << 1 << "Antes";
        QTest::newRow("Cancel keeps the screen") << OperatorAnswer::Cancel << 0 << "Antes";
    }
    void leavingWithAnEdit() {
        QFETCH(OperatorAnswer, answer);
        QFETCH(int, closes);
        QFETCH(QString, stored);
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        CustomerRecord record(db.dm);
        QVERIFY(OpenStoredCustomer(db, record));
        RecordingView view;
        RecordPresenter presenter(record, db.dm, PanelCodeRepeatRule::Allow, view);
        RecordingMessenger messenger;
        QVERIFY(db.dm.DSetClientes.SetValue("NOME", "Depois"));

        messenger.answers = {answer};
        presenter.Leave(true);
        QCOMPARE(messenger.asked, QStringList{kMsgSalvarAntesDeSair});
        QCOMPARE(view.closes, closes);
        QCOMPARE(presenter.ExitAnswer(), closes ? OperatorAnswer::Yes : OperatorAnswer::None);
        QCOMPARE(StoredName(db), stored);
        QCOMPARE(db.dm.ModoEditOuInsert(), closes == 0);
    }

    // Nothing pending and a session running: "Tem certeza que deseja desconectar e sair?" with No
    // preselected; Yes has the session hang up (which closes the screen), never a close at once.
    void leavingDuringASession_data() {
        QTest::addColumn<OperatorAnswer>("answer");
        QTest::newRow("Yes") << OperatorAnswer::Yes;
        QTest::newRow("No") << OperatorAnswer::No;
    }
    void leavingDuringASession() {
        QFETCH(OperatorAnswer, answer);
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        CustomerRecord record(db.dm);
        QVERIFY(OpenStoredCustomer(db, record));
        RecordingView view;
        view.sessionRunning = true;
        RecordPresenter presenter(record, db.dm, PanelCodeRepeatRule::Allow, view);
        RecordingMessenger messenger;

        messenger.answers = {answer};
        presenter.Leave(true);
        QCOMPARE(messenger.asked, QStringList{kMsgDesconectarESair});
        QCOMPARE(messenger.askedWithNoPreselected, QList<bool>{true});
        QCOMPARE(view.hangUps, answer == OperatorAnswer::Yes ? 1 : 0);
        QCOMPARE(view.closes, 0);
    }

    // "Salvar" with the name emptied: the balloon on the name, nothing written, the edit stays.
    void savingPointsAtAMissingField() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        CustomerRecord record(db.dm);
        QVERIFY(OpenStoredCustomer(db, record));
        RecordingView view;
        RecordPresenter presenter(record, db.dm, PanelCodeRepeatRule::Allow, view);
        RecordingMessenger messenger;
        QVERIFY(db.dm.DSetClientes.SetValue("NOME", ""));

        messenger.answers = {OperatorAnswer::Yes};
        presenter.Save();
        QCOMPARE(messenger.asked, QStringList{kMsgSalvarConta});
        QCOMPARE(view.fieldErrors, QList<RecordField>{RecordField::Nome});
        QCOMPARE(presenter.ExitAnswer(), OperatorAnswer::Cancel);
        QCOMPARE(view.reloads, 0);
        QCOMPARE(StoredName(db), "Antes");
        QVERIFY(db.dm.ModoEditOuInsert());
    }
};

QTEST_MAIN(TestRecordPresenter)
#include "tst_record_presenter.moc"
