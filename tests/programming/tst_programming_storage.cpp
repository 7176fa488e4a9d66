#include "base/settings.h"
#include "programming/factory_programming.h"
#include "programming/programming_storage.h"
#include "store/data_module.h"
#include "support/temp_database.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>

namespace {

QString Differences(const ProgrammingImage& expected, const ProgrammingImage& actual) {
    QStringList out;
    for (int n = 0; n < expected.size(); ++n) {
        if (expected.byte(n) != actual.byte(n))
            out << QStringLiteral("%1: %2 != %3")
                       .arg(n)
                       .arg(actual.byte(n), 2, 16)
                       .arg(expected.byte(n), 2, 16);
    }
    return out.join(QStringLiteral("; "));
}

void SetRange(ProgrammingImage& image, int first, int last, quint8 value) {
    for (int n = first; n <= last; ++n)
        image.setByte(n, value);
}

// A programming that touches every kind of field, with the zones kept consistent with their types
// as every editor-made image is.
ProgrammingImage SampleImage(int productCode) {
    ProgrammingImage image = ProgrammingImage::Initial(productCode);
    const ProductFamily family = image.family();
    const bool ten = family == ProductFamily::TenZone;
    const std::pair<ProgField, const char*> texts[] = {
        {ProgField::EntryDelay, "45"},
        {ProgField::ExitDelay, "90"},
        {ProgField::SirenTime, "10"},
        {ProgField::PgmTime, "7"},
        {ProgField::IntelligentZoneTime, "20"},
        {ProgField::NoMainsTime, "3"},
        {ProgField::AutoTestInterval, "203"},
        {ProgField::AnsweringMachineTime, "12"},
        {ProgField::NoMovementTime, "25"},
        {ProgField::DuressDigit, "0"},
        {ProgField::Rings, "9"},
        {ProgField::AutoArmHour, "7"},
        {ProgField::AutoArmMinute, "45"},
        {ProgField::AutoTestHour, "12"},
        {ProgField::AutoTestMinute, "30"},
        {ProgField::PgmOnHour, "19"},
        {ProgField::PgmOnMinute, "5"},
        {ProgField::PgmOffHour, "23"},
        {ProgField::PgmOffMinute, "59"},
        {ProgField::CommunicationFormat,
         ten ? "43 - 40 pps, 2300 Hz, 1900 Hz - Sem Paridade" : "80 - DTMF 4x2 Express"},
        {ProgField::Pgm1Mode, "41 - Com retenção ativada pelo usuário (biestável)"},
        {ProgField::Pgm2Mode, "13 - Ativa durante o tempo de saída"},
        {ProgField::Pgm4Mode, ten ? "88 - Ativa no disparo da zona 8 por um tempo t" : "85 - x"},
        {ProgField::ClockAdjustment, "35"},
        {ProgField::PanelCode, "1234"},
        {ProgField::PcCode, "0987"},
        {ProgField::AccountA, "B0C1"},
        {ProgField::AccountB, "0002"},
        {ProgField::MasterCode, "2581"},
        {ProgField::InstallerCode, "7462"},
        {ProgField::MonitoringPhone1, "0,21*3#"},
        {ProgField::MonitoringPhone2, "1D1987654321"},
        {ProgField::PcPhone, "3344"},
        {ProgField::DigCoacao, "C"},
        {ProgField::DigArme, "1"},
        {ProgField::DigDesarmePcFone, "F"},
        {ProgField::CodAutoArme, "1C"},
        {ProgField::CodAcessoRemoto, "E1"},
        {ProgField::CodNaoMovimento, "99"},
        {ProgField::CodProbBat, "35"},
        {ProgField::CodRestSirene, "F0"},
        {ProgField::CodRestLinhaTelefonica, "3A"},
    };
    for (const auto& [field, text] : texts)
        image.setText(field, QString::fromUtf8(text));
    if (productCode == 1) { // the no-movement time and report code are no fields of the Orvan 10
        image.setByte(9, 0x00);
        image.setByte(286, 0xFF);
    }

    for (int n = 1; n <= UserCount(family); ++n) {
        image.setUserAttributes(n, quint8(n * 37));
        // Every third user has no code: an editor writes 0xFF 0xFF for it.
        image.setUserCode(n, n % 3 != 0 ? QString::number(n * 193 % 10000) : QString());
    }
    image.setProgBit(1, 0x9D); // partitioned (bit 3), report mode 1, tone
    for (int n = 2; n <= ProgBitCount(family); ++n)
        image.setProgBit(n, quint8(0x31 * n));

    const QList<std::pair<ZoneAttribute, quint8>> masks = {
        {ZoneAttribute::PartitionA, 0xF3},  {ZoneAttribute::Stay, 0x3C},
        {ZoneAttribute::Silent, 0x55},      {ZoneAttribute::Follower, 0xA1},
        {ZoneAttribute::Intelligent, 0x0F}, {ZoneAttribute::AutoBypass, 0x88},
        {ZoneAttribute::Fire, 0x46},        {ZoneAttribute::BypassAllowed, 0xFE}};
    for (const auto& [attribute, mask] : masks)
        image.setZoneMask(attribute, mask);
    const ZoneType types[] = {ZoneType::Imediata,       ZoneType::Zona24h,
                              ZoneType::TempoDeSaida,   ZoneType::Desabilitada,
                              ZoneType::TempoDeEntrada, ZoneType::TempoDeEntradaESaida,
                              ZoneType::Zona24h,        ZoneType::Imediata};
    for (int zone = 1; zone <= BoardZoneCount(family); ++zone)
        image.setZoneType(zone, types[zone - 1]);
    if (ten) {
        image.setKeypadZoneAttributes(9, 0x5A);
        image.setKeypadZoneAttributes(10, 0xA5);
    }
    return image;
}

class QuietHost : public DataModuleHost {
public:
    QStringList messages;
    void ShowMessage(const QString& text) override { messages << text; }
    bool RunFirstTimeSetup(TdmBancoDeDados&) override { return true; }
    bool RunLogin(TdmBancoDeDados&) override { return true; }
    void TerminateApplication() override {}
};

DataSet& SetOf(TdmBancoDeDados& dm, ProgrammingTable table) {
    switch (table) {
    case ProgrammingTable::Painel:
        return dm.DSetPainel;
    case ProgrammingTable::Fones:
        return dm.DSetFones;
    case ProgrammingTable::Opcoes:
        return dm.DSetOpcoes;
    case ProgrammingTable::Report:
        return dm.DSetReport;
    case ProgrammingTable::Tempos:
        return dm.DSetTempos;
    case ProgrammingTable::Usuarios:
        return dm.DSetUsuarios;
    case ProgrammingTable::Zonas:
        break;
    }
    return dm.DSetZonas;
}

} // namespace

