// The connection worker against a plain host of its own (no controller, no port): how each early
// ending reaches the host, and that the end message comes after the worker's last call.

#include "base/clock.h"
#include "base/run_on_thread.h"
#include "link/link_state.h"
#include "link/receive_dispatcher.h"
#include "link_control/conecta_alarme.h"
#include "link_control/conecta_alarme_host.h"
#include "link_control/link_texts.h"
#include "support/recording_link_operator.h"

#include <QSignalSpy>
#include <QTest>

#include <exception>

namespace {

// Records every call in order; runs the worker's main-thread work on the test's thread.
class RecordingHost : public QObject, public ConectaAlarmeHost {
public:
    LinkState state;
    mutable RecordingLinkOperator op;
    mutable RecordingCustomerScreen screen;
    QStringList calls;
    bool sendFails = false;

    LinkState& Link() override { return state; }
    void RunOnMain(const std::function<void()>& work) override { RunBlockingOn(this, work); }
    LinkOperator* Operator() const override { return &op; }
    LinkCustomerScreen* CustomerScreen() const override { return &screen; }
    bool EnviaComando(const QByteArray& command, const DialInputs&, QString* error) override {
        calls << QStringLiteral("send ") + QString::fromLatin1(command).trimmed();
        if (sendFails && error)
            *error = QStringLiteral("Port not open");
        return !sendFails;
    }
    void ClosePort() override { calls << QStringLiteral("close port"); }
    void ReopenPort(int baudrate) override { calls << QStringLiteral("reopen %1").arg(baudrate); }
    void SetSupervision(qint64 intervalMs) override {
        calls << QStringLiteral("supervision %1").arg(intervalMs);
    }
    void Mostra_Aviso(int code) override { calls << QStringLiteral("aviso %1").arg(code); }
    void StepNext() override { calls << QStringLiteral("step next"); }
    void StepAdd(const QString& text, StepState) override { calls << QStringLiteral("step ") + text; }
    void StepInsertAfterCurrent(const QString& text) override { calls << QStringLiteral("step ") + text; }
    void StepsReset(const QStringList& lines) override {
        calls << QStringLiteral("steps ") + lines.join(u',');
    }
    void StepInsert(int, const QString& text) override { calls << QStringLiteral("step ") + text; }
    void StepSetState(int, StepState) override {}
    void AbrePortaCallBack() override { calls << QStringLiteral("open port for callback"); }
};

} // namespace

class TestConectaAlarmeHost : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(50); }

    // Attempts that end before the modem answered anything: what the host is asked to do, the
    // worker's outcome flags, and exactly one end message after the last call.
    void earlyEndings_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("erro");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("lastCalls");

        QTest::newRow("send refused") << "send fails" << true << QStringList()
                                      << QStringList{"supervision 1000", "send AT", "close port"};
        QTest::newRow("cancelled during set-up") << "cancelled" << false << QStringList()
                                                 << QStringList{"supervision 1000", "send AT", "close port"};
        QTest::newRow("modem silent")
            << "supervision expired" << false << QStringList{QString::fromUtf8(LinkTexts::ModemNoResponse)}
            << QStringList{"supervision 1000", "send AT", "close port"};
    }

    void earlyEndings() {
        QFETCH(QString, setup);
        QFETCH(bool, erro);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, lastCalls);

        RecordingHost host;
        host.op.ProgressShow(); // as the connect action leaves it
        ConnectionInputs inputs;
        inputs.DialCommand = "ATDT";
        inputs.NAT = 2;
        ConectaAlarme worker(host, inputs);
        host.sendFails = setup == QLatin1String("send fails");
        if (setup != QLatin1String("send fails"))
            worker.Cancelado = true;
        if (setup == QLatin1String("supervision expired"))
            worker.SupervisionExpired = true;

        // The calls seen by the time the end message arrives: none may come after it.
        QStringList callsAtEnd;
        QObject::connect(
            &worker, &ConectaAlarme::ConectaAlarmeFim, &host, [&] { callsAtEnd = host.calls; },
            Qt::QueuedConnection);
        QSignalSpy ended(&worker, &ConectaAlarme::ConectaAlarmeFim);
        worker.start();
        QTRY_VERIFY_WITH_TIMEOUT(worker.isFinished(), 30000);
        QTRY_COMPARE(callsAtEnd.size(), host.calls.size());

        QCOMPARE(ended.count(), 1);
        QCOMPARE(worker.Erro.load(), erro);
        QVERIFY(worker.Cancelado.load());
        QCOMPARE(host.op.messageTexts(), messages);
        QCOMPARE(host.op.progressCloses, 1);
        QCOMPARE(host.calls, lastCalls);
        // Nothing was dialled and the speed was never changed.
        QVERIFY(!host.calls.contains(QStringLiteral("reopen 300")));
    }
};

QTEST_GUILESS_MAIN(TestConectaAlarmeHost)
#include "tst_conecta_alarme_host.moc"
