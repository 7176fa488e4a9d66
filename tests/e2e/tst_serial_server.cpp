// A modem on a serial server, end to end: ser2net serves the simulated modem's pseudo-terminal on
// a TCP port as a serial server serves its modem bank, socat on our side makes that port a local
// pseudo-terminal, and that is mapped as COM 3 in [Portas]. telvora-cli then reads a customer's
// whole programming through the chain, twice (the local pseudo-terminal outlives a program that
// closes it), and gets what a read straight from the simulated modem gets. Closing the local port
// does not reach the far modem (there is no DTR line over the network): each call ends when the
// panel hangs up after its idle time, as a real panel does.
#include "support/cli_run.h"
#include "support/connected_data_module.h"
#include "support/stored_customer.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr char Scale[] = "20";

QString buildPath(const QString& relative) {
    return qEnvironmentVariable("TELVORA_BUILD_DIR") + QLatin1Char('/') + relative;
}

// A TCP port of the loopback address free at the moment.
quint16 FreePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

void Stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished();
}

bool WaitForFile(const QString& path, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (QFileInfo::exists(path))
            return true;
        QTest::qWait(50);
    }
    return false;
}

} // namespace

class TestSerialServer : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    ConnectedDataModule m_db;
    int m_customer = 0;
    QProcess m_sim;
    QProcess m_ser2net;
    QProcess m_socat;
    QByteArray m_reference;

    // How many calls the panel has ended after its idle time.
    int idleHangUps() const {
        QFile journal(m_home.filePath("painel.jsonl"));
        return journal.open(QIODevice::ReadOnly) ? int(journal.readAll().count("no request for too long"))
                                                 : 0;
    }

    CliRun cli(const QStringList& command) {
        return RunCli(m_home.path(), QStringList{"--db", m_db.database.Path()} + command,
                      {{"TELVORA_CLOCK_SCALE", Scale}});
    }

private Q_SLOTS:
    void initTestCase() {
        const QString ser2net = QStandardPaths::findExecutable("ser2net");
        const QString socat = QStandardPaths::findExecutable("socat");
        QVERIFY2(!ser2net.isEmpty() && !socat.isEmpty(),
                 "ser2net or socat missing (scripts/deps installs them)");

        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        m_customer = AddStoredCustomer(m_db.dm, 1, "1.4", "1234", "5678");
        QVERIFY(m_customer > 0);
        m_db.dm.Disconnect();

        // The modem bank's side: the simulated modem, and ser2net in front of its device.
        m_sim.start(buildPath("tools/panel-sim/telvora-panel-sim"),
                    {"--pty", "--clock-scale", Scale, "--idle-hangup", "20000", "--journal",
                     m_home.filePath("painel.jsonl")});
        QVERIFY2(m_sim.waitForReadyRead(10000),
                 qPrintable(m_sim.errorString() + m_sim.readAllStandardError()));
        const QString modem = QString::fromUtf8(m_sim.readLine()).trimmed();
        QVERIFY(modem.startsWith('/'));
        // The programming as read straight from the simulated modem: the reference for the reads
        // through the serial server.
        const CliRun direct = cli({"--device", modem, "read-programming", "--customer",
                                   QString::number(m_customer), "--out", m_home.filePath("direto.zrv")});
        QVERIFY2(direct.code == 0, qPrintable(direct.out + direct.err));
        QFile reference(m_home.filePath("direto.zrv"));
        QVERIFY(reference.open(QIODevice::ReadOnly));
        m_reference = reference.readAll();
        QCOMPARE(m_reference.size(), 304);

        const quint16 port = FreePort();
        QVERIFY(port != 0);
        m_ser2net.setProcessChannelMode(QProcess::MergedChannels);
        m_ser2net.start(ser2net,
                        {"-n", "-u", "-P", m_home.filePath("ser2net.pid"), "-Y", "connection: &modem1", "-Y",
                         QStringLiteral("  accepter: tcp,127.0.0.1,%1").arg(port), "-Y",
                         QStringLiteral("  connector: serialdev,%1,9600n81,local").arg(modem)});
        QVERIFY2(m_ser2net.waitForStarted(), qPrintable(m_ser2net.errorString()));
        QVERIFY2(WaitForFile(m_home.filePath("ser2net.pid"), 10000), qPrintable(m_ser2net.readAll()));

        // Our side: socat's pseudo-terminal connected to the server's port, mapped as COM 3.
        const QString link = m_home.filePath("modem1");
        m_socat.setProcessChannelMode(QProcess::MergedChannels);
        m_socat.start(socat, {QStringLiteral("pty,link=%1,raw,echo=0").arg(link),
                              QStringLiteral("tcp:127.0.0.1:%1").arg(port)});
        QVERIFY2(WaitForFile(link, 10000), qPrintable(m_socat.readAll()));
        const CliRun mapped = cli({"settings", "com-port", "3", link});
        QVERIFY2(mapped.code == 0, qPrintable(mapped.err));
    }

    void cleanupTestCase() {
        Stop(m_socat);
        Stop(m_ser2net);
        Stop(m_sim);
    }

    void readProgrammingThroughTheSerialServer() {
        for (int round = 1; round <= 2; ++round) {
            // The panel has ended the call before (the direct read dropped DTR): the far modem is
            // back in command mode.
            QVERIFY(QTest::qWaitFor([&] { return idleHangUps() == round - 1; }, 20000));
            const QString out = m_home.filePath(QStringLiteral("lido%1.zrv").arg(round));
            const CliRun run = cli(
                {"--port", "3", "read-programming", "--customer", QString::number(m_customer), "--out", out});
            QVERIFY2(run.code == 0,
                     qPrintable(QStringLiteral("round %1\n%2%3\n%4")
                                    .arg(round)
                                    .arg(run.out, run.err, QString::fromUtf8(m_socat.readAll()))));
            QVERIFY2(run.out.contains("Programação recebida: 19 blocos."), qPrintable(run.out));
            QFile read(out);
            QVERIFY(read.open(QIODevice::ReadOnly));
            QCOMPARE(read.readAll(), m_reference);
        }
        QCOMPARE(m_socat.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestSerialServer)
#include "tst_serial_server.moc"