class TestProgrammingStorage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTripIsByteExact_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::newRow("Orvan 10") << 1 << "1.4";
        QTest::newRow("Orvan 5") << 2 << "1.5";
        QTest::newRow("Orvan 10 Eco") << 3 << "1.2";
        QTest::newRow("Orvan 9 Max") << 4 << "1.0";
    }
    void roundTripIsByteExact() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        const PanelModel model{productCode, version};
        const ProgrammingImage image = SampleImage(productCode);
        const ProgrammingRows rows = RowsFromImage(image, model);
        QCOMPARE(rows.size(), 7);

        ProgrammingImage back = ProgrammingImage::Initial(productCode);
        ApplyRowsToImage(rows, back, model);
        QVERIFY2(back == image, qPrintable(Differences(image, back)));
    }

    // The rows go through the data module into an embedded database and come back with the
    // engine's own types (SMALLINT, TIME, VARCHAR) before they fill an image again.
    void roundTripThroughTheDatabase_data() {
        QTest::addColumn<int>("productCode");
        QTest::newRow("Orvan 10 Eco") << 3;
        QTest::newRow("Orvan 5") << 2;
    }
    void roundTripThroughTheDatabase() {
        QFETCH(int, productCode);
        const PanelModel model{productCode, "1.2"};
        TempDatabase temp;
        QVERIFY2(temp.Create(), qPrintable(temp.Error()));
        QuietHost host;
        TdmBancoDeDados dm;
        dm.SetHost(&host);
        QVERIFY2(dm.Connect(temp.Path()), qPrintable(dm.LastError()));
        QVERIFY2(dm.AbreTodosBD(), qPrintable(host.messages.join('|')));

        for (DataSet* set : dm.CustomerSets())
            QVERIFY2(set->Insert(), qPrintable(set->LastError()));
        dm.DSetClientes.SetValue("NOME", "Cliente");
        dm.DSetClientes.SetValue("PRODUTO", QString::number(productCode));
        dm.DSetPainel.SetValue("FONE_PAINEL", "1133334444");
        const ProgrammingImage image = SampleImage(productCode);
        for (ProgrammingTable table : kProgrammingTables) {
            const QVariantMap row = RowFromImage(table, image, model);
            for (auto it = row.begin(); it != row.end(); ++it)
                QVERIFY2(SetOf(dm, table).SetValue(it.key(), it.value()), qPrintable(it.key()));
        }
        QString error;
        QVERIFY2(dm.PostCustomer(&error), qPrintable(error));
        const QVariant panel = dm.DSetPainel.Value("ID_PAINEL");

        ProgrammingRows rows;
        for (ProgrammingTable table : kProgrammingTables) {
            DataSet& query = dm.IBQuery1;
            // Every row of the customer's aggregate carries the panel's key in ID_PAINEL.
            query.SetSelectSql(QStringLiteral("select * from %1 where ID_PAINEL = ?").arg(TableName(table)),
                               {panel});
            QVERIFY2(query.Open(), qPrintable(query.LastError()));
            QCOMPARE(query.RecordCount(), 1);
            QVariantMap row;
            for (const QString& column : query.FieldNames())
                row.insert(column, query.Value(column));
            rows.insert(TableName(table), row);
            query.Close();
        }
        ProgrammingImage back = ProgrammingImage::Initial(productCode);
        ApplyRowsToImage(rows, back, model);
        QVERIFY2(back == image, qPrintable(Differences(image, back)));
    }

    void storedValues() {
        const PanelModel model{1, "1.4"};
        const ProgrammingRows rows = RowsFromImage(SampleImage(1), model);
        QCOMPARE(rows["TEMPOS"]["ENTRADA"], QVariant(45));
        QCOMPARE(rows["TEMPOS"]["INTERVALO_AUTO_TESTE"], QVariant(203));
        QCOMPARE(rows["TEMPOS"]["HORA_AUTO_ARME"].toTime(), QTime(7, 45));
        QCOMPARE(rows["TEMPOS"]["HORA_DESACIONAMENTO_PGM"].toTime(), QTime(23, 59));
        QCOMPARE(rows["FONES"]["NUM_RINGS"], QVariant(8));
        QCOMPARE(rows["FONES"]["FORMATO_COMUNIC"], QVariant(19));
        QCOMPARE(rows["FONES"]["CENTRAL_MONIT_1"], QVariant(QStringLiteral("0,21*3#")));
        QCOMPARE(rows["OPCOES"]["PGM1"], QVariant(8));
        QCOMPARE(rows["OPCOES"]["PGM3"], QVariant(0));
        QCOMPARE(rows["OPCOES"]["DIGITOCOACAO"], QVariant(QStringLiteral("0")));
        QCOMPARE(rows["OPCOES"]["AJUSTERELOGIO"], QVariant(35));
        QCOMPARE(rows["OPCOES"]["CONTA_PART_A"], QVariant(QStringLiteral("B0C1")));
        QCOMPARE(rows["OPCOES"]["PROGBIT_1"], QVariant(0x9D));
        QCOMPARE(rows["PAINEL"]["CODIGO_PC"], QVariant(QStringLiteral("0987")));
        QCOMPARE(rows["REPORT"]["DIG_COACAO"], QVariant(QStringLiteral("C")));
        QCOMPARE(rows["REPORT"]["DIG_ARME_STAY"], QVariant(QString()));
        QCOMPARE(rows["USUARIOS"]["SENHA_USUARIO03"], QVariant(QString()));
        QCOMPARE(rows["USUARIOS"]["SENHA_USUARIO04"], QVariant(QStringLiteral("0772")));
        QCOMPARE(rows["ZONAS"]["ATRIB_ZONA10"], QVariant(0xA5));
        // Zone 4 is disabled, zones 2 and 7 are 24-hour zones of a partitioned panel.
        QCOMPARE(rows["ZONAS"]["HABDESABZONA"], QVariant(0x08));
        QCOMPARE(rows["ZONAS"]["ZONA24H"], QVariant(0x42));
    }

    // The storage examples: zone 2 disabled, user 3 with partition A and disarm.
    void zoneAndUserMasks() {
        const PanelModel model{1, "1.4"};
        ProgrammingImage image = BuiltInFactoryImage(1);
        image.setZoneType(2, ZoneType::Desabilitada);
        image.setUserAttributes(3, 0);
        image.setUserAttribute(3, UserPartitionA, true);
        image.setUserAttribute(3, UserDisarm, true);
        QCOMPARE(int(image.byte(66)), 17);
        QCOMPARE(image.byte(48) & 0x02, 0);
        const QVariantMap zones = RowFromImage(ProgrammingTable::Zonas, image, model);
        QCOMPARE(zones["HABDESABZONA"].toInt() & 0x02, 0x02);
        QCOMPARE(zones["HABDESABZONA"].toInt(), 0x02);
        QCOMPARE(RowFromImage(ProgrammingTable::Usuarios, image, model)["ATRIB_USUARIO03"], QVariant(17));

        ProgrammingImage loaded = ProgrammingImage::Initial(1);
        ApplyRowToImage(ProgrammingTable::Zonas, {{"HABDESABZONA", 0x02}}, loaded, model);
        ApplyRowToImage(ProgrammingTable::Usuarios, {{"atrib_usuario03", 17}}, loaded, model);
        QCOMPARE(int(loaded.byte(48)), 0xFD);
        QCOMPARE(int(loaded.byte(66)), 17);
    }

    void listPositions_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("byte"); // before loading the byte holds 0x77
        QTest::newRow("rings 0 is one ring") << 1 << "1.4"
                                             << "NUM_RINGS" << QVariant(0) << 16 << 1;
        QTest::newRow("rings null is one ring") << 1 << "1.4"
                                                << "NUM_RINGS" << QVariant() << 16 << 1;
        QTest::newRow("rings 14") << 2 << "1.4"
                                  << "NUM_RINGS" << QVariant(14) << 16 << 15;
        QTest::newRow("rings beyond the list") << 1 << "1.4"
                                               << "NUM_RINGS" << QVariant(15) << 16 << 0x77;
        QTest::newRow("format in the full list") << 1 << "1.4"
                                                 << "FORMATO_COMUNIC" << QVariant(25) << 25 << 0x88;
        QTest::newRow("Max short list") << 3 << "1.3"
                                        << "FORMATO_COMUNIC" << QVariant(1) << 25 << 0x88;
        QTest::newRow("full-list position beyond the short list")
            << 3 << "1.3"
            << "FORMATO_COMUNIC" << QVariant(25) << 25 << 0x77;
        QTest::newRow("Eco keeps the full list") << 3 << "1.2"
                                                 << "FORMATO_COMUNIC" << QVariant(1) << 25 << 0x11;
        QTest::newRow("5-zone short list") << 2 << "1.0"
                                           << "FORMATO_COMUNIC" << QVariant(0) << 25 << 0x80;
        QTest::newRow("no selection") << 1 << "1.4"
                                      << "FORMATO_COMUNIC" << QVariant(-1) << 25 << 0x77;
        QTest::newRow("PGM 2 switch-on by user") << 1 << "1.4"
                                                 << "PGM2" << QVariant(8) << 27 << 0x41;
        QTest::newRow("PGM 4 zone 8") << 1 << "1.4"
                                      << "PGM4" << QVariant(21) << 29 << 0x88;
        QTest::newRow("5-zone PGM list stops at zone 5") << 2 << "1.4"
                                                         << "PGM4" << QVariant(21) << 29 << 0x77;
    }
    void listPositions() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        QFETCH(QString, column);
        QFETCH(QVariant, stored);
        QFETCH(int, offset);
        QFETCH(int, byte);
        const PanelModel model{productCode, version};
        ProgrammingImage image = ProgrammingImage::Initial(productCode);
        image.setByte(offset, 0x77);
        const ProgrammingTable table =
            column == "PGM2" || column == "PGM4" ? ProgrammingTable::Opcoes : ProgrammingTable::Fones;
        ApplyRowToImage(table, {{column, stored}}, image, model);
        QCOMPARE(int(image.byte(offset)), byte);
        // Stored back: the same position, or -1 for a byte that is no list entry.
        const QVariant again = RowFromImage(table, image, model).value(column);
        if (byte == 0x77)
            QCOMPARE(again, QVariant(-1));
        else
            QCOMPARE(again, QVariant(stored.isNull() ? 0 : stored.toInt()));
    }

    void timesOfDay() {
        const PanelModel model{1, "1.4"};
        ProgrammingImage image = ProgrammingImage::Initial(1);
        ApplyRowToImage(ProgrammingTable::Tempos,
                        {{"HORA_AUTO_ARME", QTime(7, 5)},
                         {"HORA_AUTO_TESTE", QVariant(QMetaType(QMetaType::QTime))},
                         {"HORA_ACIONAMENTO_PGM", QStringLiteral("18:30:00")}},
                        image, model);
        QCOMPARE(image.bytes().mid(17, 6), QByteArray::fromHex("070500001830"));

        image.setByte(19, 0x2A); // no BCD hour: the time is stored as null
        const QVariantMap row = RowFromImage(ProgrammingTable::Tempos, image, model);
        QVERIFY(row["HORA_AUTO_TESTE"].isNull());
        QCOMPARE(row["HORA_AUTO_TESTE"].metaType(), QMetaType(QMetaType::QTime));
        QCOMPARE(row["HORA_ACIONAMENTO_PGM"].toTime(), QTime(18, 30));
    }

    void nullAndMissingColumns() {
        const PanelModel model{1, "1.4"};
        ProgrammingImage image = SampleImage(1);
        const ProgrammingImage before = image;
        // An older database lacks NAO_MOVIMENTO; a column left out of the map leaves its bytes alone.
        ApplyRowToImage(ProgrammingTable::Tempos, {{"SAIDA", QVariant()}, {"PGM", QVariant(500)}}, image,
                        model);
        ApplyRowToImage(ProgrammingTable::Opcoes, {{"DIGITOCOACAO", QVariant()}}, image, model);
        ApplyRowToImage(ProgrammingTable::Usuarios, {{"SENHA_MASTER", QVariant()}}, image, model);
        ApplyRowToImage(ProgrammingTable::Report, {{"COD_AUTO_ARME", QVariant()}}, image, model);
        QCOMPARE(int(image.byte(2)), 30);  // empty exit delay counts as 30
        QCOMPARE(int(image.byte(4)), 255); // above 255
        QCOMPARE(int(image.byte(15)), 0xFF);
        QCOMPARE(image.bytes().mid(124, 2), QByteArray::fromHex("FFFF"));
        QCOMPARE(int(image.byte(272)), 0x00);
        for (int n : {2, 4, 15, 124, 125, 272})
            image.setByte(n, before.byte(n));
        QVERIFY2(image == before, qPrintable(Differences(before, image)));
    }

    void zonesAreNormalisedByTheirTypeOnLoading() {
        const PanelModel model{1, "1.4"};
        ProgrammingImage image = ProgrammingImage::Initial(1);
        const QVariantMap zones = {
            {"HABDESABZONA", 0x04},     // zone 3 disabled
            {"ZONA24H", 0x03},          // zones 1 and 2 24-hour
            {"ZONASEGUIDORA", 0x17},    // followers everywhere
            {"ZONASILENCIOSA", 0x04},   // a disabled zone keeps nothing
            {"ZONADEFOGO", 0x06},       // zone 2 is a 24-hour fire zone, zone 3 a disabled one
            {"ZONATEMPOENTRADA", 0x10}, // zone 5 with entry delay cannot follow
        };
        ApplyRowToImage(ProgrammingTable::Zonas, zones, image, model);
        QCOMPARE(int(image.byte(48)), 0xFB);
        QCOMPARE(int(image.byte(49)), 0x03); // the fire zone stays a 24-hour zone
        QCOMPARE(int(image.byte(52)), 0x00);
        QCOMPARE(int(image.byte(53)), 0x00);
        QCOMPARE(int(image.byte(58)), 0x02);
        QCOMPARE(image.zoneType(3), ZoneType::Desabilitada);
        QCOMPARE(image.zoneType(5), ZoneType::TempoDeEntrada);
    }

    void columnsPerModel() {
        const QStringList ten = ImageColumns(ProgrammingTable::Zonas, {1, "1.4"});
        const QStringList five = ImageColumns(ProgrammingTable::Zonas, {2, "1.4"});
        QCOMPARE(ten.size(), 14);
        QVERIFY(ten.contains("ZONAPARTICAOA") && ten.contains("ATRIB_ZONA9"));
        QCOMPARE(five.size(), 11);
        QVERIFY(!five.contains("ZONAPARTICAOA") && !five.contains("ATRIB_ZONA10"));

        QCOMPARE(ImageColumns(ProgrammingTable::Usuarios, {1, ""}).size(), 2 + 2 * 48);
        QCOMPARE(ImageColumns(ProgrammingTable::Usuarios, {2, ""}).size(), 2 + 2 * 15);
        QVERIFY(ImageColumns(ProgrammingTable::Usuarios, {2, ""}).contains("SENHA_USUARIO15"));
        QVERIFY(!ImageColumns(ProgrammingTable::Opcoes, {2, ""}).contains("CONTA_PART_B"));
        QVERIFY(ImageColumns(ProgrammingTable::Opcoes, {2, ""}).contains("PROGBIT_6"));
        QVERIFY(!ImageColumns(ProgrammingTable::Opcoes, {1, ""}).contains("PROGBIT_5"));
        QVERIFY(!ImageColumns(ProgrammingTable::Tempos, {1, ""}).contains("NAO_MOVIMENTO"));
        QVERIFY(ImageColumns(ProgrammingTable::Tempos, {4, ""}).contains("NAO_MOVIMENTO"));
        QVERIFY(!ImageColumns(ProgrammingTable::Report, {1, ""}).contains("COD_NAO_MOVIMENTO"));
        QVERIFY(ImageColumns(ProgrammingTable::Report, {3, ""}).contains("COD_NAO_MOVIMENTO"));
        QCOMPARE(ImageColumns(ProgrammingTable::Report, {3, ""}).size(), 38);
        QCOMPARE(ImageColumns(ProgrammingTable::Report, {2, ""}).size(), 36);
        QCOMPARE(ImageColumns(ProgrammingTable::Painel, {2, ""}),
                 (QStringList{"CODIGO_PAINEL", "CODIGO_PC"}));
    }

    void builtInFactoryProgramming_data() {
        QTest::addColumn<int>("productCode");
        QTest::newRow("Orvan 10") << 1;
        QTest::newRow("Orvan 10 Eco") << 3;
        QTest::newRow("Orvan 5") << 2;
    }
    void builtInFactoryProgramming() {
        QFETCH(int, productCode);
        const bool ten = productCode != 2;
        // The image a new editor starts from, written out here from the fill table so that a
        // mistake in the program's own fill shows up: all zeros, then these bytes set to 0xFF.
        ProgrammingImage expected(ten ? ProductFamily::TenZone : ProductFamily::FiveZone);
        QCOMPARE(expected.size(), ten ? 304 : 256);
        SetRange(expected, 0, expected.size() - 1, 0x00);
        const QList<std::pair<int, int>> fill =
            ten ? QList<std::pair<int, int>>{{15, 15},   {31, 31},   {48, 48},   {120, 123}, {128, 223},
                                             {248, 255}, {270, 271}, {287, 287}, {297, 303}}
                : QList<std::pair<int, int>>{{9, 15},    {31, 31},   {37, 39},   {41, 47},   {49, 49},
                                             {60, 64},   {84, 94},   {100, 110}, {118, 125}, {174, 175},
                                             {190, 191}, {200, 223}, {248, 255}};
        for (const auto& [first, last] : fill)
            SetRange(expected, first, last, 0xFF);
        if (productCode == 1)
            expected.setByte(286, 0xFF); // the Orvan 10 alone
        expected.setBytes(QByteArray::fromHex("00"
                                              "3C3C05033C010000")); // times 1..8
        expected.setByte(16, 6);                                    // 6 rings
        SetRange(expected, 17, 24, 0x00);                           // every hour and minute "00"
        expected.setByte(25, 0x88);                                 // Contact ID
        SetRange(expected, 26, 30, 0x00);                           // PGMs off, no clock adjustment
        expected.setByte(32, 0x10);                                 // tone, report off
        expected.setByte(48, 0xFF);                                 // every zone enabled
        SetRange(expected, 49, 59, 0x00);                           // "Imediata", no attribute
        SetRange(expected, 112, 115, 0x00);
        expected.setByte(112, 0x6A);
        expected.setByte(113, 0x93);
        expected.setByte(114, 0x6A);
        expected.setByte(115, 0x93);
        SetRange(expected, 224, 247, 0xFF); // no telephone numbers
        if (ten) {
            expected.setByte(50, 0xFF); // partition A
            expected.setByte(60, 0x01); // keypad zones: partition A; not partitioned, so no stay
            expected.setByte(61, 0x01);
            SetRange(expected, 64, 111, 0x13);
            for (const auto& [n, b] : {std::pair{116, 0xAA},
                                       {117, 0xA1},
                                       {118, 0xAA},
                                       {119, 0xA2},
                                       {124, 0x25},
                                       {125, 0x81},
                                       {126, 0x74},
                                       {127, 0x62}})
                expected.setByte(n, quint8(b));
        } else {
            SetRange(expected, 65, 79, 0x03);
            for (const auto& [n, b] :
                 {std::pair{116, 0x6A}, {117, 0x93}, {126, 0x74}, {127, 0x62}, {128, 0x25}, {129, 0x81}})
                expected.setByte(n, quint8(b));
        }
        const ProgrammingImage image = BuiltInFactoryImage(productCode);
        QVERIFY2(image == expected, qPrintable(Differences(expected, image)));

        const FactoryProgramming fresh = ProgDefault(productCode, QString());
        QVERIFY(!fresh.fromTemplate);
        QCOMPARE(fresh.image, expected);
        QCOMPARE(fresh.clearAnsweringMachineBypass, ten);
        QCOMPARE(fresh.defaultTemplate.status, TemplateStatus::Missing);

        const ProgrammingRows rows = RowsFromImage(image, {productCode, ""});
        QCOMPARE(rows["PAINEL"]["CODIGO_PAINEL"], QVariant(QStringLiteral("6093")));
        QCOMPARE(rows["FONES"]["NUM_RINGS"], QVariant(5));
        QCOMPARE(rows["FONES"]["FORMATO_COMUNIC"], QVariant(ten ? 25 : 1));
        QCOMPARE(rows["TEMPOS"]["HORA_AUTO_ARME"].toTime(), QTime(0, 0));
        QCOMPARE(rows["USUARIOS"]["SENHA_MASTER"], QVariant(QStringLiteral("2581")));
        QCOMPARE(rows["USUARIOS"]["SENHA_USUARIO01"], QVariant(QString()));
    }

    void defaultTemplate_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("sizeAfter");
        QTest::newRow("plain 304") << 1 << "plain" << int(TemplateStatus::Loaded) << 304;
        QTest::newRow("longer file, refused") << 3 << "longer" << int(TemplateStatus::WrongForm) << 400;
        QTest::newRow("lines of 16 with CR LF, 342") << 1 << "lines" << int(TemplateStatus::Loaded) << 304;
        QTest::newRow("5-zone lines, 288") << 2 << "lines" << int(TemplateStatus::Loaded) << 256;
        QTest::newRow("last line without CR LF, refused")
            << 4 << "lines-open" << int(TemplateStatus::WrongForm) << 340;
        QTest::newRow("CR LF inside a plain image") << 1 << "crlf-data" << int(TemplateStatus::Loaded) << 304;
        QTest::newRow("too short") << 2 << "short" << int(TemplateStatus::WrongForm) << 200;
    }
    void defaultTemplate() {
        QFETCH(int, productCode);
        QFETCH(QString, form);
        QFETCH(int, status);
        QFETCH(int, sizeAfter);
        const ProductFamily family = productCode == 2 ? ProductFamily::FiveZone : ProductFamily::TenZone;
        const int size = ImageSize(family);
        QByteArray image;
        for (int n = 0; n < size; ++n)
            image += char(n * 11 + 3);
        if (form == "crlf-data")
            image.replace(16, 2, "\r\n");

        QByteArray file = image;
        if (form == "lines" || form == "lines-open") {
            file.clear();
            for (int b = 0; b < BlockCount(family); ++b)
                file += image.mid(b * 16, 16) + "\r\n";
            if (form == "lines-open")
                file.chop(2);
        } else if (form == "longer") {
            file += QByteArray(96, 'x');
        } else if (form == "short") {
            file = image.left(200);
        }

        QTemporaryDir dir;
        const QString path = dir.filePath("fabrica.zrv");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();

        const FactoryProgramming result = ProgDefault(productCode, path);
        QCOMPARE(int(result.defaultTemplate.status), status);
        QCOMPARE(QFileInfo(path).size(), qint64(sizeAfter));
        if (status == int(TemplateStatus::Loaded)) {
            QVERIFY(result.fromTemplate);
            QVERIFY(!result.clearAnsweringMachineBypass);
            QCOMPARE(result.image.bytes(), image);
            QCOMPARE(result.defaultTemplate.cleaned, form.startsWith("lines"));
        } else {
            QVERIFY(!result.fromTemplate);
            QCOMPARE(result.image, BuiltInFactoryImage(productCode));
        }
    }

    void defaultTemplateKeys() {
        QCOMPARE(DefaultTemplateKey(1), QStringLiteral("ProgDefault10"));
        QCOMPARE(DefaultTemplateKey(2), QStringLiteral("ProgDefault5"));
        QCOMPARE(DefaultTemplateKey(3), QStringLiteral("ProgDefault10Eco"));
        QCOMPARE(DefaultTemplateKey(4), QStringLiteral("ProgDefault10Eco"));
        Settings settings;
        settings.ProgDefault10 = "a";
        settings.ProgDefault5 = "b";
        settings.ProgDefault10Eco = "c";
        QCOMPARE(DefaultTemplatePath(settings, 1), QStringLiteral("a"));
        QCOMPARE(DefaultTemplatePath(settings, 2), QStringLiteral("b"));
        QCOMPARE(DefaultTemplatePath(settings, 4), QStringLiteral("c"));
    }
};

QTEST_GUILESS_MAIN(TestProgrammingStorage)
#include "tst_programming_storage.moc"
