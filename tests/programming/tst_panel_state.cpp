// The panel's state as one status answer gives it.
#include "programming/panel_state.h"

#include <QTest>

class TestPanelState : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decode_data() {
        QTest::addColumn<QByteArray>("status"); // s0..s5
        QTest::addColumn<int>("open");
        QTest::addColumn<int>("bypassed");
        QTest::addColumn<bool>("armedA");
        QTest::addColumn<bool>("armedB");
        QTest::addColumn<QStringList>("troubles");
        QTest::addColumn<bool>("siren");
        QTest::addColumn<int>("battery"); // percent
        QTest::addColumn<int>("pgm");
        QTest::newRow("zone 1 open, zone 3 bypassed") << QByteArray::fromHex("050000000004") << 0x05 << 0x04
                                                      << false << false << QStringList{} << false << 0 << 0;
        QTest::newRow("0x5A: keypad zones closed, both partitions disarmed")
            << QByteArray::fromHex("005A00E60000") << 0 << 0 << false << false << QStringList{} << false
            << 100 << 0;
        QTest::newRow("keypad zones open, both armed") << QByteArray::fromHex("00C300E00000") << 0x300 << 0
                                                       << true << true << QStringList{} << false << 84 << 0;
        QTest::newRow("troubles and siren, battery 223 below 82 %")
            << QByteArray::fromHex("0000B7DF0900") << 0 << 0 << false << false
            << QStringList{"FALTA DE REDE AC", "BATERIA", "SIRENE", "SENSOR", "SAÍDA AUX."} << true << 81
            << 0x09;
        QTest::newRow("battery 224 reads 84 %") << QByteArray::fromHex("000000E00000") << 0 << 0 << false
                                                << false << QStringList{} << false << 84 << 0;
        QTest::newRow("short answer")
            << QByteArray::fromHex("FFFF") << 0 << 0 << false << false << QStringList{} << false << 0 << 0;
    }
    void decode() {
        QFETCH(QByteArray, status);
        const PanelState state = PanelState::FromStatus(status);
        QTEST(int(state.OpenZones), "open");
        QTEST(int(state.BypassedZones), "bypassed");
        QTEST(state.ArmedA, "armedA");
        QTEST(state.ArmedB, "armedB");
        QTEST(state.TroubleCaptions(), "troubles");
        QTEST(state.SirenSounding, "siren");
        QTEST(state.BatteryPercent(), "battery");
        QTEST(int(state.PgmOn), "pgm");
    }
};

QTEST_GUILESS_MAIN(TestPanelState)
#include "tst_panel_state.moc"
