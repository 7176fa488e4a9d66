// The events report written as PDF and read back with poppler's tools: one page for an empty or a
// full page's list, a page more for every further page's worth of rows, the header and columns of
// each family, and the rows in the order given.
#include "printing/document_printer.h"
#include "report/event_report.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& path) {
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(Run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QList<EventListRow> Rows(int count) {
    QList<EventListRow> rows;
    for (int n = 1; n <= count; ++n) {
        EventListRow row;
        row.id = n;
        row.number = n;
        row.data = QDate(2026, 3, 1).addDays(n % 28);
        row.hora = QTime(n % 24, n % 60);
        row.particao = n % 2 ? QStringLiteral("A") : QStringLiteral("B");
        row.evento = QStringLiteral("DISPARO DA ZONA ");
        row.zona = QString::number(n % 10 + 1);
        rows << row;
    }
    return rows;
}

} // namespace

class TestEventReport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        QVERIFY(EventReportDocument::RowsPerPage() > 10);
    }

    void pagesFollowTheRows_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        const int page = EventReportDocument::RowsPerPage();
        QTest::newRow("no event") << 0 << 1;
        QTest::newRow("one event") << 1 << 1;
        QTest::newRow("a full page") << page << 1;
        QTest::newRow("one more") << page + 1 << 2;
        QTest::newRow("two pages and one") << 2 * page + 1 << 3;
    }
    void pagesFollowTheRows() {
        QFETCH(int, rows);
        QFETCH(int, pages);
        const EventReportDocument document(12, QStringLiteral("Padaria Central"), 1, Rows(rows));
        QCOMPARE(document.PageCount(), pages);
        const QString pdf = m_dir.filePath(QStringLiteral("eventos-%1.pdf").arg(rows));
        DocumentPrinter printer(PrintHeader{});
        QString error;
        QVERIFY2(printer.WritePdf(document, pdf, &error), qPrintable(error));
        QCOMPARE(PdfPages(pdf), pages);
    }

    void pagesCarryHeaderColumnsAndRows_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<bool>("partition");
        QTest::newRow("10-zone family") << 3 << true;
        QTest::newRow("5-zone model") << 2 << false;
    }
    void pagesCarryHeaderColumnsAndRows() {
        QFETCH(int, productCode);
        QFETCH(bool, partition);
        const int page = EventReportDocument::RowsPerPage();
        QList<EventListRow> rows = Rows(page + 2);
        std::reverse(rows.begin(), rows.end());
        const EventReportDocument document(12, QStringLiteral("Padaria Central"), productCode, rows);
        const QString pdf = m_dir.filePath(QStringLiteral("eventos-p%1.pdf").arg(productCode));
        DocumentPrinter printer(PrintHeader{});
        QVERIFY(printer.WritePdf(document, pdf));
        const QString text =
            Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        for (const QString& p : pages) {
            QVERIFY(p.contains(QStringLiteral("BUFFER DE EVENTOS")));
            QVERIFY(p.contains(QStringLiteral("Nº do cliente: 12")));
            QVERIFY(p.contains(QStringLiteral("Nome do cliente: Padaria Central")));
            QVERIFY(p.contains(QStringLiteral("Nº Evento")));
            QCOMPARE(p.contains(QStringLiteral("Partição")), partition);
        }
        // Rows in the order given: the highest number first, the last two on the second page.
        const QRegularExpression line(QStringLiteral("^\\s*(\\d+)\\s+\\d\\d/\\d\\d\\s+\\d\\d:\\d\\d"),
                                      QRegularExpression::MultilineOption);
        QList<int> second;
        for (auto it = line.globalMatch(pages.at(1)); it.hasNext();)
            second << it.next().captured(1).toInt();
        QCOMPARE(second, (QList<int>{2, 1}));
        QVERIFY(pages.at(0).contains(QRegularExpression(QStringLiteral("^\\s*%1\\s+").arg(page + 2),
                                                        QRegularExpression::MultilineOption)));
    }
};

QTEST_MAIN(TestEventReport)
#include "tst_event_report.moc"
