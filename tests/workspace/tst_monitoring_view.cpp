// The monitoring view worked out from a status answer and the panel's copy of the programming.
#include "programming/programming_image.h"
#include "workspace/monitoring_view.h"

#include <QTest>

namespace {

// A 10-zone panel's copy: every board zone may be bypassed, PGM 1 and 3 remote-controlled with the
// module present; partitioned with zones 1..4 in A and 5..8 in B when asked.
ProgrammingImage TenZone(bool partitioned = false) {
    ProgrammingImage image(ProductFamily::TenZone);
    image.setByte(59, 0xFF);
    image.setByte(26, 0x41);
    image.setByte(28, 0x51);
    image.setByte(34, 0x04);
    if (partitioned) {
        image.setByte(32, 0x08);
        image.setByte(50, 0x0F);
        image.setByte(51, 0xF0);
    }
    return image;
}

QStringList Statuses(const MonitoringLook& look) {
    QStringList statuses;
    for (const ZoneLook& zone : look.Zones)
        statuses << zone.Status;
    return statuses;
}

} // namespace

class TestMonitoringView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void zonesAndPartitions() {
        // Zone 1 open, zone 3 bypassed (and open: it stays "INIBIDA").
        MonitoringLook look =
            DrawMonitoring(QByteArray::fromHex("050000E00004"), TenZone(), {"Sala", "Cozinha"});
        QCOMPARE(Statuses(look), QStringList({"ABERTA", "FECHADA", "INIBIDA", "FECHADA", "FECHADA", "FECHADA",
                                              "FECHADA", "FECHADA", "FECHADA", "FECHADA"}));
        QVERIFY(look.Zones[0].StatusRed);
        QCOMPARE(look.Zones[0].NameLook, MonitorLook::Alarm);
        QCOMPARE(look.Zones[2].StatusLook, MonitorLook::Bypassed);
        QCOMPARE(look.Zones[2].NameLook, MonitorLook::Alarm);
        QVERIFY(look.Zones[2].InibirDown && !look.Zones[2].HabilitarDown);
        QVERIFY(look.Zones[1].HabilitarDown);
        QCOMPARE(look.ArmCaption, QStringLiteral("Armar\rForçado"));
        QCOMPARE(look.PartitionA, QStringLiteral("PARTIÇÃO A\rDesarmada"));
        QVERIFY(look.Zones[0].ButtonsEnabled);
        QVERIFY(!look.PartitionBEnabled);
        QCOMPARE(look.Zones[0].Hint, QStringLiteral("Sala"));

        // 0x5A in s1 counts as nothing: keypad zones closed, both partitions disarmed.
        look = DrawMonitoring(QByteArray::fromHex("005A00E00000"), TenZone(), {});
        QCOMPARE(look.Zones[8].Status, QStringLiteral("FECHADA"));
        QCOMPARE(look.Zones[9].Status, QStringLiteral("FECHADA"));
        QVERIFY(look.DisarmADown && look.DisarmBDown);
        QCOMPARE(look.ArmCaption, QStringLiteral("Armar"));

        // Partition A armed: every zone button disabled.
        look = DrawMonitoring(QByteArray::fromHex("000100E00000"), TenZone(), {});
        QCOMPARE(look.PartitionA, QStringLiteral("PARTIÇÃO A\rArmada"));
        QCOMPARE(look.PartitionALook, MonitorLook::Alarm);
        for (const ZoneLook& zone : look.Zones)
            QVERIFY(!zone.ButtonsEnabled);

        // A zone that may not be bypassed has its buttons disabled.
        ProgrammingImage noBypass = TenZone();
        noBypass.setByte(59, 0xFD);
        look = DrawMonitoring(QByteArray::fromHex("000000E00000"), noBypass, {});
        QVERIFY(!look.Zones[1].ButtonsEnabled && look.Zones[0].ButtonsEnabled);
    }

    void partitionedPanel() {
        // Zone 2 (partition A) open, keypad zone 10 open: arming A is refused, B is not; the hints
        // name the partitions.
        MonitoringLook look = DrawMonitoring(QByteArray::fromHex("020000E00000"), TenZone(true), {"Sala"});
        QVERIFY(look.PartitionBEnabled);
        QVERIFY(!look.ArmAEnabled);
        QVERIFY(look.ArmBEnabled);
        QCOMPARE(look.ArmCaption, QStringLiteral("Armar")); // partitioned: nothing is forced
        QCOMPARE(look.Zones[0].Hint, QStringLiteral("Sala\rPertence a partição A"));
        QCOMPARE(look.Zones[5].Hint, QStringLiteral("\rPertence a partição B"));
        look = DrawMonitoring(QByteArray::fromHex("200200E00000"), TenZone(true), {});
        QVERIFY(look.ArmAEnabled);
        QVERIFY(!look.ArmBEnabled); // zone 6 is in B
        QCOMPARE(look.PartitionB, QStringLiteral("PARTIÇÃO B\rArmada"));
    }

    void troublesBatteryAndOutputs_data() {
        QTest::addColumn<int>("battery");
        QTest::addColumn<bool>("low");
        QTest::newRow("223 is below 82 %") << 223 << true;
        QTest::newRow("224 is above") << 224 << false;
    }
    void troublesBatteryAndOutputs() {
        QFETCH(int, battery);
        QFETCH(bool, low);
        QByteArray status = QByteArray::fromHex("0000B7000500");
        status[3] = char(battery);
        const MonitoringLook look = DrawMonitoring(status, TenZone(), {});
        QCOMPARE(look.BatteryLow, low);
        for (MonitorLook trouble : look.Troubles)
            QCOMPARE(trouble, MonitorLook::Alarm);
        QCOMPARE(look.Siren, QStringLiteral("ATIVADA"));
        QCOMPARE(look.PgmOnDown, (std::array<bool, 4>{true, false, true, false}));
        // PGM 1 and 3 are remote-controlled; 2 and 4 are not.
        QCOMPARE(look.PgmEnabled, (std::array<bool, 4>{true, false, true, false}));
    }

    void fiveZoneModel() {
        ProgrammingImage image(ProductFamily::FiveZone);
        image.setByte(59, 0x1F);
        const MonitoringLook look = DrawMonitoring(QByteArray::fromHex("110100E00000"), image, {});
        QCOMPARE(look.Zones.size(), 5);
        QCOMPARE(look.PartitionA, QStringLiteral("ORVAN 5\rArmada"));
        QCOMPARE(look.Zones[4].Status, QStringLiteral("ABERTA"));
        QVERIFY(!look.PartitionBEnabled);
        QVERIFY(!look.Zones[0].ButtonsEnabled); // armed
    }
};

QTEST_GUILESS_MAIN(TestMonitoringView)
#include "tst_monitoring_view.moc"
