// telvora-cli --json: every command that reports something prints only JSON lines on its output,
// each one object with its "kind" and the fields the manual page lists, while its messages go to
// the error stream. One row per command, run in order against the built executable: the database
// commands on a database with operators, the panel commands against telvora-panel-sim on a
// pseudo-terminal.
#include "support/cli_run.h"
#include "support/connected_data_module.h"
#include "support/stored_customer.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr char Scale[] = "20";

QString buildPath(const QString& relative) {
    return qEnvironmentVariable("TELVORA_BUILD_DIR") + QLatin1Char('/') + relative;
}

bool StartPanel(QProcess& sim, const QStringList& extra, QString* device) {
    sim.start(buildPath("tools/panel-sim/telvora-panel-sim"),
              QStringList{"--pty", "--clock-scale", Scale, "--events", "20"} + extra);
    if (!sim.waitForReadyRead(10000))
        return false;
    *device = QString::fromUtf8(sim.readLine()).trimmed();
    return device->startsWith('/');
}

void StopPanel(QProcess& sim) {
    sim.terminate();
    if (!sim.waitForFinished(5000))
        sim.kill();
}

} // namespace

class TestCliJson : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    ConnectedDataModule m_db; // no operators: the panel commands
    int m_customer = 0;
    QProcess m_sim;
    QString m_device;

    // The placeholders of the table: %DB% the panel commands' database, %DB2% a new one that gets
    // an administrator, %DIR% a folder for files, %C% the stored customer, %FBK% the backup made.
    QStringList resolve(const QStringList& arguments) const {
        const QStringList backups = QDir(m_home.filePath("bkp")).entryList({"*.fbk"}, QDir::Files);
        QStringList resolved;
        for (QString argument : arguments) {
            argument.replace("%DB2%", m_home.filePath("operadores.fdb"))
                .replace("%DB%", m_db.database.Path())
                .replace("%DIR%", m_home.path())
                .replace("%C%", QString::number(m_customer))
                .replace("%FBK%", backups.isEmpty() ? QString() : m_home.filePath("bkp/" + backups.first()));
            resolved << argument;
        }
        return resolved;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        m_customer = AddStoredCustomer(m_db.dm, 1, "1.4", "1234", "5678");
        QVERIFY(m_customer > 0);
        m_db.dm.Disconnect();
        QVERIFY(StartPanel(m_sim, {}, &m_device));
        QVERIFY(QDir(m_home.path()).mkpath("bkp"));
    }

    void cleanupTestCase() { StopPanel(m_sim); }

    void eachCommandPrintsJsonLines_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("kinds");  // the kinds of the lines, in order (repeats as one)
        QTest::addColumn<QStringList>("fields"); // present in every line of the last kind
        const QStringList admin{"--db", "%DB2%", "--operator", "admin", "--json"};
        const QStringList panel{"--db", "%DB%", "--port", "3", "--json"};

        QTest::newRow("db init") << QStringList{"--db", "%DB2%", "--json", "db", "init"}
                                 << QStringList{"database_created"} << QStringList{"database"};
        QTest::newRow("operator add")
            << QStringList{"--db", "%DB2%", "operator", "add", "admin", "--admin", "--json"}
            << QStringList{"operator_added"} << QStringList{"name"};
        QTest::newRow("operator list") << admin + QStringList{"operator", "list"} << QStringList{"operator"}
                                       << QStringList{"id", "name", "active", "administrator", "permissions"};
        QTest::newRow("customer add")
            << admin + QStringList{"customer", "add", "--nome", "Loja", "--produto", "2"}
            << QStringList{"customer_added"} << QStringList{"customer", "name", "product", "version"};
        QTest::newRow("customer list") << admin + QStringList{"customer", "list"} << QStringList{"customer"}
                                       << QStringList{"customer", "name", "product", "model", "recycle_bin"};
        QTest::newRow("db upgrade") << admin + QStringList{"db", "upgrade"}
                                    << QStringList{"database_upgraded"}
                                    << QStringList{"event_users_changed", "columns_added", "tables_added",
                                                   "generators_repaired", "generators_minimum"};
        QTest::newRow("db backup") << admin + QStringList{"db", "backup", "--to", "%DIR%/bkp"}
                                   << QStringList{"backup"} << QStringList{"file"};
        QTest::newRow("db restore") << admin + QStringList{"db", "restore", "%FBK%"} << QStringList{"restore"}
                                    << QStringList{"file", "safety_backup", "kept_aside"};
        QTest::newRow("audit") << admin + QStringList{"audit"} << QStringList{"audit"}
                               << QStringList{"when", "operator", "customer", "action", "details"};

        QTest::newRow("settings com-port") << QStringList{"--json", "settings", "com-port", "3", "%DEVICE%"}
                                           << QStringList{"com_port"} << QStringList{"port", "device"};
        QTest::newRow("modem test") << panel + QStringList{"modem", "test"} << QStringList{"modem_test"}
                                    << QStringList{"port",     "model",   "outcome",
                                                   "accepted", "refused", "waiting"};
        QTest::newRow("read-programming")
            << panel + QStringList{"read-programming", "--customer", "%C%"} << QStringList{"programming_read"}
            << QStringList{"customer", "bytes", "file", "image"};
        QTest::newRow("read-programming --out")
            << panel + QStringList{"read-programming", "--customer", "%C%", "--out", "%DIR%/lido.zrv"}
            << QStringList{"programming_read"} << QStringList{"customer", "bytes", "file", "image"};
        QTest::newRow("programming export")
            << panel +
                   QStringList{"programming", "export", "--customer", "%C%", "--out", "%DIR%/guardado.zrv"}
            << QStringList{"template_exported"} << QStringList{"customer", "file", "bytes"};
        QTest::newRow("programming import")
            << panel +
                   QStringList{"programming", "import", "--customer", "%C%", "--template", "%DIR%/lido.zrv"}
            << QStringList{"template_imported"} << QStringList{"customer", "file"};
        QTest::newRow("write-programming")
            << panel + QStringList{"write-programming", "--customer", "%C%", "--template", "%DIR%/lido.zrv"}
            << QStringList{"programming_written"}
            << QStringList{"customer", "complete", "unchanged", "blocks", "frames_planned", "errors"};
        QTest::newRow("panel status")
            << panel + QStringList{"panel", "status", "--customer", "%C%"} << QStringList{"panel_status"}
            << QStringList{"customer", "zones",           "armed",   "troubles",
                           "siren",    "battery_percent", "outputs", "clock"};
        QTest::newRow("panel command")
            << panel + QStringList{"panel", "command", "--customer", "%C%", "arm", "A"}
            << QStringList{"panel_command"} << QStringList{"customer", "action", "done", "clock"};
        QTest::newRow("download-events")
            << panel + QStringList{"download-events", "--customer", "%C%"} << QStringList{"events_downloaded"}
            << QStringList{"customer",       "complete",       "records", "stored",
                           "already_stored", "frames_planned", "errors"};
        QTest::newRow("events export")
            << panel + QStringList{"events", "export",      "--customer", "%C%",
                                   "--csv",  "%DIR%/e.csv", "--pdf",      "%DIR%/e.pdf"}
            << QStringList{"events_exported"} << QStringList{"customer", "format", "file", "events", "pages"};
        QTest::newRow("report programming")
            << panel + QStringList{"report", "programming", "--customer", "%C%", "--pdf", "%DIR%/p.pdf"}
            << QStringList{"report_written"} << QStringList{"customer", "format", "file", "pages"};
        // The panel that calls in is another simulated one, on its own device.
        QTest::newRow("listen") << panel + QStringList{"--device", "%CALLER%", "listen", "--once"}
                                << QStringList{"listening", "call", "listen_ended"} << QStringList{"calls"};
    }
    void eachCommandPrintsJsonLines() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, kinds);
        QFETCH(QStringList, fields);
        QProcess caller;
        if (arguments.contains("%CALLER%")) {
            QString device;
            QVERIFY(StartPanel(caller, {"--call-in", "3000"}, &device));
            arguments.replace(arguments.indexOf("%CALLER%"), device);
        }
        arguments = resolve(arguments);
        arguments.replaceInStrings("%DEVICE%", m_device);
        const CliRun run = RunCli(m_home.path(), arguments,
                                  {{"TELVORA_CLOCK_SCALE", Scale},
                                   {"TELVORA_PASSWORD", "segredo1"},
                                   {"TELVORA_NEW_PASSWORD", "segredo1"}});
        if (caller.state() != QProcess::NotRunning)
            StopPanel(caller);
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));

        QStringList seen;
        for (const QString& line : run.out.split('\n', Qt::SkipEmptyParts)) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
            QVERIFY2(error.error == QJsonParseError::NoError && document.isObject(), qPrintable(line));
            const QJsonObject record = document.object();
            const QString kind = record.value("kind").toString();
            if (seen.isEmpty() || seen.constLast() != kind)
                seen << kind;
            if (kind != kinds.constLast())
                continue;
            for (const QString& field : fields)
                QVERIFY2(record.contains(field), qPrintable(field + " missing: " + line));
        }
        QCOMPARE(seen, kinds);
    }

    // A few values, where a wrong one would mislead a script.
    void valuesOfTheRecords() {
        const auto json = [this](const QStringList& command) {
            const CliRun run = RunCli(m_home.path(),
                                      QStringList{"--db", m_db.database.Path(), "--port", "3"} + command +
                                          QStringList{"--json"},
                                      {{"TELVORA_CLOCK_SCALE", Scale}});
            return QJsonDocument::fromJson(run.out.section('\n', 0, 0).toUtf8()).object();
        };
        QJsonObject status = json({"panel", "status", "--customer", QString::number(m_customer)});
        QCOMPARE(status.value("customer").toInt(), m_customer);
        QCOMPARE(status.value("zones").toArray().size(), 10);
        QCOMPARE(status.value("outputs").toArray().size(), 4);
        QVERIFY(status.value("clock").toString().contains('T'));

        QJsonObject read = json({"read-programming", "--customer", QString::number(m_customer)});
        QCOMPARE(read.value("bytes").toInt(), 304);
        QCOMPARE(read.value("image").toString().size(), 2 * 304);
        QVERIFY(read.value("file").isNull());
    }
};

QTEST_GUILESS_MAIN(TestCliJson)
#include "tst_cli_json.moc"
