#include "base/settings.h"
#include "serial/modem_catalogue.h"
#include "serial/modem_init_list.h"

#include <QTest>

namespace {
using Lines = QList<QByteArray>;

// The settings after choosing a catalogue model in the communication dialog.
Settings settingsFor(const QString& model, const QString& initString = {}) {
    Settings s;
    s.Modem = model;
    s.setAtLines(SplitInitString(initString.isEmpty() ? BuiltInInitString(model) : initString));
    s.Speaker = 1;
    s.Volume = 0;
    return s;
}

const QString kSerial = QStringLiteral("U.S. Robotics Serial Externo ou Interno");
const QString kUsb = QStringLiteral("U.S. Robotics USB");
const QByteArray kMs = "AT+MS=B103,0,300\r";

Lines onePerLine(const QStringList& commands) {
    Lines out;
    for (const QString& c : commands)
        out.append("AT" + c.toLatin1() + '\r');
    return out;
}
} // namespace

class TestModemInitList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultCatalogueConnection() {
        const ModemInitList list = BuildModemInitList(settingsFor(kSerial), ModemInitWorker::Connection);
        QVERIFY(!list.usbModem);
        QCOMPARE(list.commandCount, 18);
        QCOMPARE(list.items.size(), 23);
        QCOMPARE(ModemInitOutput(list), (Lines{"AT\r", "AT&C0&D2&F0&H0\r", "AT&I0&K0&N1E0\r",
                                               "ATL0M1Q0S0=0\r", "ATS10=255S12=50S7=120S9=1\r", "ATV0X3\r"}));
        QList<int> indexes;
        for (const ModemInitStep& step : ModemInitSteps(list))
            indexes.append(step.indexAfter);
        QCOMPARE(indexes, (QList<int>{4, 8, 12, 16, 20}));
    }

    void pauseAddsItsCommandAndDialDigit() {
        Settings s = settingsFor(kSerial);
        s.HabilitaPausa = true;
        s.Intervalo = 2;
        s.Digito = "0";
        const ModemInitList list = BuildModemInitList(s, ModemInitWorker::Connection);
        QCOMPARE(list.commandCount, 19);
        QCOMPARE(ModemInitOutput(list),
                 (Lines{"AT\r", "AT&C0&D2&F0&H0\r", "AT&I0&K0&N1E0\r", "ATL0M1Q0S0=0\r",
                        "ATS08=2S10=255S12=50S7=120\r", "ATS9=1V0X3\r"}));
        QCOMPARE(ExpandDialCommand(DialCommand(s), s, "5551234"), QByteArray("ATDT0,5551234;ATA\r"));
        s.HabilitaPausa = false;
        s.Discagem = "Pulso";
        QCOMPARE(ExpandDialCommand(DialCommand(s), s, "5551234"), QByteArray("ATDP5551234;ATA\r"));
        QCOMPARE(PlainDialLine(DialCommand(s), "5551234"), QByteArray("ATDP5551234\r"));
    }

    void usbModelConnection() {
        // Sorted, one command per line; the loop runs to NºAT + 2, one index past the 19 commands,
        // so an empty "AT\r" goes out before the modulation command.
        const Settings s = settingsFor(kUsb);
        const ModemInitList list = BuildModemInitList(s, ModemInitWorker::Connection);
        QVERIFY(list.usbModem);
        QCOMPARE(list.commandCount, 19);
        QStringList sorted = s.AT.mid(1) + QStringList{"M1", "L0"};
        SortModemCommands(sorted);
        QCOMPARE(sorted.mid(6, 3), QStringList({"&N1", "+MS=B103,0,300", "E0"}));
        QCOMPARE(ModemInitOutput(list), (Lines{"AT\r"} + onePerLine(sorted) + Lines{"AT\r", kMs}));
    }

    void usbModelConfiguration() {
        // Unsorted; the loop runs to NºAT + 3 and the modulation command follows each of the last
        // two lines.
        const Settings s = settingsFor(kUsb);
        const ModemInitList list = BuildModemInitList(s, ModemInitWorker::Configuration);
        QVERIFY(list.usbModem);
        QCOMPARE(list.commandCount, 20);
        QCOMPARE(list.lastIndex(), 20);
        const QStringList inOrder = s.AT.mid(1) + QStringList{"M1", "L0", "S00=000"};
        QCOMPARE(ModemInitOutput(list), (Lines{"AT\r"} + onePerLine(inOrder) + Lines{kMs, "AT\r", kMs}));
    }

    void serialConfiguration() {
        const ModemInitList list = BuildModemInitList(settingsFor(kSerial), ModemInitWorker::Configuration);
        QVERIFY(!list.usbModem);
        QCOMPARE(list.items.size(), 22);
        QCOMPARE(ModemInitOutput(list),
                 (Lines{"AT\r", "AT&C0&D2&F0&H0\r", "AT&I0&K0&N1E0\r", "ATL0M1Q0S0=0\r",
                        "ATS00=000S10=255S12=50S7=120\r", "ATS9=1V0X3\r"}));
    }

    void modulationCommandInAdvancedLines() {
        // A serial model name with "+MS" among its lines is USB-type for the connection only.
        const Settings s = settingsFor("Modem Externo", "E0 +MS=B103,0,300 V0");
        QVERIFY(BuildModemInitList(s, ModemInitWorker::Connection).usbModem);
        const ModemInitList config = BuildModemInitList(s, ModemInitWorker::Configuration);
        QVERIFY(!config.usbModem);
        QCOMPARE(ModemInitOutput(config), (Lines{"AT\r", "AT+MS=B103,0,300E0L0M1\r", "ATS00=000V0\r"}));
    }

    void groupPastThePadding() {
        // One advanced line: the configuration loop's last group of four reaches one item past the
        // three empty texts; it reads as empty instead of failing.
        const ModemInitList list =
            BuildModemInitList(settingsFor(kSerial, "E0"), ModemInitWorker::Configuration);
        QCOMPARE(list.items.size(), 7);
        QCOMPARE(ModemInitOutput(list), (Lines{"AT\r", "ATE0L0M1S00=000\r", "AT\r"}));
    }

    void speakerAndVolume_data() {
        QTest::addColumn<int>("speaker");
        QTest::addColumn<int>("volume");
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("defaults") << 1 << 0 << QStringList{"L0", "M1"};
        QTest::newRow("loudest") << 3 << 3 << QStringList{"L3", "M3"};
        QTest::newRow("slider at 4 adds no volume") << 0 << 4 << QStringList{"M0"};
        QTest::newRow("speaker out of range") << 5 << 2 << QStringList{"L2"};
    }
    void speakerAndVolume() {
        QFETCH(int, speaker);
        QFETCH(int, volume);
        Settings s = settingsFor(kSerial, "E0");
        s.setAtLines({});
        s.Speaker = speaker;
        s.Volume = volume;
        const ModemInitList list = BuildModemInitList(s, ModemInitWorker::Connection);
        QTEST(list.items.mid(0, list.commandCount), "commands");
    }

    void commandOrder_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("ampersand before plus") << "&N1"
                                               << "+MS" << -1;
        QTest::newRow("symbol before digit") << "+MS"
                                             << "0" << -1;
        QTest::newRow("digit before letter") << "9"
                                             << "A" << -1;
        QTest::newRow("equals before digit") << "S0=0"
                                             << "S00=000" << -1;
        QTest::newRow("by character, not by value") << "S10=255"
                                                    << "S7=120" << -1;
        QTest::newRow("letter case ignored") << "e0"
                                             << "E0" << 0;
        QTest::newRow("lower case letter after digit") << "x3"
                                                       << "3" << 1;
        QTest::newRow("prefix first") << "&F"
                                      << "&F0" << -1;
    }
    void commandOrder() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        const int forward = CompareModemCommands(a, b);
        QCOMPARE((forward > 0) - (forward < 0), sign);
        const int backward = CompareModemCommands(b, a);
        QCOMPARE((backward > 0) - (backward < 0), -sign);
    }
};

QTEST_GUILESS_MAIN(TestModemInitList)
#include "tst_modem_init_list.moc"
