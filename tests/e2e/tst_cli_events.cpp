// telvora-cli download-events end to end: the built executable against telvora-panel-sim on a
// pseudo-terminal (mapped to COM 3 with --device), a stored customer in an embedded database, both
// processes on the same scaled clock.
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

using Run = CliRun;

} // namespace

class TestCliEvents : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    ConnectedDataModule m_db;
    int m_customer = 0;
    QProcess m_sim;
    QString m_device;

    Run cli(const QStringList& command) {
        return RunCli(m_home.path(),
                      QStringList{"--db", m_db.database.Path(), "--port", "3", "--device", m_device} +
                          command,
                      {{"TELVORA_CLOCK_SCALE", Scale}});
    }

private Q_SLOTS:
    void initTestCase() {
        // A stored Orvan 10 customer whose codes are those the simulated panel holds.
        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        m_customer = AddStoredCustomer(m_db.dm, 1, "1.4", "1234", "5678");
        QVERIFY(m_customer > 0);
        // The embedded engine keeps the file to one process at a time.
        m_db.dm.Disconnect();

        m_sim.start(buildPath("tools/panel-sim/telvora-panel-sim"),
                    {"--pty", "--clock-scale", Scale, "--events", "50"});
        QVERIFY(m_sim.waitForReadyRead(10000));
        m_device = QString::fromUtf8(m_sim.readLine()).trimmed();
        QVERIFY(m_device.startsWith('/'));
    }

    void cleanupTestCase() {
        m_sim.terminate();
        if (!m_sim.waitForFinished(5000))
            m_sim.kill();
    }

    // The panel's 50 events are stored once: a second download finds them all already stored.
    void downloadsTheLogOnce() {
        Run run = cli({"download-events", "--customer", QString::number(m_customer)});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QVERIFY(run.out.contains("Aguarde! Recebendo buffer de eventos do painel."));
        QVERIFY2(run.out.contains(QString::fromUtf8("Eventos gravados: 50 (já gravados antes: 0).")),
                 qPrintable(run.out));

        run = cli({"download-events", "--customer", QString::number(m_customer)});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QVERIFY2(run.out.contains(QString::fromUtf8("Eventos gravados: 0 (já gravados antes: 50).")),
                 qPrintable(run.out));

        QVERIFY(m_db.dm.Connect(m_db.database.Path()));
        QCOMPARE(m_db.Count("BUFFER_EVENTOS", "where ID_CLIENTE = ?", {m_customer}), 50);
        m_db.dm.Disconnect();
    }

    // A customer that does not exist: nothing is dialled.
    void unknownCustomer() {
        const Run run = cli({"download-events", "--customer", "9999"});
        QCOMPARE(run.code, 1);
    }
};

QTEST_GUILESS_MAIN(TestCliEvents)
#include "tst_cli_events.moc"
