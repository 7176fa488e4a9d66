// telvora-cli listen end to end: the built executable against telvora-panel-sim on a
// pseudo-terminal (mapped to COM 3 with --device), a stored customer in an embedded database, both
// processes on the same scaled clock. The panel calls in by itself with its log.
#include "support/cli_run.h"
#include "support/connected_data_module.h"
#include "support/stored_customer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr char Scale[] = "20";

QString buildPath(const QString& relative) {
    return qEnvironmentVariable("TELVORA_BUILD_DIR") + QLatin1Char('/') + relative;
}

} // namespace

class TestCliListen : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    ConnectedDataModule m_db;
    int m_customer = 0;

    // A simulated panel on a pseudo-terminal; it calls in `callInMs` logical ms after it starts
    // (never when negative).
    bool startPanel(QProcess& sim, qint64 callInMs, QString* device, const QStringList& extra = {}) {
        QStringList args = QStringList{"--pty", "--clock-scale", Scale, "--events", "50"} + extra;
        if (callInMs >= 0)
            args << "--call-in" << QString::number(callInMs);
        sim.start(buildPath("tools/panel-sim/telvora-panel-sim"), args);
        if (!sim.waitForReadyRead(10000))
            return false;
        *device = QString::fromUtf8(sim.readLine()).trimmed();
        return device->startsWith('/');
    }
    static void stopPanel(QProcess& sim) {
        sim.terminate();
        if (!sim.waitForFinished(5000))
            sim.kill();
    }
    QStringList cliArguments(const QString& device, const QStringList& command) const {
        return QStringList{"--db", m_db.database.Path(), "--port", "3", "--device", device} + command;
    }

private Q_SLOTS:
    void initTestCase() {
        // A stored Orvan 10 customer whose codes are those the simulated panel holds.
        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        m_customer = AddStoredCustomer(m_db.dm, 1, "1.4", "1234", "5678");
        QVERIFY(m_customer > 0);
        // The embedded engine keeps the file to one process at a time.
        m_db.dm.Disconnect();
    }

    // The panel's call is answered, its 50 events stored once, one line printed for the call, and
    // --once ends the program; also through a modem that refuses "L0" (no volume 0), which answers
    // ERROR to the whole set-up line holding it: the command is named and left out.
    void onceStoresOneCall_data() {
        QTest::addColumn<QStringList>("modem");
        QTest::addColumn<int>("storedBefore"); // by the rows before
        QTest::newRow("modem takes every command") << QStringList() << 0;
        QTest::newRow("modem refuses L0") << QStringList{"--refuse-at", "L0"} << 50;
    }
    void onceStoresOneCall() {
        QFETCH(QStringList, modem);
        QFETCH(int, storedBefore);
        QProcess sim;
        QString device;
        QVERIFY(startPanel(sim, 3000, &device, modem));
        const CliRun run = RunCli(m_home.path(), cliArguments(device, {"listen", "--once"}),
                                  {{"TELVORA_CLOCK_SCALE", Scale}});
        stopPanel(sim);
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QVERIFY(run.out.contains("Configurando o modem."));
        QVERIFY2(
            run.out.contains(QString::fromUtf8("Cliente %1 (Cliente de teste): buffer de eventos recebido; "
                                               "%2 eventos gravados, %3 já gravados antes.")
                                 .arg(m_customer)
                                 .arg(50 - storedBefore)
                                 .arg(storedBefore)),
            qPrintable(run.out));
        QVERIFY(run.out.contains("Chamadas recebidas: 1."));
        QCOMPARE(run.out.contains(QStringLiteral("O Modem recusou o comando \"L0\".")), !modem.isEmpty());

        QVERIFY(m_db.dm.Connect(m_db.database.Path()));
        // Every event once, however many times the panel delivered its log.
        QCOMPARE(m_db.Count("BUFFER_EVENTOS", "where ID_CLIENTE = ?", {m_customer}), 50);
        m_db.dm.Disconnect();
    }

    // Without a call, --for ends the wait after its seconds, and a termination request ends it at
    // once; both cleanly, with the count of calls.
    void endsWithoutACall_data() {
        QTest::addColumn<bool>("terminate");
        QTest::newRow("--for 2") << false;
        QTest::newRow("SIGTERM") << true;
    }
    void endsWithoutACall() {
        QFETCH(bool, terminate);
        QProcess sim;
        QString device;
        QVERIFY(startPanel(sim, -1, &device));
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TELVORA_HOME", m_home.path());
        env.insert("TELVORA_CLOCK_SCALE", Scale);
        cli.setProcessEnvironment(env);
        cli.start(
            buildPath("src/telvora-cli"),
            cliArguments(device, terminate ? QStringList{"listen"} : QStringList{"listen", "--for", "2"}));
        QVERIFY(QTest::qWaitFor([&] { return cli.readAllStandardOutput().contains("Aguardando chamadas"); },
                                30000));
        if (terminate)
            cli.terminate();
        QVERIFY(cli.waitForFinished(30000));
        stopPanel(sim);
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        // Like every command, one ended by a signal answers 128 + the signal's number.
        QCOMPARE(cli.exitCode(), terminate ? 128 + 15 : 0);
        QVERIFY(cli.readAllStandardOutput().contains("Chamadas recebidas: 0."));
    }
};

QTEST_GUILESS_MAIN(TestCliListen)
#include "tst_cli_listen.moc"
