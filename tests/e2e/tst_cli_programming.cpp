// telvora-cli's programming commands end to end: the built executable against telvora-panel-sim
// on a pseudo-terminal (mapped to COM 3 with --device), a stored customer in an embedded database,
// both processes on the same scaled clock.
#include "link_control/link_texts.h"
#include "panel_simulator.h"
#include "support/cli_run.h"
#include "support/connected_data_module.h"
#include "support/stored_customer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr char Scale[] = "20";

QString buildPath(const QString& relative) {
    return qEnvironmentVariable("TELVORA_BUILD_DIR") + QLatin1Char('/') + relative;
}

using Run = CliRun;

} // namespace

class TestCliProgramming : public QObject {
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

    QString file(const QString& name) const { return m_home.filePath(name); }

    static bool save(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    // The (page, block) of every chunk write the shared panel answered so far, in order, a block
    // once per write round (its chunks of one round count once).
    QList<QPair<int, int>> writtenBlocks() const {
        QList<QPair<int, int>> blocks;
        QFile journal(m_home.filePath("painel.jsonl"));
        if (!journal.open(QIODevice::ReadOnly))
            return blocks;
        while (!journal.atEnd()) {
            const QJsonObject entry = QJsonDocument::fromJson(journal.readLine()).object();
            if (entry.value("kind") != "frame" || entry.value("text") != "write")
                continue;
            const QPair<int, int> block{entry.value("page").toInt(), entry.value("block").toInt()};
            if (blocks.isEmpty() || blocks.constLast() != block)
                blocks.append(block);
        }
        return blocks;
    }

    // Remote command frames the shared panel took after its first `line` journal lines.
    int commandFramesSince(int line) const {
        QFile journal(m_home.filePath("painel.jsonl"));
        if (!journal.open(QIODevice::ReadOnly))
            return -1;
        int frames = 0;
        for (int n = 0; !journal.atEnd(); ++n) {
            const QJsonObject entry = QJsonDocument::fromJson(journal.readLine()).object();
            frames += n >= line && entry.value("kind") == "frame" && entry.value("text") == "command";
        }
        return frames;
    }

    // Lines the simulated panel has journaled so far.
    int journalLines() {
        QFile journal(file("painel.jsonl"));
        return journal.open(QIODevice::ReadOnly) ? int(journal.readAll().count('\n')) : 0;
    }

private Q_SLOTS:
    void initTestCase() {
        // A stored Orvan 10 customer whose codes are those the simulated panel holds.
        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        m_customer = AddStoredCustomer(m_db.dm, 1, "1.4", "1234", "5678");
        QVERIFY(m_customer > 0);
        // The embedded engine keeps the file to one process at a time.
        m_db.dm.Disconnect();

        // The panel will not keep image byte 3 (the siren time).
        m_sim.start(
            buildPath("tools/panel-sim/telvora-panel-sim"),
            {"--pty", "--clock-scale", Scale, "--refuse-bytes", "3", "--journal", file("painel.jsonl")});
        QVERIFY2(m_sim.waitForReadyRead(10000),
                 qPrintable(m_sim.errorString() + m_sim.readAllStandardError()));
        m_device = QString::fromUtf8(m_sim.readLine()).trimmed();
        QVERIFY(m_device.startsWith('/'));
    }

    void cleanupTestCase() {
        m_sim.terminate();
        if (!m_sim.waitForFinished(5000))
            m_sim.kill();
    }

    // The panel's live state and its remote commands: each command ends only when the status shows
    // it; bad input is refused before anything is dialled, a partition the panel lacks after.
    void panelStatusAndCommands_data() {
        QTest::addColumn<QStringList>("action");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said");   // in the output or the errors
        QTest::addColumn<QString>("status"); // a line of the status that follows, when given
        QTest::newRow("arm A") << QStringList{"arm", "A"} << 0 << "o painel mostra a mudança"
                               << "PARTIÇÃO A: Armada";
        // Nothing to change: said so, and nothing is sent.
        QTest::newRow("arm A on an armed panel")
            << QStringList{"arm", "A"} << 0 << QString::fromUtf8("A partição A já estava armada.")
            << "PARTIÇÃO A: Armada";
        QTest::newRow("disarm A") << QStringList{"disarm", "a"} << 0 << "o painel mostra a mudança"
                                  << "PARTIÇÃO A: Desarmada";
        QTest::newRow("bypass 3") << QStringList{"bypass", "3"} << 0 << "o painel mostra a mudança"
                                  << "3 INIBIDA";
        QTest::newRow("bypass 5 keeps 3") << QStringList{"bypass", "5"} << 0 << "o painel mostra a mudança"
                                          << "3 INIBIDA, 4 FECHADA, 5 INIBIDA";
        QTest::newRow("enable 3") << QStringList{"enable", "3"} << 0 << "o painel mostra a mudança"
                                  << "3 FECHADA";
        QTest::newRow("output-on 2") << QStringList{"output-on", "2"} << 0 << "o painel mostra a mudança"
                                     << "PGM 2 On";
        QTest::newRow("set-clock") << QStringList{"set-clock", "25/12/2027", "09:15:30"} << 0
                                   << "Painel:  25/12/2027 09:1"
                                   << "Painel:  25/12/2027";
        QTest::newRow("zone out of range")
            << QStringList{"bypass", "9"} << 1 << "Zona inválida: 9 (1 a 8)." << QString();
        QTest::newRow("output out of range")
            << QStringList{"output-on", "5"} << 1 << "PGM inválida: 5 (1 a 4)." << QString();
        QTest::newRow("impossible date") << QStringList{"set-clock", "31/02/2027", "09:15:30"} << 2
                                         << "Data e hora inválidas" << QString();
        QTest::newRow("unknown action") << QStringList{"jump"} << 2 << "Ação desconhecida: jump" << QString();
        QTest::newRow("partition B of a panel not partitioned")
            << QStringList{"arm", "B"} << 1 << "O painel não está particionado" << QString();
    }
    void panelStatusAndCommands() {
        QFETCH(QStringList, action);
        QFETCH(int, code);
        QFETCH(QString, said);
        QFETCH(QString, status);
        const int callsBefore = journalLines();
        Run run = cli(QStringList{"panel", "command", "--customer", QString::number(m_customer)} + action);
        QVERIFY2(run.code == code, qPrintable(run.out + run.err));
        QVERIFY2((run.out + run.err).contains(said), qPrintable(run.out + run.err));
        if (code == 2 || said.startsWith("Zona") || said.startsWith("PGM"))
            QCOMPARE(journalLines(), callsBefore); // nothing reached the panel
        if (said.contains(QString::fromUtf8("já estava")))
            QCOMPARE(commandFramesSince(callsBefore), 0);
        if (status.isEmpty())
            return;
        run = cli({"panel", "status", "--customer", QString::number(m_customer)});
        QCOMPARE(run.code, 0);
        QVERIFY2(run.out.contains(status), qPrintable(run.out));
    }

    // A write of what differs from a template, then a read that shows the panel holding it; a
    // template touching a byte the panel will not keep ends with a failure after the verify rounds.
    // The template is in the older form of 16-byte lines ending in CR LF (342 bytes), which reads
    // as the plain image; a changed PGM mode makes the PGM change procedure write blocks 0 and 1
    // twice, and each block still counts once.
    void writeThenReadTheProgramming() {
        const QByteArray factory = sim::defaultImage(sim::Family::TenZone);
        QByteArray templ = factory;
        templ[1] = char(45);     // entry delay (times), block 0
        templ[26] = char(0x51);  // PGM 1's mode, block 1
        templ[130] = char(0x12); // user 2's code (users), block 8
        templ[131] = char(0x34);
        templ[260] = char(0x07); // a report digit, block 16
        QByteArray lines;
        for (int at = 0; at < templ.size(); at += 16)
            lines += templ.mid(at, 16) + "\r\n";
        QCOMPARE(lines.size(), 342);
        QVERIFY(save(file("modelo.zrv"), lines));

        Run run = cli({"write-programming", "--customer", QString::number(m_customer), "--template",
                       file("modelo.zrv")});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QVERIFY(run.out.contains("Discando para telefone nº 5551234"));
        QVERIFY(run.out.contains("Aguarde! Programando o painel."));
        QVERIFY(run.out.contains("Eficiência: 100,00%"));
        // Each block the panel took chunk writes for counts once.
        const QList<QPair<int, int>> written = writtenBlocks();
        const QSet<QPair<int, int>> blocks(written.cbegin(), written.cend());
        QVERIFY(written.size() > blocks.size());
        QVERIFY2(run.out.contains(QString("Programação enviada e conferida: %1 blocos.").arg(blocks.size())),
                 qPrintable(run.out));
        QCOMPARE(QFileInfo(file("modelo.zrv")).size(), 342); // a template given to a write is only read

        run = cli({"read-programming", "--customer", QString::number(m_customer), "--out", file("lido.zrv")});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QFile read(file("lido.zrv"));
        QVERIFY(read.open(QIODevice::ReadOnly));
        const QByteArray image = read.readAll();
        QCOMPARE(image.size(), 304);
        for (int n : {1, 26, 130, 131, 260})
            QCOMPARE(quint8(image[n]), quint8(templ[n]));
        QCOMPARE(image.mid(224, 80), templ.mid(224, 80));

        QByteArray refused = templ;
        refused[3] = char(9);
        QVERIFY(save(file("recusado.zrv"), refused));
        run = cli({"write-programming", "--customer", QString::number(m_customer), "--template",
                   file("recusado.zrv")});
        QCOMPARE(run.code, 1);
        QVERIFY(run.err.contains("O bloco 0 não ficou igual no painel"));
    }

    // --sections sends those sections of the customer's stored programming and nothing else: against
    // a panel whose every byte (but its codes) differs from what is stored, the panel ends with the
    // stored bytes in the sections named and its own everywhere else, chunks shared with other
    // sections included. An unknown section name is refused before anything is dialled.
    void writeSectionsOfTheStoredProgramming() {
        const QString customer = QString::number(m_customer);
        Run run = cli({"programming", "export", "--customer", customer, "--out", file("guardada.zrv")});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QFile storedFile(file("guardada.zrv"));
        QVERIFY(storedFile.open(QIODevice::ReadOnly));
        const QByteArray stored = storedFile.readAll();
        QCOMPARE(stored.size(), 304);
        QByteArray panel = stored;
        for (int n = 0; n < panel.size(); ++n)
            if (n < 112 || n > 115) // the codes the connection proves
                panel[n] = char(panel[n] ^ 0x5A);
        QVERIFY(save(file("painel-secoes.zrv"), panel));

        QProcess sim;
        QFile::remove(file("secoes.jsonl"));
        sim.start(buildPath("tools/panel-sim/telvora-panel-sim"),
                  {"--pty", "--clock-scale", Scale, "--image", file("painel-secoes.zrv"), "--journal",
                   file("secoes.jsonl")});
        QVERIFY(sim.waitForReadyRead(10000));
        const QString shared = m_device;
        m_device = QString::fromUtf8(sim.readLine()).trimmed();
        const Run refused = cli({"write-programming", "--customer", customer, "--sections", "tempos,alarme"});
        run = cli({"write-programming", "--customer", customer, "--sections", "tempos,reporte"});
        m_device = shared;
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));

