// One customer's aggregate against a fresh embedded database: a new customer of each model saved
// and reopened with its factory programming byte for byte, the storage examples, the default
// template, a failed save that writes nothing, the panel-code checks before saving and the live
// copy of the codes into the image.
#include "programming/programming_storage.h"
#include "support/connected_data_module.h"
#include "workspace/customer_record.h"
#include "workspace/save_checks.h"

#include <QFile>
#include <QTest>

namespace {

QString Differences(const ProgrammingImage& expected, const ProgrammingImage& actual) {
    QStringList out;
    for (int n = 0; n < expected.size(); ++n) {
        if (expected.byte(n) != actual.byte(n))
            out << QStringLiteral("%1: %2 != %3")
                       .arg(n)
                       .arg(actual.byte(n), 2, 16)
                       .arg(expected.byte(n), 2, 16);
    }
    return out.join(QStringLiteral("; "));
}

NewCustomerDefaults Defaults(const QString& templatePath = {}) {
    NewCustomerDefaults d;
    d.cidade = QStringLiteral("Curitiba");
    d.estado = 16;
    d.cep = QStringLiteral("80000-000");
    d.defaultTemplatePath = templatePath;
    d.now = QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9));
    return d;
}

// Starts a new customer with what saving requires.
bool StartCustomer(CustomerRecord& record, int productCode, const QString& version, const QString& name,
                   const QString& panelCode = QStringLiteral("6093")) {
    if (!record.BeginNew(productCode, version, Defaults()))
        return false;
    TdmBancoDeDados& dm = record.DataModule();
    dm.DSetClientes.SetValue("NOME", name);
    dm.DSetPainel.SetValue("FONE_PAINEL", "1133334444");
    dm.DSetPainel.SetValue("CODIGO_PAINEL", panelCode);
    record.CopyPanelCodeToImage(panelCode);
    return true;
}

int SaveNewCustomer(ConnectedDataModule& db, const QString& name, const QString& panelCode) {
    CustomerRecord record(db.dm);
    if (!StartCustomer(record, 1, "1.4", name, panelCode))
        return 0;
    QString error;
    if (!record.Save(&error)) {
        qWarning("%s", qPrintable(error));
        return 0;
    }
    return record.CustomerId();
}

} // namespace

class TestCustomerRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newCustomerReopensWithItsFactoryProgramming_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::newRow("Orvan 10") << 1 << "1.4";
        QTest::newRow("Orvan 5") << 2 << "1.4";
        QTest::newRow("Orvan 10 Eco") << 3 << "1.2";
        QTest::newRow("Orvan 10 Max") << 3 << "1.3";
        QTest::newRow("Orvan 9 Max") << 4 << "1.0";
    }
    void newCustomerReopensWithItsFactoryProgramming() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        // Another customer first, so that the new one's key is not 1 by chance.
        QVERIFY(SaveNewCustomer(db, "Primeiro", "1111") > 0);

        int id = 0;
        ProgrammingImage created;
        {
            CustomerRecord record(db.dm);
            QVERIFY2(StartCustomer(record, productCode, version, "Novo"), qPrintable(record.LastError()));
            created = record.Images().ImagemPC;
            QVERIFY(record.IsNew());
            QCOMPARE(record.CustomerId(), 0);
            QString error;
            QVERIFY2(record.Save(&error), qPrintable(error));
            id = record.CustomerId();
            QVERIFY(id > 1);
        }
        // The eight rows carry one key.
        QCOMPARE(db.Count("PAINEL", "where ID_PAINEL = ? and ID_CLIENTE = ?", {id, id}), 1);
        for (const char* table : {"FONES", "REPORT", "TEMPOS", "USUARIOS", "ZONAS", "OPCOES"})
            QVERIFY2(db.Count(table, "where ID_PAINEL = ?", {id}) == 1, table);

        CustomerRecord reopened(db.dm);
        QVERIFY2(reopened.OpenExisting(id), qPrintable(reopened.LastError()));
        QCOMPARE(reopened.ProductCode(), productCode);
        QCOMPARE(reopened.StoredVersion(), version);
        QVERIFY2(reopened.Images().ImagemPC == created,
                 qPrintable(Differences(created, reopened.Images().ImagemPC)));
        // The new customer's image is the factory programming, but for the 5-zone users' codes,
        // which the factory leaves at 00 00 and an empty code field writes as FF FF.
        const ProgrammingImage factory = BuiltInFactoryImage(productCode);
        for (int n = 0; n < factory.size(); ++n) {
            const bool fiveZoneUserCode = productCode == 2 && n >= 130 && n <= 159;
            QVERIFY2(created.byte(n) == (fiveZoneUserCode ? 0xFF : factory.byte(n)),
                     qPrintable(QString::number(n)));
        }
        QVERIFY(!reopened.ProgramacaoAlterada);
        const DataSet& c = db.dm.DSetClientes;
        const DataSet& p = db.dm.DSetPainel;
        QCOMPARE(c.Value("PRODUTO").toString(), QString::number(productCode));
        QCOMPARE(c.Value("VERSAO_PRODUTO").toString(), version);
        QCOMPARE(c.Value("ID_GRUPO").toInt(), 2); // the "Default" group
        QCOMPARE(c.Value("DATA_CRIACAO").toDate(), QDate(2024, 3, 5));
        QCOMPARE(c.Value("HORA_CRIACAO").toTime(), QTime(14, 5, 9));
        QCOMPARE(c.Value("CIDADE").toString(), "Curitiba");
        QCOMPARE(p.Value("P_CIDADE").toString(), "Curitiba");
        QCOMPARE(p.Value("P_ESTADO").toInt(), 16);
        QCOMPARE(p.Value("P_CEP").toString(), "80000-000");
        QCOMPARE(p.Value("CODIGO_PAINEL").toString(), "6093");
        QCOMPARE(p.Value("CODIGO_PC").toString(), "6093");
        // The 10-zone factory programming switches the answering-machine bypass off; the 5-zone
        // one leaves it alone.
        if (productCode == 2)
            QVERIFY(p.Value("ENGANA_SECRETARIA").isNull());
        else
            QCOMPARE(p.Value("ENGANA_SECRETARIA").toString(), "0");
    }

    // The storage examples: zone 2 disabled and user 3 with partition A and disarm survive a save
    // and a reopening; a stored ring count of 0 opens as one ring.
    void storageExamples() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        const int id = SaveNewCustomer(db, "Exemplos", "1234");
        QVERIFY(id > 0);
        {
            CustomerRecord record(db.dm);
            QVERIFY(record.OpenExisting(id));
            ProgrammingImage& image = record.Images().ImagemPC;
            image.setZoneType(2, ZoneType::Desabilitada);
            image.setUserAttributes(3, 0);
            image.setUserAttribute(3, UserPartitionA, true);
            image.setUserAttribute(3, UserDisarm, true);
            record.ProgramacaoAlterada = true;
            QString error;
            QVERIFY2(record.Save(&error), qPrintable(error));
        }
        QCOMPARE(db.dm.IBDB.SelectValue("select HABDESABZONA from ZONAS where ID_PAINEL = ?", {id}).toInt() &
                     0x02,
                 0x02);
        QCOMPARE(
            db.dm.IBDB.SelectValue("select ATRIB_USUARIO03 from USUARIOS where ID_PAINEL = ?", {id}).toInt(),
            17);
        QVERIFY(db.dm.IBDB.Exec("update FONES set NUM_RINGS = 0 where ID_PAINEL = ?", {id}));
        QVERIFY(db.dm.CommitRetaining());

        CustomerRecord record(db.dm);
        QVERIFY(record.OpenExisting(id));
        const ProgrammingImage& image = record.Images().ImagemPC;
        QCOMPARE(image.byte(48) & 0x02, 0);
        QCOMPARE(image.zoneType(2), ZoneType::Desabilitada);
        QCOMPARE(int(image.byte(66)), 17);
        QCOMPARE(int(image.byte(16)), 1);
        QCOMPARE(image.text(ProgField::PanelCode), "1234");
    }

    void defaultTemplateIsTheFactoryProgramming_data() {
        QTest::addColumn<bool>("lineForm");
        QTest::newRow("plain") << false;
        QTest::newRow("16-byte lines with CR LF") << true;
    }
    void defaultTemplateIsTheFactoryProgramming() {
        QFETCH(bool, lineForm);
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        ProgrammingImage image = BuiltInFactoryImage(3);
        image.setText(ProgField::PanelCode, "1204");
        image.setText(ProgField::PcCode, "0431");
        image.setText(ProgField::EntryDelay, "25");
        QByteArray content;
        for (int b = 0; b < image.blockCount(); ++b)
            content += image.block(b) + (lineForm ? QByteArray("\r\n") : QByteArray());
        const QString path = db.database.FilePath("padrao.zrv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        CustomerRecord record(db.dm);
        QVERIFY(record.BeginNew(3, "1.2", Defaults(path)));
        QVERIFY(record.Factory() && record.Factory()->fromTemplate);
        QVERIFY2(record.Images().ImagemPC == image, qPrintable(Differences(image, record.Images().ImagemPC)));
        // The new customer's codes are the template's; its answering-machine option is untouched.
        QCOMPARE(db.dm.DSetPainel.Value("CODIGO_PAINEL").toString(), "1204");
        QCOMPARE(db.dm.DSetPainel.Value("CODIGO_PC").toString(), "0431");
        QVERIFY(db.dm.DSetPainel.Value("ENGANA_SECRETARIA").isNull());
        QCOMPARE(QFileInfo(path).size(), 304);
    }

    // A save the database refuses (PAINEL, after CLIENTES was posted) writes nothing; the pending
    // rows stay for a corrected try.
    void failedSaveWritesNothing() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        CustomerRecord record(db.dm);
        QVERIFY(StartCustomer(record, 1, "1.4", "Sem telefone"));
        db.dm.DSetPainel.SetValue("FONE_PAINEL", "4133334444 ramal 21"); // longer than PAINEL takes
        QString error;
        QVERIFY(!record.Save(&error));
        QVERIFY(!error.isEmpty());
        for (const char* table : {"CLIENTES", "PAINEL", "FONES", "ZONAS"})
            QVERIFY2(db.Count(table) == 0, table);
        QVERIFY(record.IsNew());

        db.dm.DSetPainel.SetValue("FONE_PAINEL", "4133334444");
        QVERIFY2(record.Save(&error), qPrintable(error));
        QCOMPARE(db.Count("CLIENTES", "where NOME = ?", {"Sem telefone"}), 1);
        QCOMPARE(db.Count("USUARIOS", "where ID_PAINEL = ?", {record.CustomerId()}), 1);
    }

    void textWithQuotesAndAccents() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        const QString name = QStringLiteral("D'Ávila & O'Brien; --");
        const int id = SaveNewCustomer(db, name, "2222");
        QVERIFY(id > 0);
        CustomerRecord record(db.dm);
        QVERIFY(record.OpenExisting(id));
        QCOMPARE(db.dm.DSetClientes.Value("NOME").toString(), name);
        db.dm.DSetClientes.SetValue("OBS", QStringLiteral("Chave com o zelador ('Zé')"));
        QVERIFY(record.Save());
        QCOMPARE(db.Count("CLIENTES", "where OBS like ?", {"%'Zé'%"}), 1);
    }

    void checksBeforeSaving_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("field");
        using O = SaveCheck::Outcome;
        using F = RecordField;
        QTest::newRow("name empty") << "no name" << 1 << int(O::Missing) << int(F::Nome);
        QTest::newRow("panel code empty") << "no panel code" << 1 << int(O::Missing) << int(F::CodigoPainel);
        QTest::newRow("PC code empty") << "no PC code" << 1 << int(O::Missing) << int(F::CodigoPc);
        QTest::newRow("telephone empty") << "no telephone" << 1 << int(O::Missing) << int(F::FonePainel);
        QTest::newRow("new, unique") << "new unique" << 1 << int(O::Passed) << int(F::None);
        QTest::newRow("new, repeat refused")
            << "new repeat" << 1 << int(O::RepeatRefused) << int(F::CodigoPainel);
        QTest::newRow("new, repeat warned")
            << "new repeat" << 2 << int(O::RepeatAskToGoOn) << int(F::CodigoPainel);
        QTest::newRow("new, repeat allowed") << "new repeat" << 3 << int(O::Passed) << int(F::None);
        QTest::newRow("stored, own code unchanged") << "stored same" << 1 << int(O::Passed) << int(F::None);
        QTest::newRow("stored, changed to a repeat")
            << "stored changed" << 1 << int(O::RepeatRefused) << int(F::CodigoPainel);
        QTest::newRow("stored, changed to a free code")
            << "stored free" << 1 << int(O::Passed) << int(F::None);
    }
    void checksBeforeSaving() {
        QFETCH(QString, situation);
        QFETCH(int, rule);
        QFETCH(int, outcome);
        QFETCH(int, field);
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        QVERIFY(SaveNewCustomer(db, "Outro", "5555") > 0);
        const int stored = SaveNewCustomer(db, "Este", "7777");
        QVERIFY(stored > 0);

        CustomerRecord record(db.dm);
        DataSet& c = db.dm.DSetClientes;
        DataSet& p = db.dm.DSetPainel;
        if (situation.startsWith("stored")) {
            QVERIFY(record.OpenExisting(stored));
            const QString code = situation == "stored changed" ? "5555"
                                 : situation == "stored free"  ? "8888"
                                                               : "7777";
            p.SetValue("CODIGO_PAINEL", code);
        } else {
            QVERIFY(StartCustomer(record, 2, "1.4", "Novo", situation == "new repeat" ? "5555" : "9999"));
            if (situation == "no name")
                c.SetValue("NOME", QVariant());
            else if (situation == "no panel code")
                p.SetValue("CODIGO_PAINEL", "");
            else if (situation == "no PC code")
                p.SetValue("CODIGO_PC", QVariant());
            else if (situation == "no telephone")
                p.SetValue("FONE_PAINEL", " ");
        }
        const SaveCheck check = CheckBeforeSave(record, PanelCodeRepeatRule(rule));
        QCOMPARE(int(check.outcome), outcome);
        QCOMPARE(int(check.field), field);
    }

    void repeatRuleFromGeneralOptions() {
        QCOMPARE(RepeatRuleOf(10), PanelCodeRepeatRule::Warn); // the settings default
        QCOMPARE(RepeatRuleOf(11), PanelCodeRepeatRule::Allow);
        QCOMPARE(RepeatRuleOf(9), PanelCodeRepeatRule::Refuse);
    }

    // Every change of a code reaches the image at once: "7" is 0007, each 0 written as A.
    void codesCopyIntoTheImage() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        CustomerRecord record(db.dm);
        QVERIFY(record.BeginNew(1, "1.4", Defaults()));
        record.CopyPanelCodeToImage("7");
        record.CopyPcCodeToImage("1030");
        QCOMPARE(record.Images().ImagemPC.bytes().mid(112, 4), QByteArray::fromHex("AAA71A3A"));
        record.LoadingFromImage = true;
        record.CopyPanelCodeToImage("9999");
        QCOMPARE(record.Images().ImagemPC.bytes().mid(112, 2), QByteArray::fromHex("AAA7"));
    }

    // Closing gives the data module's sets their own selects back for the customer list.
    void closingRestoresTheSelects() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        const QString before = db.dm.DSetFones.SelectSql();
        {
            CustomerRecord record(db.dm);
            QVERIFY(record.BeginNew(2, "1.4", Defaults()));
            QVERIFY(db.dm.DSetFones.SelectSql() != before);
        }
        QCOMPARE(db.dm.DSetFones.SelectSql(), before);
        QVERIFY(!db.dm.DSetFones.Active());
        QVERIFY(!db.dm.ModoEditOuInsert());
    }
};

QTEST_GUILESS_MAIN(TestCustomerRecord)
#include "tst_customer_record.moc"
