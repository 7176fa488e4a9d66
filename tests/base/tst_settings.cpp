#include "base/ini_file.h"
#include "base/legacy_settings.h"
#include "base/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray native(const QString& path) {
    return QDir::toNativeSeparators(path).toLatin1();
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    QString m_path;

private Q_SLOTS:
    void init() {
        QVERIFY(m_home.isValid());
        QFile::remove(m_home.filePath("ZRVConfig.ini"));
        qputenv("TELVORA_HOME", m_home.path().toUtf8());
        m_path = m_home.filePath("ZRVConfig.ini");
    }

    void createdFreshThenReadBackUnchanged() {
        QString error;
        const Settings s = CarregaConfiguracoes(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QByteArray dir = native(m_home.path());
        const QByteArray expectedConfig =
            "[Config]\r\nPathBD=" + dir +
            "\r\n1\xaa Linha=Empresa de Seguran\xe7"
            "a Eletr\xf4nica\r\n2\xaa Linha=S\xe3o Paulo - SP\r\n"
            "CEP_Default=\r\nCidade_Default=\r\n"
            "Colunas=ID_CLIENTE, NOME, FONE1, FONE2, FONE3, DATA_CRIACAO, HORA_CRIACAO, PRODUTO, "
            "VERSAO_PRODUTO, "
            "CODIGO_PAINEL, CODIGO_PC, FONE_PAINEL, P_ENDERECO, P_NUMERO, P_BAIRRO, P_COMPLEMENTO, P_CIDADE, "
            "P_ESTADO, P_CEP\r\n"
            "ComPort=1\r\nDiscagem=Tom\r\nEstado_Default=-1\r\nFormato 1\xaa Linha=fsBold\r\nFormato 2\xaa "
            "Linha=\r\n"
            "Modem=U.S. Robotics Serial Externo ou Interno\r\nN\xbaRings=2\r\nOpcoes Gerais=10\r\n"
            "PathLogoImpressao=" +
            native(m_home.filePath("Templates/LogoImpressao.jpg")) +
            "\r\nProgDefault10Eco=" + native(m_home.filePath("Templates/Orvan10Eco/fabrica10Eco.zrv")) +
            "\r\nProgDefault10=" + native(m_home.filePath("Templates/Orvan10/fabrica10.zrv")) +
            "\r\nProgDefault5=" + native(m_home.filePath("Templates/Orvan5/fabrica5.zrv")) +
            "\r\n[ConfigAvancada]\r\nN\xba"
            "AT=16\r\nAT1=&C0\r\nAT2=&D2\r\nAT3=&H0\r\nAT4=&I0\r\nAT5=&K0\r\n"
            "AT6=&N1\r\nAT7=E0\r\nAT8=Q0\r\nAT9=S00=000\r\nAT10=S10=255\r\nAT11=S12=050\r\nAT12=S07=120\r\n"
            "AT13=S13=001\r\nAT14=X3\r\nAT15=&F0\r\nAT16=V0\r\nDigito=0\r\nHabilita "
            "Pausa=0\r\nIntervalo=2\r\n"
            "PABX=0\r\nAguarda_Tom=0\r\nSpeaker=1\r\nVolume=0\r\n";
        const QByteArray created = readBytes(m_path);
        QCOMPARE(created, expectedConfig);

        QCOMPARE(s.PathBD, QDir::toNativeSeparators(m_home.path()));
        QCOMPARE(s.Linha1, QStringLiteral("Empresa de Segurança Eletrônica"));
        QCOMPARE(s.NRings, 2);
        QCOMPARE(s.Estado_Default, -1);
        QCOMPARE(s.NAT, 16);
        QCOMPARE(s.AT.size(), 17);
        QVERIFY(s.AT.at(0).isEmpty());
        QCOMPARE(s.atLine(9), QStringLiteral("S00=000"));
        QCOMPARE(s.atLine(16), QStringLiteral("V0"));
        QVERIFY(s.atLine(17).isEmpty());

        // A later start reads the same values and leaves the file alone.
        const Settings again = CarregaConfiguracoes(&error);
        QCOMPARE(readBytes(m_path), created);
        QCOMPARE(again.AT, s.AT);
        QCOMPARE(again.ProgDefault5, s.ProgDefault5);
        QCOMPARE(again.Colunas, s.Colunas);
    }

    // The database the windows and the command line open: zrv.fdb in the application folder unless
    // the file names another one (a shared database on a server); the settings load keeps the key.
    void databaseTheProgramOpens_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no settings file") << QByteArray() << QString();
        QTest::newRow("no key") << QByteArray("[Config]\r\nComPort=2\r\n") << QString();
        QTest::newRow("empty key") << QByteArray("[Config]\r\nBancoDeDados= \r\n") << QString();
        QTest::newRow("server") << QByteArray("[Config]\r\nBancoDeDados=servidor:/dados/zrv.fdb\r\n")
                                << QStringLiteral("servidor:/dados/zrv.fdb");
    }
    void databaseTheProgramOpens() {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        if (!file.isEmpty())
            writeBytes(m_path, file);
        const QString database = expected.isEmpty() ? m_home.filePath("zrv.fdb") : expected;
        QCOMPARE(ConfiguredDatabaseName(), database);
        QCOMPARE(QFile::exists(m_path), !file.isEmpty());
        const Settings s = CarregaConfiguracoes();
        QCOMPARE(DatabaseNameOf(s), database);
        QCOMPARE(ConfiguredDatabaseName(), database);
    }

    void olderFileGivesDefaultsForMissingKeys() {
        // An installation from before the advanced section existed, with Latin-1 keys.
        writeBytes(m_path, "[Config]\r\nComPort=3\r\nN\xbaRings=5\r\n1\xaa Linha=Alarmes Jo\xe3o\r\n");
        const Settings s = CarregaConfiguracoes();
        QCOMPARE(s.ComPort, 3);
        QCOMPARE(s.NRings, 5);
        QCOMPARE(s.Linha1, QStringLiteral("Alarmes João"));
        QCOMPARE(s.Discagem, QStringLiteral("Tom"));
        QCOMPARE(s.Modem, QStringLiteral("U.S. Robotics Serial Externo ou Interno"));
        QCOMPARE(s.OpcoesGerais, 10);
        QCOMPARE(s.Formato1Linha, QStringLiteral("fsBold"));
        QVERIFY(s.Colunas.startsWith("ID_CLIENTE, NOME,"));
        QCOMPARE(s.NAT, 16);
        QCOMPARE(s.AT, QStringList(17)); // no advanced lines stored: sixteen empty commands
        QCOMPARE(s.Digito, QStringLiteral("0"));
        QCOMPARE(s.HabilitaPausa, false);
        QCOMPARE(s.Intervalo, 2);
        QCOMPARE(s.Speaker, 1);
        QCOMPARE(s.Volume, 0);
        QVERIFY(s.Portas.isEmpty());
        // Nothing but the missing paths' defaults matched, so the file was not touched.
        QCOMPARE(readBytes(m_path),
                 QByteArray("[Config]\r\nComPort=3\r\nN\xbaRings=5\r\n1\xaa Linha=Alarmes Jo\xe3o\r\n"));
    }

    void pathsResetToApplicationFolder() {
        const QByteArray dir = native(m_home.path());
        writeBytes(m_path, "; instalado em outra pasta\r\n[Config]\r\nPathBD=C:\\Arquivos\\ZRV\\\r\n"
                           "ProgDefault5=C:\\Arquivos\\ZRV\\Templates\\Orvan5\\meu.zrv\r\n"
                           "ProgDefault10=" +
                               native(m_home.filePath("Templates/Orvan10/fabrica10.zrv")) +
                               "\r\n1\xaa Linha=Minha Empresa\r\n");
        const Settings s = CarregaConfiguracoes();
        QCOMPARE(s.PathBD, QDir::toNativeSeparators(m_home.path()));
        QCOMPARE(s.ProgDefault5, QDir::toNativeSeparators(m_home.filePath("Templates/Orvan5/fabrica5.zrv")));
        const QByteArray file = readBytes(m_path);
        QVERIFY(
            file.startsWith("; instalado em outra pasta\r\n[Config]\r\nPathBD=" + dir + "\r\nProgDefault5=" +
                            native(m_home.filePath("Templates/Orvan5/fabrica5.zrv")) + "\r\nProgDefault10="));
        QVERIFY(file.contains("\r\n1\xaa Linha=Minha Empresa\r\n"));

        // The application folder with one trailing separator is the same folder: no rewrite.
        writeBytes(m_path, "[Config]\r\nPathBD=" + dir + QDir::separator().toLatin1() + "\r\n");
        QCOMPARE(CarregaConfiguracoes().PathBD, QDir::toNativeSeparators(m_home.path()));
        QVERIFY(readBytes(m_path).startsWith("[Config]\r\nPathBD=" + dir + QDir::separator().toLatin1() +
                                             "\r\n"));
    }

    void advancedLinesAndPortsRoundTrip() {
        writeBytes(m_path,
                   "[Config]\r\n[ConfigAvancada]\r\nn\xba"
                   "at=3\r\nAT1=&F0\r\nat3=X3\r\nAT4=ignorada\r\n"
                   "[Portas]\r\nCOM3=/dev/pts/7\r\ncom12=/dev/ttyUSB0\r\nCOM0=/dev/a\r\nCOM256=/dev/b\r\n"
                   "COM4x=/dev/c\r\nCOM5=\r\n");
        Settings s = CarregaConfiguracoes();
        QCOMPARE(s.NAT, 3);
        QCOMPARE(s.AT, QStringList({"", "&F0", "", "X3"}));
        QCOMPARE(s.Portas, (QHash<int, QString>{{3, "/dev/pts/7"}, {12, "/dev/ttyUSB0"}}));

        s.setAtLines({"E0", "V0"});
        s.HabilitaPausa = true;
        s.Portas.remove(12);
        s.Portas.insert(1, "/dev/pts/2");
        QString error;
        QVERIFY(WriteSettingsFile(m_path, s, &error));
        const Settings back = CarregaConfiguracoes();
        QCOMPARE(back.AT, QStringList({"", "E0", "V0"}));
        QCOMPARE(back.HabilitaPausa, true);
        QCOMPARE(back.Portas, (QHash<int, QString>{{1, "/dev/pts/2"}, {3, "/dev/pts/7"}}));
        const QByteArray file = readBytes(m_path);
        QVERIFY(file.contains("n\xba"
                              "at=2\r\nAT1=E0\r\nat3=X3\r\nAT4=ignorada\r\nAT2=V0\r\n"));
        QVERIFY(file.contains("Habilita Pausa=1\r\n"));

        QVERIFY(!WriteSettingsFile(m_home.filePath("nao/existe/ZRVConfig.ini"), s, &error));
        QVERIFY2(error.startsWith(QStringLiteral("Não foi possível gravar o arquivo de configurações ")),
                 qPrintable(error));
    }

    void legacyStoreImport_data() {
        QTest::addColumn<QVariantList>("lines");
        QTest::addColumn<bool>("pause");
        QTest::addColumn<QVariant>("storedPabx");
        QTest::addColumn<int>("pabx");
        QTest::newRow("X3 means PABX") << QVariantList{"&F0", "x3"} << false << QVariant() << 1;
        QTest::newRow("X4 with pause") << QVariantList{"X4", "E0"} << true << QVariant() << 2;
        QTest::newRow("X4 without pause") << QVariantList{"X4"} << false << QVariant() << 0;
        QTest::newRow("last match decides") << QVariantList{"X4", "X3"} << true << QVariant() << 1;
        QTest::newRow("no match") << QVariantList{"E0"} << false << QVariant() << 0;
        QTest::newRow("stored value kept") << QVariantList{"X3"} << false << QVariant(0) << 0;
    }
    void legacyStoreImport() {
        QFETCH(QVariantList, lines);
        QFETCH(bool, pause);
        QFETCH(QVariant, storedPabx);
        LegacyValues config{{"ComPort", 4}, {"OpcoesGerais", 9}, {QStringLiteral("1ª Linha"), "Loja"}};
        LegacyValues advanced{
            {QStringLiteral("NºAT"), int(lines.size())}, {"Digito", 9}, {"Habilita Pausa", pause}};
        for (int i = 0; i < lines.size(); ++i)
            advanced.insert(QStringLiteral("AT%1").arg(i + 1), lines.at(i));
        if (storedPabx.isValid())
            advanced.insert("PABX", storedPabx);
        IniFile ini;
        ImportLegacyValues(config, &advanced, ini);
        const Settings s = ReadSettings(ini, m_home.path());
        QTEST(s.PABX, "pabx");
        QCOMPARE(s.Digito, QStringLiteral("9"));
        QCOMPARE(s.HabilitaPausa, pause);
        QCOMPARE(s.ComPort, 4);
        QCOMPARE(s.OpcoesGerais, 9);
        QCOMPARE(s.Linha1, QStringLiteral("Loja"));
        QCOMPARE(s.NAT, int(lines.size()));
        QCOMPARE(s.atLine(1), lines.at(0).toString());
        QVERIFY(!ini.contains("Config", "Modem")); // missing in the store, so not written
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
