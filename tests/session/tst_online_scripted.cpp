#include "link/clock.h"
#include "serial/memory_line.h"
#include "support/scripted_panel.h"
#include "support/session_host.h"

#include <QTest>

class TestOnlineScripted : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(50); }

    void readWholeProgramming() {
        MemoryLine line;
        line.port()->SetOpened(true);
        ScriptedPanel panel(line);
        for (int i = 0; i < 304; ++i)
            panel.memory[i] = char(i * 7);
        SessionTestHost host(line.port());
        host.customerProduct = 1;
        host.startSession(0x7FFFF);
        const auto report = host.waitForReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(TransferReport::Outcome::Completed));
        QCOMPARE(host.images10.ImagemAlarme.bytes().left(48), panel.memory.left(48));
        QCOMPARE(host.images10.ImagemAlarme.bytes().mid(64), panel.memory.mid(64));
        QVERIFY(host.Link().ProgrammingReceived.load());
        host.worker->DisconnectRequest = true;
        QVERIFY(host.waitForEnd());
        QVERIFY(!line.programOpened());
    }
};

QTEST_GUILESS_MAIN(TestOnlineScripted)
#include "tst_online_scripted.moc"
