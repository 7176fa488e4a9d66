#include "serial/modem_catalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const char kSerialString[] = "&F0 &C0 &D2 &H0 &I0 &K0 &N1 E0 Q0 S0=0 S10=255 S12=50 S7=120 S9=1 X3 V0";
const char kUsbString[] =
    "&F0 &C0 &D2 &H0 &I0 &K0 &N1 E0 Q0 S0=0 S10=255 S12=50 S7=120 S9=1 X3 V0 +MS=B103,0,300";
} // namespace

class TestModemCatalogue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createdWithTheTwoDefaultModels() {
        QTemporaryDir dir;
        QString error;
        QVERIFY(ModemCatalogue::ensureExists(dir.path(), &error));
        const QString path = dir.filePath("Modem.ini");
        QCOMPARE(ModemCatalogue::filePath(dir.path()), path);
        QCOMPARE(readBytes(path),
                 QByteArray("[MODEMS]\r\nN1=U.S. Robotics Serial Externo ou Interno\r\nSTR1=") +
                     kSerialString + "\r\nN2=U.S. Robotics USB\r\nSTR2=" + kUsbString +
                     "\r\n[INFO]\r\nNum_modems=2\r\nMODEM=1\r\n");

        ModemCatalogue catalogue;
        QVERIFY(catalogue.load(path));
        QCOMPARE(catalogue.names(),
                 QStringList({"U.S. Robotics Serial Externo ou Interno", "U.S. Robotics USB"}));
        QCOMPARE(catalogue.selected(), 1);
        QCOMPARE(catalogue.initString(2), QString::fromLatin1(kUsbString));
        QCOMPARE(catalogue.ini().value("Info", "Modem"), QStringLiteral("1"));

        // Choosing the second model and editing its string keeps the file's own key spelling.
        catalogue.setSelected(2);
        catalogue.setInitString(2, "E0 V0");
        QVERIFY(catalogue.save(path));
        QVERIFY(readBytes(path).endsWith(
            "N2=U.S. Robotics USB\r\nSTR2=E0 V0\r\n[INFO]\r\nNum_modems=2\r\nMODEM=2\r\n"));

        QVERIFY(!ModemCatalogue::defaults().save(dir.filePath("nao/existe/Modem.ini"), &error));
        QVERIFY(error.startsWith(QStringLiteral("Não foi possível gravar o arquivo ")));
    }

    void existingCatalogueNeverRewritten() {
        QTemporaryDir dir;
        const QByteArray own =
            "[modems]\r\nn1=Modem da Loja\r\nstr1=E0  V0\r\n[info]\r\nnum_modems=1\r\nmodem=1\r\n";
        {
            QFile f(dir.filePath("modem.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(own);
        }
        QVERIFY(ModemCatalogue::ensureExists(dir.path()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"modem.ini"});
        QCOMPARE(readBytes(dir.filePath("modem.ini")), own);

        ModemCatalogue catalogue;
        QVERIFY(catalogue.load(ModemCatalogue::filePath(dir.path())));
        QCOMPARE(catalogue.names(), QStringList{"Modem da Loja"});
        QCOMPARE(catalogue.ini().value("INFO", "MODEM"), QStringLiteral("1"));
        QCOMPARE(SplitInitString(catalogue.initString(1)), QStringList({"E0", "", "V0"}));
    }

    // The count of models never goes beyond the models the file names: a damaged Num_modems
    // lists the models present (it once made every reader walk 2^31 empty models).
    void countBoundedByTheModelsPresent_data() {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QStringList>("names");
        const QStringList both{"Primeiro", "Segundo"};
        QTest::newRow("largest int") << QByteArray("Num_modems=2147483647") << both;
        QTest::newRow("more than present") << QByteArray("Num_modems=5") << both;
        QTest::newRow("fewer than present") << QByteArray("Num_modems=1") << QStringList{"Primeiro"};
        QTest::newRow("negative") << QByteArray("Num_modems=-3") << QStringList{};
    }
    void countBoundedByTheModelsPresent() {
        QFETCH(QByteArray, info);
        QFETCH(QStringList, names);
        QTemporaryDir dir;
        const QString path = dir.filePath("Modem.ini");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[MODEMS]\r\nN1=Primeiro\r\nSTR1=E0\r\nN2=Segundo\r\nSTR2=E0 V0\r\n[INFO]\r\n" + info +
                    "\r\nMODEM=1\r\n");
        }
        ModemCatalogue catalogue;
        QVERIFY(catalogue.load(path));
        QCOMPARE(catalogue.count(), int(names.size()));
        QCOMPARE(catalogue.names(), names);
    }

    void builtInStrings_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("initString");
        QTest::newRow("serial") << "U.S. Robotics Serial Externo ou Interno" << kSerialString;
        QTest::newRow("accented name") << QStringLiteral("3COM GENÉRICO")
                                       << "&F0 &H0 &I0 &K0 &N1 E0 Q0 X1 S7=120 S9=1 S12=2 S10=255 &C0";
        QTest::newRow("boca")
            << "BOCA MODEM 33600 EXTERNO"
            << "&F E0 &K0 Q0 X4 S0=1 S6=2 S7=255 S9=255 S12=2 S10=255 S37=3 N0 &C0 B1 &G0 V1";
        QTest::newRow("names compared exactly") << "winmodem"
                                                << "";
        QTest::newRow("unknown model") << "Modem da Loja"
                                       << "";
    }
    void builtInStrings() {
        QFETCH(QString, model);
        QTEST(BuiltInInitString(model), "initString");
    }

    void builtInCommandCounts() {
        QCOMPARE(SplitInitString(BuiltInInitString("U.S. Robotics Serial Externo ou Interno")).size(), 16);
        QCOMPARE(SplitInitString(BuiltInInitString("U.S. Robotics USB")).size(), 17);
        const QStringList custom = SplitInitString(BuiltInInitString("Personalizado"));
        QCOMPARE(custom.first(), QStringLiteral("B1"));
        QCOMPARE(custom.last(), QStringLiteral("L1"));
        QVERIFY(!custom.contains(QString()));
    }
};

QTEST_GUILESS_MAIN(TestModemCatalogue)
#include "tst_modem_catalogue.moc"
