// What telvora-cli refuses before storing anything: values that do not fit their column or hold
// what the field does not take, a version the product does not have, a repeated panel code under
// the repeat rule, and a device path that would break the settings file's lines. Each refusal is
// the system's sentence naming the field, and nothing is stored.
#include "base/ini_file.h"
#include "store/db_connection.h"
#include "support/cli_run.h"
#include "support/temp_database.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

CliRun Cli(const QString& home, const QStringList& arguments) {
    return RunCli(home, arguments, {}, 60000);
}

int Customers(const QString& database) {
    DbConnection connection;
    if (!connection.Connect(database))
        return -1;
    return connection.SelectValue("select count(*) from CLIENTES").toInt();
}

void WriteRepeatRule(const QString& folder, int rule) {
    IniFile ini;
    ini.setValue("Config", "Opcoes Gerais", rule);
    QVERIFY(ini.save(QDir(folder).filePath("ZRVConfig.ini")));
}

} // namespace

class TestCliFieldChecks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void badValueIsRefusedWithItsField_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("name one over its column")
            << QStringList{"--nome", QString(31, 'N')}
            << "O campo \"Nome do Cliente\" aceita no máximo 30 caracteres (foram informados 31).";
        QTest::newRow("name with a line break")
            << QStringList{"--nome", "Loja\n[Config]"}
            << "O campo \"Nome do Cliente\" não aceita quebras de linha nem outros caracteres de controle.";
        QTest::newRow("modem commands in the panel's telephone")
            << QStringList{"--nome", "Loja", "--fone-painel", "555;ATH1;ATZ"}
            << "O campo \"Fone do Painel\" aceita somente números, \"#\", \"*\" e \",\".";
        QTest::newRow("panel's telephone with a carriage return")
            << QStringList{"--nome", "Loja", "--fone-painel", "555\rATZ"}
            << "O campo \"Fone do Painel\" não aceita quebras de linha nem outros caracteres de controle.";
        QTest::newRow("panel's telephone one over its column")
            << QStringList{"--nome", "Loja", "--fone-painel", QString(18, '5')}
            << "O campo \"Fone do Painel\" aceita no máximo 17 caracteres (foram informados 18).";
        QTest::newRow("empty panel's telephone") << QStringList{"--nome", "Loja", "--fone-painel", ""}
                                                 << "O campo \"Fone do Painel\" é obrigatório.";
        QTest::newRow("panel code of five digits")
            << QStringList{"--nome", "Loja", "--codigo-painel", "12345"}
            << "O campo \"Código do Painel\" aceita no máximo 4 caracteres (foram informados 5).";
        QTest::newRow("PC code with a letter") << QStringList{"--nome", "Loja", "--codigo-pc", "12a4"}
                                               << "O campo \"Código do PC\" deve ter 4 dígitos.";
        QTest::newRow("PC code of three digits") << QStringList{"--nome", "Loja", "--codigo-pc", "123"}
                                                 << "O campo \"Código do PC\" deve ter 4 dígitos.";
        QTest::newRow("version the product does not have")
            << QStringList{"--nome", "Loja", "--versao", "9.9"}
            << "A versão \"9.9\" não existe para o Orvan 10. Versões: 1.0, 1.1, 1.2, 1.3, 1.4.";
        QTest::newRow("version that is not M.m")
            << QStringList{"--nome", "Loja", "--versao", "1,4"}
            << "A versão \"1,4\" não existe para o Orvan 10. Versões: 1.0, 1.1, 1.2, 1.3, 1.4.";
    }

    void badValueIsRefusedWithItsField() {
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        TempDatabase db;
        QVERIFY(db.Create());
        const CliRun run = Cli(db.Folder(), QStringList{"customer", "add", "--produto", "1"} + options);
        QCOMPARE(run.code, 1);
        QCOMPARE(run.err, message + '\n');
        QVERIFY2(run.out.isEmpty(), qPrintable(run.out));
        QCOMPARE(Customers(db.Path()), 0);
    }

    // The audit of an empty database says nothing was recorded, with or without a filter.
    void emptyAuditSaysNothingWasRecorded() {
        TempDatabase db;
        QVERIFY(db.Create());
        const CliRun audit = Cli(db.Folder(), {"audit"});
        QCOMPARE(audit.code, 0);
        QCOMPARE(audit.out, QStringLiteral("Nenhuma operação foi registrada.\n"));
        const CliRun filtered = Cli(db.Folder(), {"audit", "--customer", "3"});
        QCOMPARE(filtered.out,
                 QStringLiteral("Nenhuma operação foi registrada para o cliente ou a data informados.\n"));
    }

    // The panel-code repeat rule of the general options holds for the command line too: "Não
    // permitir" refuses, "Permitir, porém avisar" refuses unless --aceitar-repetido answered its
    // question beforehand, "Permitir" stores.
    void repeatedPanelCodeFollowsTheRule_data() {
        QTest::addColumn<int>("opcoesGerais");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("stored");
        const QString refused = QStringLiteral("Este código do painel já existe. Não é permitido repetir.\n");
        QTest::newRow("Não permitir") << 1 << false << 1 << refused << 1;
        QTest::newRow("Não permitir, backup on exit") << 9 << false << 1 << refused << 1;
        QTest::newRow("Não permitir, even accepted") << 1 << true << 1 << refused << 1;
        QTest::newRow("Permitir, porém avisar (the default)")
            << 10 << false << 1
            << "O código do painel cadastrado já existe.\nA regra de repetição pede confirmação: o cliente "
               "não foi "
               "gravado.\nPara gravar assim mesmo: --aceitar-repetido\n"
            << 1;
        QTest::newRow("Permitir, porém avisar, accepted") << 2 << true << 0 << QString() << 2;
        QTest::newRow("Permitir") << 3 << false << 0 << QString() << 2;
    }

    void repeatedPanelCodeFollowsTheRule() {
        QFETCH(int, opcoesGerais);
        QFETCH(bool, accepted);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(int, stored);
        TempDatabase db;
        QVERIFY(db.Create());
        WriteRepeatRule(db.Folder(), opcoesGerais);
        const QStringList add{"customer", "add", "--produto", "1", "--codigo-painel", "4321", "--nome"};
        CliRun run = Cli(db.Folder(), add + QStringList{"Primeiro"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        // Another code passes whatever the rule.
        run = Cli(db.Folder(),
                  {"customer", "add", "--produto", "2", "--codigo-painel", "4322", "--nome", "Outro"});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        run = Cli(db.Folder(), add + QStringList{"Segundo"} +
                                   (accepted ? QStringList{"--aceitar-repetido"} : QStringList{}));
        QCOMPARE(run.code, code);
        QCOMPARE(run.err, message);
        DbConnection connection;
        QVERIFY(connection.Connect(db.Path()));
        QCOMPARE(connection.SelectValue("select count(*) from PAINEL where CODIGO_PAINEL = '4321'").toInt(),
                 stored);
    }

    // A device path is one line of the settings file: a line break in it is refused and the file
    // keeps its lines.
    void devicePathWithALineBreakIsRefused() {
        QTemporaryDir home;
        QCOMPARE(Cli(home.path(), {"settings", "com-port", "3", "/dev/ttyS1"}).code, 0);
        QFile file(QDir(home.path()).filePath("ZRVConfig.ini"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        const CliRun run = Cli(home.path(), {"settings", "com-port", "3", "/dev/tty\n[Config]\nComPort=9"});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.err,
                 QStringLiteral(
                     "O dispositivo não pode ter quebras de linha nem outros caracteres de controle.\n"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(TestCliFieldChecks)
#include "tst_cli_field_checks.moc"
