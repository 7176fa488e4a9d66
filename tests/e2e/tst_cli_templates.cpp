// telvora-cli's template commands end to end: a customer's stored programming exported as a
// template file and a template imported as another customer's programming, on an embedded
// database, without any panel.
#include "support/cli_run.h"
#include "support/connected_data_module.h"
#include "support/stored_customer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Image bytes 112..115 hold the panel and PC codes: they stay the customer's own.
constexpr int kCodesFirst = 112;
constexpr int kCodesEnd = 116;

QByteArray WithoutCodes(QByteArray image) {
    if (image.size() >= kCodesEnd)
        image.replace(kCodesFirst, kCodesEnd - kCodesFirst, QByteArray(kCodesEnd - kCodesFirst, '\0'));
    return image;
}

QByteArray LineForm(const QByteArray& image) {
    QByteArray lines;
    for (int i = 0; i < image.size(); i += 16)
        lines += image.mid(i, 16) + "\r\n";
    return lines;
}

} // namespace

class TestCliTemplates : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    ConnectedDataModule m_db;
    int m_fiveZone = 0;

    CliRun cli(const QStringList& command) {
        return RunCli(m_home.path(), QStringList{"--db", m_db.database.Path()} + command);
    }
    QString file(const QString& name) const { return m_home.filePath(name); }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static bool write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    int addCustomer(int product, const QString& panelCode, const QString& pcCode) {
        if (!m_db.dm.Connected() && !m_db.dm.Connect(m_db.database.Path()))
            return 0;
        return AddStoredCustomer(m_db.dm, product, "1.0", panelCode, pcCode, "Cliente " + panelCode);
    }

    QByteArray exported(int customer, const QString& name) {
        const CliRun run =
            cli({"programming", "export", "--customer", QString::number(customer), "--out", file(name)});
        if (run.code != 0)
            qWarning("%s", qPrintable(run.err));
        return read(file(name));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_db.Open(), qPrintable(m_db.Error())); }

    // Export, import into another customer of the model, export again: the same bytes but the
    // codes, which stay the customer's own. The older line form imports as the plain one.
    void roundTrip() {
        const int a = addCustomer(1, "1234", "5678");
        const int b = addCustomer(1, "4321", "8765");
        const int c = addCustomer(1, "1111", "2222");
        QVERIFY(a && b && c);
        // A's programming differs from the factory's that B and C start with.
        QVERIFY(m_db.dm.IBDB.Exec("update TEMPOS set ENTRADA = 45, SIRENE = 9 where ID_TEMPOS = ?", {a}));
        QVERIFY(m_db.dm.IBDB.Exec("update USUARIOS set SENHA_USUARIO01 = '2468' where ID_USUARIOS = ?", {a}));
        QVERIFY(m_db.dm.CommitRetaining());
        m_db.dm.Disconnect(); // the embedded engine keeps the file to one process at a time

        const QByteArray fromA = exported(a, "a.zrv");
        QCOMPARE(fromA.size(), 304);
        const QByteArray bBefore = exported(b, "b0.zrv");
        QVERIFY(WithoutCodes(bBefore) != WithoutCodes(fromA));

        CliRun run =
            cli({"programming", "import", "--customer", QString::number(b), "--template", file("a.zrv")});
        QCOMPARE(run.code, 0);
        const QByteArray fromB = exported(b, "b.zrv");
        QCOMPARE(WithoutCodes(fromB), WithoutCodes(fromA));
        QCOMPARE(fromB.mid(kCodesFirst, 4), bBefore.mid(kCodesFirst, 4));

        QVERIFY(write(file("a-linhas.zrv"), LineForm(fromA)));
        QCOMPARE(read(file("a-linhas.zrv")).size(), 342);
        run = cli(
            {"programming", "import", "--customer", QString::number(c), "--template", file("a-linhas.zrv")});
        QCOMPARE(run.code, 0);
        QCOMPARE(WithoutCodes(exported(c, "c.zrv")), WithoutCodes(fromA));
        QCOMPARE(read(file("a-linhas.zrv")).size(), 342); // the operator's file is not rewritten
    }

    // Only a file of exactly the model's image, or exactly its line form, is taken; anything else
    // is refused with the system's message and the customer's programming stays as it was. The
    // 5-zone model's image is 256 bytes, its line form 288.
    void badTemplates_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("said");
        const QString notThis = QStringLiteral("não contém uma programação deste painel (256 bytes)");
        QTest::newRow("one byte short") << "short" << notThis;
        QTest::newRow("one byte more") << "long" << notThis;
        QTest::newRow("empty") << "empty" << notThis;
        QTest::newRow("a 10-zone image") << "ten" << notThis;
        QTest::newRow("a 10-zone line form") << "ten-lines" << notThis;
        QTest::newRow("lines ending in LF only") << "lf-lines" << notThis;
        QTest::newRow("line form, one line end damaged") << "damaged-lines" << notThis;
        QTest::newRow("line form, last line end missing") << "open-lines" << notThis;
        QTest::newRow("random bytes") << "random" << notThis;
        QTest::newRow("50 MB") << "huge" << notThis;
        QTest::newRow("no such file") << "missing"
                                      << "não foi encontrado";
    }
    void badTemplates() {
        QFETCH(QString, form);
        QFETCH(QString, said);
        if (!m_fiveZone) {
            m_fiveZone = addCustomer(2, "3333", "4444");
            QVERIFY(m_fiveZone);
            m_db.dm.Disconnect();
        }
        const QString customer = QString::number(m_fiveZone);
        const QByteArray before = exported(m_fiveZone, "d0.zrv");
        QCOMPARE(before.size(), 256);

        QByteArray bytes;
        if (form == "short")
            bytes = before.left(255);
        else if (form == "long")
            bytes = before + '\0';
        else if (form == "ten")
            bytes = before + QByteArray(48, '\x11');
        else if (form == "ten-lines")
            bytes = LineForm(before + QByteArray(48, '\x11'));
        else if (form == "lf-lines")
            bytes = LineForm(before).replace("\r\n", "\n");
        else if (form == "damaged-lines")
            bytes = LineForm(before).replace(5 * 18 + 16, 2, "\r\r");
        else if (form == "open-lines")
            bytes = LineForm(before).chopped(2);
        else if (form == "random")
            for (int i = 0; i < 1000; ++i)
                bytes += char((i * 7919 + 13) % 251);
        const QString path = file(QStringLiteral("modelo-%1.zrv").arg(form));
        if (form == "huge") {
            QFile huge(path);
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(50 * 1024 * 1024));
        } else if (form != "missing") {
            QVERIFY(write(path, bytes));
        }

        const CliRun run = cli({"programming", "import", "--customer", customer, "--template", path});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QCOMPARE(exported(m_fiveZone, "d1.zrv"), before);
    }

    // A file is written whole or not at all: a full disk fails the export with the system's
    // reason, a wrong use or an unknown customer writes nothing.
    void exportWrittenWholeOrNotAtAll() {
        const int e = addCustomer(1, "5555", "6666");
        QVERIFY(e);
        m_db.dm.Disconnect();
        CliRun run = cli({"programming", "export", "--customer", QString::number(e), "--out", "/dev/full"});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains("Não foi possível gravar o arquivo /dev/full: No space left on device"),
                 qPrintable(run.err));

        run = cli({"programming", "export", "--customer", QString::number(e)});
        QCOMPARE(run.code, 2);
        run = cli({"programming", "export", "--customer", "9999", "--out", file("x.zrv")});
        QCOMPARE(run.code, 1);
        QVERIFY(!QFile::exists(file("x.zrv")));
    }
};

QTEST_GUILESS_MAIN(TestCliTemplates)
#include "tst_cli_templates.moc"
