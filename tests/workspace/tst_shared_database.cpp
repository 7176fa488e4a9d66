// Several workstations on one database served by a real Firebird server (started by the test on
// the loopback address): telvora-cli reaches it with --db host:path and with the database named in
// ZRVConfig.ini, and two workstations saving the same customer never overwrite each other's
// change unseen: the later save is refused with a message, and a save while the other's is still
// in progress is refused at once instead of waiting.
#include "base/ini_file.h"
#include "store/data_module.h"
#include "store/event_store.h"
#include "store/store_messages.h"
#include "support/cli_run.h"
#include "support/firebird_server.h"
#include "workspace/customer_record.h"

#include <QElapsedTimer>
#include <QHostInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using Run = CliRun;

Run Cli(const QString& home, const QStringList& arguments) {
    return RunCli(home, arguments, {}, 60000);
}

// One workstation: its own connection to the served database and its own open customer.
struct Workstation : DataModuleHost {
    TdmBancoDeDados dm;
    std::unique_ptr<CustomerRecord> record;

    Workstation() {
        dm.SetHost(this);
        dm.Operator = LoggedOperator::FromRow(2, QStringLiteral("TESTE"), QString(40, QLatin1Char('1')));
    }
    ~Workstation() override {
        record.reset();
        dm.Disconnect();
    }
    bool Open(const QString& database, int customer) {
        if (!dm.Connect(database))
            return false;
        record = std::make_unique<CustomerRecord>(dm);
        return record->OpenExisting(customer);
    }
    bool Reopen(int customer) { return record->OpenExisting(customer); }
    QString Value(DataSet& set, const char* field) {
        return set.Value(QLatin1String(field)).toString().trimmed();
    }

    void ShowMessage(const QString&) override {}
    bool RunFirstTimeSetup(TdmBancoDeDados&) override { return true; }
    bool RunLogin(TdmBancoDeDados&) override { return true; }
    void TerminateApplication() override {}
};

// Another name of this machine (a loopback line of /etc/hosts) that is neither "localhost" nor its
// host name; empty when there is none.
QString OtherNameOfThisMachine() {
    QFile hosts(QStringLiteral("/etc/hosts"));
    if (!hosts.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : hosts.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || !fields.first().startsWith("127."))
            continue;
        for (qsizetype i = 1; i < fields.size() && !fields.at(i).startsWith('#'); ++i) {
            const QString name = QString::fromLatin1(fields.at(i));
            if (name != QLatin1String("localhost") &&
                name.compare(QHostInfo::localHostName(), Qt::CaseInsensitive) != 0)
                return name;
        }
    }
    return {};
}

} // namespace

class TestSharedDatabase : public QObject {
    Q_OBJECT
    FirebirdServer m_server;
    QTemporaryDir m_home;
    QString m_database;
    int m_first = 0;
    int m_second = 0;

