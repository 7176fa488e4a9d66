#include "workspace/monitoring_view.h"

#include "programming/programming_image.h"

namespace {

constexpr quint8 PartitionedBit = 0x08; // byte 32 bit 3
constexpr quint8 RemotePgmModes[] = {0x41, 0x51};
constexpr int LowBatteryPercent = 82;

bool Bit(quint8 byte, int bit) {
    return (byte >> bit) & 1;
}

bool RemotePgm(quint8 mode) {
    return mode == RemotePgmModes[0] || mode == RemotePgmModes[1];
}

} // namespace

MonitoringLook DrawMonitoring(const QByteArray& status, const ProgrammingImage& alarm,
                              const QStringList& zoneNames) {
    const PanelState state = PanelState::FromStatus(status);
    const bool ten = alarm.family() == ProductFamily::TenZone;
    const bool partitioned = ten && (alarm.byte(32) & PartitionedBit);
    const bool openZoneForces = !(alarm.byte(32) & PartitionedBit);
    const quint8 bypassAllowed = alarm.byte(59);
    MonitoringLook look;

    const int zoneCount = ten ? 10 : 5;
    const int boardZones = ten ? 8 : 5;
    bool forced = false;
    look.Zones.resize(zoneCount);
    for (int z = 1; z <= zoneCount; ++z) {
        ZoneLook& zone = look.Zones[z - 1];
        const bool keypad = ten && z > 8;
        zone.HasButtons = z <= boardZones;
        if (zone.HasButtons) {
            zone.InibirDown = state.ZoneBypassed(z);
            zone.HabilitarDown = !zone.InibirDown;
        }
        if (state.ZoneBypassed(z)) {
            zone.Status = QStringLiteral("INIBIDA");
            zone.StatusLook = MonitorLook::Bypassed;
        }
        if (state.ZoneOpen(z)) {
            if (keypad) {
                zone.Status = QStringLiteral("ABERTA");
                zone.StatusLook = MonitorLook::Alarm;
            } else if (!state.ZoneBypassed(z)) {
                zone.Status = QStringLiteral("ABERTA");
            }
            zone.StatusRed = zone.Status == QLatin1String("ABERTA");
            zone.NameLook = MonitorLook::Alarm;
            if (!state.ZoneBypassed(z) && openZoneForces)
                forced = true;
        }
        // The zone's name, and on a partitioned panel the partitions it belongs to.
        zone.Hint = zoneNames.value(z - 1);
        if (partitioned && z <= 8) {
            if (Bit(alarm.byte(50), z - 1))
                zone.Hint += QStringLiteral("\rPertence a partição A");
            if (Bit(alarm.byte(51), z - 1))
                zone.Hint += QStringLiteral("\rPertence a partição B");
        }
    }
    look.ArmCaption = forced ? QStringLiteral("Armar\rForçado") : QStringLiteral("Armar");

    // Partition A (the whole panel on the 5-zone model).
    const QString nameA = ten ? QStringLiteral("PARTIÇÃO A") : QStringLiteral("ORVAN 5");
    look.PartitionA = nameA + (state.ArmedA ? QStringLiteral("\rArmada") : QStringLiteral("\rDesarmada"));
    look.PartitionALook = state.ArmedA ? MonitorLook::Alarm : MonitorLook::Normal;
    look.ArmADown = state.ArmedA;
    look.DisarmADown = !state.ArmedA;
    for (int z = 1; z <= boardZones; ++z)
        look.Zones[z - 1].ButtonsEnabled = !state.ArmedA && Bit(bypassAllowed, z - 1);

    look.PartitionBEnabled = partitioned;
    look.PartitionB = QStringLiteral("PARTIÇÃO B") +
                      (state.ArmedB ? QStringLiteral("\rArmada") : QStringLiteral("\rDesarmada"));
    look.PartitionBLook = state.ArmedB ? MonitorLook::Alarm : MonitorLook::Normal;
    look.ArmBDown = state.ArmedB;
    look.DisarmBDown = !state.ArmedB;

    // On a partitioned panel a partition cannot be armed while one of its zones is open and not
    // bypassed.
    if (partitioned) {
        bool openA = false;
        bool openB = false;
        for (int z = 1; z <= 8; ++z) {
            if (!state.ZoneOpen(z) || state.ZoneBypassed(z))
                continue;
            openA = openA || Bit(alarm.byte(50), z - 1);
            openB = openB || Bit(alarm.byte(51), z - 1);
        }
        const quint8 b34 = alarm.byte(34);
        openA = openA || (state.ZoneOpen(10) && Bit(alarm.byte(61), 0) && Bit(b34, 7)) ||
                (state.ZoneOpen(9) && Bit(alarm.byte(60), 0) && Bit(b34, 6));
        if (Bit(b34, 6))
            openB = openB || (state.ZoneOpen(9) && Bit(alarm.byte(60), 1)) ||
                    (state.ZoneOpen(10) && Bit(alarm.byte(61), 1) && Bit(b34, 7));
        look.ArmAEnabled = !openA;
        look.ArmBEnabled = !openB;
    }

    const quint8 troubleBits[] = {0x01, 0x02, 0x04, 0x10, 0x20};
    for (int t = 0; t < 5; ++t)
        look.Troubles[t] = state.Troubles & troubleBits[t] ? MonitorLook::Alarm : MonitorLook::Normal;
    look.Siren = state.SirenSounding ? QStringLiteral("ATIVADA") : QStringLiteral("DESATIVADA");
    look.SirenLook = state.SirenSounding ? MonitorLook::Alarm : MonitorLook::Normal;

    look.Battery = state.Battery;
    look.BatteryLow = state.BatteryPercent() < LowBatteryPercent;

    for (int p = 1; p <= 4; ++p) {
        look.Pgm[p - 1] = state.Pgm(p) ? MonitorLook::Alarm : MonitorLook::Normal;
        look.PgmOnDown[p - 1] = state.Pgm(p);
        const bool module = p == 1 || (alarm.byte(34) & 0x04);
        look.PgmEnabled[p - 1] = module && RemotePgm(alarm.byte(26 + p - 1));
    }
    return look;
}
