// A stop request in any phase of a call, against the simulated panel on the scaled clock: the job
// ends, the line is hung up, and nothing more reaches the panel after the request, whatever the
// link was doing when it came (an interrupt or a termination request, which the command line and
// the desktop program hand to LinkController::Encerrar, or "Cancelar" of the connection window).

#include "base/clock.h"
#include "base/settings.h"
#include "link_control/link_controller.h"
#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "session/online_worker.h"
#include "support/recording_link_operator.h"

#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

constexpr double Scale = 50;
constexpr int WaitRealMs = 30000;

// An operator whose closing of the progress window can be watched: the end-message handler closes
// it after its pause, just before it starts the session.
class WatchedOperator : public RecordingLinkOperator {
public:
    std::function<void()> onProgressClose;
    void ProgressClose() override {
        RecordingLinkOperator::ProgressClose();
        if (onProgressClose)
            onProgressClose();
    }
};

// A customer screen that takes the event log (and keeps nothing of it).
class EventTakingScreen : public RecordingCustomerScreen {
public:
    bool BeginEventDownload(int) override { return true; }
    bool Atualiza_Tabela_Eventos(int, const QByteArray&) override { return true; }
};

struct Rig {
    MemoryLine line;
    PanelSimulator panel;
    WatchedOperator op;
    EventTakingScreen screen;
    LinkController link{line.port(), &op};

    explicit Rig(const sim::PanelSimConfig& config) : panel(config) {
        panel.attach(&line);
        Settings settings;
        settings.setAtLines(DefaultAdvancedLines());
        link.SetLinkSettings(LinkSettingsFrom(settings));
        link.SetCustomerScreen(&screen);
        link.State().StoredVersion.store(QStringLiteral("1.4"));
    }
};

bool isFrame(const sim::JournalEntry& e, sim::FrameKind kind) {
    return e.kind == QLatin1String("frame") && e.text == sim::frameKindName(kind);
}

} // namespace

class TestStopRequest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(Scale); }

    void stopInEveryPhase_data() {
        QTest::addColumn<QString>("phase");
        QTest::addColumn<bool>("cancelButton"); // "Cancelar" of the connection window
        for (const char* phase : {"modem set-up", "dialling", "identification", "code check", "proceed",
                                  "between connection and session", "programming read", "programming write",
                                  "event download", "status poll"})
            QTest::newRow(phase) << QString::fromLatin1(phase) << false;
        for (const char* phase : {"dialling", "code check", "between connection and session"})
            QTest::newRow(qPrintable(QStringLiteral("Cancelar, %1").arg(QLatin1String(phase))))
                << QString::fromLatin1(phase) << true;
    }
    void stopInEveryPhase() {
        QFETCH(QString, phase);
        QFETCH(bool, cancelButton);
        sim::PanelSimConfig config;
        config.events = sim::generatedEvents(sim::Family::TenZone, 40, 3);
        Rig rig(config);

        qsizetype journalAtStop = -1;
        const auto stop = [&] {
            if (journalAtStop >= 0)
                return;
            journalAtStop = rig.panel.journal().size();
            if (cancelButton)
                rig.link.CancelaConexao();
            else
                rig.link.Encerrar();
        };
        const QMap<QString, sim::FrameKind> frames = {
            {QStringLiteral("identification"), sim::FrameKind::Ident},
            {QStringLiteral("code check"), sim::FrameKind::Code},
            {QStringLiteral("proceed"), sim::FrameKind::Proceed},
            {QStringLiteral("programming read"), sim::FrameKind::Read},
            {QStringLiteral("programming write"), sim::FrameKind::Write},
            {QStringLiteral("event download"), sim::FrameKind::Event},
            {QStringLiteral("status poll"), sim::FrameKind::Status},
        };
        QObject::connect(
            &rig.panel, &PanelSimulator::journalAppended, &rig.panel, [&](const sim::JournalEntry& e) {
                const bool command = e.kind == QLatin1String("command");
                if ((phase == QLatin1String("modem set-up") && command) ||
                    (phase == QLatin1String("dialling") && command && e.bytes.startsWith("ATD")) ||
                    (frames.contains(phase) && isFrame(e, frames.value(phase))))
                    stop();
            });
        // The end-message handler closes the progress window after the worker's own close.
        int closes = 0;
        rig.op.onProgressClose = [&] {
            if (phase == QLatin1String("between connection and session") && ++closes == 2)
                stop();
        };
        // The session's work after the programming read: a write of block 1, or the event log.
        QTimer work;
        QObject::connect(&work, &QTimer::timeout, &rig.link, [&] {
            OnLine* session = rig.link.OnLineWorker();
            if (!session || rig.screen.transfers.isEmpty())
                return;
            work.stop();
            if (phase == QLatin1String("programming write")) {
                rig.screen.tenZone.ImagemPC.setByte(16, 0x42);
                session->Chunks[1] = 0x0F;
                session->Blocks = 0x2;
                session->WriteProgrammingRequest = true;
            }
            if (phase == QLatin1String("event download"))
                session->ReadBufferRequest = true;
        });
        work.start(5);
        bool ended = false;
        QObject::connect(&rig.link, &LinkController::ConnectionEnded, &rig.link, [&](bool connected, bool) {
            if (!connected)
                ended = true;
        });
        QObject::connect(&rig.link, &LinkController::SessionEnded, &rig.link, [&] { ended = true; });
        // Whatever happens below, nothing of this test is called once it is over.
        const auto unhook = qScopeGuard([&] {
            QObject::disconnect(&rig.panel, nullptr, nullptr, nullptr);
            QObject::disconnect(&rig.link, nullptr, nullptr, nullptr);
            rig.op.onProgressClose = nullptr;
            work.stop();
        });

        QVERIFY(rig.link.Conectar(false));
        QTRY_VERIFY_WITH_TIMEOUT(journalAtStop >= 0 || ended, WaitRealMs);
        QVERIFY2(journalAtStop >= 0, qPrintable(rig.op.messageTexts().join('|')));
        QTRY_VERIFY_WITH_TIMEOUT(ended, WaitRealMs);
        QVERIFY(!rig.link.OnLineWorker());
        QVERIFY(!rig.link.ConectaAlarmeWorker());

        QStringList after;
        const QVector<sim::JournalEntry>& journal = rig.panel.journal();
        for (qsizetype i = journalAtStop; i < journal.size(); ++i) {
            if (journal.at(i).kind == QLatin1String("frame"))
                after << journal.at(i).text;
        }
        QVERIFY2(after.isEmpty(), qPrintable(after.join(QLatin1Char(' '))));
        // Every chunk the panel took came with a write frame before the stop.
        qsizetype writesBefore = 0;
        for (qsizetype i = 0; i < journalAtStop; ++i)
            writesBefore += isFrame(journal.at(i), sim::FrameKind::Write);
        QCOMPARE(rig.panel.chunkWrites().size(), writesBefore);
        QVERIFY(!rig.line.programOpened());
        QVERIFY(!rig.panel.carrier());
    }
};

QTEST_GUILESS_MAIN(TestStopRequest)
#include "tst_stop_request.moc"
