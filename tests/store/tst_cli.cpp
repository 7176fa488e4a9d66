// telvora-cli's database commands, run as the built executable.
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

Run Cli(const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    Run run;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("TELVORA_BUILD_DIR") + "/src/telvora-cli", arguments);
    if (!process.waitForFinished(120000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

int Customers(const QString& database) {
    DbConnection db;
    if (!db.Connect(database))
        return -1;
    return db.SelectValue("select count(*) from CLIENTES").toInt();
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(!qEnvironmentVariableIsEmpty("TELVORA_BUILD_DIR")); }

    void initCreatesOnceAndNeverOverwrites() {
        QTemporaryDir dir;
        const QString path = dir.filePath("novo.fdb");
        Run run = Cli({"--db", path, "db", "init"});
        QCOMPARE(run.code, 0);
        QVERIFY(run.out.contains(path));
        QCOMPARE(Customers(path), 0);

        QVERIFY(TempDatabase::RunScript(path, "insert into CLIENTES (ID_CLIENTE, NOME) values (1, 'A');"));
        run = Cli({"--db", path, "db", "init"});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QString::fromUtf8("já existe")), qPrintable(run.err));
        QCOMPARE(Customers(path), 1);
    }

    void withoutDbTheApplicationFolderIsUsed() {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TELVORA_HOME", home.path());
        QCOMPARE(Cli({"db", "init"}, environment).code, 0);
        QVERIFY(QFileInfo(QDir(home.path()).filePath("zrv.fdb")).isFile());
        const Run run = Cli({"db", "backup"}, environment);
        QCOMPARE(run.code, 0);
        QCOMPARE(QDir(home.filePath("BKP")).entryList({"ZRV*.fbk"}, QDir::Files).size(), 1);
    }

    void upgradeAddsTheColumnsOnce() {
        TempDatabase temp;
        QVERIFY(temp.Create(TempDatabase::Shape::Older));
        Run run = Cli({"--db", temp.Path(), "db", "upgrade"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out.count("Coluna adicionada"), 3);
        QVERIFY(run.out.contains("Tabela adicionada: AUDITORIA"));
        run = Cli({"--db", temp.Path(), "db", "upgrade"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out.count("Coluna adicionada"), 0);
        QVERIFY(!run.out.contains("Tabela adicionada"));
    }

    void backupToAFolderAndRestoreIt() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(
            TempDatabase::RunScript(temp.Path(), "insert into CLIENTES (ID_CLIENTE, NOME) values (1, 'A');"));
        const QString folder = temp.FilePath("copias");
        Run run = Cli({"--db", temp.Path(), "db", "backup", "--to", folder});
        QCOMPARE(run.code, 0);
        const QStringList files = QDir(folder).entryList({"ZRV*.fbk"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(run.out.contains(files.first()));

        QVERIFY(TempDatabase::RunScript(temp.Path(), "delete from CLIENTES;"));
        run = Cli({"--db", temp.Path(), "db", "restore", QDir(folder).filePath(files.first())});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY(run.out.contains("Banco de dados restaurado com sucesso!"));
        QCOMPARE(Customers(temp.Path()), 1);
        QCOMPARE(QDir(temp.FilePath("BKP")).entryList({"ZRV*.fbk"}, QDir::Files).size(), 1); // safety copy
        // The restored database records the restore (the record before it is in the safety copy).
        run = Cli({"--db", temp.Path(), "audit"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(run.out.endsWith("\tRestauração do banco\t" + files.first() + "\n"), qPrintable(run.out));
    }

    // A backup cut short is refused with the database untouched; a database whose first pages
    // are overwritten is kept aside and restored.
    void restoreRefusesACutBackupAndMendsADamagedDatabase() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        {
            DbConnection db;
            QVERIFY(db.Connect(temp.Path()));
            for (int id = 1; id <= 1500; ++id)
                QVERIFY(db.Exec("insert into CLIENTES (ID_CLIENTE, NOME) values (?, ?)",
                                {id, QStringLiteral("Cliente %1 de nome longo").arg(id)}));
            QVERIFY(db.Commit());
        }
        const QString folder = temp.FilePath("copias");
        QCOMPARE(Cli({"--db", temp.Path(), "db", "backup", "--to", folder}).code, 0);
        const QString whole =
            QDir(folder).filePath(QDir(folder).entryList({"ZRV*.fbk"}, QDir::Files).value(0));
        QFile in(whole);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        const QString cut = temp.FilePath("cortado.fbk");
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes.left(bytes.size() * 3 / 4));
        out.close();

        QVERIFY(TempDatabase::RunScript(temp.Path(), "delete from CLIENTES where ID_CLIENTE > 1000;"));
        Run run = Cli({"--db", temp.Path(), "db", "restore", cut});
        QCOMPARE(run.code, 1);
        QVERIFY(!run.out.contains("com sucesso"));
        QCOMPARE(Customers(temp.Path()), 1000);

        QFile damaged(temp.Path());
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        damaged.write(QByteArray(3 * 8192, 'x'));
        damaged.close();
        run = Cli({"--db", temp.Path(), "db", "restore", whole});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("foi guardado como"), qPrintable(run.out));
        QVERIFY(run.out.contains("Banco de dados restaurado com sucesso!"));
        QCOMPARE(Customers(temp.Path()), 1500);
    }

    void customerAddRefusesTextOutsideLatin1() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        const Run run = Cli({"--db", temp.Path(), "customer", "add", "--nome",
                             QString::fromUtf8("Loja – “Sol” €"), "--produto", "1"});
        QVERIFY(run.code != 0);
        QVERIFY2(run.err.contains(QString::fromUtf8("não aceita")), qPrintable(run.err));
        QCOMPARE(Customers(temp.Path()), 0);
    }

    void errorsInTheSystemsWords_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("upgrade of a missing file")
            << QStringList{"db", "upgrade"} << 1 << "não foi encontrado";
        QTest::newRow("backup of a missing file") << QStringList{"db", "backup"} << 1 << "não foi encontrado";
        QTest::newRow("restore of a missing backup")
            << QStringList{"db", "restore", "/nao/existe.fbk"} << 1
            << "Erro na tentativa de restauração do banco de dados.\nO arquivo /nao/existe.fbk não foi "
               "encontrado.";
        QTest::newRow("unknown command") << QStringList{"db", "nada"} << 2 << "Comando desconhecido";
    }

    void errorsInTheSystemsWords() {
        QFETCH(QStringList, command);
        QFETCH(int, code);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const Run run = Cli(QStringList{"--db", dir.filePath("zrv.fdb")} + command);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    void databaseInUseIsRefused() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        DbConnection holder;
        QVERIFY(holder.Connect(temp.Path()));
        for (const QStringList& command :
             {QStringList{"db", "upgrade"}, QStringList{"db", "restore", temp.Path()}}) {
            const Run run = Cli(QStringList{"--db", temp.Path()} + command);
            QCOMPARE(run.code, 1);
            QVERIFY2(run.err.contains(QString::fromUtf8("está em uso por outro programa")),
                     qPrintable(run.err));
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
