#include "programming/panel_codes.h"
#include "programming/programming_images.h"

#include <QTest>

namespace {

// The bytes in which two images differ, as "offset=hex" items.
QStringList Differences(const ProgrammingImage& a, const ProgrammingImage& b) {
    QStringList out;
    for (int n = 0; n < a.size(); ++n) {
        if (a.byte(n) != b.byte(n))
            out << QStringLiteral("%1=%2").arg(n).arg(b.byte(n), 2, 16, QLatin1Char('0'));
    }
    return out;
}

// "offset=hex" items for `bytes` written from `first` on.
QStringList Expected(int first, const QByteArray& bytes) {
    QStringList out;
    for (int i = 0; i < bytes.size(); ++i)
        out << QStringLiteral("%1=%2").arg(first + i).arg(quint8(bytes.at(i)), 2, 16, QLatin1Char('0'));
    return out;
}

} // namespace

class TestProgrammingImage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A field setter writes its bytes at the field's place and nowhere else.
    void fieldPlaces_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        auto row = [](const char* name, int code, ProgField f, const char* text, int offset,
                      const char* hex) {
            QTest::newRow(name) << code << int(f) << QString::fromUtf8(text) << offset
                                << QByteArray::fromHex(hex);
        };
        row("10z entry delay above 255", 1, ProgField::EntryDelay, "300", 1, "FF");
        row("10z without mains empty", 1, ProgField::NoMainsTime, "", 6, "1E");
        row("10z no movement", 3, ProgField::NoMovementTime, "15", 9, "0F");
        row("10z duress 0", 1, ProgField::DuressDigit, "0", 15, "0A");
        row("10z rings", 1, ProgField::Rings, "6", 16, "06");
        row("10z empty auto-arm hour", 1, ProgField::AutoArmHour, "", 17, "18");
        row("10z auto-test minute 75", 1, ProgField::AutoTestMinute, "75", 20, "30");
        row("10z PGM-on hour", 1, ProgField::PgmOnHour, "", 21, "19");
        row("10z PGM-off hour", 1, ProgField::PgmOffHour, "9", 23, "09");
        row("10z format", 1, ProgField::CommunicationFormat, "88 - Contact ID", 25, "88");
        row("10z PGM 3", 1, ProgField::Pgm3Mode, "63 - Ativa no incêndio por um tempo t", 28, "63");
        row("10z clock", 1, ProgField::ClockAdjustment, "35", 30, "23");
        row("10z panel code", 1, ProgField::PanelCode, "7", 112, "AAA7");
        row("10z PC code", 1, ProgField::PcCode, "6093", 114, "6A93");
        row("10z account A", 1, ProgField::AccountA, "0001", 116, "AAA1");
        row("10z account B", 1, ProgField::AccountB, "0002", 118, "AAA2");
        row("10z master", 1, ProgField::MasterCode, "2581", 124, "2581");
        row("10z installer", 1, ProgField::InstallerCode, "7462", 126, "7462");
        row("10z monitoring 2", 1, ProgField::MonitoringPhone2, "0,21*3#", 232, "AE21B3CFFFFFFFFF");
        row("10z PC phone", 1, ProgField::PcPhone, "12", 240, "12FFFFFFFFFFFFFF");
        row("10z report digit C", 1, ProgField::DigCoacao, "C", 256, "0C");
        row("10z last report digit", 1, ProgField::DigDesarmePcFone, "5", 269, "05");
        row("10z first report code", 1, ProgField::CodAutoArme, "1C", 272, "1C");
        row("10z no movement code", 4, ProgField::CodNaoMovimento, "E1", 286, "E1");
        row("10z phone line restore", 1, ProgField::CodRestLinhaTelefonica, "99", 296, "99");
        row("5z master after installer", 2, ProgField::MasterCode, "2581", 128, "2581");
        row("5z installer", 2, ProgField::InstallerCode, "7462", 126, "7462");
        row("5z account", 2, ProgField::AccountA, "6093", 116, "6A93");
        row("5z last report digit", 2, ProgField::DigDesarmePcFone, "5", 173, "05");
        row("5z last report code", 2, ProgField::CodAcessoRemoto, "21", 189, "21");
        row("5z trouble code", 2, ProgField::CodProbSaidaAux, "31", 192, "31");
        row("5z last restore code", 2, ProgField::CodRestSirene, "1C", 199, "1C");
        row("5z PC phone", 2, ProgField::PcPhone, "9", 240, "9FFFFFFFFFFFFFFF");
    }
    void fieldPlaces() {
        QFETCH(int, productCode);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        const ProgrammingImage before(ImageFamilyOf(productCode));
        ProgrammingImage image = before;
        image.setText(ProgField(field), text);
        QCOMPARE(Differences(before, image), Expected(offset, bytes));
        QCOMPARE(FieldOffset(ProgField(field), productCode), offset);
    }

    void fieldsAbsentFromTheModel() {
        ProgrammingImage five(ProductFamily::FiveZone);
        for (ProgField f : {ProgField::NoMovementTime, ProgField::AccountB, ProgField::CodNaoMovimento,
                            ProgField::CodRestLinhaTelefonica}) {
            QVERIFY(!five.hasField(f));
            five.setText(f, "12");
        }
        QCOMPARE(five, ProgrammingImage(ProductFamily::FiveZone));
        // The no-movement time and report code belong to product codes 3 and 4 only.
        QCOMPARE(FieldOffset(ProgField::NoMovementTime, 1), -1);
        QCOMPARE(FieldOffset(ProgField::CodNaoMovimento, 1), -1);
        QCOMPARE(FieldOffset(ProgField::CodNaoMovimento, 3), 286);
    }

    void fieldsStayInsideTheImageWithoutOverlap() {
        for (ProductFamily family : {ProductFamily::TenZone, ProductFamily::FiveZone}) {
            QVector<int> owner(ImageSize(family), -1);
            for (const FieldPlace& place : FieldPlaces()) {
                const int at = FieldOffset(place.field, family);
                if (at < 0)
                    continue;
                for (int i = 0; i < EncodedLength(place.encoding); ++i) {
                    QVERIFY2(at + i < ImageSize(family), place.column ? place.column : "time");
                    QVERIFY2(owner[at + i] < 0, qPrintable(QStringLiteral("byte %1 used twice").arg(at + i)));
                    owner[at + i] = int(place.field);
                }
            }
        }
    }

    void userPlaces_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<int>("user");
        QTest::addColumn<int>("codeByte");
        QTest::addColumn<int>("attributeByte");
        QTest::newRow("10z user 1") << 1 << 1 << 128 << 64;
        QTest::newRow("10z user 3") << 1 << 3 << 132 << 66;
        QTest::newRow("10z user 48") << 3 << 48 << 222 << 111;
        QTest::newRow("5z user 1") << 2 << 1 << 130 << 65;
        QTest::newRow("5z user 15") << 2 << 15 << 158 << 79;
    }
    void userPlaces() {
        QFETCH(int, productCode);
        QFETCH(int, user);
        QFETCH(int, codeByte);
        QFETCH(int, attributeByte);
        const ProgrammingImage before(ImageFamilyOf(productCode));
        ProgrammingImage image = before;
        image.setUserCode(user, "1023");
        image.setUserAttribute(user, 0, true);
        image.setUserAttribute(user, 4, true);
        QStringList expected = Expected(attributeByte, QByteArray::fromHex("11")) +
                               Expected(codeByte, QByteArray::fromHex("1A23"));
        QCOMPARE(Differences(before, image), expected);
        QCOMPARE(image.userCode(user), QStringLiteral("1023"));
        image.setUserCode(user, "");
        QCOMPARE(image.byte(codeByte), quint8(0xFF));
        QCOMPARE(image.byte(codeByte + 1), quint8(0xFF));
    }

    void initialFill_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<int>("ffCount");
        QTest::addColumn<QList<int>>("ffBytes");
        QTest::addColumn<QList<int>>("zeroBytes");
        QTest::newRow("Orvan 10") << 1 << 122
                                  << QList<int>{15, 31, 48, 120, 128, 223, 248, 270, 286, 287, 297, 303}
                                  << QList<int>{7, 36, 47, 49, 285, 296};
        QTest::newRow("product 3 keeps its no-movement code")
            << 3 << 121 << QList<int>{270, 287} << QList<int>{286};
        QTest::newRow("Orvan 5") << 2 << 90 << QList<int>{9,   15,  37,  47,  49,  60,  64,  84, 94,
                                                          100, 110, 125, 174, 191, 200, 223, 255}
                                 << QList<int>{0, 8, 16, 40, 48, 50, 65, 111, 160, 199};
    }
    void initialFill() {
        QFETCH(int, productCode);
        QFETCH(int, ffCount);
        QFETCH(QList<int>, ffBytes);
        QFETCH(QList<int>, zeroBytes);
        const ProgrammingImage image = ProgrammingImage::Initial(productCode);
        QCOMPARE(image.bytes().count('\xFF'), ffCount);
        for (int n : ffBytes)
            QVERIFY2(image.byte(n) == 0xFF, qPrintable(QString::number(n)));
        for (int n : zeroBytes)
            QVERIFY2(image.byte(n) == 0x00, qPrintable(QString::number(n)));
        const ProgrammingImages pair(productCode);
        QCOMPARE(pair.ImagemPC, image);
        QCOMPARE(pair.ImagemAlarme.bytes(), QByteArray(image.size(), '\0'));
    }

    // One changed byte marks exactly its chunk and its block.
    void differenceMarking_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("changedByte");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("chunk");
        auto row = [](const char* name, int code, ProgSection s, int n, int block, int chunk) {
            QTest::newRow(name) << code << int(s) << n << block << chunk;
        };
        row("10z zones byte 50", 1, ProgSection::Zonas, 50, 3, 0);
        row("10z keypad zone 10", 1, ProgSection::Zonas, 61, 3, 3);
        row("10z user 48 code", 1, ProgSection::Usuarios, 223, 13, 3);
        row("10z master code", 1, ProgSection::Usuarios, 125, 7, 3);
        row("10z no movement on code 3", 3, ProgSection::Tempos, 9, 0, 2);
        row("10z no movement on code 1", 1, ProgSection::Tempos, 9, -1, -1);
        row("10z PC phone", 1, ProgSection::Comunicacao, 247, 15, 1);
        row("10z options", 1, ProgSection::Opcoes, 35, 2, 0);
        row("10z unused option byte", 1, ProgSection::Opcoes, 41, -1, -1);
        row("10z PGM 4", 1, ProgSection::Pgms, 29, 1, 3);
        row("10z page 1 first block", 1, ProgSection::Reporte, 260, 16, 1);
        row("10z page 1 last chunk", 1, ProgSection::Reporte, 300, 18, 3);
        row("10z zones ignore block 2", 1, ProgSection::Zonas, 32, -1, -1);
        row("10z codes", 1, ProgSection::CodigosPainel, 115, 7, 0);
        row("5z zones never byte 50", 2, ProgSection::Zonas, 50, -1, -1);
        row("5z zones byte 59", 2, ProgSection::Zonas, 59, 3, 2);
        row("5z user 1 attributes", 2, ProgSection::Usuarios, 65, 4, 0);
        row("5z option byte 6", 2, ProgSection::Opcoes, 40, 2, 2);
        row("5z restore code", 2, ProgSection::Reporte, 199, 12, 1);
    }
    void differenceMarking() {
        QFETCH(int, productCode);
        QFETCH(int, section);
        QFETCH(int, changedByte);
        QFETCH(int, block);
        QFETCH(int, chunk);
        ProgrammingImages images(productCode);
        images.ImagemAlarme = images.ImagemPC;
        images.ImagemPC.setByte(changedByte, images.ImagemPC.byte(changedByte) ^ 0x5A);

        ChunkMarks marks;
        marks.Blocks = 0xFFFFFFFF; // stale request bits must not survive
        const bool needed = images.markSection(ProgSection(section), marks);
        if (block < 0) {
            QVERIFY(!needed);
            QCOMPARE(marks.Blocks, 0u);
            return;
        }
        QVERIFY(needed);
        QCOMPARE(marks.Blocks, 1u << block);
        QCOMPARE(int(marks.Chunks[block]), 1 << chunk);
    }

    void markingClearsOnlyTheBlocksItExamines() {
        ProgrammingImages images(1);
        images.ImagemAlarme = images.ImagemPC;
        ChunkMarks marks;
        marks.Chunks[3] = 0x0F; // left from an earlier zones send
        marks.Chunks[16] = 0x0F;
        images.ImagemPC.setByte(256, 0x01);
        images.ImagemPC.setByte(303, 0x01);
        QVERIFY(images.markSection(ProgSection::Reporte, marks));
        QCOMPARE(marks.Blocks, (1u << 16) | (1u << 18));
        QCOMPARE(int(marks.Chunks[16]), 0x01);
        QCOMPARE(int(marks.Chunks[17]), 0x00);
        QCOMPARE(int(marks.Chunks[18]), 0x08);
        QCOMPARE(int(marks.Chunks[3]), 0x0F); // not examined, not in Blocks
        QVERIFY(!images.markSection(ProgSection::Zonas, marks));
        QCOMPARE(int(marks.Chunks[3]), 0x00);
        QCOMPARE(marks.Blocks, 0u);
    }

    void wholeProgrammingMarking() {
        ProgrammingImages images(1);
        images.ImagemAlarme = images.ImagemPC;
        images.ImagemPC.setUserCode(5, "1234");
        ChunkMarks marks;
        QVERIFY(!images.markWholeProgramming(false, marks));
        QVERIFY(images.markWholeProgramming(true, marks));
        QCOMPARE(marks.Blocks, 1u << 8);
        images.ImagemPC.setText(ProgField::AccountB, "4321");
        QVERIFY(images.markWholeProgramming(false, marks));
        QCOMPARE(marks.Blocks, 1u << 7);
        QCOMPARE(WholeSendEqualMessage(ProductFamily::FiveZone),
                 QStringLiteral("A programação no software Telvora\rjá está igual a do painel de alarme"));
    }

    void panelCodeGroup() {
        ProgrammingImages images(2);
        images.ImagemPC.setText(ProgField::PanelCode, "7");
        images.ImagemPC.setText(ProgField::PcCode, "6093");
        images.ImagemAlarme.setText(ProgField::PanelCode, "7");
        images.ImagemAlarme.setText(ProgField::PcCode, "6093");
        QCOMPARE(PanelCodesOf(images.ImagemPC).panelCode, QStringLiteral("0007"));
        QCOMPARE(PanelCodesOf(images.ImagemPC).pcCode, QStringLiteral("6093"));

        ChunkMarks marks;
        QVERIFY(!MarkPanelCodes(images, marks));
        QCOMPARE(PanelCodesEqualMessage(),
                 QStringLiteral(
                     "A programação de zonas no software Telvora\rjá está igual a do painel de alarme"));
        images.ImagemPC.setText(ProgField::PcCode, PcCodeOnLeave(""));
        images.ImagemPC.setText(ProgField::PanelCode, PanelCodeOnLeave("12"));
        QCOMPARE(PanelCodesOf(images.ImagemPC).panelCode, QStringLiteral("0012"));
        QVERIFY(MarkPanelCodes(images, marks));
        QCOMPARE(marks.Blocks, 1u << 7);
        QCOMPARE(int(marks.Chunks[7]), 0x01);

        QCOMPARE(CodeGroupProductCode(QVariant(QStringLiteral("2")), 1), 2);
        QCOMPARE(CodeGroupProductCode(QVariant(), 3), 3);
    }

    void copyFromAlarmChecksHoursAndMinutes_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("alarm");
        QTest::addColumn<int>("copied");
        QTest::newRow("hour 23") << 1 << 17 << 0x23 << 0x23;
        QTest::newRow("hour 09") << 1 << 19 << 0x09 << 0x09;
        QTest::newRow("hour 24") << 1 << 21 << 0x24 << 0x23;
        QTest::newRow("hour 1A") << 1 << 23 << 0x1A << 0x23;
        QTest::newRow("minute 7A") << 1 << 18 << 0x7A << 0x59;
        QTest::newRow("minute 5A") << 1 << 20 << 0x5A << 0x59;
        QTest::newRow("minute 60") << 1 << 22 << 0x60 << 0x59;
        QTest::newRow("minute 59") << 1 << 24 << 0x59 << 0x59;
        QTest::newRow("no movement copied") << 1 << 9 << 0x77 << 0x77;
        QTest::newRow("5z minute copied unchanged") << 2 << 18 << 0x7A << 0x7A;
    }
    void copyFromAlarmChecksHoursAndMinutes() {
        QFETCH(int, productCode);
        QFETCH(int, offset);
        QFETCH(int, alarm);
        QFETCH(int, copied);
        ProgrammingImages images(productCode);
        images.ImagemAlarme.setByte(offset, quint8(alarm));
        images.copySectionFromAlarm(ProgSection::Tempos);
        QCOMPARE(int(images.ImagemPC.byte(offset)), copied);
    }

    void copyFromAlarmKeepsToItsRanges() {
        ProgrammingImages images(1);
        ProgrammingImage alarm(ProductFamily::TenZone);
        for (int n = 0; n < alarm.size(); ++n)
            alarm.setByte(n, quint8(n * 7 + 1));
        images.ImagemAlarme = alarm;
        const ProgrammingImage before = images.ImagemPC;
        images.copySectionFromAlarm(ProgSection::Comunicacao);
        QStringList expected;
        for (int n : {16, 25})
            expected << Expected(n, QByteArray(1, char(alarm.byte(n))));
        for (int n = 116; n <= 119; ++n)
            expected << Expected(n, QByteArray(1, char(alarm.byte(n))));
        for (int n = 224; n <= 247; ++n) // the unused bytes 248..255 are not copied
            expected << Expected(n, QByteArray(1, char(alarm.byte(n))));
        QCOMPARE(Differences(before, images.ImagemPC), expected);

        images.copyAllFromAlarm();
        QCOMPARE(images.ImagemPC.byte(112), before.byte(112)); // the codes are not a section copy
        QCOMPARE(images.ImagemPC.byte(300), alarm.byte(300));
        QCOMPARE(images.ImagemPC.byte(248), before.byte(248));
        images.clearAlarm();
        QVERIFY(images.ImagemAlarme.blockIsBlank(18));
    }

    void zoneNormalisationAfterRead_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<bool>("partitioned");
        QTest::addColumn<QList<int>>("setBytes");  // bytes with zone 3's bit set
        QTest::addColumn<QList<int>>("keptBytes"); // bytes whose zone 3 bit survives
        const QList<int> all = {49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59};
        QTest::newRow("disabled zone loses everything") << 1 << false << all << QList<int>{};
        QTest::newRow("24-hour zone")
            << 1 << false << (QList<int>{48} + all) << QList<int>{48, 49, 52, 56, 58};
        QTest::newRow("24-hour zone, partitioned")
            << 1 << true << (QList<int>{48} + all) << QList<int>{48, 49, 51, 52, 56, 58};
        QTest::newRow("entry delay is no follower")
            << 1 << false << QList<int>{48, 53, 54, 55, 57} << QList<int>{48, 54, 55, 57};
        // The 5-zone panel's copy follows the same rules, bit 3 of byte 32 included (there it is
        // the dial-tone wait), so the copies of both models compare alike.
        QTest::newRow("5z 24-hour zone")
            << 2 << false << (QList<int>{48} + all) << QList<int>{48, 49, 52, 56, 58};
        QTest::newRow("5z 24-hour zone, byte 32 bit 3 set")
            << 2 << true << (QList<int>{48} + all) << QList<int>{48, 49, 51, 52, 56, 58};
        QTest::newRow("5z disabled zone loses byte 50 too") << 2 << false << all << QList<int>{};
    }
    void zoneNormalisationAfterRead() {
        QFETCH(int, productCode);
        QFETCH(bool, partitioned);
        QFETCH(QList<int>, setBytes);
        QFETCH(QList<int>, keptBytes);
        ProgrammingImage image(ImageFamilyOf(productCode));
        image.setByte(32, partitioned ? 0x08 : 0x00);
        // Zones 1 and 2 are enabled silent zones whose bits must survive untouched.
        image.setByte(48, 0x03);
        image.setByte(52, 0x03);
        for (int n : setBytes)
            image.setByte(n, image.byte(n) | 0x04);
        NormalizaAtributosZonas(image);
        QCOMPARE(image.byte(48) & 0x03, 0x03);
        QCOMPARE(image.byte(52) & 0x03, 0x03);
        for (int n = 48; n <= 59; ++n)
            QVERIFY2(bool(image.byte(n) & 0x04) == keptBytes.contains(n), qPrintable(QString::number(n)));
    }

    void blockVerification() {
        // A write that sends every byte from the PC's image.
        WriteContent everything;
        everything.takeFromPc({{0, kMaxImageSize - 1}});
        const auto BlockVerifies = [&](ProgrammingImage& pc, const ProgrammingImage& alarm, int block,
                                       quint8 chunks) {
            return ::BlockVerifies(pc, alarm, everything, alarm.block(block), block, chunks);
        };
        ProgrammingImage pc(ProductFamily::TenZone);
        ProgrammingImage alarm(ProductFamily::TenZone);
        for (int n = 41; n <= 47; ++n)
            alarm.setByte(n, 0x99);
        QVERIFY(BlockVerifies(pc, alarm, 2, 0x0F)); // the panel does not keep bytes 41..47
        alarm.setByte(40, 0x01);
        QVERIFY(!BlockVerifies(pc, alarm, 2, 0x0F));
        QVERIFY(BlockVerifies(pc, alarm, 2, 0x0B)); // chunk 2 (bytes 40..43) not written, not compared
        alarm.setByte(33, 0x01);
        QVERIFY(!BlockVerifies(pc, alarm, 2, 0x01));

        ProgrammingImage pc5(ProductFamily::FiveZone);
        ProgrammingImage alarm5(ProductFamily::FiveZone);
        pc5.setByte(48, 0x1F);
        alarm5.setByte(48, 0xFF);
        QVERIFY(BlockVerifies(pc5, alarm5, 3, 0x01));
        QCOMPARE(int(pc5.byte(48)), 0xFF);
        alarm5.setByte(48, 0xEF);
        QVERIFY(!BlockVerifies(pc5, alarm5, 3, 0x01));
    }

    void zoneTypes_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<bool>("partitioned");
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("bitSet"); // bytes where zone 4's bit is set afterwards
        const QList<int> allBoxes = {50, 51, 52, 53, 56, 57, 58, 59};
        QTest::newRow("Zona 24h") << 1 << false << int(ZoneType::Zona24h)
                                  << QList<int>{48, 49, 50, 52, 56, 58};
        QTest::newRow("Zona 24h partitioned keeps partition B")
            << 1 << true << int(ZoneType::Zona24h) << QList<int>{48, 49, 50, 51, 52, 56, 58};
        QTest::newRow("5z Zona 24h always clears stay")
            << 2 << true << int(ZoneType::Zona24h) << QList<int>{48, 49, 50, 52, 56, 58};
        QTest::newRow("Tempo de entrada")
            << 1 << false << int(ZoneType::TempoDeEntrada) << QList<int>{48, 50, 51, 52, 54, 56, 57, 58, 59};
        QTest::newRow("Tempo de ent. e saída") << 1 << false << int(ZoneType::TempoDeEntradaESaida)
                                               << QList<int>{48, 50, 51, 52, 54, 55, 56, 57, 58, 59};
        QTest::newRow("Tempo de saída")
            << 1 << false << int(ZoneType::TempoDeSaida) << (QList<int>{48, 55} + allBoxes);
        QTest::newRow("Imediata") << 1 << false << int(ZoneType::Imediata) << (QList<int>{48} + allBoxes);
        QTest::newRow("DESABILITADA") << 1 << false << int(ZoneType::Desabilitada) << QList<int>{};
        QTest::newRow("5z DESABILITADA leaves byte 50")
            << 2 << false << int(ZoneType::Desabilitada) << QList<int>{50};
    }
    void zoneTypes() {
        QFETCH(int, productCode);
        QFETCH(bool, partitioned);
        QFETCH(int, type);
        QFETCH(QList<int>, bitSet);
        ProgrammingImage image(ImageFamilyOf(productCode));
        image.setByte(32, partitioned ? 0x08 : 0x00);
        for (int n = 48; n <= 59; ++n)
            image.setByte(n, 0xFF); // zone 4 enabled with every attribute, 24 h and both delays
        image.setZoneType(4, ZoneType(type));
        for (int n = 48; n <= 59; ++n)
            QVERIFY2(bool(image.byte(n) & 0x08) == bitSet.contains(n), qPrintable(QString::number(n)));
        QCOMPARE(image.byte(49) & 0xF7, 0xF7); // other zones untouched
        QCOMPARE(int(image.zoneType(4)), type);
    }

    void zoneTypeOfAFireZone() {
        ProgrammingImage image(ProductFamily::TenZone);
        image.setZoneMask(ZoneAttribute::Disabled, 0x00);
        image.setZoneMask(ZoneAttribute::Fire, 0x07);
        image.setZoneMask(ZoneAttribute::Hour24, 0x01);
        image.setZoneAttribute(ZoneAttribute::Disabled, 2, true);
        QCOMPARE(image.zoneType(1), ZoneType::Zona24h);
        QCOMPARE(image.zoneType(2), ZoneType::Desabilitada);
        QCOMPARE(image.zoneType(3), ZoneType::Imediata);
        QCOMPARE(int(image.byte(48)), 0xFD);
    }

    void optionsAndReportMode() {
        ProgrammingImage ten(ProductFamily::TenZone);
        ten.setOption(0x37, true);
        QCOMPARE(int(ten.byte(35)), 0x80);
        ten.setOption(NamedOption::DiallerMode, true);
        ten.setReportMode(2);
        QCOMPARE(int(ten.byte(32)), 0x02); // dialler mode cleared by a split/double/alternate report
        ten.setOption(0x47, true);         // no such byte on the 10-zone family
        QCOMPARE(ten.bytes().count('\0'), ten.size() - 2);

        ProgrammingImage five(ProductFamily::FiveZone);
        five.setOption(0x84, true);
        five.setOption(0x44, true);
        QCOMPARE(int(five.byte(40)), 0x10);
        QCOMPARE(int(five.byte(36)), 0x10);
        QCOMPARE(int(five.progBit(6)), 0x10);
        five.setOption(0x03, true);
        QVERIFY(!five.isPartitioned());
    }
};

QTEST_GUILESS_MAIN(TestProgrammingImage)
#include "tst_programming_image.moc"
