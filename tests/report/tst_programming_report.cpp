// The programming report of stored customers in a fresh embedded database: the six pages of each
// family, the rules that turn stored values into printed text, the rows that depend on model and
// version, hidden codes, customers without programming rows or model, and the PDF file (its text
// read back with pdftotext) with a missing logo and a path that cannot be written.
#include "printing/document_printer.h"
#include "report/programming_report_job.h"
#include "report/report_document.h"
#include "store/customer_rows.h"
#include "support/connected_data_module.h"
#include "support/stored_customer.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

enum Page { Cliente, Zonas, Usuarios, Tempos, Opcoes, Reporte };

// The value printed beside `caption` on a page (a caption-value field or a two-cell row); a null
// string when the page does not print that caption.
QString Printed(const ReportPage& page, const QString& caption) {
    for (const ReportLine& line : page.lines) {
        if ((line.kind == ReportLine::Kind::Field || line.kind == ReportLine::Kind::Row) &&
            line.cells.value(0) == caption)
            return line.cells.value(1, QStringLiteral(""));
    }
    return QString();
}

// The marks that print bold and black on a row.
QStringList MarksOn(const ReportLine* row) {
    QStringList on;
    if (row) {
        for (const ReportMark& mark : row->marks) {
            if (mark.on)
                on << mark.text;
        }
    }
    return on;
}

// The PDF's text, one entry per page (pdftotext ends each page with a form feed).
QStringList PdfPages(const QString& path) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace

class TestProgrammingReport : public QObject {
    Q_OBJECT

    ConnectedDataModule m_db;
    QTemporaryDir m_dir;

    // A customer of a model saved as the record screen saves a new one (factory programming).
    int AddCustomer(int productCode, const QString& version, const QString& name) {
        return AddStoredCustomer(m_db.dm, productCode, version, "1234", "5678", name);
    }

    // Stores a value into a column of one of the customer's rows (CLIENTES and PAINEL by the
    // customer, the programming tables by its panel).
    bool Store(int customer, const QString& table, const QString& column, const QVariant& value) {
        const QString key = table == QLatin1String("CLIENTES") || table == QLatin1String("PAINEL")
                                ? QStringLiteral("ID_CLIENTE")
                                : QStringLiteral("ID_PAINEL");
        const QVariant id =
            table == QLatin1String("CLIENTES") || table == QLatin1String("PAINEL")
                ? QVariant(customer)
                : m_db.dm.IBDB.SelectValue(
                      QStringLiteral("select ID_PAINEL from PAINEL where ID_CLIENTE = ?"), {customer});
        int rows = 0;
        const bool ok =
            m_db.dm.IBDB.Exec(QStringLiteral("update %1 set %2 = ? where %3 = ?").arg(table, column, key),
                              {value, id}, &rows) &&
            m_db.dm.CommitRetaining();
        if (!ok || rows != 1)
            qWarning("%s", qPrintable(m_db.dm.IBDB.LastError()));
        return ok && rows == 1;
    }

    ProgrammingReportJob Read(int customer, const ReportPermissions& permissions = ReportPermissions()) {
        return ProgrammingReportJob::Read(m_db.dm.IBDB, customer, permissions);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        QVERIFY(m_dir.isValid());
    }

