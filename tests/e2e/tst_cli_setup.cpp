// telvora-cli's set-up commands that the start script uses: a COM port mapped to a device in the
// settings, and a customer added with its model and codes.
#include "base/ini_file.h"
#include "store/db_connection.h"
#include "support/temp_database.h"

#include <QDir>
#include <QProcess>
#include <QTest>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run Cli(const QString& home, const QStringList& arguments) {
    Run run;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TELVORA_HOME", home);
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("TELVORA_BUILD_DIR") + "/src/telvora-cli", arguments);
    if (!process.waitForFinished(120000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
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
                 2);
    }
};

QTEST_GUILESS_MAIN(TestCliSetup)
#include "tst_cli_setup.moc"
