// telvora-cli events export end to end: the built executable writes a customer's events (a range
// of dates or all of them, in number order) as CSV with exact lines and as the PDF report, and
// refuses impossible dates, dates in the wrong order, an unknown customer and a missing file name.
#include "store/event_query.h"
#include "support/cli_run.h"
#include "support/connected_data_module.h"
#include "support/event_fixture.h"
#include "support/rtf_text.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestCliEventsExport : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    ConnectedDataModule m_db;
    int m_tenZone = 0;
    int m_fiveZone = 0;

    CliRun cli(const QStringList& command, const QStringList& before = {}, QMap<QString, QString> env = {}) {
        // Passwords come only from what the test gives.
        env.insert("TELVORA_PASSWORD", env.value("TELVORA_PASSWORD"));
        env.insert("TELVORA_NEW_PASSWORD", env.value("TELVORA_NEW_PASSWORD"));
        return RunCli(m_home.path(),
                      QStringList{"--db", m_db.database.Path()} + before + QStringList{"events", "export"} +
                          command,
                      env, 60000);
    }
    CliRun plainCli(const QStringList& arguments, const QMap<QString, QString>& env) {
        return RunCli(m_home.path(), QStringList{"--db", m_db.database.Path()} + arguments, env, 60000);
    }

    static QStringList CsvLines(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QByteArray bytes = file.readAll();
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        m_tenZone = AddEventCustomer(m_db.dm, 1, QStringLiteral("Padaria Central"));
        m_fiveZone = AddEventCustomer(m_db.dm, 2, QStringLiteral("Oficina do Zé"));
        QVERIFY(m_tenZone > 0 && m_fiveZone > 0);
        QVERIFY(InsertEvents(m_db.dm.IBDB, m_tenZone, SmallEventFixture()));
        QVERIFY(InsertEvents(m_db.dm.IBDB, m_fiveZone,
                             {{1, "10/03/2026", "07:05", "B", "PROBLEMA DE AC", "", ""},
                              {2, "11/03/2026", "19:40", "B", "DESARME DO USUÁRIO ", "Mestre", ""}}));
        // The embedded engine keeps the file to one process at a time.
        m_db.dm.Disconnect();
    }

    void csvOfARangeOfDates_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QStringList>("range");
        QTest::addColumn<QStringList>("lines");
        const QString header10 = QStringLiteral("No. do Evento;Data;Hora;Partição;Evento;Usuário;Zona");
        QTest::newRow("10-zone, two days")
            << "tenZone" << QStringList{"--from", "02/03/2026", "--to", "03/03/2026"}
            << QStringList{header10, "3;02/03/2026;23:15;B;DISPARO DA ZONA;;3",
                           "4;03/03/2026;02:10;B;DESARME DO USUÁRIO;12;",
                           "5;03/03/2026;14:00;A;RESTAURAÇÃO DA ZONA;;10"};
        QTest::newRow("10-zone, from a day on")
            << "tenZone" << QStringList{"--from", "04/03/2026"}
            << QStringList{header10, "6;04/03/2026;09:45;B;ARME D'ACESSO;05;"};
        QTest::newRow("5-zone, all") << "fiveZone" << QStringList{}
                                     << QStringList{"No. do Evento;Data;Hora;Evento;Usuário;Zona",
                                                    "1;10/03/2026;07:05;PROBLEMA DE AC;;",
                                                    "2;11/03/2026;19:40;DESARME DO USUÁRIO;Mestre;"};
    }
    void csvOfARangeOfDates() {
        QFETCH(QString, which);
        QFETCH(QStringList, range);
        QFETCH(QStringList, lines);
        const int customer = which == "tenZone" ? m_tenZone : m_fiveZone;
        const QString csv = m_home.filePath(which + QString::number(range.size()) + ".csv");
        const CliRun run = cli(QStringList{"--customer", QString::number(customer), "--csv", csv} + range);
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QCOMPARE(CsvLines(csv), lines);
        QVERIFY2(run.out.contains(QStringLiteral("(%1 eventos)").arg(lines.size() - 1)), qPrintable(run.out));
    }

    void pdfReport() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const QString pdf = m_home.filePath("eventos.pdf");
        const CliRun run = cli({"--customer", QString::number(m_tenZone), "--pdf", pdf});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QCOMPARE(text.count(QLatin1Char('\f')), 1);
        QVERIFY(text.contains(QStringLiteral("BUFFER DE EVENTOS")));
        QVERIFY(text.contains(QStringLiteral("Nome do cliente: Padaria Central")));
        QVERIFY(text.contains(
            QRegularExpression(QStringLiteral("\\b6\\s+04/03\\s+09:45\\s+B\\s+ARME D'ACESSO"))));
    }

    // The events report in RichText: the customer, the column titles and each event's row, a table
    // that a word processor opens.
    void richTextReport() {
        if (!RtfConverterAvailable())
            QSKIP(kNoRtfConverter);
        const QString rtf = m_home.filePath("eventos.rtf");
        const CliRun run = cli({"--customer", QString::number(m_tenZone), "--rtf", rtf});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        const QString text = RtfConverted(rtf);
        QVERIFY2(!text.isEmpty(), "pandoc could not read the file");
        QVERIFY(text.contains(QStringLiteral("BUFFER DE EVENTOS")));
        QVERIFY(text.contains(QStringLiteral("Nome do cliente: Padaria Central")));
        QVERIFY2(text.contains(
                     QRegularExpression(QStringLiteral("Nº Evento\\s+Data\\s+Hora\\s+Partição\\s+Evento"))),
                 qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\\b6\\s+04/03\\s+09:45\\s+B\\s+ARME D"))),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("RESTAURAÇÃO DA ZONA")));
        const QString html = RtfConverted(rtf, QStringLiteral("html"));
        QCOMPARE(html.count(QStringLiteral("<table")), 1);
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("impossible date") << QStringList{"--from", "31/02/2026", "--csv", "x.csv"} << 2
                                         << MsgFilterDateInvalid("31/02/2026");
        QTest::newRow("dates in the wrong order")
            << QStringList{"--from", "05/03/2026", "--to", "01/03/2026", "--csv", "x.csv"} << 2
            << MsgFilterDatesReversed();
        QTest::newRow("no file") << QStringList{} << 2 << "--csv";
        QTest::newRow("unwritable file")
            << QStringList{"--csv", "nao/existe/x.csv"} << 1 << "Não foi possível gravar o arquivo";
        QTest::newRow("full disk, CSV")
            << QStringList{"--csv", "/dev/full"} << 1
            << "Não foi possível gravar o arquivo /dev/full: No space left on device";
        QTest::newRow("full disk, PDF")
            << QStringList{"--pdf", "/dev/full"} << 1
            << "Não foi possível gravar o arquivo /dev/full: No space left on device";
    }
    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        const CliRun run = cli(QStringList{"--customer", QString::number(m_tenZone)} + arguments);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    void unknownCustomer() {
        const CliRun run = cli({"--customer", "999", "--csv", m_home.filePath("y.csv")});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains("999"), qPrintable(run.err));
        QVERIFY(!QFile::exists(m_home.filePath("y.csv")));
    }

    // Last: once the database has operators, every command needs one.
    void needsThePermissionToSeeEvents() {
        CliRun run =
            plainCli({"operator", "add", "maria", "--permissions", "2"}, {{"TELVORA_NEW_PASSWORD", "m1"}});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        for (const auto& [name, permissions] : {std::pair{"joao", "2,29"}, std::pair{"ana", "2,30,31"}}) {
            run = plainCli({"--operator", "maria", "operator", "add", name, "--permissions", permissions},
                           {{"TELVORA_PASSWORD", "m1"}, {"TELVORA_NEW_PASSWORD", "s1"}});
            QVERIFY2(run.code == 0, qPrintable(run.err));
        }
        const QStringList export_{"--customer", QString::number(m_tenZone), "--csv",
                                  m_home.filePath("op.csv")};
        run = cli(export_, {"--operator", "ana"}, {{"TELVORA_PASSWORD", "s1"}});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QStringLiteral("Este usuário não tem permissão para esta operação")),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(m_home.filePath("op.csv")));
        run = cli(export_, {"--operator", "joao"}, {{"TELVORA_PASSWORD", "s1"}});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QCOMPARE(CsvLines(m_home.filePath("op.csv")).size(), 7);
    }
};

QTEST_GUILESS_MAIN(TestCliEventsExport)
#include "tst_cli_events_export.moc"
