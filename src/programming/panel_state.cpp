#include "programming/panel_state.h"

#include <algorithm>

namespace {

constexpr int BatteryEmpty = 192;
constexpr int BatteryFull = 230;
constexpr quint8 NotReported = 0x5A;

struct Trouble {
    quint8 bit;
    const char* caption;
};
constexpr Trouble kTroubles[] = {
    {0x01, "FALTA DE REDE AC"}, {0x02, "BATERIA"}, {0x04, "SIRENE"}, {0x10, "SENSOR"}, {0x20, "SAÍDA AUX."},
};

} // namespace

PanelState PanelState::FromStatus(const QByteArray& s) {
    PanelState state;
    if (s.size() < 6)
        return state;
    const auto byte = [&](int n) { return quint8(s[n]); };
    const quint8 s1 = byte(1) == NotReported ? 0 : byte(1);
    state.OpenZones = quint16(byte(0) | (s1 & 0x40 ? 0x100 : 0) | (s1 & 0x80 ? 0x200 : 0));
    state.ArmedA = s1 & 0x01;
    state.ArmedB = s1 & 0x02;
    state.Troubles = byte(2) & 0x7F;
    state.SirenSounding = byte(2) & 0x80;
    state.Battery = byte(3);
    state.PgmOn = byte(4) & 0x0F;
    state.BypassedZones = byte(5);
    return state;
}

int PanelState::BatteryPercent() const {
    const int percent = (Battery - BatteryEmpty) * 100 / (BatteryFull - BatteryEmpty);
    return std::clamp(percent, 0, 100);
}

QStringList PanelState::TroubleCaptions() const {
    QStringList captions;
    for (const Trouble& t : kTroubles) {
        if (Troubles & t.bit)
            captions << QString::fromUtf8(t.caption);
    }
    return captions;
}
