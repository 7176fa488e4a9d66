// The line trace of telvora-cli (--trace FILE) end to end: the built executable against
// telvora-panel-sim on a pseudo-terminal, a stored customer in an embedded database. The file must
// hold what went over the line, readable, and be whole however the command ends.
#include "link/frame_codec.h"
#include "session/line_trace.h"
#include "session/session_frames.h"
#include "support/cli_run.h"
#include "support/connected_data_module.h"
#include "support/stored_customer.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr char Scale[] = "20";
// The call that is killed runs slower, so the kill lands well inside it even on a busy machine.
constexpr char SlowScale[] = "5";

QString buildPath(const QString& relative) {
    return qEnvironmentVariable("TELVORA_BUILD_DIR") + QLatin1Char('/') + relative;
}

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The timed lines of a trace ("<ms> <kind> <text>") must be whole lines, their times never going
// back.
bool timesInOrder(const QString& trace, QString* why) {
    static const QRegularExpression timed(QStringLiteral("^ *(\\d+) (TX|RX|modem|quadro) \\S"));
    qint64 last = -1;
    int count = 0;
    for (const QString& line : trace.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("Rastreamento da linha")))
            continue;
        const QRegularExpressionMatch m = timed.match(line);
        if (!m.hasMatch())
            return (*why = QStringLiteral("not a trace line: ") + line), false;
        const qint64 ms = m.captured(1).toLongLong();
        if (ms < last)
            return (*why = QStringLiteral("time goes back: ") + line), false;
        last = ms;
        ++count;
    }
    if (count == 0)
        *why = QStringLiteral("no trace lines");
    return count > 0;
}

} // namespace

class TestCliTrace : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    ConnectedDataModule m_db;
    int m_customer = 0;
    QProcess m_sim;

    QString file(const QString& name) const { return m_home.filePath(name); }

    // A simulated panel for one case; answers its pseudo-terminal.
    QString startSim(const QStringList& extra, const char* scale = Scale) {
        m_sim.start(buildPath("tools/panel-sim/telvora-panel-sim"),
                    QStringList{"--pty", "--clock-scale", scale} + extra);
        if (!m_sim.waitForReadyRead(10000))
            return {};
        return QString::fromUtf8(m_sim.readLine()).trimmed();
    }

    void stopSim() {
        m_sim.terminate();
        if (!m_sim.waitForFinished(5000))
            m_sim.kill();
    }

    QStringList arguments(const QString& device, const QString& trace) const {
        return {"--db",
                m_db.database.Path(),
                "--port",
                "3",
                "--device",
                device,
                "--trace",
                trace,
                "read-programming",
                "--customer",
                QString::number(m_customer)};
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        m_customer = AddStoredCustomer(m_db.dm, 1, "1.4", "1234", "5678");
        QVERIFY(m_customer > 0);
        m_db.dm.Disconnect(); // the embedded engine keeps the file to one process at a time
    }

    void cleanup() { stopSim(); }

    // A read of the programming, and a call the panel does not answer: either way the trace holds
    // the modem's lines, the frames' bytes and their meaning, in whole lines to its closing line.
    void traceOfACall_data() {
        const QByteArray identify = FrameCodec::BuildShortCommand(FrameCodec::CmdIdentify);
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("expected"); // regular expressions, each matching some line
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("read") << QStringList{} << 0
                              << QStringList{
                                     // the dial command as text, the modem's answers named
                                     "TX .*\"ATDT.*5551234",
                                     "modem (1 \\(CONNECT\\)|CONNECT)",
                                     // the frames sent, in hex with their meaning
                                     "TX " + LineTrace::Hex(identify) + "  pedido de identificação$",
                                     "TX " + LineTrace::Hex(SessionFrames::ReadBlockFrame(0)) +
                                         "  leitura de bloco, página 0, endereço 00$",
                                     "TX " + LineTrace::Hex(SessionFrames::ReadBlockFrame(18)) +
                                         "  leitura de bloco, página 1, endereço 60$",
                                     // what came back, as bytes and as frames
                                     "RX (.* )?5A 52 56",
                                     "quadro identificação: produto 1, versão 1\\.4$",
                                     "quadro bloco lido, página 0, endereço 00$",
                                     "quadro bloco lido, página 1, endereço 60$"}
                              << QStringList{"soma de verificação errada"};
        QTest::newRow("no answer") << QStringList{"--dial-result", "no-answer"} << 1
                                   << QStringList{"TX .*\"ATDT.*5551234",
                                                  "modem (8 \\(NO ANSWER\\)|NO ANSWER)"}
                                   << QStringList{"pedido de identificação", "quadro "};
    }
    void traceOfACall() {
        QFETCH(QStringList, sim);
        QFETCH(int, code);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        const QString device = startSim(sim);
        QVERIFY2(device.startsWith('/'), qPrintable(m_sim.readAllStandardError()));
        const QString path =
            file(QStringLiteral("linha-%1.txt").arg(QTest::currentDataTag()).replace(' ', '-'));

        const CliRun run = RunCli(m_home.path(), arguments(device, path), {{"TELVORA_CLOCK_SCALE", Scale}});
        QVERIFY2(run.code == code, qPrintable(run.out + run.err));

        // It holds the codes sent to the panel: readable by its owner alone.
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QString trace = readAll(path);
        QVERIFY2(trace.startsWith("Rastreamento da linha iniciado em "), qPrintable(trace.left(200)));
        QVERIFY2(trace.endsWith("Rastreamento da linha encerrado\n"), qPrintable(trace.right(300)));
        QString why;
        QVERIFY2(timesInOrder(trace, &why), qPrintable(why));
        for (const QString& pattern : expected) {
            const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
            QVERIFY2(re.match(trace).hasMatch(), qPrintable(pattern + "\n" + trace.left(3000)));
        }
        for (const QString& text : absent)
            QVERIFY2(!trace.contains(text), qPrintable(text));
    }

    // A command killed outright in the middle of the call leaves every line written before it.
    void killedInTheCall() {
        const QString device = startSim({"--line-300"}, SlowScale);
        QVERIFY(device.startsWith('/'));
        const QString path = file("linha-morta.txt");
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TELVORA_HOME", m_home.path());
        env.insert("TELVORA_CLOCK_SCALE", SlowScale);
        cli.setProcessEnvironment(env);
        cli.start(buildPath("src/telvora-cli"), arguments(device, path));
        // Killed after the first block of the read, with the rest of the read still to come.
        QTRY_VERIFY_WITH_TIMEOUT(readAll(path).contains("quadro bloco lido, página 0, endereço 00"), 60000);
        cli.kill();
        QVERIFY(cli.waitForFinished(5000));

        const QString trace = readAll(path);
        QVERIFY(!trace.contains("encerrado"));
        QVERIFY(trace.endsWith('\n'));
        QString why;
        QVERIFY2(timesInOrder(trace, &why), qPrintable(why));
        QVERIFY(trace.contains("quadro identificação: produto 1, versão 1.4\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliTrace)
#include "tst_cli_trace.moc"
