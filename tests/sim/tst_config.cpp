#include "panel_simulator.h"
#include "sim/sim_test_util.h"
#include "sim_bytes.h"

#include <QCommandLineParser>
#include <QTemporaryDir>
#include <QTest>

using namespace simtest;

namespace {
QByteArray patternImage(int size) {
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 3) & 0xFF);
    return image;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool parse(const QStringList& args, sim::PanelSimConfig* config, QString* error) {
    QCommandLineParser parser;
    sim::addCommandLineOptions(parser);
    if (!parser.parse(QStringList{"telvora-panel-sim"} + args)) {
        *error = parser.errorText();
        return false;
    }
    return sim::applyCommandLine(parser, config, error);
}

const char* kJson = R"({
  "product": 3, "version": "1.3", "panelCode": "4321", "pcCode": "0007", "image": "t.zrv",
  "events": [{"day": 1, "month": 4, "hour": 10, "minute": 32, "code": 1, "user": 3, "partition": "A"},
             "FE777F08"],
  "state": {"zonesOpen": [1, 10], "armed": ["A"], "pgmOn": [2, 4], "troubles": ["battery", "siren"],
            "siren": true, "battery": 200, "bypassed": "5-6"},
  "clock": "2007-12-25T09:15:30",
  "modem": {"dialResult": "busy", "connectDelayMs": 1234},
  "panel": {"callbackOnCodes": true, "answerDelayMs": 80},
  "faults": {"nak": 0.1, "on": ["read", "write"], "rules": [{"on": "code", "fault": "silence", "times": 2}],
             "refuseBytes": [41, "112-113"], "dropAfterFrames": 9, "rejectAt": ["L0"]},
  "line300": true, "seed": 42
})";
} // namespace

