// The one routine that opens the program's serial port for the main window, the link controller
// and the command line, on an in-memory line.

#include "serial/memory_line.h"
#include "serial/port_opening.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(PortOpening)
Q_DECLARE_METATYPE(PortCheck)

class TestPortOpening : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Whatever state the port was in, it ends on the chosen number, map and speed, opened through
    // the given DTR transitions, or closed with the failure told apart.
    void reopen_data() {
        QTest::addColumn<bool>("wasOpen");
        QTest::addColumn<bool>("openFails");
        QTest::addColumn<PortCheck>("check");
        QTest::addColumn<PortOpening>("outcome");
        QTest::addColumn<QList<bool>>("transitions"); // programOpenedChanged, in order

        QTest::newRow("closed port") << false << false << PortCheck::None << PortOpening::Opened
                                     << QList<bool>{true};
        QTest::newRow("open port is closed first")
            << true << false << PortCheck::None << PortOpening::Opened << QList<bool>{false, true};
        QTest::newRow("checked first") << false << false << PortCheck::CanOpenFirst << PortOpening::Opened
                                       << QList<bool>{true, false, true};
        QTest::newRow("opening fails")
            << false << true << PortCheck::None << PortOpening::Failed << QList<bool>{};
        QTest::newRow("another program holds the device")
            << false << false << PortCheck::None << PortOpening::Taken << QList<bool>{};
        QTest::newRow("check fails") << true << true << PortCheck::CanOpenFirst << PortOpening::Unavailable
                                     << QList<bool>{false};
    }

    void reopen() {
        QFETCH(bool, wasOpen);
        QFETCH(bool, openFails);
        QFETCH(PortCheck, check);
        QFETCH(PortOpening, outcome);
        QFETCH(QList<bool>, transitions);

        MemoryLine line;
        ComPort& port = *line.port();
        port.SetBaudrate(9600);
        if (wasOpen)
            port.SetOpened(true);
        line.setOpenFails(openFails);
        if (outcome == PortOpening::Taken)
            line.setTakenAfter(0);
        QSignalSpy opened(&line, &MemoryLine::programOpenedChanged);
        const PortChoice choice{3, {{3, QStringLiteral("/dev/ttyUSB0")}}};

        QCOMPARE(ReopenPort(port, choice, 300, check), outcome);
        QList<bool> seen;
        for (const QList<QVariant>& signal : opened)
            seen << signal.first().toBool();
        QCOMPARE(seen, transitions);
        QCOMPARE(port.Opened(), outcome == PortOpening::Opened);
        QCOMPARE(port.Port(), 3);
        QCOMPARE(port.DeviceMap(), choice.DeviceMap);
        QCOMPARE(port.Baudrate(), 300);
    }

    // Nothing written or received before the reopening is left over after it.
    void nothingLeftOver() {
        MemoryLine line;
        ComPort& port = *line.port();
        port.SetOpened(true);
        QSignalSpy sent(&line, &MemoryLine::receivedFromProgram);
        port.WriteText("ATZ\r");
        line.sendToProgram("OK\r\n");
        QCOMPARE(ReopenPort(port, PortChoice{}, 300), PortOpening::Opened);
        QCoreApplication::processEvents();
        QVERIFY(port.ReadAll().isEmpty());
        QCOMPARE(sent.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPortOpening)
#include "tst_port_opening.moc"
