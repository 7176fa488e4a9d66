// What the communication settings write and which port numbers they find, without windows.
#include "base/ini_file.h"
#include "base/settings.h"
#include "serial/com_port_map.h"
#include "serial/connection_settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestConnectionSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void s10Floor_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("saved");
        QTest::newRow("below the floor") << "S10=5"
                                         << "S10=015";
        QTest::newRow("just below") << "S10=14"
                                    << "S10=015";
        QTest::newRow("at the floor") << "S10=15"
                                      << "S10=15";
        QTest::newRow("default") << "S10=255"
                                 << "S10=255";
        QTest::newRow("padded") << "S10=007"
                                << "S10=015";
        QTest::newRow("another register") << "S1=0"
                                          << "S1=0";
        QTest::newRow("no value") << "S10="
                                  << "S10=";
        QTest::newRow("empty command") << ""
                                       << "";
    }
    void s10Floor() {
        QFETCH(QString, command);
        QFETCH(QString, saved);
        const QStringList out = ConnectionSettings::CommandsToSave({"E0", command, "X3"});
        QCOMPARE(out, (QStringList{"E0", saved, "X3"}));
    }

    void modelName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("usb") << "Modem USB genérico"
                             << "U.S. Robotics USB";
        QTest::newRow("internal") << "Interno 56k"
                                  << "U.S. Robotics Serial Externo ou Interno";
        QTest::newRow("usb wins") << "USB Interno"
                                  << "U.S. Robotics USB";
        QTest::newRow("other") << "WINMODEM"
                               << "WINMODEM";
        QTest::newRow("lower case usb is another model") << "usb"
                                                         << "usb";
    }
    void modelName() {
        QFETCH(QString, name);
        QFETCH(QString, normalised);
        QCOMPARE(ConnectionSettings::NormalisedModemName(name), normalised);
    }

    // Only the dialog's keys change, in Latin-1 and with the file's own spelling of a key; a comment,
    // a key of another dialog and an older key spelling stay as they were.
    void writesItsKeysOnly() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ZRVConfig.ini");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("; feito a m\xe3o\r\n[Config]\r\nComPort=1\r\nOpcoes Gerais=7\r\n1\xaa Linha=Empresa\r\n"
                   "[ConfigAvancada]\r\nspeaker=0\r\n");
        file.close();

        Settings s;
        s.ComPort = 12;
        s.Modem = QStringLiteral("U.S. Robotics USB");
        s.NRings = 8;
        s.Discagem = QStringLiteral("Pulso");
        s.Speaker = 3;
        s.Volume = 4;
        s.setAtLines({"&F0", "S10=015", ""});
        s.Digito = QStringLiteral("0,9");
        s.Intervalo = 4;
        s.HabilitaPausa = true;
        s.PABX = 1;
        s.AguardaTom = 1;
        s.OpcoesGerais = 99; // not the dialog's: must not be written
        QVERIFY(ConnectionSettings::SaveFile(path, s));

        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        QVERIFY(bytes.startsWith(
            "; feito a m\xe3o\r\n[Config]\r\nComPort=12\r\nOpcoes Gerais=7\r\n1\xaa Linha=Empresa\r\n"));
        for (const QByteArray& line :
             {QByteArray("speaker=3"), QByteArray("Volume=4"),
              QByteArray("N\xba"
                         "AT=3"),
              QByteArray("AT1=&F0"), QByteArray("AT2=S10=015"), QByteArray("AT3=\r\n"),
              QByteArray("Digito=0,9"), QByteArray("Intervalo=4"), QByteArray("Habilita Pausa=1"),
              QByteArray("PABX=1"), QByteArray("Aguarda_Tom=1"), QByteArray("Modem=U.S. Robotics USB"),
              QByteArray("N\xba"
                         "Rings=8"),
              QByteArray("Discagem=Pulso")})
            QVERIFY2(bytes.contains(line), line.constData());
        QVERIFY(!bytes.contains("Opcoes Gerais=99"));

        IniFile ini;
        QVERIFY(ini.load(path));
        const Settings back = ReadSettings(ini, dir.path());
        QCOMPARE(back.ComPort, 12);
        QCOMPARE(back.AT, s.AT);
        QCOMPARE(back.Speaker, 3);
        QCOMPARE(back.HabilitaPausa, true);
        QCOMPARE(back.NRings, 8);
    }

    // A file that cannot be written is reported and left as it was.
    void unwritableFileKeepsItsContents() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("ZRVConfig.ini")); // a folder where the file should be
        QString error;
        QVERIFY(!ConnectionSettings::SaveFile(dir.filePath("ZRVConfig.ini"), Settings(), &error));
        QVERIFY(error.startsWith(QStringLiteral("Não foi possível gravar o arquivo de configurações")));
        QVERIFY(QFileInfo(dir.filePath("ZRVConfig.ini")).isDir());
    }

    // A number exists when the system lists its device, or when its override names a device file
    // that exists (a pseudo-terminal is not listed).
    void existingPorts() {
        QTemporaryDir dir;
        const QString pty = dir.filePath("pts7");
        QFile f(pty);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QStringList system{ComPortMap::DefaultDevicePath(3), QStringLiteral("/dev/ttyUSB0")};
        const QHash<int, QString> overrides{
            {5, pty}, {7, dir.filePath("gone")}, {9, QStringLiteral("/dev/ttyUSB0")}, {3, QString()}};
        QCOMPARE(ConnectionSettings::ExistingPortNumbers(system, overrides), (QList<int>{3, 5, 9}));
        QCOMPARE(ConnectionSettings::ExistingPortNumbers({}, {}), QList<int>{});
    }
};

QTEST_GUILESS_MAIN(TestConnectionSettings)
#include "tst_connection_settings.moc"
