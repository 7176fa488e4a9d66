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

    // A template that cannot fill the image, or is not there, is refused with the system's message
    // and the customer's programming stays as it was; the 5-zone model's image is 256 bytes.
    void badTemplates() {
        const int d = addCustomer(2, "3333", "4444");
        QVERIFY(d);
        m_db.dm.Disconnect();
        const QByteArray before = exported(d, "d0.zrv");
        QCOMPARE(before.size(), 256);
        QVERIFY(write(file("curto.zrv"), QByteArray(255, '\x01')));
        CliRun run =
            cli({"programming", "import", "--customer", QString::number(d), "--template", file("curto.zrv")});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains("não contém uma programação deste painel (256 bytes)"),
                 qPrintable(run.err));
        run = cli(
            {"programming", "import", "--customer", QString::number(d), "--template", file("nenhum.zrv")});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains("não foi encontrado"), qPrintable(run.err));
        QCOMPARE(exported(d, "d1.zrv"), before);

        run = cli({"programming", "export", "--customer", QString::number(d)});
        QCOMPARE(run.code, 2);
        run = cli({"programming", "export", "--customer", "9999", "--out", file("x.zrv")});
        QCOMPARE(run.code, 1);
        QVERIFY(!QFile::exists(file("x.zrv")));
    }
};

QTEST_GUILESS_MAIN(TestCliTemplates)
#include "tst_cli_templates.moc"
