#include "base/ini_file.h"

#include <QTemporaryDir>
#include <QTest>

class TestIniFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void latin1KeysRoundTripByteExact()
    {
        // "NºAT" and "1ª Linha" as a Windows installation stores them: one byte per character.
        const QByteArray original = "; kept\r\n[Config]\r\nPathBD=C:\\ZRV\\zrv.fdb\r\n1\xaa Linha=Rua A\r\n\r\n"
                                    "[ConfigAvancada]\r\nN\xba" "AT=2\r\nAT1=&C0\r\nAT2=E0\r\nDesconhecida=x\r\n";
        IniFile ini = IniFile::fromBytes(original);
        QCOMPARE(ini.intValue("configavancada", QString::fromUtf8("NºAT"), 0), 2);
        QCOMPARE(ini.value("CONFIG", QString::fromUtf8("1ª linha")), QStringLiteral("Rua A"));
        QCOMPARE(ini.toBytes(), original);

        ini.setValue("ConfigAvancada", QString::fromUtf8("nºat"), 3);
        ini.setValue("ConfigAvancada", "AT3", "Q0");
        ini.setValue("Nova", "Chave", QString::fromUtf8("ção"));
        const QByteArray rewritten = ini.toBytes();
        QVERIFY(rewritten.contains("N\xba" "AT=3\r\nAT1=&C0\r\nAT2=E0\r\nDesconhecida=x\r\nAT3=Q0\r\n"));
        QVERIFY(rewritten.startsWith("; kept\r\n[Config]\r\nPathBD=C:\\ZRV\\zrv.fdb\r\n1\xaa Linha=Rua A\r\n\r\n"));
        QVERIFY(rewritten.endsWith("[Nova]\r\nChave=\xe7\xe3o\r\n"));
    }

    void fileSaveAndLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Modem.ini");
        IniFile missing;
        QVERIFY(!missing.load(path));
        IniFile ini;
        ini.setValue("INFO", "MODEM", 1);
        QVERIFY(ini.save(path));
        IniFile back;
        QVERIFY(back.load(path));
        QCOMPARE(back.value("Info", "Modem"), QStringLiteral("1"));
        QString error;
        QVERIFY(!ini.save(dir.filePath("no/such/folder/x.ini"), &error));
        QVERIFY(!error.isEmpty());
    }

    void numbersAndBooleans_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("asInt");
        QTest::addColumn<bool>("asBool");
        QTest::newRow("plain") << "12" << 12 << true;
        QTest::newRow("zero") << "0" << 0 << false;
        QTest::newRow("trailing text") << "3 rings" << 3 << true;
        QTest::newRow("true word") << "True" << -1 << true;
        QTest::newRow("false word") << "FALSE" << -1 << false;
        QTest::newRow("empty") << "" << -1 << true;
    }
    void numbersAndBooleans()
    {
        QFETCH(QString, stored);
        QFETCH(int, asInt);
        QFETCH(bool, asBool);
        IniFile ini;
        ini.setValue("S", "K", stored);
        QCOMPARE(ini.intValue("S", "K", -1), asInt);
        QCOMPARE(ini.boolValue("S", "K", true), asBool);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_ini_file.moc"
