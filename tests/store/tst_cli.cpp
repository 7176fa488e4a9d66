// telvora-cli's database commands, run as the built executable.
#include "store/db_connection.h"
#include "support/temp_database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <csignal>

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

    // db init builds the database under another name: killed half-way it leaves nothing under the
    // real name, and the next db init, which finds the leftover, builds the database whole.
    void initKilledHalfWayLeavesNoHalfMadeDatabase() {
        QTemporaryDir dir;
        const QString path = dir.filePath("zrv.fdb");
        const QString building = path + ".criando";
        QProcess init;
        init.start(qEnvironmentVariable("TELVORA_BUILD_DIR") + "/src/telvora-cli",
                   {"--db", path, "db", "init"});
        QVERIFY(init.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo(building).exists() && init.state() == QProcess::Running && waited.elapsed() < 30000)
            QThread::usleep(500);
        QVERIFY2(init.state() == QProcess::Running, "db init ended before it could be interrupted");
        QThread::msleep(50); // into the schema
        init.kill();
        QVERIFY(init.waitForFinished());
        QVERIFY2(!QFileInfo::exists(path), "a half-made database was left under the real name");

        const Run run = Cli({"--db", path, "db", "init"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QCOMPARE(Customers(path), 0);
        QVERIFY(!QFileInfo::exists(building));
        QVERIFY(TempDatabase::RunScript(path, "insert into CLIENTES (ID_CLIENTE, NOME) values (1, 'A');"));
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

    // A stop request during a backup or a restore ends the command as every interrupted one ends
    // (128 + the signal), leaves no temporary file and the database as it was; leftovers of jobs
    // ended by force (a kill) are cleared by the next run.
    void interruptedBackupAndRestoreLeaveNothingBehind_data() {
        QTest::addColumn<QString>("job");
        QTest::addColumn<int>("signal");
        QTest::newRow("backup, Ctrl-C") << "backup" << SIGINT;
        QTest::newRow("backup, kill") << "backup" << SIGTERM;
        QTest::newRow("restore, Ctrl-C") << "restore" << SIGINT;
        QTest::newRow("restore, kill") << "restore" << SIGTERM;
    }
    void interruptedBackupAndRestoreLeaveNothingBehind() {
        QFETCH(QString, job);
        QFETCH(int, signal);
        TempDatabase temp;
        QVERIFY(temp.Create());
        {
            DbConnection db;
            QVERIFY(db.Connect(temp.Path()));
            for (int id = 1; id <= 3000; ++id)
                QVERIFY(db.Exec("insert into CLIENTES (ID_CLIENTE, NOME) values (?, ?)",
                                {id, QStringLiteral("Cliente %1 de nome longo").arg(id)}));
            QVERIFY(db.Commit());
        }
        const QString folder = temp.FilePath("copias");
        QCOMPARE(Cli({"--db", temp.Path(), "db", "backup", "--to", folder}).code, 0);
        const QString whole = QDir(folder).filePath(QDir(folder).entryList({"ZRV*.fbk"}).value(0));
        QVERIFY(TempDatabase::RunScript(temp.Path(), "delete from CLIENTES where ID_CLIENTE > 2000;"));
        // Left by jobs that were killed.
        const QString stalePart = QDir(folder).filePath("ZRV010120260101.fbk.part");
        const QString staleRestore = temp.Path() + ".restaurando";
        for (const QString& stale : {stalePart, staleRestore}) {
            QFile f(stale);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("meio arquivo") > 0);
            f.close();
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                  QFileDevice::FileModificationTime));
        }
        const QStringList arguments =
            job == "backup" ? QStringList{"--verbose", "--db", temp.Path(), "db", "backup", "--to", folder}
                            : QStringList{"--verbose", "--db", temp.Path(), "db", "restore", whole};
        const QString wholeName = QFileInfo(whole).fileName();

        QProcess process;
        process.start(qEnvironmentVariable("TELVORA_BUILD_DIR") + "/src/telvora-cli", arguments);
        QVERIFY(process.waitForStarted());
        // Once the engine reports its work under way.
        QElapsedTimer waited;
        waited.start();
        QByteArray said;
        while (!said.contains("gbak:") && process.state() == QProcess::Running && waited.elapsed() < 30000) {
            process.waitForReadyRead(50);
            said += process.readAllStandardError();
        }
        QVERIFY2(process.state() == QProcess::Running, said.constData());
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(30000));
        said += process.readAllStandardError();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 128 + signal, said.right(2000).constData());
        QCOMPARE(Customers(temp.Path()), 2000);
        // The leftovers went at the start; the interrupted job left nothing of its own.
        if (job == "backup")
            QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{wholeName});
        QVERIFY(!QFileInfo::exists(staleRestore) || job == "backup");
        const QStringList safety = QDir(temp.FilePath("BKP")).entryList(QDir::Files);
        QVERIFY2(safety.filter(".part").isEmpty(), qPrintable(safety.join(' ')));

        // Run again, it goes to its end.
        const Run run = Cli(arguments);
        QVERIFY2(run.code == 0, qPrintable(run.err.right(2000)));
        QCOMPARE(Customers(temp.Path()), job == "backup" ? 2000 : 3000);
        if (job == "backup") {
            QCOMPARE(QDir(folder).entryList({"*.fbk"}, QDir::Files).size(), 2);
            QCOMPARE(QDir(folder).entryList({"*.part"}, QDir::Files), QStringList());
        }
        QVERIFY(!QFileInfo::exists(staleRestore) || job == "backup");
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