    void pagesOfEachFamily_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("users");
        QTest::addColumn<QString>("lastZone");
        QTest::newRow("Orvan 10") << 1 << "1.4"
                                  << "ORVAN 10" << 48 << "Zona 10";
        QTest::newRow("Orvan 10 Max") << 3 << "1.3"
                                      << "ORVAN 10 MAX" << 48 << "Zona 10";
        QTest::newRow("Orvan 10 Eco") << 3 << "1.2"
                                      << "ORVAN 10 ECO" << 48 << "Zona 10";
        QTest::newRow("Orvan 9 Max") << 4 << "1.0"
                                     << "ORVAN 9 MAX" << 48 << "Zona 10";
        QTest::newRow("Orvan 5") << 2 << "1.4"
                                 << "ORVAN 5" << 15 << "Zona 5";
    }
    void pagesOfEachFamily() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        QFETCH(QString, model);
        QFETCH(int, users);
        QFETCH(QString, lastZone);
        const int id = AddCustomer(productCode, version, QStringLiteral("Padaria São João"));
        QVERIFY(id > 0);
        const ProgrammingReportJob job = Read(id);
        QCOMPARE(job.outcome, ProgrammingReportJob::Outcome::Ready);
        const QList<ReportPage>& pages = job.report.pages;
        QCOMPARE(pages.size(), 6);
        QStringList titles;
        for (const ReportPage& page : pages)
            titles << page.title;
        QCOMPARE(titles, (QStringList{"DADOS DO CLIENTE", "PROGRAMAÇÃO DAS ZONAS", "PROGRAMAÇÃO DOS USUÁRIOS",
                                      "PROGRAMAÇÃO DOS TEMPOS, HORÁRIOS, COMUNICAÇÃO E PGM",
                                      "PROGRAMAÇÃO DAS OPÇÕES", "PROGRAMAÇÃO DE REPORT (4X2)"}));
        QCOMPARE(Printed(pages[Cliente], "Nº do cliente:"), QString::number(id));
        QCOMPARE(Printed(pages[Cliente], "Nome do cliente:"), "Padaria São João");
        QCOMPARE(Printed(pages[Cliente], "Painel:"), model);
        QCOMPARE(Printed(pages[Cliente], "Versão do painel:"), version);
        QCOMPARE(Printed(pages[Cliente], "Código do Painel:"), "1234");
        QCOMPARE(Printed(pages[Cliente], "Código do PC:"), "5678");
        QVERIFY(pages[Zonas].RowStartingWith(lastZone));
        QVERIFY(!pages[Zonas].RowStartingWith(QStringLiteral("Zona 11")));
        QVERIFY(pages[Usuarios].RowStartingWith(QStringLiteral("Usuário %1").arg(users)));
        QVERIFY(!pages[Usuarios].RowStartingWith(QStringLiteral("Usuário %1").arg(users + 1)));
        // The factory programming: entry and exit 60 s, master code 2581, format "88 - Contact ID".
        QCOMPARE(Printed(pages[Tempos], "Tempo de entrada:"), "60 seg.");
        QCOMPARE(Printed(pages[Tempos], "Protocolo de comunicação:"), "88 - Contact ID");
        QCOMPARE(pages[Usuarios].RowStartingWith(QStringLiteral("MESTRE:"))->cells.value(2), "2581");
    }

    // One stored value and the text the report prints for it.
    void storedValues_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("printed");
        auto row = [](const char* name, int product, const char* version, const char* table,
                      const char* column, const QVariant& value, int page, const QString& caption,
                      const QString& printed) {
            QTest::newRow(name) << product << QString::fromLatin1(version) << QString::fromLatin1(table)
                                << QString::fromLatin1(column) << value << page << caption << printed;
        };
        const QString interval = QStringLiteral("Intervalo de auto-teste:");
        row("hours, 1.0 number", 1, "1.0", "TEMPOS", "INTERVALO_AUTO_TESTE", 24, Tempos, interval,
            "24 horas");
        row("hours, 1.4 text", 1, "1.4", "TEMPOS", "INTERVALO_AUTO_TESTE", 24, Tempos, interval,
            "Intervalo de 24 horas de autoteste");
        row("minutes", 1, "1.4", "TEMPOS", "INTERVALO_AUTO_TESTE", 205, Tempos, interval,
            "Intervalo de 5 minutos de autoteste");
        row("one minute", 1, "1.4", "TEMPOS", "INTERVALO_AUTO_TESTE", 201, Tempos, interval,
            "Intervalo de 1 minuto de autoteste");
        row("auto-test off", 2, "1.3", "TEMPOS", "INTERVALO_AUTO_TESTE", 0, Tempos, interval,
            "Autoteste desabilitado");
        row("5-zone 1.1 number", 2, "1.1", "TEMPOS", "INTERVALO_AUTO_TESTE", 7, Tempos, interval, "7 horas");
        row("clock loses", 1, "1.4", "OPCOES", "AJUSTERELOGIO", 35, Opcoes,
            "Ajuste de relógio:", "35 - Relógio atrasa 5 seg. por dia");
        row("clock gains", 2, "1.4", "OPCOES", "AJUSTERELOGIO", 12, Opcoes,
            "Ajuste de relógio:", "12 - Relógio adianta 12 seg. por dia");
        row("clock kept", 1, "1.4", "OPCOES", "AJUSTERELOGIO", 30, Opcoes,
            "Ajuste de relógio:", "30 - Sem ajuste");
        row("rings", 1, "1.4", "FONES", "NUM_RINGS", 5, Tempos, "Número de rings:", "6");
        row("full format list", 1, "1.4", "FONES", "FORMATO_COMUNIC", 1, Tempos,
            "Protocolo de comunicação:", "11 - 10 pps, 2300 Hz, 1800 Hz - Sem Paridade");
        row("short format list", 3, "1.3", "FONES", "FORMATO_COMUNIC", 0, Tempos,
            "Protocolo de comunicação:", "80 - DTMF 4x2 Express");
        row("PGM mode", 1, "1.4", "OPCOES", "PGM2", 1, Tempos, "PGM 2:", "11 - Ativa junto com a sirene");
        row("PGM in minutes", 1, "1.4", "OPCOES", "PROGBIT_3", 8, Tempos, "Tempo de PGM:", "3 min.");
        row("report mode", 1, "1.4", "OPCOES", "PROGBIT_1", 2, Opcoes, "Reporte:", "[DUPLO]");
        row("pulse dialling", 1, "1.4", "OPCOES", "PROGBIT_1", 0, Opcoes, "Discagem por:", "[PULSO]");
        row("5-zone keypad lock", 2, "1.4", "OPCOES", "PROGBIT_2", 2, Opcoes,
            "Habilita trava de teclado:", "[SIM]");
        row("5-zone chime", 2, "1.4", "OPCOES", "PROGBIT_4", 16, Opcoes,
            "Habilita função chime da zona de teclado:", "[SIM]");
        row("5-zone chime off", 2, "1.4", "OPCOES", "PROGBIT_4", 0, Opcoes,
            "Habilita função chime da zona de teclado:", "[NÃO]");
        row("restore after siren", 2, "1.4", "OPCOES", "PROGBIT_6", 16, Opcoes,
            "Restaura zona após:", "[TERMINAR SIRENE]");
        row("duress digit empty", 1, "1.4", "OPCOES", "DIGITOCOACAO", QString(), Opcoes,
            "Dígito de coação:", "-");
        row("report digit empty", 1, "1.4", "REPORT", "DIG_ARME", QString(), Reporte, "Arme:", "-");
        row("report code", 2, "1.4", "REPORT", "COD_PROB_AC", "3A", Reporte, "AC:", "3A");
        row("state", 1, "1.4", "PAINEL", "P_ESTADO", 25, Cliente, "Estado:", "São Paulo");
        row("unknown state", 1, "1.4", "PAINEL", "P_ESTADO", 99, Cliente, "Estado:", "99");
        row("no movement off", 3, "1.3", "TEMPOS", "NAO_MOVIMENTO", 0, Tempos,
            "Arme por \"Não Movimento\":", "0");
        row("no movement on", 3, "1.2", "TEMPOS", "NAO_MOVIMENTO", 15, Tempos,
            "Arme por \"Não Movimento\":", "15 min.");
        row("auto-arm time", 1, "1.4", "TEMPOS", "HORA_AUTO_ARME", QTime(18, 5), Tempos,
            "Horário  de auto-arme:", "18:05");
        row("5-zone empty name", 2, "1.4", "ZONAS", "ZONA2", QString(), Zonas, "Zona 2", "-");
        row("10-zone empty name", 1, "1.4", "ZONAS", "ZONA2", QString(), Zonas, "Zona 2", "");
    }
    void storedValues() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(int, page);
        QFETCH(QString, caption);
        QFETCH(QString, printed);
        const int id = AddCustomer(productCode, version, QStringLiteral("Cliente"));
        QVERIFY(id > 0);
        QVERIFY(Store(id, table, column, value));
        const ProgrammingReportJob job = Read(id);
        QCOMPARE(job.outcome, ProgrammingReportJob::Outcome::Ready);
        QCOMPARE(Printed(job.report.pages[page], caption), printed);
    }

    void noMovementDisabledText() {
        const int id = AddCustomer(3, QStringLiteral("1.3"), QStringLiteral("Cliente"));
        QVERIFY(Store(id, "TEMPOS", "NAO_MOVIMENTO", 0));
        QVERIFY(Read(id).report.pages[Tempos].Texts().contains("Arme por \"Não Movimento\" desabilitado"));
        QVERIFY(Store(id, "TEMPOS", "NAO_MOVIMENTO", 9));
        QVERIFY(!Read(id).report.pages[Tempos].Texts().contains("Arme por \"Não Movimento\" desabilitado"));
    }

    // The arm/disarm and maintenance rows share one bit; which of them prints, and how it reads,
    // depends on model and version. Where the fire panic row (bit 2) takes the maintenance caption
    // it is listed too, in its place above the maintenance row.
    void sharedArmDisarmBit_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("armDisarm"); // "absent": not printed
        QTest::addColumn<QStringList>("maintenance");
        QTest::newRow("Orvan 10 1.0") << 1 << "1.0"
                                      << "PROGBIT_4" << 8 << "absent" << QStringList{"[SIM]"};
        QTest::newRow("Orvan 10 1.2 set") << 1 << "1.2"
                                          << "PROGBIT_4" << 12 << "[NÃO]" << QStringList{"[SIM]"};
        QTest::newRow("Orvan 10 1.2 clear") << 1 << "1.2"
                                            << "PROGBIT_4" << 0 << "[SIM]" << QStringList{"[NÃO]"};
        QTest::newRow("Orvan 10 1.5") << 1 << "1.5"
                                      << "PROGBIT_4" << 8 << "[SIM]" << QStringList{"[SIM]"};
        QTest::newRow("Orvan 10 Max") << 3 << "1.3"
                                      << "PROGBIT_4" << 8 << "absent" << QStringList{"[NÃO]"};
        QTest::newRow("Orvan 5 1.0") << 2 << "1.0"
                                     << "PROGBIT_6" << 8 << "absent" << QStringList{"[SIM]"};
        QTest::newRow("Orvan 5 1.3") << 2 << "1.3"
                                     << "PROGBIT_6" << 8 << "[NÃO]" << QStringList();
        QTest::newRow("Orvan 5 1.6") << 2 << "1.6"
                                     << "PROGBIT_6" << 0 << "[NÃO]" << QStringList{"[NÃO]"};
    }
    void sharedArmDisarmBit() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        QFETCH(QString, column);
        QFETCH(int, value);
        QFETCH(QString, armDisarm);
        QFETCH(QStringList, maintenance);
        const int id = AddCustomer(productCode, version, QStringLiteral("Cliente"));
        QVERIFY(Store(id, "OPCOES", column, value));
        const ReportPage options = Read(id).report.pages[Opcoes];
        const QString arm = Printed(options, "Enviar arme/desarme para o monitoramento:");
        QCOMPARE(arm.isNull() ? QStringLiteral("absent") : arm, armDisarm);
        QStringList printed;
        for (const ReportLine& line : options.lines) {
            if (line.cells.value(0) == QStringLiteral("Habilita pedido de manutenção (* + #):"))
                printed << line.cells.value(1);
        }
        QCOMPARE(printed, maintenance);
    }

    void rowsOfTheModel_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("Orvan 10 1.3")
            << 1 << "1.3"
            << QStringList{"Zona 8 para controle remoto:", "Habilita acesso via telefone:",
                           "Habilita emergência médica (4+6) e incêndio (7+9):",
                           "Bipe no teclado ao contar tempo de entrada e saída:", "Controle via telefone"}
            << QStringList{"Disparar sirene no problema de linha telefônica:", "Arme por \"Não Movimento\":",
                           "Habilita emergência médica (4 + 6):"};
        QTest::newRow("Orvan 10 Max")
            << 3 << "1.3"
            << QStringList{"Disparar sirene no problema de linha telefônica:",
                           "Detectar tom de linha antes de discar", "Arme por \"Não Movimento\":"}
            << QStringList{
                   "Zona 8 para controle remoto:", "Habilita acesso via telefone:", "Controle via telefone"};
        QTest::newRow("Orvan 5 1.0")
            << 2 << "1.0"
            << QStringList{"Zona 4 para controle remoto:", "Aguardar tom de linha antes de discar:",
                           "Conta do painel:", "Habilita emergência médica (4 + 6):"}
            << QStringList{"Conta da partição B:", "Habilita particionamento:", "Linha telefônica:"};
        QTest::newRow("Orvan 5 1.4") << 2 << "1.4"
                                     << QStringList{"Habilita emergência médica (4 + 6) e incêndio (7 + 9)",
                                                    "Bipe no teclado ao contar tempo de entrada e saída:"}
                                     << QStringList{"Habilita emergência médica (4 + 6):"};
    }
    void rowsOfTheModel() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        QFETCH(QStringList, printed);
        QFETCH(QStringList, absent);
        const int id = AddCustomer(productCode, version, QStringLiteral("Cliente"));
        QStringList texts;
        for (const ReportPage& page : Read(id).report.pages)
            texts += page.Texts();
        for (const QString& text : printed)
            QVERIFY2(texts.contains(text), qPrintable(text));
        for (const QString& text : absent)
            QVERIFY2(!texts.contains(text), qPrintable(text));
    }

    void zoneMarks() {
        const int id = AddCustomer(1, QStringLiteral("1.4"), QStringLiteral("Cliente"));
        QVERIFY(Store(id, "ZONAS", "ZONA24H", 4));         // zone 3 is a 24-hour zone
        QVERIFY(Store(id, "ZONAS", "ZONAPARTICAOA", 0));   // no zone in partition A
        QVERIFY(Store(id, "ZONAS", "ATRIB_ZONA10", 0x81)); // keypad zone 10: partition A, chime
        QVERIFY(Store(id, "OPCOES", "PROGBIT_1", 8));      // partitioned
        const ReportPage zones = Read(id).report.pages[Zonas];
        QCOMPARE(MarksOn(zones.RowStartingWith("Zona 3")), QStringList{"[2]"});
        QCOMPARE(MarksOn(zones.RowStartingWith("Zona 2")), QStringList());
        QCOMPARE(MarksOn(zones.RowStartingWith("Zona 10")), (QStringList{"[1]", "[8]"}));
        QVERIFY(zones.Texts().contains("Zona partição B"));
        QVERIFY(!zones.Texts().contains("Zona Stay"));
    }

    void userMarks() {
        const int id = AddCustomer(1, QStringLiteral("1.4"), QStringLiteral("Cliente"));
        QVERIFY(Store(id, "USUARIOS", "ATRIB_USUARIO03", 17)); // partition A and disarm
        const ReportPage users = Read(id).report.pages[Usuarios];
        QCOMPARE(MarksOn(users.RowStartingWith("Usuário 03")), (QStringList{"[1]", "[5]"}));
        QVERIFY(users.RowStartingWith("MESTRE:")->marks.isEmpty());
        // The 5-zone master and installer show every attribute.
        const int five = AddCustomer(2, QStringLiteral("1.4"), QStringLiteral("Cliente"));
        QCOMPARE(MarksOn(Read(five).report.pages[Usuarios].RowStartingWith("Instalador:")).size(), 5);
        // Without "Controle via telefone" the users of codes 3 and 4 have seven attributes, the
        // last two read from bits 6 and 7.
        const int max = AddCustomer(3, QStringLiteral("1.3"), QStringLiteral("Cliente"));
        QVERIFY(Store(max, "USUARIOS", "ATRIB_USUARIO01", 0xE0));
        const ReportPage maxUsers = Read(max).report.pages[Usuarios];
        const ReportLine* user = maxUsers.RowStartingWith("Usuário 01");
        QCOMPARE(user->marks.size(), 7);
        QCOMPARE(MarksOn(user), (QStringList{"[6]", "[7]"}));
    }

    void hiddenCodes_data() {
        QTest::addColumn<int>("permission");
        QTest::addColumn<QStringList>("hidden"); // "page|caption|cell"
        QTest::newRow("user codes") << 36 << QStringList{"2|MESTRE:|2", "2|Instalador:|2", "2|Usuário 01|2"};
        QTest::newRow("panel code") << 20 << QStringList{"0|Código do Painel:|1"};
        QTest::newRow("PC code") << 21 << QStringList{"0|Código do PC:|1"};
    }
    void hiddenCodes() {
        QFETCH(int, permission);
        QFETCH(QStringList, hidden);
        const int id = AddCustomer(1, QStringLiteral("1.4"), QStringLiteral("Cliente"));
        QVERIFY(Store(id, "USUARIOS", "SENHA_USUARIO01", "4321"));
        m_db.SetPermission(permission, false);
        const ProgrammingReportJob job = Read(id, ReportPermissions::Of(m_db.dm.Operator));
        m_db.SetPermission(permission, true);
        for (const QString& place : hidden) {
            const QStringList p = place.split('|');
            for (const ReportLine& line : job.report.pages[p[0].toInt()].lines) {
                if (line.cells.value(0) == p[1])
                    QCOMPARE(line.cells.value(p[2].toInt()), "****");
            }
        }
        // What stays visible still prints.
        const QString codeShown = Printed(job.report.pages[Cliente], "Código do Painel:");
        QCOMPARE(codeShown, permission == 20 ? "****" : "1234");
    }

    void customerWithoutProgrammingRows() {
        const int id = AddCustomer(2, QStringLiteral("1.4"), QStringLiteral("Sem programação"));
        const QVariant panel = m_db.dm.IBDB.SelectValue(
            QStringLiteral("select ID_PAINEL from PAINEL where ID_CLIENTE = ?"), {id});
        for (const char* table : {"FONES", "OPCOES", "REPORT", "TEMPOS", "USUARIOS", "ZONAS"})
            QVERIFY(
                m_db.dm.IBDB.Exec(QStringLiteral("delete from %1 where ID_PAINEL = ?").arg(table), {panel}));
        QVERIFY(m_db.dm.CommitRetaining());
        const ProgrammingReportJob job = Read(id);
        QCOMPARE(job.outcome, ProgrammingReportJob::Outcome::Ready);
        QCOMPARE(job.report.pages.size(), 6);
        QCOMPARE(Printed(job.report.pages[Cliente], "Nome do cliente:"), "Sem programação");
        QCOMPARE(Printed(job.report.pages[Tempos], "Protocolo de comunicação:"), "");
        QCOMPARE(Printed(job.report.pages[Tempos], "Conta do painel:"), "-");
        QCOMPARE(Printed(job.report.pages[Reporte], "Arme:"), "-");
        QCOMPARE(Printed(job.report.pages[Opcoes], "Reporte:"), "[DESABILITADO]");
        QCOMPARE(MarksOn(job.report.pages[Zonas].RowStartingWith("Zona 1")), QStringList());
        // And it prints.
        DocumentPrinter printer(PrintHeader{});
        const QString pdf = m_dir.filePath(QStringLiteral("sem-programacao.pdf"));
        QVERIFY(printer.WritePdf(ProgrammingReportDocument(job.report), pdf));
    }

    void nothingToPrint() {
        const int id = AddCustomer(1, QStringLiteral("1.4"), QStringLiteral("Sem modelo"));
        QVERIFY(Store(id, "CLIENTES", "PRODUTO", "0"));
        ProgrammingReportJob job = Read(id);
        QCOMPARE(job.outcome, ProgrammingReportJob::Outcome::NoModel);
        QVERIFY(job.report.pages.isEmpty());
        QCOMPARE(job.error, NoModelMessage(id));
        job = Read(id + 1000);
        QCOMPARE(job.outcome, ProgrammingReportJob::Outcome::NoCustomer);
        QCOMPARE(job.error, CustomerNotFoundMessage(id + 1000));
    }

    void pdfOfEachFamily_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("lastUser");
        QTest::newRow("Orvan 10 Max") << 3 << "1.3"
                                      << "ORVAN 10 MAX"
                                      << "Usuário 48";
        QTest::newRow("Orvan 5") << 2 << "1.5"
                                 << "ORVAN 5"
                                 << "Usuário 15";
    }
    void pdfOfEachFamily() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        QFETCH(QString, model);
        QFETCH(QString, lastUser);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const int id = AddCustomer(productCode, version, QStringLiteral("Ótica Cristal"));
        QVERIFY(Store(id, "FONES", "CENTRAL_MONIT_1", "1133445566"));
        const ProgrammingReportJob job = Read(id);
        PrintHeader header{QStringLiteral("Alarmes Vigia Ltda."), QStringLiteral("fsBold"),
                           QStringLiteral("Curitiba - PR"), QString(), QString()};
        DocumentPrinter printer(header, QDateTime(QDate(2024, 3, 5), QTime(14, 7)));
        const QString pdf = m_dir.filePath(QStringLiteral("familia-%1.pdf").arg(productCode));
        QString error;
        QVERIFY2(printer.WritePdf(ProgrammingReportDocument(job.report), pdf, &error), qPrintable(error));
        QVERIFY(printer.Warnings().isEmpty());
        const QStringList pages = PdfPages(pdf);
        QCOMPARE(pages.size(), 6);
        for (int i = 0; i < 6; ++i) {
            QVERIFY(pages[i].contains("Alarmes Vigia Ltda."));
            QVERIFY(pages[i].contains("Data: 05/03/2024"));
            QVERIFY(pages[i].contains(QStringLiteral("%1/6").arg(i + 1)));
            QCOMPARE(pages[i].contains(QStringLiteral("Nº do cliente: %1").arg(id)), i > 0);
        }
        QVERIFY(pages[Cliente].contains("Ótica Cristal"));
        QVERIFY(pages[Cliente].contains(model));
        QVERIFY(pages[Usuarios].contains(lastUser));
        QVERIFY(pages[Tempos].contains("1133445566"));
        QVERIFY(pages[Reporte].contains("PROGRAMAÇÃO DE REPORT (4X2)"));
    }

    void logo_data() {
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << false;
        QTest::newRow("present") << true;
    }
    void logo() {
        QFETCH(bool, present);
        const QString logo =
            m_dir.filePath(present ? QStringLiteral("logo.jpg") : QStringLiteral("nao-existe.jpg"));
        if (present) {
            QImage image(40, 20, QImage::Format_RGB32);
            image.fill(Qt::blue);
            QVERIFY(image.save(logo));
        }
        const int id = AddCustomer(1, QStringLiteral("1.4"), QStringLiteral("Cliente"));
        DocumentPrinter printer(
            PrintHeader{QStringLiteral("Empresa"), QString(), QString(), QString(), logo});
        const QString pdf = m_dir.filePath(QStringLiteral("logo.pdf"));
        QVERIFY(printer.WritePdf(ProgrammingReportDocument(Read(id).report), pdf));
        QCOMPARE(printer.Warnings(), present ? QStringList() : QStringList{LogoMissingMessage(logo)});
        QCOMPARE(LogoMissingMessage(logo),
                 QStringLiteral("O arquivo ") + logo +
                     " não pôde ser encontrado.\rEm opções gerais é possível alterar a "
                     "imagem do logotipo.");
        if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QCOMPARE(PdfPages(pdf).size(), 6);
    }

    void unwritablePdf_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing folder") << m_dir.filePath(QStringLiteral("nao/existe/relatorio.pdf"));
        QTest::newRow("a folder") << m_dir.path();
        QTest::newRow("empty") << QString();
    }
    void unwritablePdf() {
        QFETCH(QString, path);
        const int id = AddCustomer(2, QStringLiteral("1.4"), QStringLiteral("Cliente"));
        DocumentPrinter printer(PrintHeader{});
        QString error;
        QVERIFY(!printer.WritePdf(ProgrammingReportDocument(Read(id).report), path, &error));
        QVERIFY2(error.startsWith(QStringLiteral("Não foi possível gravar o arquivo ")), qPrintable(error));
        QVERIFY(!QFileInfo(path).isFile());
    }
};

QTEST_MAIN(TestProgrammingReport)
#include "tst_programming_report.moc"