    // What the database holds now, as a third workstation reads it.
    QString Stored(const QString& sql, int customer) {
        TdmBancoDeDados dm;
        if (!dm.Connect(m_database))
            return QStringLiteral("<%1>").arg(dm.LastError());
        return dm.IBDB.SelectValue(sql, {customer}).toString().trimmed();
    }

private Q_SLOTS:
    void initTestCase() {
        if (!m_server.Start())
            QSKIP(qPrintable(QStringLiteral("No Firebird server could be started here: ") +
                             m_server.Problem()));
        m_database = m_server.DatabaseName(QStringLiteral("zrv.fdb"));
        // The command line creates the database on the server and adds two customers there.
        Run run = Cli(m_home.path(), {"--db", m_database, "db", "init"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(QFile::exists(m_server.FilePath("zrv.fdb")),
                 "db init did not create the file on the server");
        for (const char* name : {"Primeiro", "Segundo"}) {
            // Each with a code of its own: the default repeat rule would ask about a repeated one.
            run =
                Cli(m_home.path(), {"--db", m_database, "customer", "add", "--nome", name, "--produto", "1",
                                    "--codigo-painel", name == QLatin1String("Primeiro") ? "1001" : "1002"});
            QVERIFY2(run.code == 0, qPrintable(run.err));
        }
        TdmBancoDeDados dm;
        QVERIFY2(dm.Connect(m_database), qPrintable(dm.LastError()));
        m_first = dm.IBDB.SelectValue("select id_cliente from clientes where nome = ?", {"Primeiro"}).toInt();
        m_second = dm.IBDB.SelectValue("select id_cliente from clientes where nome = ?", {"Segundo"}).toInt();
        QVERIFY(m_first > 0 && m_second > 0);
    }

    // The windows and the command line take the database from ZRVConfig.ini when no --db is given.
    void databaseNamedInTheSettingsFile() {
        QTemporaryDir home;
        IniFile ini;
        ini.setValue("Config", "BancoDeDados", m_database);
        QVERIFY(ini.save(QDir(home.path()).filePath("ZRVConfig.ini")));
        const Run run = Cli(home.path(), {"customer", "add", "--nome", "Pelo arquivo", "--produto", "2"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(!QFile::exists(QDir(home.path()).filePath("zrv.fdb")), "a local database was used");
        QCOMPARE(Stored("select count(*) from clientes where nome = 'Pelo arquivo' and id_cliente > ?", 0),
                 QStringLiteral("1"));
    }

    // A and B open the same customer; A changes its name and saves first. B's save would write
    // back every column of the customer row as B read it, A's name with them: it is refused with
    // the message and nothing of B's is written; B reopens, sees A's name and saves on top of it.
    // A change of B to another row of the customer (the panel's telephone) brings nothing of A's
    // back and is saved at once.
    void laterSaveOverAnotherWorkstationsChange_data() {
        QTest::addColumn<QString>("bTable");
        QTest::addColumn<QString>("bField");
        QTest::addColumn<bool>("refused");
        QTest::newRow("the row A changed") << "CLIENTES"
                                           << "NOME" << true;
        QTest::newRow("a row A did not change") << "PAINEL"
                                                << "FONE_PAINEL" << false;
    }
    void laterSaveOverAnotherWorkstationsChange() {
        QFETCH(QString, bTable);
        QFETCH(QString, bField);
        QFETCH(bool, refused);
        Workstation a;
        Workstation b;
        QVERIFY2(a.Open(m_database, m_first), qPrintable(a.dm.LastError() + a.record->LastError()));
        QVERIFY2(b.Open(m_database, m_first), qPrintable(b.dm.LastError() + b.record->LastError()));
        const QString aName = QStringLiteral("A mudou %1").arg(bField);
        const QString bValue =
            bField == "NOME" ? QStringLiteral("B mudou NOME") : QStringLiteral("4133335555");
        DataSet& bSet = bTable == "CLIENTES" ? b.dm.DSetClientes : b.dm.DSetPainel;
        const QString bStored = QStringLiteral("select %1 from %2 where id_cliente = ?").arg(bField, bTable);

        QVERIFY(a.dm.DSetClientes.SetValue("NOME", aName));
        QString error;
        QVERIFY2(a.record->Save(&error), qPrintable(error));

        QVERIFY(bSet.SetValue(bField, bValue));
        QCOMPARE(b.record->Save(&error), !refused);
        if (refused) {
            QCOMPARE(error, MsgRecordChangedElsewhere());
            QCOMPARE(Stored("select nome from clientes where id_cliente = ?", m_first), aName);

            b.record->Discard();
            QVERIFY(b.Reopen(m_first));
            QCOMPARE(b.Value(b.dm.DSetClientes, "NOME"), aName);
            QVERIFY(bSet.SetValue(bField, bValue));
            QVERIFY2(b.record->Save(&error), qPrintable(error));
        } else {
            QCOMPARE(Stored("select nome from clientes where id_cliente = ?", m_first), aName);
        }
        QCOMPARE(Stored(bStored, m_first), bValue);
    }

    // A has written the row and not committed yet: B's save is refused at once (nothing waits for
    // a lock), and once A commits, B's save is refused as a change made elsewhere.
    void saveWhileAnotherIsInProgress() {
        Workstation a;
        Workstation b;
        QVERIFY(a.Open(m_database, m_second));
        QVERIFY(b.Open(m_database, m_second));
        QVERIFY(a.dm.DSetClientes.SetValue("NOME", "A em andamento"));
        QVERIFY2(a.dm.DSetClientes.Post(), qPrintable(a.dm.DSetClientes.LastError()));

        QVERIFY(b.dm.DSetClientes.SetValue("NOME", "B ao mesmo tempo"));
        QString error;
        QElapsedTimer took;
        took.start();
        QVERIFY(!b.record->Save(&error));
        QVERIFY2(took.elapsed() < 5000, "the save waited for the other workstation's lock");
        QCOMPARE(error, MsgRecordBeingChanged());

        QVERIFY(a.dm.IBDB.CommitRetaining());
        QVERIFY(!b.record->Save(&error));
        QCOMPARE(error, MsgRecordChangedElsewhere());
        QCOMPARE(Stored("select nome from clientes where id_cliente = ?", m_second),
                 QStringLiteral("A em andamento"));
    }

    // No conflict where there is none: each workstation saves its own customer twice in a row (the
    // second save compares with what the first one wrote).
    void separateCustomersSaveFreely() {
        Workstation a;
        Workstation b;
        QVERIFY(a.Open(m_database, m_first));
        QVERIFY(b.Open(m_database, m_second));
        QString error;
        for (int round = 1; round <= 2; ++round) {
            QVERIFY(a.dm.DSetClientes.SetValue("NOME", QStringLiteral("A rodada %1").arg(round)));
            QVERIFY(a.dm.DSetPainel.SetValue("FONE_PAINEL", QStringLiteral("11%1").arg(round)));
            QVERIFY(b.dm.DSetClientes.SetValue("NOME", QStringLiteral("B rodada %1").arg(round)));
            QVERIFY2(a.record->Save(&error), qPrintable(error));
            QVERIFY2(b.record->Save(&error), qPrintable(error));
        }
        QCOMPARE(Stored("select nome from clientes where id_cliente = ?", m_first),
                 QStringLiteral("A rodada 2"));
        QCOMPARE(Stored("select nome from clientes where id_cliente = ?", m_second),
                 QStringLiteral("B rodada 2"));
    }

    // Two workstations download the same customer's log at the same moment: the second waits for
    // the first download to end, then finds every event stored. Each event is stored and numbered
    // once.
    void twoDownloadsAtOnceStoreEachEventOnce() {
        QList<QByteArray> log;
        for (int r = 0; r < 10; ++r) {
            QByteArray record;
            for (int e = 0; e < 4; ++e) {
                QByteArray event = QByteArray::fromHex("0A40A10D");
                event[0] = char(1 + r * 4 + e); // forty different events
                record += event;
            }
            log << record;
        }
        std::atomic<int> ready{0};
        struct Result {
            int stored = -1;
            QString error;
        };
        const auto download = [&](Result* result) {
            DbConnection db;
            if (!db.Connect(m_database)) {
                result->error = db.LastError();
                return;
            }
            EventStore store(db, m_first, 1, EventCatalogue::Session);
            ++ready;
            while (ready < 2)
                QThread::yieldCurrentThread();
            if (!store.Begin()) {
                result->error = store.LastError();
                return;
            }
            for (const QByteArray& record : log) {
                if (!store.StoreRecord(record, QDate(2026, 6, 1))) {
                    result->error = store.LastError();
                    return;
                }
                QThread::msleep(30); // the line's pace: the other workstation is at it meanwhile
            }
            store.End();
            result->stored = store.Stored();
        };
        Result a;
        Result b;
        std::thread first(download, &a);
        std::thread second(download, &b);
        first.join();
        second.join();
        QVERIFY2(a.error.isEmpty() && b.error.isEmpty(), qPrintable(a.error + b.error));
        QCOMPARE(a.stored + b.stored, 40);
        QCOMPARE(Stored("select count(*) from buffer_eventos where id_cliente = ?", m_first),
                 QStringLiteral("40"));
        QCOMPARE(
            Stored("select count(distinct cod_evento) from buffer_eventos where id_cliente = ?", m_first),
            QStringLiteral("40"));
    }

    // Backup and restore on the server: the backup folder is made on a fresh server, every backup
    // keeps a name of its own (two in one minute included) and its final name; a backup cut short
    // is refused as it is for a local database, the database untouched; a whole one restores.
    void serverRestoreRefusesACutBackup() {
        const QString folder = m_server.FilePath("BKP");
        QVERIFY(!QFileInfo::exists(folder));
        Run run = Cli(m_home.path(), {"--db", m_database, "db", "backup"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        const QStringList first = QDir(folder).entryList(QDir::Files);
        QCOMPARE(first.size(), 1);
        QVERIFY2(first.first().startsWith("ZRV") && first.first().endsWith(".fbk"),
                 qPrintable(first.first()));
        const QString whole = QDir(folder).filePath(first.first());
        const QString customers = Stored("select count(*) from clientes where id_cliente > ?", 0);
        const QString zones = Stored("select count(*) from zonas where id_zonas > ?", 0);
        QVERIFY(customers.toInt() > 0 && zones.toInt() > 0);

        QFile in(whole);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        const QString cut = m_server.FilePath("cortado.fbk");
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes.left(bytes.size() / 2)) > 0);
        out.close();
        QVERIFY(Cli(m_home.path(), {"--db", m_database, "customer", "add", "--nome", "Depois", "--produto",
                                    "1", "--codigo-painel", "1003"})
                    .code == 0);

        run = Cli(m_home.path(), {"--db", m_database, "db", "restore", cut});
        QVERIFY2(run.code == 1, qPrintable(run.out + run.err));
        QVERIFY(!run.out.contains("com sucesso"));
        QCOMPARE(Stored("select count(*) from clientes where id_cliente > ?", 0),
                 QString::number(customers.toInt() + 1));
        QCOMPARE(Stored("select count(*) from zonas where id_zonas > ?", 0),
                 QString::number(zones.toInt() + 1));

        run = Cli(m_home.path(), {"--db", m_database, "db", "restore", whole});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QCOMPARE(Stored("select count(*) from clientes where id_cliente > ?", 0), customers);
        QCOMPARE(Stored("select count(*) from zonas where id_zonas > ?", 0), zones);
        // Three backups within a minute or two (the first and the two safety copies), each whole
        // under a name of its own, and nothing left under a temporary name.
        const QStringList all = QDir(m_server.FilePath("")).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(QDir(folder).entryList(QDir::Files).filter(QRegularExpression("^ZRV.*\\.fbk$")).size(), 3);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);
        QVERIFY2(all.filter(QRegularExpression("\\.(restaurando|part)$")).isEmpty(),
                 qPrintable(all.join(' ')));
    }

    // The same through a server seen only through the engine (another name of this machine,
    // which the program does not take for its own): the server reads the backup file by name,
    // backup names are made unique without looking, a cut backup is refused with the database
    // untouched and a whole one restores.
    void restoreOnAServerElsewhere() {
        const QString host = OtherNameOfThisMachine();
        if (host.isEmpty())
            QSKIP("No other name of this machine in /etc/hosts.");
        const QString elsewhere =
            QStringLiteral("%1/%2:%3").arg(host).arg(m_server.Port()).arg(m_server.FilePath("zrv.fdb"));
        // Made on the server beforehand: the program cannot make it there.
        const QString folder = m_server.FilePath("BKP");
        QVERIFY(QDir().mkpath(folder));
        const QStringList before = QDir(folder).entryList(QDir::Files);
        Run run = Cli(m_home.path(), {"--db", elsewhere, "db", "backup"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QStringList made = QDir(folder).entryList(QDir::Files);
        for (const QString& name : before)
            made.removeAll(name);
        QCOMPARE(made.size(), 1);
        QVERIFY2(QRegularExpression("^ZRV\\d{12}_\\d{5}[0-9a-f]{4}\\.fbk$").match(made.first()).hasMatch(),
                 qPrintable(made.first()));
        QFile in(QDir(folder).filePath(made.first()));
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        const QString cut = m_server.FilePath("cortado-longe.fbk");
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes.left(bytes.size() * 9 / 10)) > 0);
        out.close();
        const QString customers = Stored("select count(*) from clientes where id_cliente > ?", 0);
        run = Cli(m_home.path(), {"--db", elsewhere, "db", "restore", cut});
        QVERIFY2(run.code == 1, qPrintable(run.out + run.err));
        QCOMPARE(Stored("select count(*) from clientes where id_cliente > ?", 0), customers);
        QVERIFY(Stored("select count(*) from zonas where id_zonas > ?", 0).toInt() > 0);

        QVERIFY(Cli(m_home.path(), {"--db", elsewhere, "customer", "add", "--nome", "Outra", "--produto", "1",
                                    "--codigo-painel", "1004"})
                    .code == 0);
        run = Cli(m_home.path(), {"--db", elsewhere, "db", "restore", QDir(folder).filePath(made.first())});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QCOMPARE(Stored("select count(*) from clientes where id_cliente > ?", 0), customers);
    }
};

QTEST_GUILESS_MAIN(TestSharedDatabase)
#include "tst_shared_database.moc"
