// telvora-cli's set-up commands that the start script uses: a COM port mapped to a device in the
// settings, and a customer added with its model and codes.
#include "base/ini_file.h"
#include "store/db_connection.h"
#include "support/cli_run.h"
#include "support/temp_database.h"

#include <QDir>
#include <QProcess>
#include <QTest>

namespace {

using Run = CliRun;

Run Cli(const QString& home, const QStringList& arguments) {
    return RunCli(home, arguments, {}, 60000);
}

} // namespace

class TestCliSetup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void comPortMapping() {
        QTemporaryDir home;
        // A fresh folder gets the whole settings file, the modem lines included, and the mapping.
        Run run = Cli(home.path(), {"settings", "com-port", "1", "/dev/pts/9"});
        QCOMPARE(run.code, 0);
        IniFile ini;
        QVERIFY(ini.load(QDir(home.path()).filePath("ZRVConfig.ini")));
        QCOMPARE(ini.value("Portas", "COM1"), QStringLiteral("/dev/pts/9"));
        QCOMPARE(ini.value("ConfigAvancada", "NºAT"), QStringLiteral("16"));
        QVERIFY(!ini.value("ConfigAvancada", "AT1").isEmpty());
        QCOMPARE(ini.value("Config", "ComPort"), QStringLiteral("1"));
        // Again with another device: replaced; without a device: removed; the rest stays.
        QVERIFY(Cli(home.path(), {"settings", "com-port", "3", "/dev/ttyUSB0"}).code == 0);
        QVERIFY(Cli(home.path(), {"settings", "com-port", "1", "/dev/pts/4"}).code == 0);
        QVERIFY(ini.load(QDir(home.path()).filePath("ZRVConfig.ini")));
        QCOMPARE(ini.value("Portas", "COM1"), QStringLiteral("/dev/pts/4"));
        // A device path the settings file cannot hold is refused, the mapping left as it was.
        run =
            Cli(home.path(), {"settings", "com-port", "1", QString::fromUtf8("/dev/serial/by-id/modem-Ł0")});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QString::fromUtf8("não aceita: Ł")), qPrintable(run.err));
        QVERIFY(ini.load(QDir(home.path()).filePath("ZRVConfig.ini")));
        QCOMPARE(ini.value("Portas", "COM1"), QStringLiteral("/dev/pts/4"));
        QVERIFY(Cli(home.path(), {"settings", "com-port", "1"}).code == 0);
        QVERIFY(ini.load(QDir(home.path()).filePath("ZRVConfig.ini")));
        QVERIFY(ini.value("Portas", "COM1").isEmpty());
        QCOMPARE(ini.value("Portas", "COM3"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(Cli(home.path(), {"settings", "com-port", "256", "/dev/x"}).code, 2);
    }

    void customerAdd() {
        TempDatabase db;
        QVERIFY(db.Create());
        Run run = Cli(db.Folder(),
                      {"customer", "add", "--nome", "Cliente Demonstração", "--produto", "1", "--versao",
                       "1.4", "--fone-painel", "33334444", "--codigo-painel", "1234", "--codigo-pc", "5678"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        run = Cli(db.Folder(), {"customer", "add", "--nome", "Eco", "--produto", "3"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        DbConnection connection;
        QVERIFY(connection.Connect(db.Path()));
        const auto rows = SelectRows(
            connection, "select C.NOME, C.PRODUTO, C.VERSAO_PRODUTO, C.ID_GRUPO, P.FONE_PAINEL, "
                        "P.CODIGO_PAINEL, P.CODIGO_PC, (select count(*) from ZONAS Z where "
                        "Z.ID_PAINEL = P.ID_PAINEL) from CLIENTES C join PAINEL P on P.ID_CLIENTE = "
                        "C.ID_CLIENTE order by C.ID_CLIENTE");
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0][0].toString(), QStringLiteral("Cliente Demonstração"));
        QCOMPARE(rows[0][1].toString(), QStringLiteral("1"));
        QCOMPARE(rows[0][2].toString(), QStringLiteral("1.4"));
        QCOMPARE(rows[0][3].toInt(), 2);
        QCOMPARE(rows[0][4].toString(), QStringLiteral("33334444"));
        QCOMPARE(rows[0][5].toString(), QStringLiteral("1234"));
        QCOMPARE(rows[0][6].toString(), QStringLiteral("5678"));
        QCOMPARE(rows[0][7].toInt(), 1);
        // Without version and codes: the model's first version and the factory codes.
        QCOMPARE(rows[1][2].toString(), QStringLiteral("1.2"));
        QCOMPARE(rows[1][5].toString(), QStringLiteral("6093"));
        // Wrong use.
        QCOMPARE(Cli(db.Folder(), {"customer", "add", "--nome", "X", "--produto", "7"}).code, 2);
        QCOMPARE(Cli(db.Folder(), {"customer", "add", "--produto", "1"}).code, 2);
        QCOMPARE(Cli(db.Folder(), {"customer", "add", "--nome", "X", "--produto", "1", "--codigo-pc", "12a4"})
                     .code,
                 1);
    }

    // Every option a command does not know and every word it does not take is a wrong use: the
    // reason and the command's usage line, exit code 2, and nothing done.
    void wrongUseIsRefused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("usage");
        const QStringList customer{"customer", "add", "--nome", "X", "--produto", "1"};
        QTest::newRow("misspelt customer option")
            << customer + QStringList{"--codigo_pc", "5678"} << "Opção desconhecida: --codigo_pc"
            << "Uso: telvora-cli customer add --nome NOME";
        QTest::newRow("customer option before the words")
            << QStringList{"customer", "add", "--cliente", "Y", "--nome", "X", "--produto", "1"}
            << "Opção desconhecida: --cliente"
            << "Uso: telvora-cli customer add";
        QTest::newRow("misspelt database option")
            << QStringList{"--dbb", "OUTRO.fdb"} + customer << "Opção desconhecida: --dbb"
            << "Uso: telvora-cli [--db BANCO]";
        QTest::newRow("command option before the command")
            << QStringList{"--keep-trying"} + customer << "Opção desconhecida: --keep-trying"
            << "Uso: telvora-cli [--db BANCO]";
        QTest::newRow("word after db init")
            << QStringList{"db", "init", "extra"} << "Argumento inesperado: extra"
            << "Uso: telvora-cli db init";
        QTest::newRow("option of db upgrade")
            << QStringList{"db", "upgrade", "--force"} << "Opção desconhecida: --force"
            << "Uso: telvora-cli db upgrade";
        QTest::newRow("misspelt backup option")
            << QStringList{"db", "backup", "--para", "/tmp"} << "Opção desconhecida: --para"
            << "Uso: telvora-cli db backup [--to PASTA]";
        QTest::newRow("second backup file")
            << QStringList{"db", "restore", "a.fbk", "b.fbk"} << "Argumento inesperado: b.fbk"
            << "Uso: telvora-cli db restore ARQUIVO";
        QTest::newRow("word after the device")
            << QStringList{"settings", "com-port", "1", "/dev/ttyS0", "extra"}
            << "Argumento inesperado: extra"
            << "Uso: telvora-cli settings com-port N [DISPOSITIVO]";
        QTest::newRow("option instead of the device")
            << QStringList{"settings", "com-port", "1", "--device", "/dev/ttyS0"}
            << "Opção desconhecida: --device"
            << "Uso: telvora-cli settings com-port";
        QTest::newRow("option of the write given to the read")
            << QStringList{"read-programming", "--customer", "1", "--template", "m.zrv"}
            << "Opção desconhecida: --template"
            << "Uso: telvora-cli read-programming --customer ID";
        QTest::newRow("word after the template")
            << QStringList{"write-programming", "--customer", "1", "--template", "m.zrv", "extra"}
            << "Argumento inesperado: extra"
            << "Uso: telvora-cli write-programming --customer ID";
    }

    void wrongUseIsRefused() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, reason);
        QFETCH(QString, usage);
        TempDatabase db;
        QVERIFY(db.Create());
        const Run run = Cli(db.Folder(), arguments);
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        QVERIFY2(run.err.contains(usage), qPrintable(run.err));
        QVERIFY2(run.out.isEmpty(), qPrintable(run.out));
        QCOMPARE(QDir(db.Folder()).entryList(QDir::Files), QStringList{"zrv.fdb"});
        DbConnection connection;
        QVERIFY(connection.Connect(db.Path()));
        QCOMPARE(connection.SelectValue("select count(*) from CLIENTES").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliSetup)
#include "tst_cli_setup.moc"
