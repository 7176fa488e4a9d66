// The modem test against the simulated Hayes modem on an in-memory line, on the scaled clock.
#include "base/clock.h"
#include "link_control/teste_de_modem.h"
#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "serial/modem_catalogue.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

struct Rig {
    MemoryLine line;
    PanelSimulator panel;
    QStringList log;
    std::unique_ptr<TesteDeModem> test;

    explicit Rig(const QStringList& commands, bool modemThere = true) {
        if (modemThere)
            panel.attach(&line);
        line.port()->SetBaudrate(9600);
        line.port()->SetOpened(true);
        test = std::make_unique<TesteDeModem>(*line.port(), 3, QStringLiteral("Modelo"), commands);
        QObject::connect(test.get(), &TesteDeModem::LogAppended, test.get(),
                         [this](const QString& text, TesteDeModem::LogStyle) { log << text; });
    }
    TesteDeModem::Outcome run() {
        QSignalSpy finished(test.get(), &TesteDeModem::Finished);
        test->Start();
        if (!finished.wait(30000))
            return TesteDeModem::Outcome::Stopped;
        return finished.first().first().value<TesteDeModem::Outcome>();
    }
};

QStringList DefaultCommands() {
    const ModemCatalogue catalogue = ModemCatalogue::defaults();
    return SplitInitString(catalogue.initString(catalogue.selected()));
}

} // namespace

class TestTesteDeModem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(20); }

    // The default model: "AT", then the second to the last command of its string, each with "OK".
    void everyCommandAccepted() {
        const QStringList commands = DefaultCommands();
        QCOMPARE(commands.size(), 16);
        Rig rig(commands);
        QCOMPARE(rig.run(), TesteDeModem::Outcome::Completed);
        QStringList expected{QStringLiteral("Novo teste na Com 3 do Modem Modelo\r\r"),
                             QStringLiteral("AT\r"), QStringLiteral("OK")};
        for (int i = 1; i < commands.size(); ++i)
            expected << QStringLiteral("AT") + commands.at(i) + QLatin1Char('\r') << QStringLiteral("OK");
        QCOMPARE(rig.log, expected);
        QCOMPARE(rig.test->Result().accepted.size(), 16);
    }

    // A command the modem refuses is logged as such and the test goes on.
    void refusedCommandAndTheTestGoesOn() {
        Rig rig({QStringLiteral("&F"), QStringLiteral("E0"), QStringLiteral("J7"), QStringLiteral("Q0")});
        QCOMPARE(rig.run(), TesteDeModem::Outcome::Completed);
        QCOMPARE(rig.log.mid(1), (QStringList{"AT\r", "OK", "ATE0\r", "OK", "ATJ7\r",
                                              TesteDeModem::RefusedText(), "ATQ0\r", "OK"}));
        QCOMPARE(rig.test->Result().refused, QStringList{"ATJ7"});
    }

    // A modem whose result arrives in two reads (the digit, then its line end; or a word cut in
    // two) is read as having answered, not as silent.
    void answerInTwoArrivals_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("OK digit, then its line end") << QByteArray("\r\n0") << QByteArray("\r\n") << true;
        QTest::newRow("OK word cut in two") << QByteArray("\r\nO") << QByteArray("K\r\n") << true;
        QTest::newRow("ERROR digit, then its line end") << QByteArray("\r\n4") << QByteArray("\r\n") << false;
    }
    void answerInTwoArrivals() {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(bool, accepted);
        MemoryLine line;
        line.port()->SetBaudrate(9600);
        line.port()->SetOpened(true);
        // Every command line is answered in two pieces, the second well after the first was read.
        QObject::connect(&line, &MemoryLine::receivedFromProgram, &line, [&](const QByteArray& bytes) {
            if (!bytes.endsWith('\r'))
                return;
            line.sendToProgram(first);
            QTimer::singleShot(Clock::instance().realInterval(500), &line,
                               [&] { line.sendToProgram(second); });
        });
        TesteDeModem test(*line.port(), 3, QStringLiteral("Modelo"),
                          {QStringLiteral("&F"), QStringLiteral("E0")});
        QSignalSpy finished(&test, &TesteDeModem::Finished);
        test.Start();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first().first().value<TesteDeModem::Outcome>(), TesteDeModem::Outcome::Completed);
        // "AT" to wake the modem, then "ATE0".
        QCOMPARE(test.Result().accepted.size() + test.Result().refused.size(), 2);
        QCOMPARE(test.Result().refused.size(), accepted ? 0 : 2);
    }

    // Nothing answers: "O Modem não responde" after six seconds, the log stops at "AT".
    void silentModem() {
        Rig rig(DefaultCommands(), false);
        QCOMPARE(rig.run(), TesteDeModem::Outcome::Silent);
        QCOMPARE(rig.log.mid(1), QStringList{"AT\r"});
    }

    // "Parar Teste" in the middle leaves the log as it was.
    void stopInTheMiddle() {
        Rig rig(DefaultCommands());
        QSignalSpy finished(rig.test.get(), &TesteDeModem::Finished);
        rig.test->Start();
        QTRY_VERIFY_WITH_TIMEOUT(rig.log.size() >= 6, 30000);
        rig.test->Stop();
        const QStringList atStop = rig.log;
        QCOMPARE(finished.count(), 1);
        QTest::qWait(300);
        QCOMPARE(rig.log, atStop);
        QVERIFY(!rig.test->Running());
    }
};

QTEST_GUILESS_MAIN(TestTesteDeModem)
#include "tst_teste_de_modem.moc"
