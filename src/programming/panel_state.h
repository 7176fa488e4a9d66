#pragma once

#include <QByteArray>
#include <QStringList>

// The panel's live state as one status answer gives it (s0..s5).
struct PanelState {
    quint16 OpenZones = 0;    // bit z-1: zone z (1..10) open; zones 9 and 10 are the keypad zones
    quint8 BypassedZones = 0; // bit z-1: zone z (1..8) bypassed
    bool ArmedA = false;
    bool ArmedB = false;
    quint8 Troubles = 0; // s2 without the siren bit
    bool SirenSounding = false;
    int Battery = 0;  // s3: 192 (empty) .. 230 (full)
    quint8 PgmOn = 0; // bit p-1: PGM p (1..4) on

    // Decodes s0..s5. A second byte of 0x5A counts as 0 for the partitions and the keypad zones
    // (the panel sends it while those are not reported). Fewer than six bytes give an empty state.
    static PanelState FromStatus(const QByteArray& s);

    bool ZoneOpen(int zone) const { return zone >= 1 && zone <= 10 && (OpenZones >> (zone - 1)) & 1; }
    bool ZoneBypassed(int zone) const { return zone >= 1 && zone <= 8 && (BypassedZones >> (zone - 1)) & 1; }
    bool Pgm(int pgm) const { return pgm >= 1 && pgm <= 4 && (PgmOn >> (pgm - 1)) & 1; }
    // The battery as a percentage of its scale, 0..100.
    int BatteryPercent() const;
    // The captions of the troubles reported: "FALTA DE REDE AC", "BATERIA", "SIRENE", "SENSOR",
    // "SAÍDA AUX.", in that order.
    QStringList TroubleCaptions() const;
};