// Configuration by JSON file and by command line.
class TestConfig : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void jsonConfiguration() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("t.zrv"), patternImage(304)));
        QVERIFY(writeFile(dir.filePath("sim.json"), kJson));
        sim::PanelSimConfig c;
        QString error;
        QVERIFY2(sim::loadConfigFile(dir.filePath("sim.json"), &c, &error), qPrintable(error));

        QCOMPARE(c.product, 3);
        QCOMPARE(c.effectiveVersionByte(), 0x13);
        QCOMPARE(c.events, bytes("0A 40 A1 0D FE 77 7F 08"));
        QCOMPARE(c.status.bytes(), bytes("01 81 86 C8 0A 30"));
        QCOMPARE(c.clock, QDateTime(QDate(2007, 12, 25), QTime(9, 15, 30)));
        QCOMPARE(c.modem.dialOutcome, sim::DialOutcome::Busy);
        QCOMPARE(c.modem.connectDelayMs, qint64(1234));
        QVERIFY(c.panel.callbackOnCodes);
        QCOMPARE(c.panel.answerDelayMs, qint64(80));
        QVERIFY(c.line300);
        QCOMPARE(c.seed, 42u);
        QCOMPARE(c.faults.refusedBytes, (QSet<int>{41, 112, 113}));
        QCOMPARE(c.faults.dropAfterFrames, 9);
        QCOMPARE(c.faults.rejectedCommands, QStringList{"L0"});
        QCOMPARE(c.faults.rules.size(), 2);
        const sim::FaultRule& nak = c.faults.rules[0];
        QCOMPARE(nak.fault, sim::Fault::Nak);
        QVERIFY(nak.matches(sim::FrameKind::Read) && nak.matches(sim::FrameKind::Write));
        QVERIFY(!nak.matches(sim::FrameKind::Status));
        QCOMPARE(nak.probability, 0.1);
        const sim::FaultRule& silence = c.faults.rules[1];
        QVERIFY(silence.fault == sim::Fault::Silence && silence.times == 2 &&
                silence.matches(sim::FrameKind::Code));

        // The codes given win over those in the image; everything else is the file's.
        PanelSimulator panel(c);
        QByteArray expected = patternImage(304);
        expected.replace(112, 4, bytes("43 21 AA A7"));
        QCOMPARE(panel.image(), expected);
        QCOMPARE(panel.panelClock().date(), QDate(2007, 12, 25));
    }

    void commandLineOverridesTheFile() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("t.zrv"), patternImage(304)));
        QVERIFY(writeFile(dir.filePath("sim.json"), kJson));
        sim::PanelSimConfig c;
        QString error;
        QVERIFY2(parse({"--config",        dir.filePath("sim.json"),
                        "--product",       "1",
                        "--version",       "1.2",
                        "--pc-code",       "9999",
                        "--zones-open",    "2",
                        "--nak",           "0.5",
                        "--fault-on",      "status",
                        "--fault",         "ident,code:nak:2",
                        "--dial-result",   "connect",
                        "--connect-delay", "500",
                        "--events",        "10",
                        "--seed",          "3"},
                       &c, &error),
                 qPrintable(error));
        QCOMPARE(c.product, 1);
        QCOMPARE(c.effectiveVersionByte(), 0x12);
        QCOMPARE(c.pcCode, QString("9999"));
        QCOMPARE(c.panelCode, QString("4321"));
        QCOMPARE(c.status.s[0], quint8(0x03)); // zone 1 from the file, zone 2 from the flag
        QCOMPARE(c.modem.dialOutcome, sim::DialOutcome::Connect);
        QCOMPARE(c.modem.connectDelayMs, qint64(500));
        QCOMPARE(c.events, sim::generatedEvents(sim::Family::TenZone, 10, 3));
        // The flag's probability replaces the file's; counted rules are kept and added.
        QCOMPARE(c.faults.rules.size(), 3);
        QCOMPARE(c.faults.rules[0].fault, sim::Fault::Silence);
        QCOMPARE(c.faults.rules[1].fault, sim::Fault::Nak);
        QCOMPARE(c.faults.rules[1].probability, 0.5);
        QVERIFY(c.faults.rules[1].matches(sim::FrameKind::Status) &&
                !c.faults.rules[1].matches(sim::FrameKind::Read));
        QVERIFY(c.faults.rules[2].times == 2 && c.faults.rules[2].matches(sim::FrameKind::Ident) &&
                c.faults.rules[2].matches(sim::FrameKind::Code) &&
                !c.faults.rules[2].matches(sim::FrameKind::Read));
    }

    void badInput_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("image of the wrong size") << QStringList{"--image", "@short.zrv"} << "holds 100 bytes";
        QTest::newRow("10-zone image for the 5-zone model")
            << QStringList{"--product", "2", "--image", "@t.zrv"} << "holds 304 bytes";
        QTest::newRow("missing file") << QStringList{"--config", "@none.json"} << "cannot read";
        QTest::newRow("version") << QStringList{"--version", "14"} << "M.m";
        QTest::newRow("fault") << QStringList{"--fault", "code:boom:1"} << "KINDS:FAULT:N";
        QTest::newRow("frame kind") << QStringList{"--fault-on", "reed"} << "unknown frame kind";
        QTest::newRow("dial result") << QStringList{"--dial-result", "maybe"} << "--dial-result";
        QTest::newRow("probability") << QStringList{"--nak", "2"} << "probability";
        QTest::newRow("family") << QStringList{"--family", "7"} << "--family";
        QTest::newRow("zone list") << QStringList{"--zones-open", "1,x"} << "--zones-open";
    }

    void badInput() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("t.zrv"), patternImage(304)));
        QVERIFY(writeFile(dir.filePath("short.zrv"), patternImage(100)));
        for (QString& a : args) {
            if (a.startsWith('@'))
                a = dir.filePath(a.mid(1));
        }
        sim::PanelSimConfig c;
        QString error;
        QVERIFY(!parse(args, &c, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void defaultImageShowsMisaddressedReads() {
        for (const sim::Family family : {sim::Family::TenZone, sim::Family::FiveZone}) {
            const QByteArray image = sim::defaultImage(family);
            QCOMPARE(image.size(), sim::imageSize(family));
            QCOMPARE(image.mid(112, 4), bytes("12 34 56 78"));
            for (int a = 0; a < sim::blockCount(family); ++a) {
                for (int b = a + 1; b < sim::blockCount(family); ++b)
                    QVERIFY2(image.mid(a * 16, 16) != image.mid(b * 16, 16),
                             qPrintable(QString("%1 %2").arg(a).arg(b)));
            }
        }
    }

    void codesPackLikeThePanelKeepsThem_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("packed");
        QTest::newRow("plain") << "1234" << bytes("12 34");
        QTest::newRow("zero digit") << "1034" << bytes("1A 34");
        QTest::newRow("all zeros") << "0000" << bytes("AA AA");
        QTest::newRow("short") << "7" << bytes("AA A7");
        QTest::newRow("not digits") << "12a4" << QByteArray();
    }

    void codesPackLikeThePanelKeepsThem() {
        QFETCH(QString, code);
        QFETCH(QByteArray, packed);
        QCOMPARE(sim::packCode(code), packed);
        if (!packed.isEmpty())
            QCOMPARE(sim::unpackCode(packed), code.rightJustified(4, '0'));
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
