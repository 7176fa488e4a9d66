#pragma once

#include "programming/panel_state.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

class ProgrammingImage;

// How a caption of the monitoring view is drawn.
enum class MonitorLook { Normal, Alarm, Bypassed };

// One zone of the monitoring view.
struct ZoneLook {
    QString Status = QStringLiteral("FECHADA"); // "FECHADA", "ABERTA" or "INIBIDA"
    MonitorLook StatusLook = MonitorLook::Normal;
    bool StatusRed = false; // an open zone's caption is written in red
    MonitorLook NameLook = MonitorLook::Normal;
    bool HasButtons = false;    // the board zones: "Inibir" / "Habilitar"
    bool InibirDown = false;    // bypassed
    bool HabilitarDown = false; // not bypassed
    bool ButtonsEnabled = false;
    QString Hint; // the zone's name, and its partition on a partitioned panel
};

// Everything the monitoring view shows, worked out from the last status answer and the panel's copy
// of the programming (`ImagemAlarme`), so the window only paints it.
struct MonitoringLook {
    QVector<ZoneLook> Zones; // zone 1 first: ten on the 10-zone family, five on the 5-zone model
    QString ArmCaption;      // "Armar", or "Armar\rForçado" while an open zone would be forced
    QString PartitionA;
    MonitorLook PartitionALook = MonitorLook::Normal;
    bool ArmADown = false, DisarmADown = false, ArmAEnabled = true;
    QString PartitionB;
    MonitorLook PartitionBLook = MonitorLook::Normal;
    bool ArmBDown = false, DisarmBDown = false, PartitionBEnabled = false, ArmBEnabled = true;
    std::array<MonitorLook, 5> Troubles{}; // "FALTA DE REDE AC", "BATERIA", "SIRENE", "SENSOR", "SAÍDA AUX."
    QString Siren;
    MonitorLook SirenLook = MonitorLook::Normal;
    int Battery = 0;         // 192..230
    bool BatteryLow = false; // drawn in the alarm colour (below 82 %)
    std::array<MonitorLook, 4> Pgm{};
    std::array<bool, 4> PgmOnDown{}, PgmEnabled{};
};

inline const QStringList kTroubleCaptions = {QStringLiteral("FALTA DE REDE AC"), QStringLiteral("BATERIA"),
                                             QStringLiteral("SIRENE"), QStringLiteral("SENSOR"),
                                             QStringLiteral("SAÍDA AUX.")};

// `Atualiza_Monitorando`: the view for the status bytes s0..s5, the panel's copy of the programming
// and the zone names of the customer's ZONAS row (zone 1 first; missing names leave the hint
// empty).
MonitoringLook DrawMonitoring(const QByteArray& status, const ProgrammingImage& alarm,
                              const QStringList& zoneNames);
