// The command line acts as an operator: on a database with operators every command that touches
// customers, panels or the database needs a known operator, the right password and the permission
// its action needs in the windows.
#include "store/db_connection.h"
#include "support/cli_run.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = CliRun;

class Cli {
public:
    explicit Cli(const QString& home) : m_home(home) {}
    Run operator()(const QStringList& arguments, QMap<QString, QString> env = {}) const {
        // Passwords come only from what the test gives.
        env.insert("TELVORA_PASSWORD", env.value("TELVORA_PASSWORD"));
        env.insert("TELVORA_NEW_PASSWORD", env.value("TELVORA_NEW_PASSWORD"));
        return RunCli(m_home, QStringList{"--db", m_home + "/zrv.fdb"} + arguments, env, 60000);
    }

private:
    QString m_home;
};

const QString kNoPermission = QStringLiteral("Este usuário não tem permissão para esta operação");

} // namespace

class TestCliOperators : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        const Cli cli(m_home.path());
        QCOMPARE(cli({"db", "init"}).code, 0);
        // No operator yet: commands run as before.
        const QStringList customer{"customer", "add", "--nome", "Loja", "--produto", "1"};
        QCOMPARE(cli(customer).code, 0);
        // The first operator is the administrator, whatever permissions it was given.
        Run run = cli({"operator", "add", "maria", "--permissions", "2"}, {{"TELVORA_NEW_PASSWORD", "m1"}});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        run = cli({"--operator", "maria", "operator", "add", "joao", "--permissions", "2,18"},
                  {{"TELVORA_PASSWORD", "m1"}, {"TELVORA_NEW_PASSWORD", "j1"}});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        run = cli({"--operator", "maria", "operator", "list"}, {{"TELVORA_PASSWORD", "m1"}});
        QVERIFY2(run.out.contains("maria\tativo\tadministrador") && run.out.contains("joao\tativo\t2,18"),
                 qPrintable(run.out + run.err));
    }

    void protectedActions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said");
        const QStringList add{"customer",  "add", "--nome",          "Outra",
                              "--produto", "2",   "--codigo-painel", "2222"};
        const QStringList write{"write-programming", "--customer", "1", "--template", "/nao/existe.zrv"};
        QTest::newRow("no operator named") << QString() << QString() << add << 1 << "informe --operator";
        QTest::newRow("administrator adds a customer") << "maria"
                                                       << "m1" << add << 0 << "Cliente gravado";
        QTest::newRow("without permission 1") << "joao"
                                              << "j1" << add << 1 << kNoPermission;
        QTest::newRow("wrong password") << "joao"
                                        << "errada" << add << 1 << "Senha incorreta";
        QTest::newRow("unknown operator, a quote in the name") << "o'brien"
                                                               << "x" << add << 1 << "Usuário incorreto";
        QTest::newRow("write without permission 34, refused before dialling")
            << "joao"
            << "j1" << write << 1 << kNoPermission;
        QTest::newRow("restore only by the administrator")
            << "joao"
            << "j1" << QStringList{"db", "restore", "/nao/existe.fbk"} << 1 << kNoPermission;
        QTest::newRow("a panel command needs its button's permission")
            << "joao"
            << "j1" << QStringList{"panel", "command", "--customer", "1", "arm", "A"} << 1 << kNoPermission;
        QTest::newRow("adding operators needs permissions 14 and 15")
            << "joao"
            << "j1" << QStringList{"operator", "add", "ana"} << 1 << kNoPermission;
        QTest::newRow("the audit record only for the administrator")
            << "joao"
            << "j1" << QStringList{"audit"} << 1 << kNoPermission;
        QTest::newRow("the administrator reads the audit record")
            << "maria"
            << "m1" << QStringList{"audit", "--customer", "1"} << 0 << QString();
        QTest::newRow("this machine's settings need no operator")
            << QString() << QString() << QStringList{"settings", "com-port", "2"} << 0 << "COM 2";
    }
    void protectedActions() {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QStringList, command);
        QFETCH(int, code);
        QFETCH(QString, said);
        const QStringList login = name.isEmpty() ? QStringList{} : QStringList{"--operator", name};
        const Run run = Cli(m_home.path())(login + command, {{"TELVORA_PASSWORD", password}});
        QVERIFY2(run.code == code, qPrintable(run.out + run.err));
        QVERIFY2((run.out + run.err).contains(said), qPrintable(run.out + run.err));
    }

    // A database whose operators cannot be read refuses every command that needs an operator,
    // the restore included, where a new database without operators runs them all.
    void unreadableOperatorsRefuseEveryCommand_data() {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("customer add") << QStringList{"customer", "add", "--nome", "Loja", "--produto", "1"};
        QTest::newRow("restore") << QStringList{"db", "restore", "/nao/existe.fbk"};
        QTest::newRow("operator add") << QStringList{"operator", "add", "intruso", "--permissions", "1"};
    }
    void unreadableOperatorsRefuseEveryCommand() {
        QFETCH(QStringList, command);
        QTemporaryDir home;
        const Cli cli(home.path());
        QCOMPARE(cli({"db", "init"}).code, 0);
        {
            DbConnection db;
            QVERIFY2(db.Connect(home.filePath("zrv.fdb")), qPrintable(db.LastError()));
            QVERIFY2(db.Exec("drop table USUARIOS_SOFTWARE") && db.Commit(), qPrintable(db.LastError()));
        }
        const Run run = cli(command, {{"TELVORA_NEW_PASSWORD", "x1"}});
        QVERIFY2(run.code == 1, qPrintable(run.out + run.err));
        QVERIFY2(run.err.contains("Os usuários do banco não puderam ser lidos"), qPrintable(run.err));
        QVERIFY2(!run.out.contains("gravado") && !run.err.contains("não foi encontrado"),
                 qPrintable(run.out + run.err));
    }

    // A restore is recorded with the operator who ran it, in the restored database.
    void restoreRecordedWithItsOperator() {
        const Cli cli(m_home.path());
        const QMap<QString, QString> maria{{"TELVORA_PASSWORD", "m1"}};
        const QString folder = m_home.filePath("copias");
        Run run = cli({"--operator", "maria", "db", "backup", "--to", folder}, maria);
        QVERIFY2(run.code == 0, qPrintable(run.err));
        const QStringList files = QDir(folder).entryList({"ZRV*.fbk"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        run = cli({"--operator", "maria", "db", "restore", QDir(folder).filePath(files.first())}, maria);
        QVERIFY2(run.code == 0, qPrintable(run.err));
        run = cli({"--operator", "maria", "audit"}, maria);
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("\tmaria\t\t\tRestauração do banco\t" + files.first()),
                 qPrintable(run.out));
    }
};

QTEST_GUILESS_MAIN(TestCliOperators)
#include "tst_cli_operators.moc"