        QCOMPARE(refused.code, 2);
        QVERIFY2(refused.err.contains("Seção desconhecida: \"alarme\""), qPrintable(refused.err));
        QVERIFY(!refused.out.contains("Discando"));
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QVERIFY(run.out.contains("Programação enviada e conferida"));

        QFile journal(file("secoes.jsonl"));
        QVERIFY(journal.open(QIODevice::ReadOnly));
        QByteArray finalImage;
        for (const QByteArray& line : journal.readAll().split('\n')) {
            const QJsonObject entry = QJsonDocument::fromJson(line).object();
            if (entry.contains("final"))
                finalImage =
                    QByteArray::fromHex(entry.value("final").toObject().value("image").toString().toLatin1());
        }
        QCOMPARE(finalImage.size(), 304);
        // Tempos of an Orvan 10 (bytes 1..8, 17..24) and Reporte (256..303).
        const auto sent = [](int n) { return (n >= 1 && n <= 8) || (n >= 17 && n <= 24) || n >= 256; };
        for (int n = 0; n < 304; ++n)
            QVERIFY2(finalImage[n] == (sent(n) ? stored[n] : panel[n]), qPrintable(QString::number(n)));
    }

    // A modem that reports the line speed answers CONNECT with "10" (2400 bit/s): the connection
    // takes it as CONNECT and the read completes.
    void readThroughModemReportingSpeed() {
        QProcess sim;
        sim.start(
            buildPath("tools/panel-sim/telvora-panel-sim"),
            {"--pty", "--clock-scale", Scale, "--connect-speed", "2400", "--journal", file("vel.jsonl")});
        QVERIFY(sim.waitForReadyRead(10000));
        const QString device = QString::fromUtf8(sim.readLine()).trimmed();
        const QString shared = m_device;
        m_device = device;
        const Run run =
            cli({"read-programming", "--customer", QString::number(m_customer), "--out", file("lido10.zrv")});
        m_device = shared;
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QCOMPARE(QFileInfo(file("lido10.zrv")).size(), 304);
        QFile journal(file("vel.jsonl"));
        QVERIFY(journal.open(QIODevice::ReadOnly));
        QVERIFY(journal.readAll().contains("CONNECT 2400"));
    }

    // The panel calls back before the session: asked for with --callback, or by the panel itself
    // on a plain read. The read goes on on the panel's call, answered by the program.
    void readProgrammingOnTheCallBack_data() {
        QTest::addColumn<bool>("asked");
        QTest::newRow("asked with --callback") << true;
        QTest::newRow("the panel calls back by itself") << false;
    }

    void readProgrammingOnTheCallBack() {
        QFETCH(bool, asked);
        QProcess sim;
        QStringList simArgs{"--pty", "--clock-scale", Scale, "--journal", file("retorno.jsonl")};
        if (!asked)
            simArgs << "--callback-on-codes";
        QFile::remove(file("retorno.jsonl"));
        sim.start(buildPath("tools/panel-sim/telvora-panel-sim"), simArgs);
        QVERIFY(sim.waitForReadyRead(10000));
        const QString device = QString::fromUtf8(sim.readLine()).trimmed();
        const QString shared = m_device;
        m_device = device;
        QStringList command{"read-programming", "--customer", QString::number(m_customer), "--out",
                            file("retorno.zrv")};
        if (asked)
            command << "--callback";
        QFile::remove(file("retorno.zrv"));
        const Run run = cli(command);
        m_device = shared;
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QCOMPARE(QFileInfo(file("retorno.zrv")).size(), 304);
        QVERIFY2(run.out.contains(LinkTexts::StepReceivingRing()), qPrintable(run.out));

        QFile journal(file("retorno.jsonl"));
        QVERIFY(journal.open(QIODevice::ReadOnly));
        const QByteArray entries = journal.readAll();
        bool callbackRequested = false;
        for (const QByteArray& line : entries.split('\n')) {
            const QJsonObject entry = QJsonDocument::fromJson(line).object();
            callbackRequested |= entry.value("kind") == "frame" && entry.value("text") == "callback";
        }
        QCOMPARE(callbackRequested, asked);
        QVERIFY(entries.contains("the panel will call back"));
        QVERIFY(entries.contains("carrier up (the program answered)"));
    }

    // A template shorter than the image is refused before the port is opened: the modem never
    // hears a command.
    void shortTemplateRefusedBeforeDialling() {
        QProcess sim;
        sim.start(buildPath("tools/panel-sim/telvora-panel-sim"),
                  {"--pty", "--clock-scale", Scale, "--journal", file("curto.jsonl")});
        QVERIFY(sim.waitForReadyRead(10000));
        const QString shared = m_device;
        m_device = QString::fromUtf8(sim.readLine()).trimmed();
        QVERIFY(save(file("curto.zrv"), sim::defaultImage(sim::Family::TenZone).left(300)));
        const Run run = cli({"write-programming", "--customer", QString::number(m_customer), "--template",
                             file("curto.zrv")});
        m_device = shared;
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains("não contém uma programação deste painel (304 bytes)"),
                 qPrintable(run.err));
        QVERIFY(!run.out.contains("Discando"));
        QFile journal(file("curto.jsonl"));
        const QByteArray written = journal.open(QIODevice::ReadOnly) ? journal.readAll() : QByteArray();
        QVERIFY2(!written.contains("\"kind\":\"command\""), written.constData());
    }

    // SIGTERM (what `timeout` and a shutdown send) in the middle of the read: the command stops at
    // the next safe point, hangs up, closes the port and exits non-zero, saying so, well before the
    // read could have ended by itself.
    void terminatedDuringTheRead() {
        const QString slow = QStringLiteral("5"); // the read takes seconds: time to signal in
        QProcess sim;
        sim.start(buildPath("tools/panel-sim/telvora-panel-sim"),
                  {"--pty", "--clock-scale", slow, "--journal", file("termino.jsonl")});
        QVERIFY(sim.waitForReadyRead(10000));
        const QString device = QString::fromUtf8(sim.readLine()).trimmed();

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TELVORA_HOME", m_home.path());
        environment.insert("TELVORA_CLOCK_SCALE", slow);
        process.setProcessEnvironment(environment);
        process.start(buildPath("src/telvora-cli"),
                      {"--db", m_db.database.Path(), "--port", "3", "--device", device, "read-programming",
                       "--customer", QString::number(m_customer), "--out", file("termino.zrv")});
        QByteArray out;
        while (!out.contains("Aguarde! Recebendo a programação do painel.") &&
               process.waitForReadyRead(60000))
            out += process.readAllStandardOutput();
        QVERIFY2(out.contains("Aguarde! Recebendo a programação do painel."), out.constData());

        QElapsedTimer stopping;
        stopping.start();
        process.terminate();
        const bool finished = process.waitForFinished(20000);
        if (!finished)
            process.kill();
        QVERIFY(finished);
        // The next safe point is at most one block's answer deadline away (3 s), the hang-up 1.2 s
        // more: under a second at this scale (about 0.4 s measured), where the rest of the read
        // would take some 4 s.
        QVERIFY2(stopping.elapsed() < 2500, qPrintable(QString::number(stopping.elapsed())));
        out += process.readAllStandardOutput();
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY(process.exitCode() != 0);
        QVERIFY2(err.contains("Interrompido (pedido de término)"), qPrintable(err));
        QVERIFY2(err.contains("Linha desligada e porta fechada."), qPrintable(err));
        QVERIFY(!out.contains("Programação recebida"));
        QVERIFY(!QFileInfo::exists(file("termino.zrv")));

        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QFile journal(file("termino.jsonl"));
        QVERIFY(journal.open(QIODevice::ReadOnly));
        const QList<QByteArray> entries = journal.readAll().split('\n');
        qsizetype opened = -1;
        qsizetype closed = -1;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (entries[i].contains("port opened"))
                opened = i;
            if (entries[i].contains("port closed"))
                closed = i;
        }
        QVERIFY(opened >= 0);
        QVERIFY2(closed > opened, "the port was left open");
    }

    void unknownCustomerFails() {
        const Run run = cli({"read-programming", "--customer", "999"});
        QCOMPARE(run.code, 1);
        QVERIFY(run.err.contains("O cliente 999 não foi encontrado."));
    }

    // Runs last: the audit record holds each connection, the programming write with its template
    // and each command that reached the panel, and nothing for a command refused before dialling.
    void auditOfWhatWasDone() {
        const QString customer = QString::number(m_customer);
        Run run = cli({"audit", "--customer", customer});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        // The customer's name stands beside its number.
        const auto count = [&lines, &customer](const QString& tail) {
            return std::count_if(lines.cbegin(), lines.cend(), [&](const QString& line) {
                return line.contains('\t' + customer + "\tCliente de teste\t" + tail);
            });
        };
        QVERIFY2(count("Conexão\t") >= 10, qPrintable(run.out));
        QCOMPARE(count("Envio de programação\tmodelo.zrv"), 1);
        // A write is recorded with its outcome.
        QVERIFY2(std::any_of(lines.cbegin(), lines.cend(),
                             [](const QString& line) {
                                 return line.contains(
                                            QString::fromUtf8("Envio de programação\trecusado.zrv: ")) &&
                                        line.contains(QStringLiteral("bloco 0 diferente no painel"));
                             }),
                 qPrintable(run.out));
        QCOMPARE(count("Comando\tarm A: executado"), 1);
        QCOMPARE(count(QString::fromUtf8("Comando\tarm A: já estava assim")), 1);
        QCOMPARE(count("Comando\tbypass 5"), 1);
        QCOMPARE(count("Comando\tbypass 9"), 0);
        QCOMPARE(count("Comando\tjump"), 0);
        QCOMPARE(count("Comando\tarm B"), 0); // refused by the program: nothing was sent
        QVERIFY(lines.first().startsWith(QDate::currentDate().toString("dd/MM/yyyy")));

        run = cli({"audit", "--from", QDate::currentDate().addDays(1).toString("dd/MM/yyyy")});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QCOMPARE(run.out,
                 QStringLiteral("Nenhuma operação foi registrada para o cliente ou a data informados.\n"));
        run = cli({"audit", "--from", "31/02/2026"});
        QCOMPARE(run.code, 2);
    }
};

QTEST_GUILESS_MAIN(TestCliProgramming)
#include "tst_cli_programming.moc"
