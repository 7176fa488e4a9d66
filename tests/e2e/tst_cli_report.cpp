// telvora-cli report programming end to end: the built executable writes the six pages of stored
// customers of each family into PDF files (read back with pdftotext), tells a missing logo, and
// fails with a clear message and a non-zero exit for a customer without model, an unknown customer
// and a path that cannot be written.
#include "support/cli_run.h"
#include "support/connected_data_module.h"
#include "support/rtf_text.h"
#include "workspace/customer_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = CliRun;

int PdfPageCount(const QString& path, QString* text) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return -1;
    *text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    return int(text->count(QLatin1Char('\f')));
}

} // namespace

class TestCliReport : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    ConnectedDataModule m_db;
    int m_tenZone = 0;
    int m_fiveZone = 0;
    int m_withoutRows = 0;
    int m_withoutModel = 0;

    Run cli(const QStringList& command) {
        return RunCli(m_home.path(), QStringList{"--db", m_db.database.Path()} + command, {}, 60000);
    }

    int addCustomer(int productCode, const QString& version, const QString& name) {
        CustomerRecord record(m_db.dm);
        if (!record.BeginNew(productCode, version, NewCustomerDefaults()))
            return 0;
        record.DataModule().DSetClientes.SetValue("NOME", name);
        record.DataModule().DSetPainel.SetValue("FONE_PAINEL", "5551234");
        QString error;
        return record.Save(&error) ? record.CustomerId() : 0;
    }

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        m_tenZone = addCustomer(1, "1.4", "Farmácia Boa Vida");
        m_fiveZone = addCustomer(2, "1.3", "Oficina do Zé");
        m_withoutRows = addCustomer(3, "1.3", "Sem Programação");
        m_withoutModel = addCustomer(1, "1.4", "Sem Modelo");
        QVERIFY(m_tenZone > 0 && m_fiveZone > 0 && m_withoutRows > 0 && m_withoutModel > 0);
        for (const char* table : {"FONES", "OPCOES", "REPORT", "TEMPOS", "USUARIOS", "ZONAS"})
            QVERIFY(m_db.dm.IBDB.Exec(QStringLiteral("delete from %1 where ID_PAINEL = ?").arg(table),
                                      {m_withoutRows}));
        QVERIFY(
            m_db.dm.IBDB.Exec("update CLIENTES set PRODUTO = ? where ID_CLIENTE = ?", {"0", m_withoutModel}));
        QVERIFY(m_db.dm.CommitRetaining());
        // The embedded engine keeps the file to one process at a time.
        m_db.dm.Disconnect();
        // The print-header logo of a new installation, in place.
        QVERIFY(QDir(m_home.path()).mkpath("Templates"));
        QFile logo(m_home.filePath("Templates/LogoImpressao.jpg"));
        QVERIFY(logo.open(QIODevice::WriteOnly));
        logo.write(QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+"
                                          "M9QDwADhgGAWjR9awAAAABJRU5ErkJggg=="));
    }

    void sixPages_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("10-zone") << "tenZone" << QStringList{"Farmácia Boa Vida", "ORVAN 10", "Usuário 48"};
        QTest::newRow("5-zone") << "fiveZone" << QStringList{"Oficina do Zé", "ORVAN 5", "Usuário 15"};
        QTest::newRow("no programming rows")
            << "withoutRows" << QStringList{"Sem Programação", "ORVAN 10 MAX"};
    }
    void sixPages() {
        QFETCH(QString, which);
        QFETCH(QStringList, texts);
        const int customer = which == "tenZone"    ? m_tenZone
                             : which == "fiveZone" ? m_fiveZone
                                                   : m_withoutRows;
        const QString pdf = m_home.filePath(which + ".pdf");
        const Run run = cli({"report", "programming", "--customer", QString::number(customer), "--pdf", pdf});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(!run.err.contains("não pôde ser encontrado"), qPrintable(run.err));
        QString text;
        QCOMPARE(PdfPageCount(pdf, &text), 6);
        for (const QString& expected : texts)
            QVERIFY2(text.contains(expected), qPrintable(expected));
    }

    // "Formato RichText": a word processor reads the six pages with the report's texts, its
    // tables (the users, the zones) and the company header; together with the PDF in one run.
    void richTextOpensInAWordProcessor() {
        if (!RtfConverterAvailable())
            QSKIP(kNoRtfConverter);
        const QString rtf = m_home.filePath("programacao.rtf");
        const QString pdf = m_home.filePath("programacao.pdf");
        const Run run = cli(
            {"report", "programming", "--customer", QString::number(m_tenZone), "--rtf", rtf, "--pdf", pdf});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains(QStringLiteral("programacao.rtf (6 páginas)")), qPrintable(run.out));
        QVERIFY(QFileInfo::exists(pdf));
        const QString text = RtfConverted(rtf);
        QVERIFY2(!text.isEmpty(), "pandoc could not read the file");
        QString pdfText;
        QCOMPARE(PdfPageCount(pdf, &pdfText), 6);
        for (const QString& expected :
             {QStringLiteral("Farmácia Boa Vida"), QStringLiteral("ORVAN 10"), QStringLiteral("Usuário 48"),
              QStringLiteral("Nº do cliente: %1").arg(m_tenZone), QStringLiteral("6/6")}) {
            QVERIFY2(text.contains(expected), qPrintable(expected + "\n" + text.left(2000)));
        }
        // Every line of the PDF's first page that is text of the report is in the RTF too.
        const QString firstPage = pdfText.section(QLatin1Char('\f'), 0, 0);
        int compared = 0;
        for (const QString& line : firstPage.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString words = line.simplified();
            if (words.size() < 6 || words.contains(QLatin1Char(':')) || words.contains(QLatin1Char('/')))
                continue; // date, time and page number differ; captions with values are laid out apart
            QVERIFY2(text.simplified().contains(words), qPrintable(words));
            ++compared;
        }
        QVERIFY(compared > 3);
        const QString html = RtfConverted(rtf, QStringLiteral("html"));
        QVERIFY2(html.count(QStringLiteral("<table")) >= 6, qPrintable(html.left(2000)));
    }

    void missingLogoIsTold() {
        const QString logo = m_home.filePath("Templates/LogoImpressao.jpg");
        const QString kept = logo + ".guardado";
        QVERIFY(QFile::rename(logo, kept));
        const QString pdf = m_home.filePath("sem-logo.pdf");
        const Run run =
            cli({"report", "programming", "--customer", QString::number(m_tenZone), "--pdf", pdf});
        QVERIFY(QFile::rename(kept, logo));
        QCOMPARE(run.code, 0);
        QVERIFY2(
            run.err.contains(
                QStringLiteral("O arquivo %1 não pôde ser encontrado.").arg(QDir::toNativeSeparators(logo))),
            qPrintable(run.err));
        QString text;
        QCOMPARE(PdfPageCount(pdf, &text), 6);
    }

    void failures_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("no model") << "withoutModel"
                                  << "x.pdf" << 1 << "não tem o modelo do painel definido";
        QTest::newRow("unknown customer") << "unknown"
                                          << "x.pdf" << 1 << "não encontrado";
        QTest::newRow("unwritable path") << "tenZone"
                                         << "nao/existe/x.pdf" << 1 << "Não foi possível gravar o arquivo";
        QTest::newRow("a full disk") << "tenZone"
                                     << "/dev/full" << 1 << "/dev/full: No space left on device";
        QTest::newRow("a folder") << "tenZone"
                                  << "." << 1 << "Não foi possível gravar o arquivo";
        QTest::newRow("no file given") << "tenZone"
                                       << "" << 2 << "--pdf";
    }
    void failures() {
        QFETCH(QString, which);
        QFETCH(QString, pdf);
        QFETCH(int, code);
        QFETCH(QString, message);
        const int customer = which == "withoutModel" ? m_withoutModel
                             : which == "unknown"    ? 99999
                                                     : m_tenZone;
        QStringList command{"report", "programming", "--customer", QString::number(customer)};
        if (!pdf.isEmpty())
            command << "--pdf" << (pdf.startsWith('/') ? pdf : m_home.filePath(pdf));
        const Run run = cli(command);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        if (!pdf.isEmpty() && pdf != "." && !pdf.startsWith("/dev/"))
            QVERIFY(!QFileInfo::exists(m_home.filePath(pdf)));
    }
};

QTEST_GUILESS_MAIN(TestCliReport)
#include "tst_cli_report.moc"
